#include "circulation/logic/ReaderLookup.h"

#include "circulation/logic/DeskStatements.h"
#include "core/logic/Sql.h"

namespace ReaderLookup {

std::optional<QString> findName(const QString& readerNumber)
{
    return Sql::withKept(
        DeskStatements::readerName(),
        {{QStringLiteral("reader"), readerNumber}}, QStringLiteral("查找读者"),
        [](QSqlQuery& query) -> std::optional<QString> {
            if (!query.next())
                return std::nullopt;
            return query.value(0).toString();
        });
}

}  // namespace ReaderLookup
