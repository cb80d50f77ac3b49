#include "catalogue/logic/Publishers.h"

#include "core/logic/Sql.h"

namespace Publishers {

void RememberPublisher(const QString& publisher)
{
    const QString name = publisher.trimmed();
    if (name.isEmpty())
        return;
    Sql::changeKept(QStringLiteral("INSERT INTO bookconcernList (出版社) SELECT :name"
                                   " WHERE NOT EXISTS (SELECT 1 FROM bookconcernList WHERE ")
                        + Sql::sameText(QStringLiteral("出版社"), QStringLiteral(":name")) + QStringLiteral(")"),
                    {{QStringLiteral("name"), name}}, QStringLiteral("记录出版社"));
}

QStringList SuggestPublishers(const QString& typed)
{
    QSqlQuery query = Sql::run(
        QStringLiteral("SELECT 出版社 FROM bookconcernList WHERE ")
            + Sql::textLike(QStringLiteral("出版社"), QStringLiteral(":pattern")) + QStringLiteral(" ORDER BY rowid"),
        {{QStringLiteral("pattern"), Sql::containsPattern(typed.trimmed())}}, QStringLiteral("查找出版社"));
    QStringList names;
    while (query.next())
        names.append(query.value(0).toString());
    return names;
}

}  // namespace Publishers
