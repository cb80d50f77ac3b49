#include "circulation/logic/ReaderLookup.h"

#include "core/logic/Sql.h"

namespace ReaderLookup {

std::optional<QString> findName(const QString& readerNumber)
{
    return Sql::withKept(
        QStringLiteral("SELECT 读者姓名 FROM readerInfo WHERE 读者编号 = :reader LIMIT 1"),
        {{QStringLiteral("reader"), readerNumber}}, QStringLiteral("查找读者"),
        [](QSqlQuery& query) -> std::optional<QString> {
            if (!query.next())
                return std::nullopt;
            return query.value(0).toString();
        });
}

}  // namespace ReaderLookup
