#include "reports/logic/OverdueList.h"

#include <QSet>
#include <algorithm>

#include "core/logic/Conversions.h"
#include "core/logic/Database.h"
#include "core/logic/Dialect.h"
#include "core/logic/Sql.h"
#include "core/logic/StoreError.h"
#include "reports/logic/ReminderLog.h"

namespace OverdueList {

namespace {

const QString kAction = QStringLiteral("读取超期借阅");

// The loan days the categories give, each once.
QList<int> loanDays()
{
    QSqlQuery query = Sql::run(
        QStringLiteral("SELECT DISTINCT 借出天数 FROM bookType WHERE 借出天数 IS NOT NULL"), {}, kAction);
    QList<int> days;
    while (query.next())
        days << query.value(0).toInt();
    return days;
}

// The outstanding loans lent before their category's last day, and those
// whose category (or lend date) is unknown, with what is known of their
// reader and book, and their reminders since they were lent (or last
// renewed); `alsoWhere` follows the conditions. The loans are walked in book
// order (lentInfo_overdue holds the outstanding ones so, see LibrarySchema),
// so that their books are met in the order they are kept; the reader and the
// reminders are looked up only for the loans kept. Without that index it is
// slower, never wrong.
QString statementWith(const QDate& today, const QString& alsoWhere)
{
    // A loan of N loan days is overdue when lent before today - N days:
    // dates are ISO text on both engines, so they compare as text.
    const QList<int> days = loanDays();
    QString lentTooLong = days.isEmpty() ? QStringLiteral("NULL") : QStringLiteral("CASE bookType.借出天数");
    for (int n : days)
        lentTooLong += QStringLiteral(" WHEN %1 THEN '%2'").arg(n).arg(today.addDays(-n).toString(Qt::ISODate));
    if (!days.isEmpty())
        lentTooLong += QStringLiteral(" END");
    return QStringLiteral(
               "SELECT lentInfo.rowid, lentInfo.读者编号, readerInfo.读者姓名, readerInfo.所在部门,"
               " readerInfo.联系电话, lentInfo.书籍编号, bookInfo.书籍名称, lentInfo.借书日期, bookType.借出天数,"
               " (SELECT count(*) FROM overdueReminders WHERE overdueReminders.借阅行号 = lentInfo.rowid"
               "  AND overdueReminders.催还日期 > lentInfo.借书日期)"
               " FROM lentInfo"
               " LEFT JOIN bookInfo ON ")
           + Sql::sameText(QStringLiteral("bookInfo.书籍编号"), QStringLiteral("lentInfo.书籍编号"))
           + QStringLiteral(" LEFT JOIN bookType ON ")
           + Sql::sameText(QStringLiteral("bookType.类别代码"), QStringLiteral("bookInfo.类别代码"))
           + QStringLiteral(" LEFT JOIN readerInfo ON ")
           + Sql::sameText(QStringLiteral("readerInfo.读者编号"), QStringLiteral("lentInfo.读者编号"))
           + QStringLiteral(" WHERE lentInfo.还书日期 IS NULL AND (bookType.借出天数 IS NULL"
                            " OR lentInfo.借书日期 IS NULL OR lentInfo.借书日期 < ")
           + lentTooLong + QStringLiteral(")") + alsoWhere;
}

}  // namespace

QString statement(const QDate& today)
{
    return statementWith(today, QString());
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
    const QString readerA = Conversions::foldedAZ(a.readerNumber);
    const QString readerB = Conversions::foldedAZ(b.readerNumber);
    if (readerA != readerB)
        return readerA < readerB;
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

QString cell(const OverdueLoan& loan, int column)
{
    const bool known = !loan.unknown();
    switch (column) {
    case 0: return loan.readerNumber;
    case 1: return loan.readerName;
    case 2: return loan.department;
    case 3: return loan.phone;
    case 4: return loan.bookNumber;
    case 5: return loan.title;
    case 6: return Conversions::shortDate(loan.lendDate);
    case 7: return known ? Conversions::shortDate(*loan.dueDate) : QStringLiteral("类别不详");
    case 8: return known ? QString::number(loan.daysOver) : QString();
    case 9: return known ? Conversions::numberText(loan.fine) : QString();
    case 10: return QString::number(loan.reminders);
    default: return QString();
    }
}

QStringList cells(const OverdueLoan& loan)
{
    QStringList texts;
    for (int column = 0; column < kColumns; ++column)
        texts << cell(loan, column);
    return texts;
}

namespace {

// The rows of statementWith() as loans, in the list's order; `last` tells
// how many rows came and the reader of the last one.
struct LastRow {
    int rows = 0;
    QString reader;
};

QList<OverdueLoan> loansOf(const QString& statement, const QDate& today, LastRow* last = nullptr)
{
    if (!ReminderLog::present())
        throw StoreError(kAction, ReminderLog::missingTableMessage());
    const std::optional<double> fine = finePerDay();
    QSqlQuery query = Sql::run(statement, {}, kAction);
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
        if (last)
            *last = {last->rows + 1, loan.readerNumber};
        const QVariant loanDays = query.value(8);
        if (!loanDays.isNull() && loan.lendDate.isValid()) {
            // Overdue: the statement keeps no other known loan.
            const QDate due = loan.lendDate.addDays(loanDays.toLongLong());
            loan.dueDate = due;
            loan.daysOver = int(due.daysTo(today));
            loan.fine = fine ? *fine * loan.daysOver : 0;
        }
        loans.append(loan);
    }
    std::sort(loans.begin(), loans.end(), listedBefore);
    return loans;
}

}  // namespace

QList<OverdueLoan> read(const QDate& today)
{
    return loansOf(statement(today), today);
}

QList<OverdueLoan> readFirst(const QDate& today, int rows)
{
    // The known loans in the order of their readers' numbers, one more than
    // asked: when it comes, its reader may have more, and that reader's
    // loans are left to read().
    const QString statement = statementWith(
        today, QStringLiteral(" AND bookType.借出天数 IS NOT NULL AND lentInfo.借书日期 IS NOT NULL ORDER BY ")
                   + Database::dialect().foldedOrder(QStringLiteral("lentInfo.读者编号"))
                   + QStringLiteral(" LIMIT %1").arg(rows + 1));
    LastRow last;
    QList<OverdueLoan> loans = loansOf(statement, today, &last);
    if (last.rows > rows)
        loans.removeIf([&](const OverdueLoan& loan) {
            return Conversions::foldedAZ(loan.readerNumber) == Conversions::foldedAZ(last.reader);
        });
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
        readers.insert(Conversions::foldedAZ(loan.readerNumber));
        ++totals.books;
        totals.fines += loan.fine;
    }
    totals.readers = int(readers.size());
    totals.fines = Conversions::moneySum(totals.fines);
    return totals;
}

bool sameReader(const OverdueLoan& a, const OverdueLoan& b)
{
    return Conversions::foldedAZ(a.readerNumber) == Conversions::foldedAZ(b.readerNumber);
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
