#include <gtest/gtest.h>

#include "QtPrinters.h"
#include "TempLibrary.h"
#include "circulation/logic/LoanClosing.h"
#include "circulation/logic/LoanLookup.h"
#include "core/logic/StoreError.h"

namespace {

class ReturnLogic : public ::testing::Test {
protected:
    void SetUp() override
    {
        library.addCategory("A", "文学", 14);
        library.addBook("B001", "红楼梦", "A", true);
        library.addReader("001", "张三");
        library.setRules(3, 0.1);
    }

    qint64 onlyOutstandingLoan()
    {
        return library.scalar("SELECT rowid FROM lentInfo WHERE 还书日期 IS NULL").toLongLong();
    }
    QString loanRow(qint64 id)
    {
        return library
            .scalar("SELECT 借书日期 || '|' || ifnull(还书日期, 'null') || '|' || ifnull(超出天数, 'null')"
                    " || '|' || ifnull(罚款金额, 'null') FROM lentInfo WHERE rowid = :r",
                    {{"r", id}})
            .toString();
    }
    int lentFlag()
    {
        return library.scalar("SELECT 是否借出 FROM bookInfo WHERE 书籍编号 = 'B001'").toInt();
    }

    TempLibrary library;
};

struct FineCase {
    const char* lendDate;
    int loanDays;
    double finePerDay;
    const char* daysOut;
    const char* overdue;
    const char* fine;
};

class FineFigures : public ReturnLogic, public ::testing::WithParamInterface<FineCase> {};

TEST_P(FineFigures, AreShownAsTheClerkReadsThem)
{
    const FineCase c = GetParam();
    library.exec("UPDATE bookType SET 借出天数 = :d", {{"d", c.loanDays}});
    library.setRules(3, c.finePerDay);
    library.addLoan("001", "B001", c.lendDate);
    const LoanOnDesk loan = LoanLookup::find("B001", QDate(2026, 3, 20));
    ASSERT_EQ(loan.status, LoanOnDesk::Status::Found) << loan.problem.toStdString();
    EXPECT_EQ(loan.returnDate, "2026/3/20");
    EXPECT_EQ(loan.daysOut, c.daysOut);
    EXPECT_EQ(loan.overdueDays, c.overdue);
    EXPECT_EQ(loan.fine, c.fine);
}

INSTANTIATE_TEST_SUITE_P(
    ReturnLogic, FineFigures,
    ::testing::Values(FineCase{"2026-03-01", 14, 0.1, "19", "5", "0.5"},   // the worked example
                      FineCase{"2026-03-06", 14, 0.1, "14", "0", "0"},     // on the due day
                      FineCase{"2026-03-05", 14, 0.1, "15", "1", "0.1"},   // one day after
                      FineCase{"2026-03-03", 14, 0.1, "17", "3", "0.3"},   // no float noise
                      FineCase{"2026-03-19", 14, 0.1, "1", "0", "0"},      // early
                      FineCase{"2026-03-25", 14, 0.1, "-5", "0", "0"},     // lent "in the future"
                      FineCase{"2026-02-18", 30, 0.25, "30", "0", "0"},    // across February
                      FineCase{"2025-03-20", 14, 1.5, "365", "351", "526.5"}));

TEST_F(ReturnLogic, LookUpShowsTheLoanAndItsCategory)
{
    library.addLoan("001", "B001", "2026-03-01");
    library.exec("UPDATE bookInfo SET 书籍页码 = NULL");
    const LoanOnDesk loan = LoanLookup::find("B001", QDate(2026, 3, 20));
    ASSERT_EQ(loan.status, LoanOnDesk::Status::Found);
    EXPECT_EQ(loan.title, "红楼梦");
    EXPECT_EQ(loan.price, "25.00");
    EXPECT_EQ(loan.category, "文学");
    EXPECT_EQ(loan.pages, "");
    EXPECT_EQ(loan.lendDate, "2026/3/1");
    EXPECT_EQ(loan.loanDays, "14");
    EXPECT_EQ(loan.loanId, onlyOutstandingLoan());
}

TEST_F(ReturnLogic, LookUpTakesTheOutstandingLoanNotAnOlderReturnedOne)
{
    library.addLoan("001", "B001", "2026-01-01", "2026-01-10");
    library.addLoan("001", "B001", "2026-03-10");
    const LoanOnDesk loan = LoanLookup::find("B001", QDate(2026, 3, 20));
    ASSERT_EQ(loan.status, LoanOnDesk::Status::Found);
    EXPECT_EQ(loan.lendDate, "2026/3/10");
    EXPECT_EQ(loan.loanId, onlyOutstandingLoan());
}

TEST_F(ReturnLogic, LookUpFindsNothingWithoutAnOutstandingLoan)
{
    library.addBook("B002", "史记", "A");
    library.addBook("B003", "围城", "A", true);
    library.addLoan("001", "B001", "2026-01-01", "2026-01-10");  // only a closed loan
    library.addLoan("777", "B003", "2026-03-01");                // reader missing
    for (const char* book : {"B001", "B002", "B003", "B999", ""})
        EXPECT_EQ(LoanLookup::find(book, QDate(2026, 3, 20)).status, LoanOnDesk::Status::NotFound)
            << book;
}

TEST_F(ReturnLogic, FiguresThatCannotBeWorkedOutAreReportedNotCrashed)
{
    library.addLoan("001", "B001", "1900-01-01");  // more days than 16 bits hold
    LoanOnDesk loan = LoanLookup::find("B001", QDate(2026, 3, 20));
    EXPECT_EQ(loan.status, LoanOnDesk::Status::CannotCompute);
    EXPECT_TRUE(loan.problem.contains("实际天数")) << loan.problem.toStdString();

    library.exec("UPDATE lentInfo SET 借书日期 = '2026-03-01'");
    library.exec("UPDATE bookType SET 借出天数 = NULL");
    EXPECT_EQ(LoanLookup::find("B001", QDate(2026, 3, 20)).status, LoanOnDesk::Status::CannotCompute);

    library.exec("UPDATE bookType SET 借出天数 = -32768");  // 19 - (-32768) overflows
    EXPECT_EQ(LoanLookup::find("B001", QDate(2026, 3, 20)).status, LoanOnDesk::Status::CannotCompute);

    library.exec("UPDATE bookType SET 借出天数 = 14");
    library.exec("UPDATE basicSet SET 罚款 = NULL");
    EXPECT_EQ(LoanLookup::find("B001", QDate(2026, 3, 20)).status, LoanOnDesk::Status::CannotCompute);

    library.exec("UPDATE lentInfo SET 借书日期 = NULL");
    loan = LoanLookup::find("B001", QDate(2026, 3, 20));
    EXPECT_EQ(loan.status, LoanOnDesk::Status::CannotCompute);
    EXPECT_EQ(loan.title, "红楼梦");
}

TEST_F(ReturnLogic, ClosingStoresExactlyTheShownFiguresInThatRow)
{
    library.addLoan("001", "B001", "2026-01-01", "2026-01-10");
    library.addLoan("001", "B001", "2026-03-03");
    const qint64 older = library.scalar("SELECT min(rowid) FROM lentInfo").toLongLong();
    const LoanOnDesk loan = LoanLookup::find("B001", QDate(2026, 3, 20));
    ASSERT_EQ(loan.fine, "0.3");
    EXPECT_EQ(LoanClosing::close(loan.loanId, loan.returnDate, loan.overdueDays, loan.fine),
              LoanClosing::Outcome::Closed);
    EXPECT_EQ(loanRow(loan.loanId), "2026-03-03|2026-03-20|3|0.3");
    EXPECT_EQ(library.scalar("SELECT 罚款金额 FROM lentInfo WHERE rowid = :r", {{"r", loan.loanId}})
                  .toDouble(),
              0.3);
    EXPECT_EQ(loanRow(older), "2026-01-01|2026-01-10|null|null");
    EXPECT_EQ(lentFlag(), 0);
}

TEST_F(ReturnLogic, ClosingAClosedLoanWritesNothing)
{
    library.addLoan("001", "B001", "2026-03-01");
    const qint64 id = onlyOutstandingLoan();
    ASSERT_EQ(LoanClosing::close(id, "2026/3/20", "5", "0.5"), LoanClosing::Outcome::Closed);
    library.exec("UPDATE bookInfo SET 是否借出 = 1");  // lent again meanwhile
    EXPECT_EQ(LoanClosing::close(id, "2026/3/21", "6", "0.6"), LoanClosing::Outcome::NotOutstanding);
    EXPECT_EQ(loanRow(id), "2026-03-01|2026-03-20|5|0.5");
    EXPECT_EQ(lentFlag(), 1);
    EXPECT_EQ(LoanClosing::close(0, "2026/3/21", "6", "0.6"), LoanClosing::Outcome::NotOutstanding);
}

TEST_F(ReturnLogic, ClosingWithFiguresThatAreNotNumbersWritesNothing)
{
    library.addLoan("001", "B001", "2026-03-01");
    const qint64 id = onlyOutstandingLoan();
    for (const auto& [date, overdue, fine] :
         {std::tuple{"", "5", "0.5"}, std::tuple{"2026/3/20", "", "0.5"},
          std::tuple{"2026/3/20", "5", ""}, std::tuple{"2026/2/30", "5", "0.5"},
          std::tuple{"2026/3/20", "5'", "0.5"}, std::tuple{"2026/3/20", "5", "0.5%"}})
        EXPECT_EQ(LoanClosing::close(id, date, overdue, fine), LoanClosing::Outcome::BadFigures);
    EXPECT_EQ(loanRow(id), "2026-03-01|null|null|null");
    EXPECT_EQ(lentFlag(), 1);
}

TEST_F(ReturnLogic, ClosingThatTheStoreRefusesHalfwayLeavesNothing)
{
    library.addLoan("001", "B001", "2026-03-01");
    const qint64 id = onlyOutstandingLoan();
    library.exec("CREATE TRIGGER refuse_return BEFORE UPDATE ON lentInfo"
                 " BEGIN SELECT RAISE(ABORT, 'return refused'); END");
    EXPECT_THROW(LoanClosing::close(id, "2026/3/20", "5", "0.5"), StoreError);
    EXPECT_EQ(loanRow(id), "2026-03-01|null|null|null");
    EXPECT_EQ(lentFlag(), 1);
}

}  // namespace
