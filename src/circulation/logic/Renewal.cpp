#include "circulation/logic/Renewal.h"

#include "core/logic/Sql.h"
#include "core/logic/Transaction.h"

namespace Renewal {

Outcome renew(qint64 loanId, const QDate& newLendDate)
{
    const QString action = QStringLiteral("续借图书");
    Transaction transaction(action);
    QSqlQuery update = Sql::run(
        QStringLiteral("UPDATE lentInfo SET 借书日期 = :date WHERE rowid = :loan AND 还书日期 IS NULL"),
        {{QStringLiteral("date"), Sql::dateValue(newLendDate)}, {QStringLiteral("loan"), loanId}},
        action);
    if (update.numRowsAffected() != 1)
        return Outcome::NotOutstanding;
    transaction.commit();
    return Outcome::Renewed;
}

}  // namespace Renewal
