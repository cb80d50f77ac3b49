#include "queries/logic/CategoryItems.h"

#include "core/logic/Sql.h"

namespace CategoryItems {

QStringList read()
{
    QSqlQuery query = Sql::run(QStringLiteral("SELECT 类别代码, 书籍类别 FROM bookType ORDER BY rowid"), {},
                               QStringLiteral("读取书籍类别"));
    QStringList items;
    while (query.next())
        items << query.value(0).toString() + QLatin1Char('-') + query.value(1).toString();
    return items;
}

QString codeOf(const QString& item)
{
    if (item.isEmpty())
        return {};
    // A character outside the basic plane is two UTF-16 units; keep it whole.
    return item.left(item.at(0).isHighSurrogate() ? 2 : 1);
}

}  // namespace CategoryItems
