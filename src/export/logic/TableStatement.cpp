#include "export/logic/TableStatement.h"

#include <QSqlRecord>

#include "core/logic/Database.h"
#include "core/logic/Dialect.h"
#include "core/logic/Sql.h"

namespace TableStatement {

QStringList tables()
{
    return {QStringLiteral("bookType"),  QStringLiteral("bookInfo"),        QStringLiteral("lentInfo"),
            QStringLiteral("readerInfo"), QStringLiteral("basicSet"),       QStringLiteral("bookconcernList"),
            QStringLiteral("overdueReminders")};
}

std::optional<KeyedStatement> of(const QString& table)
{
    const QStringList known = tables();
    const auto found = std::find_if(known.begin(), known.end(),
                                    [&](const QString& name) { return name.compare(table, Qt::CaseInsensitive) == 0; });
    if (found == known.end())
        return std::nullopt;
    const QString name = *found;
    const QString action = QStringLiteral("读取数据表 %1").arg(name);
    QSqlQuery probe = Sql::prepare(QStringLiteral("select * from %1 where 1 = 0").arg(name), action);
    Sql::exec(probe, action);
    QStringList columns;
    const QSqlRecord record = probe.record();
    for (int i = 0; i < record.count(); ++i)
        if (record.fieldName(i).compare(QLatin1String("rowid"), Qt::CaseInsensitive) != 0)  // the server's row number
            columns << record.fieldName(i);
    const QString key = name + QStringLiteral(".rowid");
    const QString select = QStringLiteral("select ") + columns.join(QLatin1Char(',')) + QStringLiteral(" from ") + name;
    return KeyedStatement{select + Database::dialect().rowOrder(key), {}, key,
                          select + QStringLiteral(" where ") + key + QStringLiteral(" = ?")};
}

}  // namespace TableStatement
