#include <gtest/gtest.h>

#include "Probes.h"
#include "QtPrinters.h"
#include "TempLibrary.h"
#include "circulation/logic/BookLookup.h"
#include "circulation/logic/BorrowedList.h"
#include "circulation/logic/BorrowedListModel.h"
#include "circulation/logic/Lending.h"
#include "circulation/logic/LoanClosing.h"
#include "circulation/logic/LoanLookup.h"
#include "circulation/logic/ReaderLookup.h"
#include "core/logic/StoreError.h"

namespace {

const QDate kToday(2026, 3, 20);

class DeskLogic : public ::testing::Test {
protected:
    void SetUp() override
    {
        library.addCategory("A", "文学", 14);
        library.addCategory("B", "历史", 30);
        for (const char* book : {"B001", "B002", "B003", "B004"})
            library.addBook(book, QString("书") + book, book[3] == '2' ? "B" : "A");
        library.addReader("001", "张三");
        library.addReader("002", "李四");
        library.setRules(3, 0.1);
    }

    // Every loan as "reader|book|lend date|return date|overdue days|fine", oldest first.
    static QString loans()
    {
        return storeRows("SELECT 读者编号, 书籍编号, 借书日期, 还书日期, 超出天数, 罚款金额 FROM lentInfo ORDER BY rowid", " ");
    }
    static QString lentBooks() { return storeRows("SELECT 书籍编号 FROM bookInfo WHERE 是否借出 = 1"); }

    TempLibrary library;
};

TEST_F(DeskLogic, LookUpsTakeNumbersAsDataAndNeedTheCategory)
{
    library.exec("UPDATE bookInfo SET 书籍价格 = NULL, 是否借出 = 1 WHERE 书籍编号 = 'B002'");
    library.addBook("B009", "无类之书", "Z");  // its category is missing
    library.addBook("B'1%", "引号书", "A");
    library.addReader("0'1", "奥尼尔");
    const auto book = BookLookup::find("B002");
    ASSERT_TRUE(book);
    // The empty price column shows as an empty box.
    EXPECT_EQ(book->category + "|" + book->price + "|" + (book->lent ? "lent" : "in"), "历史||lent");
    for (const char* number : {"B999", "", "B009", "%", "B' OR '1'='1"})
        EXPECT_FALSE(BookLookup::find(number)) << number;
    EXPECT_EQ(BookLookup::find("B'1%")->title, "引号书");
    EXPECT_EQ(ReaderLookup::findName("0'1"), QString("奥尼尔"));
    EXPECT_FALSE(ReaderLookup::findName("' OR 1=1 --"));
    EXPECT_EQ(Lending::lend("0'1", "B'1%", kToday), Lending::Outcome::Lent);
    EXPECT_EQ(BorrowedList::summary("0'1").count, 1);
}

TEST_F(DeskLogic, BorrowedListAndQuotaCountOnlyCompleteOutstandingLoans)
{
    library.addBook("B008", "无类之书", "Z");
    library.addLoan("001", "B001", "2026-03-01");
    library.addLoan("001", "B002", "2026-02-01", "2026-02-20");  // returned
    library.addLoan("001", "B404", "2026-03-02");                // book missing
    library.addLoan("001", "B008", "2026-03-03");                // category missing
    library.addLoan("009", "B003", "2026-03-04");                // reader missing
    library.addLoan("001", "B004", "2026-03-05");
    BorrowedListModel model;
    model.load("001");
    ASSERT_EQ(model.rowCount(), 2);
    EXPECT_EQ(model.index(0, BorrowedList::BookNumber).data().toString() + ","
                  + model.index(1, BorrowedList::BookNumber).data().toString(), "B001,B004");
    EXPECT_EQ(BorrowedList::summary("001").count, 2);
    // The quota left is the quota minus those two, as a 16-bit number.
    const std::pair<int, std::optional<qint16>> cases[] = {
        {3, 1}, {2, 0}, {1, -1}, {32769, 32767}, {32770, std::nullopt}};
    for (const auto& [quota, remaining] : cases) {
        library.setRules(quota, 0.1);
        EXPECT_EQ(BorrowedList::summary("001").remaining, remaining) << quota;
        // The desk takes the count from the list it has read: the same figures.
        EXPECT_EQ(BorrowedList::summaryOf(model.rowCount()).remaining, remaining) << quota;
    }
    library.exec("UPDATE basicSet SET 借出册数 = NULL");
    EXPECT_FALSE(BorrowedList::summary("001").remaining);
}

// The grid keeps its statements prepared from list to list; a list the store
// refuses leaves the rows shown before.
TEST_F(DeskLogic, BorrowedListReloadsAndKeepsItsRowsWhenRefused)
{
    library.addLoan("001", "B001", "2026-03-01");
    library.addLoan("002", "B002", "2026-03-02");
    library.addLoan("002", "B003", "2026-03-03");
    BorrowedListModel model;
    for (const char* reader : {"001", "002", "001", "002"}) {
        model.load(reader);
        EXPECT_EQ(model.rowCount(), QString(reader) == "001" ? 1 : 2) << reader;
        EXPECT_EQ(model.index(0, BorrowedList::ReaderNumber).data().toString(), reader);
    }
    library.exec("DROP TABLE bookType");
    EXPECT_THROW(model.load("001"), StoreError);
    ASSERT_EQ(model.rowCount(), 2);
    EXPECT_EQ(model.index(1, BorrowedList::BookNumber).data().toString(), "B003");
}

TEST_F(DeskLogic, LendingRefusalsSayWhyAndWriteNothing)
{
    library.setRules(2, 0.1);
    library.addLoan("002", "B003", "2026-03-01");
    library.exec("UPDATE bookInfo SET 是否借出 = 1 WHERE 书籍编号 = 'B003'");
    // The last book of the quota goes.
    EXPECT_EQ(Lending::lend("002", "B004", QDate(2026, 3, 2)), Lending::Outcome::Lent);
    // The quota comes before the book, so 002's loans must not count for 001.
    const struct { const char *reader, *book; Lending::Outcome outcome; const char* message; } cases[] = {
        {"", "B001", Lending::Outcome::NoReaderNumber, "请先输入读者编号!"},
        {"999", "B001", Lending::Outcome::UnknownReader, "没有该读者信息!"},
        {"002", "B001", Lending::Outcome::QuotaReached, "您的书已经借满,不能再借!"},
        {"001", "", Lending::Outcome::NoBookNumber, "请先输入书籍编号"},
        {"001", "B999", Lending::Outcome::UnknownBook, "没有该书信息!"},
        {"001", "B003", Lending::Outcome::AlreadyLent, "该书已经借出,请选择其它图书!"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(Lending::lend(c.reader, c.book, kToday), c.outcome) << c.reader << "/" << c.book;
        EXPECT_EQ(Lending::message(c.outcome), QString::fromUtf8(c.message));
    }
    library.setRules(1, 0.1);  // below the loans held: still refused, not only at exactly 0
    EXPECT_EQ(Lending::lend("002", "B001", kToday), Lending::Outcome::QuotaReached);
    EXPECT_EQ(loans(), "002|B003|2026-03-01||| 002|B004|2026-03-02|||");
    EXPECT_EQ(lentBooks(), "B003,B004");
}

TEST_F(DeskLogic, FinesAreShownAsTheClerkReadsThem)
{
    // figures: return date|days out|overdue days|fine
    const struct { const char* lendDate; int loanDays; double finePerDay; const char* figures; } cases[] = {
        {"2026-03-01", 14, 0.1, "2026/3/20|19|5|0.5"},  // the worked example
        {"2026-03-06", 14, 0.1, "2026/3/20|14|0|0"},    // on the due day
        {"2026-03-05", 14, 0.1, "2026/3/20|15|1|0.1"},  // one day after
        {"2026-03-03", 14, 0.1, "2026/3/20|17|3|0.3"},  // no float noise
        {"2026-03-25", 14, 0.1, "2026/3/20|-5|0|0"},    // lent "later" than today
        {"2025-03-20", 30, 1.5, "2026/3/20|365|335|502.5"},  // the category's own period
    };
    for (const auto& c : cases) {
        library.exec("DELETE FROM lentInfo");
        library.exec("UPDATE bookType SET 借出天数 = :d", {{"d", c.loanDays}});
        library.setRules(3, c.finePerDay);
        library.addLoan("001", "B001", c.lendDate);
        const LoanOnDesk loan = LoanLookup::find("B001", kToday);
        EXPECT_EQ(loan.returnDate + "|" + loan.daysOut + "|" + loan.overdueDays + "|" + loan.fine, c.figures)
            << c.lendDate << " " << loan.problem.toStdString();
    }
}

TEST_F(DeskLogic, ReturnLookUpNeedsACompleteOutstandingLoan)
{
    library.addLoan("001", "B001", "2026-01-01", "2026-01-10");  // only a closed loan
    library.addLoan("777", "B003", "2026-03-01");                // reader missing
    for (const char* book : {"B001", "B002", "B003", "B999", ""})
        EXPECT_EQ(LoanLookup::find(book, kToday).status, LoanOnDesk::Status::NotFound) << book;
    library.addLoan("001", "B004", "2026-03-01");
    for (const char* broken : {"UPDATE lentInfo SET 借书日期 = '1900-01-01'",  // beyond 16 bits
                               "UPDATE bookType SET 借出天数 = -32768",        // 19 + 32768 overflows
                               "UPDATE bookType SET 借出天数 = NULL", "UPDATE basicSet SET 罚款 = NULL",
                               "UPDATE lentInfo SET 借书日期 = NULL"}) {
        library.exec(broken);
        const LoanOnDesk loan = LoanLookup::find("B004", kToday);
        EXPECT_EQ(loan.status, LoanOnDesk::Status::CannotCompute) << broken;
        EXPECT_FALSE(loan.problem.isEmpty());
        library.exec("UPDATE lentInfo SET 借书日期 = '2026-03-01' WHERE 书籍编号 = 'B004'");
        library.exec("UPDATE bookType SET 借出天数 = 14");
        library.setRules(3, 0.1);
    }
}

// Figures that are not a date and numbers, or a store that refuses, write
// nothing; then the return stores exactly the shown figures, once.
TEST_F(DeskLogic, ReturnStoresExactlyTheShownFiguresOnce)
{
    library.exec("UPDATE bookInfo SET 是否借出 = 1 WHERE 书籍编号 = 'B001'");
    library.addLoan("001", "B001", "2026-01-01", "2026-01-10");
    library.addLoan("001", "B001", "2026-03-03");
    const LoanOnDesk loan = LoanLookup::find("B001", kToday);
    EXPECT_EQ(loan.lendDate + "|" + loan.fine, "2026/3/3|0.3");
    for (const auto& [date, overdue, fine] : {std::tuple{"", "", ""}, {"2026/2/30", "3", "0.3"},
                                              {"2026/3/20", "3'", "0.3"}, {"2026/3/20", "3", "0.3%"},
                                              {"2026/3/20", "3", "inf"}})
        EXPECT_EQ(LoanClosing::close(loan.loanId, date, overdue, fine), LoanClosing::Outcome::BadFigures)
            << date << "|" << overdue << "|" << fine;
    library.refuse("lentInfo", "UPDATE");
    EXPECT_THROW(LoanClosing::close(loan.loanId, loan.returnDate, loan.overdueDays, loan.fine), StoreError);
    EXPECT_EQ(loans(), "001|B001|2026-01-01|2026-01-10|| 001|B001|2026-03-03|||");
    EXPECT_EQ(lentBooks(), "B001");
    library.allow("lentInfo");

    EXPECT_EQ(LoanClosing::close(loan.loanId, loan.returnDate, loan.overdueDays, loan.fine),
              LoanClosing::Outcome::Closed);
    const QString closed = "001|B001|2026-01-01|2026-01-10|| 001|B001|2026-03-03|2026-03-20|3|0.3";
    EXPECT_EQ(loans(), closed);
    EXPECT_EQ(lentBooks(), "");
    // Closed already (the book lent again meanwhile) or no row at all: nothing written.
    library.exec("UPDATE bookInfo SET 是否借出 = 1 WHERE 书籍编号 = 'B001'");
    for (qint64 id : {loan.loanId, qint64(0)})
        EXPECT_EQ(LoanClosing::close(id, "2026/3/21", "6", "0.6"), LoanClosing::Outcome::NotOutstanding);
    EXPECT_EQ(loans(), closed);
    EXPECT_EQ(lentBooks(), "B001");
}

}  // namespace
