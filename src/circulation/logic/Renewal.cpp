#include "circulation/logic/Renewal.h"

#include "circulation/logic/DeskStatements.h"
#include "core/logic/Sql.h"
#include "core/logic/Transaction.h"

namespace Renewal {

Outcome renew(qint64 loanId, const QDate& newLendDate)
{
    const QString action = QStringLiteral("续借图书");
    Transaction transaction(action);
    const int renewed = Sql::changeKept(
        DeskStatements::renew(),
        {{QStringLiteral("date"), Sql::dateValue(newLendDate)}, {QStringLiteral("loan"), loanId}},
        action);
    if (renewed != 1)
        return Outcome::NotOutstanding;
    transaction.commit();
    return Outcome::Renewed;
}

}  // namespace Renewal
