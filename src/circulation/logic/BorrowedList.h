#pragma once

#include <QSqlQuery>
#include <QString>
#include <optional>

// A reader's outstanding loans, joined with the reader, the book and the
// book's category: the list both desk grids show. A loan whose reader, book
// or category is missing is neither listed nor counted.
namespace BorrowedList {

// The columns of the list, in the order the query gives them. The grids show
// the first eight, in this order; the loan's row id identifies the loan for
// renewal.
enum Column {
    ReaderNumber,  // 读者编号
    ReaderName,    // 读者姓名
    BookNumber,    // 书籍编号
    Title,         // 书籍名称
    Category,      // 书籍类别
    Pages,         // 书籍页码
    Publisher,     // 出版社
    LendDate,      // 借书日期
    ReturnDate,    // 还书日期
    OverdueDays,   // 超出天数
    Fine,          // 罚款金额
    LoanId,        // the lentInfo row id
    ColumnCount
};
// The columns a desk grid shows: the first eight.
constexpr int kShownColumns = ReturnDate;

// Runs the list for this reader in `query`, preparing it on first use, so a
// grid that shows list after list keeps its statement prepared. The query is
// not forward-only, ready for a QSqlQueryModel. Throws StoreError.
void run(QSqlQuery& query, const QString& readerNumber);

struct Summary {
    int count = 0;  // outstanding loans listed
    // The quota left: 借出册数 minus count as a 16-bit whole number; may be
    // negative; nullopt when the rules hold no quota or it does not fit.
    std::optional<qint16> remaining;
};

// Counts the reader's outstanding loans and works out the quota left, as of
// now. Throws StoreError.
Summary summary(const QString& readerNumber);
// The same for a list already read in full: its row count is the count.
Summary summaryOf(int listed);

}  // namespace BorrowedList
