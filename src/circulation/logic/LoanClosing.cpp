#include "circulation/logic/LoanClosing.h"

#include <QLocale>

#include "core/logic/Conversions.h"
#include "core/logic/Sql.h"
#include "core/logic/Transaction.h"

namespace LoanClosing {

Outcome close(qint64 loanId, const QString& returnDateText, const QString& overdueText,
              const QString& fineText)
{
    const std::optional<QDate> returnDate = Conversions::parseShortDate(returnDateText);
    const std::optional<qint16> overdue = Conversions::textToInteger16(overdueText);
    bool fineOk = false;
    const double fine = QLocale::c().toDouble(fineText.trimmed(), &fineOk);
    if (!returnDate || !overdue || !fineOk)
        return Outcome::BadFigures;

    const QString action = QStringLiteral("归还图书");
    Transaction transaction(action);
    const QVariantMap loan = {{QStringLiteral("loan"), loanId}};
    // The book of that very loan, whatever the book box says by now.
    Sql::run(QStringLiteral("UPDATE bookInfo SET 是否借出 = 0 WHERE 书籍编号 ="
                            " (SELECT 书籍编号 FROM lentInfo WHERE rowid = :loan AND 还书日期 IS NULL)"),
             loan, action);
    QSqlQuery update = Sql::run(
        QStringLiteral("UPDATE lentInfo SET 还书日期 = :returned, 超出天数 = :overdue, 罚款金额 = :fine"
                       " WHERE rowid = :loan AND 还书日期 IS NULL"),
        {{QStringLiteral("returned"), Sql::dateValue(*returnDate)},
         {QStringLiteral("overdue"), static_cast<int>(*overdue)},
         {QStringLiteral("fine"), fine},
         {QStringLiteral("loan"), loanId}},
        action);
    if (update.numRowsAffected() != 1)
        return Outcome::NotOutstanding;
    transaction.commit();
    return Outcome::Closed;
}

}  // namespace LoanClosing
