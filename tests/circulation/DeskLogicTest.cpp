#include <gtest/gtest.h>

#include "QtPrinters.h"
#include "TempLibrary.h"
#include "circulation/logic/BookLookup.h"
#include "circulation/logic/BorrowedList.h"
#include "circulation/logic/BorrowedListModel.h"
#include "circulation/logic/Lending.h"
#include "circulation/logic/ReaderLookup.h"
#include "circulation/logic/Renewal.h"
#include "core/logic/StoreError.h"

namespace {

class DeskLogic : public ::testing::Test {
protected:
    void SetUp() override
    {
        library.addCategory("A", "文学", 14);
        library.addCategory("B", "历史", 30);
        library.addBook("B001", "红楼梦", "A");
        library.addBook("B002", "史记", "B");
        library.addBook("B003", "围城", "A");
        library.addBook("B004", "边城", "A");
        library.addReader("001", "张三");
        library.addReader("002", "李四");
        library.setRules(3, 0.1);
    }

    int loanCount() { return library.scalar("SELECT count(*) FROM lentInfo").toInt(); }
    int lentFlag(const QString& book)
    {
        return library.scalar("SELECT 是否借出 FROM bookInfo WHERE 书籍编号 = :b", {{"b", book}}).toInt();
    }
    QString lendDateOf(qint64 rowid)
    {
        return library.scalar("SELECT 借书日期 FROM lentInfo WHERE rowid = :r", {{"r", rowid}}).toString();
    }

    TempLibrary library;
};

TEST_F(DeskLogic, BookLookUpJoinsTheCategoryAndReadsTheLentFlag)
{
    library.exec("UPDATE bookInfo SET 书籍价格 = NULL, 是否借出 = 1 WHERE 书籍编号 = 'B002'");
    const auto book = BookLookup::find("B002");
    ASSERT_TRUE(book);
    EXPECT_EQ(book->title, "史记");
    EXPECT_EQ(book->category, "历史");
    EXPECT_EQ(book->publisher, "人民文学出版社");
    EXPECT_EQ(book->pages, "320");
    EXPECT_EQ(book->price, "");  // an empty column shows as an empty box
    EXPECT_TRUE(book->lent);
    EXPECT_FALSE(BookLookup::find("B001")->lent);
}

TEST_F(DeskLogic, BookLookUpFindsNothingForUnknownNumbersOrMissingCategory)
{
    library.addBook("B009", "无类之书", "Z");
    EXPECT_FALSE(BookLookup::find("B999"));
    EXPECT_FALSE(BookLookup::find(""));
    EXPECT_FALSE(BookLookup::find("B009"));
}

TEST_F(DeskLogic, QuotesAndWildcardsInNumbersAreData)
{
    library.addBook("B'1%", "引号书", "A");
    library.addReader("0'1", "奥尼尔");
    EXPECT_EQ(BookLookup::find("B'1%")->title, "引号书");
    EXPECT_FALSE(BookLookup::find("%"));
    EXPECT_FALSE(BookLookup::find("B' OR '1'='1"));
    EXPECT_EQ(ReaderLookup::findName("0'1"), QString("奥尼尔"));
    EXPECT_FALSE(ReaderLookup::findName("' OR 1=1 --"));
    EXPECT_EQ(Lending::lend("0'1", "B'1%", QDate(2026, 3, 1)), Lending::Outcome::Lent);
    EXPECT_EQ(BorrowedList::summary("0'1").count, 1);
}

TEST_F(DeskLogic, ReaderLookUp)
{
    EXPECT_EQ(ReaderLookup::findName("001"), QString("张三"));
    EXPECT_FALSE(ReaderLookup::findName("999"));
    EXPECT_FALSE(ReaderLookup::findName(""));
}

TEST_F(DeskLogic, BorrowedListHoldsOnlyCompleteOutstandingLoans)
{
    library.addBook("B008", "无类之书", "Z");  // its category is missing
    library.addLoan("001", "B001", "2026-03-01");
    library.addLoan("001", "B002", "2026-02-01", "2026-02-20");  // returned
    library.addLoan("001", "B404", "2026-03-02");                // book missing
    library.addLoan("001", "B008", "2026-03-03");                // category missing
    library.addLoan("009", "B003", "2026-03-04");                // reader missing
    library.addLoan("001", "B004", "2026-03-05");
    BorrowedListModel model;
    model.load("001");
    ASSERT_EQ(model.rowCount(), 2);
    EXPECT_EQ(model.index(0, BorrowedList::BookNumber).data().toString(), "B001");
    EXPECT_EQ(model.index(1, BorrowedList::BookNumber).data().toString(), "B004");
    EXPECT_EQ(BorrowedList::summary("001").count, 2);
    EXPECT_EQ(BorrowedList::summary("009").count, 0);
    model.load("009");
    EXPECT_EQ(model.rowCount(), 0);
}

TEST_F(DeskLogic, BorrowedListColumnsAndShortDates)
{
    library.addLoan("001", "B003", "2026-03-01");
    BorrowedListModel model;
    model.load("001");
    const QStringList expected = {"读者编号", "读者姓名", "书籍编号", "书籍名称", "书籍类别", "出版社",
                                  "书籍页码", "借书日期", "还书日期", "超出天数", "罚款金额"};
    for (int column = 0; column < expected.size(); ++column)
        EXPECT_EQ(model.headerData(column, Qt::Horizontal).toString(), expected[column]) << column;
    EXPECT_EQ(model.index(0, BorrowedList::ReaderName).data().toString(), "张三");
    EXPECT_EQ(model.index(0, BorrowedList::Category).data().toString(), "文学");
    EXPECT_EQ(model.index(0, BorrowedList::LendDate).data().toString(), "2026/3/1");
    EXPECT_EQ(model.index(0, BorrowedList::LendDate).data(Qt::EditRole).toString(), "2026/3/1");
    EXPECT_EQ(model.index(0, BorrowedList::ReturnDate).data().toString(), "");
    const qint64 id = library.scalar("SELECT rowid FROM lentInfo").toLongLong();
    EXPECT_EQ(model.loanIdAt(0), id);
    EXPECT_EQ(model.loanIdAt(1), 0);
    EXPECT_EQ(model.loanIdAt(-1), 0);
}

struct QuotaCase {
    int quota;
    int loans;
    int remaining;
};

class QuotaLeft : public DeskLogic, public ::testing::WithParamInterface<QuotaCase> {};

TEST_P(QuotaLeft, IsTheQuotaMinusTheLoansAndMayBeNegative)
{
    const QuotaCase c = GetParam();
    library.setRules(c.quota, 0.1);
    const char* books[] = {"B001", "B002", "B003", "B004"};
    for (int i = 0; i < c.loans; ++i)
        library.addLoan("001", books[i], "2026-03-01");
    const BorrowedList::Summary summary = BorrowedList::summary("001");
    EXPECT_EQ(summary.count, c.loans);
    ASSERT_TRUE(summary.remaining);
    EXPECT_EQ(*summary.remaining, c.remaining);
}

INSTANTIATE_TEST_SUITE_P(DeskLogic, QuotaLeft,
                         ::testing::Values(QuotaCase{2, 0, 2}, QuotaCase{3, 2, 1}, QuotaCase{2, 2, 0},
                                           QuotaCase{1, 3, -2}, QuotaCase{0, 0, 0}));

TEST_F(DeskLogic, QuotaLeftOutsideSixteenBitsIsReportedNotWrapped)
{
    library.setRules(40000, 0.1);
    EXPECT_FALSE(BorrowedList::summary("001").remaining);
    library.setRules(32767, 0.1);
    EXPECT_EQ(BorrowedList::summary("001").remaining, qint16(32767));
    library.exec("UPDATE basicSet SET 借出册数 = NULL");
    EXPECT_FALSE(BorrowedList::summary("001").remaining);
}

TEST_F(DeskLogic, LendingWritesTheLoanAndTheFlagTogether)
{
    EXPECT_EQ(Lending::lend("001", "B001", QDate(2026, 3, 1)), Lending::Outcome::Lent);
    EXPECT_EQ(loanCount(), 1);
    EXPECT_EQ(library.scalar("SELECT 读者编号 || '|' || 书籍编号 || '|' || 借书日期 || '|' ||"
                             " ifnull(还书日期, 'null') FROM lentInfo").toString(),
              "001|B001|2026-03-01|null");
    EXPECT_EQ(lentFlag("B001"), 1);
    EXPECT_EQ(lentFlag("B002"), 0);
}

struct Refusal {
    const char* reader;
    const char* book;
    Lending::Outcome outcome;
    const char* message;
};

class LendingRefusal : public DeskLogic, public ::testing::WithParamInterface<Refusal> {};

TEST_P(LendingRefusal, SaysWhyAndWritesNothing)
{
    library.setRules(2, 0.1);
    library.addReader("003", "王五");
    library.addLoan("003", "B003", "2026-03-01");
    library.addLoan("003", "B004", "2026-03-02");
    library.exec("UPDATE bookInfo SET 是否借出 = 1 WHERE 书籍编号 IN ('B003', 'B004')");
    const Refusal r = GetParam();
    EXPECT_EQ(Lending::lend(r.reader, r.book, QDate(2026, 3, 20)), r.outcome);
    EXPECT_EQ(Lending::message(r.outcome), QString::fromUtf8(r.message));
    EXPECT_EQ(loanCount(), 2);
    EXPECT_EQ(library.scalar("SELECT sum(是否借出) FROM bookInfo").toInt(), 2);
}

INSTANTIATE_TEST_SUITE_P(
    DeskLogic, LendingRefusal,
    ::testing::Values(Refusal{"", "B001", Lending::Outcome::NoReaderNumber, "请先输入读者编号!"},
                      Refusal{"999", "B001", Lending::Outcome::UnknownReader, "没有该读者信息!"},
                      Refusal{"003", "B001", Lending::Outcome::QuotaReached, "您的书已经借满,不能再借!"},
                      Refusal{"001", "", Lending::Outcome::NoBookNumber, "请先输入书籍编号"},
                      Refusal{"001", "B999", Lending::Outcome::UnknownBook, "没有该书信息!"},
                      Refusal{"001", "B003", Lending::Outcome::AlreadyLent,
                              "该书已经借出,请选择其它图书!"}));

TEST_F(DeskLogic, QuotaIsCountedForThatReaderAtThatMoment)
{
    library.setRules(2, 0.1);
    library.addLoan("002", "B003", "2026-03-01");  // another reader's loan does not count
    EXPECT_EQ(Lending::lend("001", "B001", QDate(2026, 3, 1)), Lending::Outcome::Lent);
    EXPECT_EQ(Lending::lend("001", "B002", QDate(2026, 3, 1)), Lending::Outcome::Lent);
    EXPECT_EQ(Lending::lend("001", "B004", QDate(2026, 3, 1)), Lending::Outcome::QuotaReached);
    // Quota lowered below the loans held: still refused, not only at exactly 0.
    library.setRules(1, 0.1);
    EXPECT_EQ(Lending::lend("001", "B004", QDate(2026, 3, 1)), Lending::Outcome::QuotaReached);
    EXPECT_EQ(lentFlag("B004"), 0);
    // A loan whose book has left the catalogue no longer holds a place.
    library.setRules(2, 0.1);
    library.exec("DELETE FROM bookInfo WHERE 书籍编号 = 'B002'");
    EXPECT_EQ(Lending::lend("001", "B004", QDate(2026, 3, 1)), Lending::Outcome::Lent);
}

TEST_F(DeskLogic, LendingThatTheStoreRefusesHalfwayLeavesNothing)
{
    library.exec("CREATE TRIGGER refuse_flag BEFORE UPDATE ON bookInfo"
                 " BEGIN SELECT RAISE(ABORT, 'flag refused'); END");
    try {
        Lending::lend("001", "B001", QDate(2026, 3, 1));
        FAIL() << "the refusal was not reported";
    } catch (const StoreError& e) {
        EXPECT_TRUE(e.message().startsWith("借出图书失败!")) << e.message().toStdString();
        EXPECT_TRUE(e.message().contains("flag refused"));
    }
    EXPECT_EQ(loanCount(), 0);
    EXPECT_EQ(lentFlag("B001"), 0);
}

TEST_F(DeskLogic, RenewalChangesOnlyTheLoanChosen)
{
    // Three loans of one reader, two of them on the same day.
    library.addLoan("001", "B001", "2026-03-01");
    library.addLoan("001", "B002", "2026-03-01");
    library.addLoan("001", "B003", "2026-03-01");
    BorrowedListModel model;
    model.load("001");
    ASSERT_EQ(model.rowCount(), 3);
    const qint64 second = model.loanIdAt(1);
    EXPECT_EQ(Renewal::renew(second, QDate(2026, 3, 15)), Renewal::Outcome::Renewed);
    EXPECT_EQ(lendDateOf(model.loanIdAt(0)), "2026-03-01");
    EXPECT_EQ(lendDateOf(second), "2026-03-15");
    EXPECT_EQ(lendDateOf(model.loanIdAt(2)), "2026-03-01");
    EXPECT_EQ(library.scalar("SELECT count(*) FROM lentInfo WHERE 还书日期 IS NULL AND 超出天数 IS NULL"
                             " AND 罚款金额 IS NULL").toInt(), 3);
    // Renewing again works on the same row, whatever date it holds by now.
    EXPECT_EQ(Renewal::renew(second, QDate(2026, 3, 16)), Renewal::Outcome::Renewed);
    EXPECT_EQ(lendDateOf(second), "2026-03-16");
}

TEST_F(DeskLogic, RenewalRefusesALoanNoLongerOutstanding)
{
    library.addLoan("001", "B001", "2026-03-01", "2026-03-10");
    const qint64 returned = library.scalar("SELECT rowid FROM lentInfo").toLongLong();
    EXPECT_EQ(Renewal::renew(returned, QDate(2026, 3, 15)), Renewal::Outcome::NotOutstanding);
    EXPECT_EQ(lendDateOf(returned), "2026-03-01");
    EXPECT_EQ(Renewal::renew(returned + 100, QDate(2026, 3, 15)), Renewal::Outcome::NotOutstanding);
    EXPECT_EQ(Renewal::renew(0, QDate(2026, 3, 15)), Renewal::Outcome::NotOutstanding);
}

}  // namespace
