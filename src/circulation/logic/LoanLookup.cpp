#include "circulation/logic/LoanLookup.h"

#include <limits>

#include "circulation/logic/DeskRules.h"
#include "circulation/logic/DeskStatements.h"
#include "core/logic/Conversions.h"
#include "core/logic/Sql.h"

namespace LoanLookup {

namespace {

const QString kAction = QStringLiteral("查找借阅记录");

QString shown(const QVariant& value)
{
    return value.isNull() ? QString() : value.toString();
}

LoanOnDesk cannotCompute(LoanOnDesk loan, const QString& problem)
{
    loan.status = LoanOnDesk::Status::CannotCompute;
    loan.problem = problem;
    return loan;
}

// Fills the day and fine figures from the texts already shown; each step
// reads the previous step's text back, as 16-bit whole numbers.
LoanOnDesk computeFigures(LoanOnDesk loan, const QDate& lendDate, const QDate& today,
                          const QVariant& finePerDay)
{
    loan.returnDate = Conversions::shortDate(today);
    loan.daysOut = Conversions::numberText(static_cast<double>(lendDate.daysTo(today)));
    const std::optional<qint16> daysOut = Conversions::textToInteger16(loan.daysOut);
    const std::optional<qint16> period = Conversions::textToInteger16(loan.loanDays);
    if (!daysOut)
        return cannotCompute(loan, QStringLiteral("实际天数 %1 超出范围").arg(loan.daysOut));
    if (!period)
        return cannotCompute(loan, QStringLiteral("规定天数 \"%1\" 不是有效的天数").arg(loan.loanDays));
    const int overdue = *daysOut - *period;
    if (overdue < std::numeric_limits<qint16>::min() || overdue > std::numeric_limits<qint16>::max())
        return cannotCompute(loan, QStringLiteral("超出天数 %1 超出范围").arg(overdue));
    loan.overdueDays = overdue > 0 ? Conversions::numberText(overdue) : QStringLiteral("0");
    if (finePerDay.isNull())
        return cannotCompute(loan, QStringLiteral("没有设置每天的罚款金额"));
    const double fine = finePerDay.toDouble() * *Conversions::textToInteger16(loan.overdueDays);
    loan.fine = Conversions::numberText(fine);
    loan.status = LoanOnDesk::Status::Found;
    return loan;
}

}  // namespace

LoanOnDesk find(const QString& bookNumber, const QDate& today)
{
    QDate lendDate;
    const std::optional<LoanOnDesk> loan = Sql::withKept(
        DeskStatements::loanLookup(),
        {{QStringLiteral("book"), bookNumber}}, kAction,
        [&lendDate](QSqlQuery& query) -> std::optional<LoanOnDesk> {
            if (!query.next())
                return std::nullopt;
            LoanOnDesk found;
            found.price = shown(query.value(0));
            found.title = shown(query.value(1));
            found.pages = shown(query.value(2));
            lendDate = Sql::toDate(query.value(3));
            found.lendDate = Conversions::shortDate(lendDate);
            found.category = shown(query.value(4));
            found.loanDays = query.value(5).isNull() ? QString() : Conversions::numberText(query.value(5).toDouble());
            found.loanId = query.value(6).toLongLong();
            return found;
        });
    if (!loan)
        return LoanOnDesk{};
    if (!lendDate.isValid())
        return cannotCompute(*loan, QStringLiteral("借书日期为空"));
    return computeFigures(*loan, lendDate, today, DeskRules::read(kAction).finePerDay);
}

}  // namespace LoanLookup
