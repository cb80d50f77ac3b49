#include "circulation/logic/DeskRules.h"

#include "circulation/logic/DeskStatements.h"
#include "core/logic/Sql.h"
#include "core/logic/StoreError.h"

DeskRules DeskRules::read(const QString& action)
{
    return Sql::withKept(DeskStatements::rules(), {}, action,
                         [&action](QSqlQuery& query) -> DeskRules {
                             if (!query.next())
                                 throw StoreError(action, QStringLiteral("借阅规则 (basicSet) 中没有记录"));
                             return {query.value(0), query.value(1)};
                         });
}
