#include "reports/logic/OverdueList.h"

#include <QSet>
#include <algorithm>

#include "core/logic/Conversions.h"
#include "core/logic/Sql.h"
#include "core/logic/StoreError.h"
#include "reports/logic/ReminderLog.h"

namespace OverdueList {

namespace {

const QString kAction = QStringLiteral("读取超期借阅");

}  // namespace

// Every outstanding loan with what is known of its reader, book and category,
// and its reminders since it was lent (or last renewed).
QString statement()
{
    return QStringLiteral(
               "SELECT lentInfo.rowid, lentInfo.读者编号, readerInfo.读者姓名, readerInfo.所在部门,"
               " readerInfo.联系电话, lentInfo.书籍编号, bookInfo.书籍名称, lentInfo.借书日期, bookType.借出天数,"
               " (SELECT count(*) FROM overdueReminders WHERE overdueReminders.借阅行号 = lentInfo.rowid"
               "  AND overdueReminders.催还日期 > lentInfo.借书日期)"
               " FROM lentInfo"
               " LEFT JOIN readerInfo ON ")
           + Sql::sameText(QStringLiteral("readerInfo.读者编号"), QStringLiteral("lentInfo.读者编号"))
           + QStringLiteral(" LEFT JOIN bookInfo ON ")
           + Sql::sameText(QStringLiteral("bookInfo.书籍编号"), QStringLiteral("lentInfo.书籍编号"))
           + QStringLiteral(" LEFT JOIN bookType ON ")
           + Sql::sameText(QStringLiteral("bookType.类别代码"), QStringLiteral("bookInfo.类别代码"))
           + QStringLiteral(" WHERE lentInfo.还书日期 IS NULL");
}

namespace {

std::optional<double> finePerDay()
{
    QSqlQuery rules = Sql::run(QStringLiteral("SELECT 罚款 FROM basicSet ORDER BY rowid LIMIT 1"), {}, kAction);
    if (!rules.next() || rules.value(0).isNull())
        return std::nullopt;
    return rules.value(0).toDouble();
}

QString text(const QVariant& value)
{
    return value.isNull() ? QString() : value.toString();
}

// By reader, most days over first; the loans of unknown due date last.
bool listedBefore(const OverdueLoan& a, const OverdueLoan& b)
{
    if (a.unknown() != b.unknown())
        return !a.unknown();
    if (a.readerNumber != b.readerNumber)
        return a.readerNumber < b.readerNumber;
    if (a.daysOver != b.daysOver)
        return a.daysOver > b.daysOver;
    return a.loanId < b.loanId;
}

}  // namespace

QStringList headings()
{
    return {QStringLiteral("读者编号"), QStringLiteral("读者姓名"), QStringLiteral("所在部门"),
            QStringLiteral("联系电话"), QStringLiteral("书籍编号"), QStringLiteral("书籍名称"),
            QStringLiteral("借书日期"), QStringLiteral("应还日期"), QStringLiteral("超出天数"),
            QStringLiteral("应付罚款"), QStringLiteral("催还次数")};
}

QStringList cells(const OverdueLoan& loan)
{
    const bool known = !loan.unknown();
    return {loan.readerNumber,
            loan.readerName,
            loan.department,
            loan.phone,
            loan.bookNumber,
            loan.title,
            Conversions::shortDate(loan.lendDate),
            known ? Conversions::shortDate(*loan.dueDate) : QStringLiteral("类别不详"),
            known ? QString::number(loan.daysOver) : QString(),
            known ? Conversions::numberText(loan.fine) : QString(),
            QString::number(loan.reminders)};
}

QList<OverdueLoan> read(const QDate& today)
{
    if (!ReminderLog::present())
        throw StoreError(kAction, ReminderLog::missingTableMessage());
    const std::optional<double> fine = finePerDay();
    QSqlQuery query = Sql::run(statement(), {}, kAction);
    QList<OverdueLoan> loans;
    while (query.next()) {
        OverdueLoan loan;
        loan.loanId = query.value(0).toLongLong();
        loan.readerNumber = text(query.value(1));
        loan.readerName = text(query.value(2));
        loan.department = text(query.value(3));
        loan.phone = text(query.value(4));
        loan.bookNumber = text(query.value(5));
        loan.title = text(query.value(6));
        loan.lendDate = Sql::toDate(query.value(7));
        loan.reminders = query.value(9).toInt();
        const QVariant loanDays = query.value(8);
        if (!loanDays.isNull() && loan.lendDate.isValid()) {
            const QDate due = loan.lendDate.addDays(loanDays.toLongLong());
            if (due >= today)
                continue;  // not overdue
            loan.dueDate = due;
            loan.daysOver = int(due.daysTo(today));
            loan.fine = fine ? *fine * loan.daysOver : 0;
        }
        loans.append(loan);
    }
    std::sort(loans.begin(), loans.end(), listedBefore);
    return loans;
}

QList<OverdueLoan> filtered(const QList<OverdueLoan>& loans, const Filter& filter)
{
    QList<OverdueLoan> kept;
    for (const OverdueLoan& loan : loans) {
        if (!filter.department.isEmpty() && loan.department != filter.department)
            continue;
        if (!loan.unknown() && loan.daysOver < filter.minDaysOver)
            continue;
        kept.append(loan);
    }
    return kept;
}

Totals totals(const QList<OverdueLoan>& loans)
{
    Totals totals;
    QSet<QString> readers;
    for (const OverdueLoan& loan : loans) {
        if (loan.unknown())
            continue;
        readers.insert(loan.readerNumber);
        ++totals.books;
        totals.fines += loan.fine;
    }
    totals.readers = int(readers.size());
    return totals;
}

QStringList departments()
{
    QSqlQuery query = Sql::run(QStringLiteral("SELECT DISTINCT 所在部门 FROM readerInfo"
                                              " WHERE 所在部门 IS NOT NULL AND 所在部门 <> ''"),
                               {}, kAction);
    QStringList names;
    while (query.next())
        names << query.value(0).toString();
    names.sort();
    return names;
}

}  // namespace OverdueList
