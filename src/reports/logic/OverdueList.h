#pragma once

#include <QDate>
#include <QList>
#include <QString>
#include <QStringList>
#include <optional>

// One outstanding loan kept longer than its category's loan days, as the
// overdue window and its letters show it.
struct OverdueLoan {
    qint64 loanId = 0;     // the lentInfo row
    QString readerNumber;  // 读者编号 (the loan's own, also when the reader row is gone)
    QString readerName;    // 读者姓名, empty when the reader row is missing
    QString department;    // 所在部门
    QString phone;         // 联系电话
    QString bookNumber;    // 书籍编号
    QString title;         // 书籍名称, empty when the book row is missing
    QDate lendDate;        // 借书日期
    std::optional<QDate> dueDate;  // lend date + loan days; none when the book, its category or a date is unknown
    int daysOver = 0;      // days out today beyond the loan days
    double fine = 0;       // days over x the rules' fine per day
    int reminders = 0;     // reminders recorded since the loan was lent or last renewed

    // No due date: listed last, marked "类别不详", left out of totals and letters.
    bool unknown() const { return !dueDate; }
};

// The overdue loans of the library, read whole (tens of thousands at most,
// never the millions of loans returned), then filtered as the clerk asks.
namespace OverdueList {

// What the clerk narrows the list to.
struct Filter {
    QString department;  // empty: every department
    int minDaysOver = 1; // at least this many days over
};

struct Totals {
    int readers = 0;
    int books = 0;
    double fines = 0;
};

// The grid's and the CSV file's column headings, in order.
QStringList headings();
constexpr int kColumns = 11;
// A cell of a row as the grid shows it (dates yyyy/M/d, numbers as the desk
// writes them), its column counted as in headings().
QString cell(const OverdueLoan& loan, int column);
// The cells of a row, in the order of headings().
QStringList cells(const OverdueLoan& loan);

// Every outstanding loan overdue as of `today`, and every outstanding loan
// whose due date cannot be known; sorted by reader number (A-Z folded, so
// that each reader's loans come together), then most days
// over first, the unknown ones last. Fines use the lending rules' fine per
// day as the return desk would charge it today (no fine while the rules
// hold none). Throws StoreError, naming the upgrade command when the
// reminders table is missing.
QList<OverdueLoan> read(const QDate& today);
// The first of read()'s rows, for showing them while the rest is read: the
// overdue loans of the readers with the lowest numbers, at most `rows` of
// them and every one of each reader's. Throws StoreError.
QList<OverdueLoan> readFirst(const QDate& today, int rows);
// The statement read() runs for `today`, for measuring it beside the engine
// alone. Throws StoreError.
QString statement(const QDate& today);

// The rows the filter leaves, in order; loans of unknown due date stay
// (they are never dropped silently) unless a department is chosen that is
// not theirs.
QList<OverdueLoan> filtered(const QList<OverdueLoan>& loans, const Filter& filter);
// Readers, books and fines of the known rows.
Totals totals(const QList<OverdueLoan>& loans);
// Whether two loans are one reader's: their numbers compared as the store
// compares them, A-Z folded (a book lent to "r001" is R001's).
bool sameReader(const OverdueLoan& a, const OverdueLoan& b);
// The departments readers have, sorted, without the empty one. Throws StoreError.
QStringList departments();

}  // namespace OverdueList
