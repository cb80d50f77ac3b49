#include "circulation/logic/LoanClosing.h"

#include "circulation/logic/DeskStatements.h"
#include "core/logic/Conversions.h"
#include "core/logic/Sql.h"
#include "core/logic/Transaction.h"

namespace LoanClosing {

Outcome close(qint64 loanId, const QString& returnDateText, const QString& overdueText,
              const QString& fineText)
{
    const std::optional<QDate> returnDate = Conversions::parseShortDate(returnDateText);
    const std::optional<qint16> overdue = Conversions::textToInteger16(overdueText);
    const std::optional<double> fine = Conversions::textToNumber(fineText);
    if (!returnDate || !overdue || !fine)
        return Outcome::BadFigures;

    const QString action = QStringLiteral("归还图书");
    Transaction transaction(action);
    const QVariantMap loan = {{QStringLiteral("loan"), loanId}};
    Sql::changeKept(DeskStatements::closeBook(), loan, action);
    const int closed = Sql::changeKept(
        DeskStatements::closeLoan(),
        {{QStringLiteral("returned"), Sql::dateValue(*returnDate)},
         {QStringLiteral("overdue"), static_cast<int>(*overdue)},
         {QStringLiteral("fine"), *fine},
         {QStringLiteral("loan"), loanId}},
        action);
    if (closed != 1)
        return Outcome::NotOutstanding;
    transaction.commit();
    return Outcome::Closed;
}

}  // namespace LoanClosing
