#include <gtest/gtest.h>

#include "TempLibrary.h"
#include "core/logic/Conversions.h"
#include "core/logic/LibrarySchema.h"
#include "core/logic/StoreError.h"
#include "reports/logic/OverdueList.h"
#include "reports/logic/ReminderLog.h"

namespace {

// Today is 10 January 2027. Categories A (14 days) and B (30 days), a fine of
// 0.1 a day. Loans across the year's and February's ends, one not yet due,
// one whose reader row is gone and one whose book is gone.
class Overdue : public ::testing::Test {
protected:
    void SetUp() override
    {
        library.addBasics();
        library.exec("UPDATE readerInfo SET 所在部门 = '办公室', 联系电话 = '0571-1' WHERE 读者编号 = '001'");
        library.exec("UPDATE readerInfo SET 所在部门 = '图书馆' WHERE 读者编号 = '002'");
        for (const char* book : {"B001", "B003", "B004"})
            library.addBook(book, QStringLiteral("书%1").arg(book), "A", true);
        library.addBook("B002", "史记", "B", true);
        library.addLoan("001", "B001", "2026-12-01", "2026-12-05");  // returned: never listed
        library.addLoan("001", "B001", "2026-12-20");                // due 2027-01-03
        library.addLoan("001", "B002", "2026-11-30");                // due 2026-12-30
        library.addLoan("002", "B003", "2026-12-27");                // due today: not overdue
        library.addLoan("009", "B004", "2026-02-27");                // due 2026-03-13; no reader row
        library.addLoan("002", "B404", "2026-01-01");                // no book: due date unknown
    }
    static QString books(const QList<OverdueLoan>& loans)
    {
        QStringList numbers;
        for (const OverdueLoan& loan : loans)
            numbers << loan.bookNumber;
        return numbers.join(',');
    }
    static QString rows(const QList<OverdueLoan>& loans)
    {
        QStringList lines;
        for (const OverdueLoan& loan : loans)
            lines << OverdueList::cells(loan).join('|');
        return lines.join('\n');
    }
    const QDate today{2027, 1, 10};
    TempLibrary library;
};

TEST_F(Overdue, DueDatesDaysOverFinesAndTheFilterByReaderWithTheUnknownLast)
{
    const QList<OverdueLoan> loans = OverdueList::read(today);
    EXPECT_EQ(rows(loans).toStdString(), "001|张三|办公室|0571-1|B002|史记|2026/11/30|2026/12/30|11|1.1|0\n"
                           "001|张三|办公室|0571-1|B001|书B001|2026/12/20|2027/1/3|7|0.7|0\n"
                           "009||||B004|书B004|2026/2/27|2026/3/13|303|30.3|0\n"
                           "002|李四|图书馆|0571-8888|B404||2026/1/1|类别不详|||0");
    const OverdueList::Totals totals = OverdueList::totals(loans);
    EXPECT_TRUE(totals.readers == 2 && totals.books == 3) << totals.readers << " readers, " << totals.books << " books";
    EXPECT_DOUBLE_EQ(totals.fines, 32.1);

    // The filter keeps its department and days over, and never drops the unknown.
    EXPECT_EQ(OverdueList::departments(), QStringList({"办公室", "图书馆"}));
    EXPECT_EQ(books(OverdueList::filtered(loans, {"办公室", 1})).toStdString(), "B002,B001");
    EXPECT_EQ(books(OverdueList::filtered(loans, {"", 11})).toStdString(), "B002,B004,B404");

    // The fine is the rules' of today.
    library.setRules(3, 0.5);
    EXPECT_EQ(OverdueList::cells(OverdueList::read(today).first()).value(9), "5.5");

    // No category with loan days: every outstanding loan is of unknown due date.
    library.exec("UPDATE bookType SET 借出天数 = NULL");
    QStringList unknown;
    for (const OverdueLoan& loan : OverdueList::read(today))
        unknown << loan.bookNumber + (loan.unknown() ? "?" : "");
    EXPECT_EQ(unknown.join(',').toStdString(), "B001?,B002?,B003?,B404?,B004?");
}

// A reader's number typed at the desk in the other case ("r7" for R7) is
// still that reader's: the loans are listed together and the reader counted once.
TEST_F(Overdue, AReaderNumberTypedInTheOtherCaseIsTheSameReader)
{
    library.addReader("R7", "王五");
    library.addReader("R8", "赵六");
    for (const char* book : {"B005", "B006", "B007"})
        library.addBook(book, QStringLiteral("书%1").arg(book), "A", true);
    library.addLoan("r7", "B005", "2026-12-01");  // 26 days over
    library.addLoan("R8", "B006", "2026-12-05");  // 22
    library.addLoan("R7", "B007", "2026-12-10");  // 17
    const QList<OverdueLoan> loans = OverdueList::read(today);
    EXPECT_EQ(books(loans).toStdString(), "B002,B001,B004,B005,B007,B006,B404");
    EXPECT_EQ(OverdueList::totals(loans).readers, 4);
}

// The total of many fines is money, not the noise of adding binary fractions.
TEST(OverdueTotals, ManyFinesAddUpToWhatTheyAre)
{
    OverdueLoan loan;
    loan.readerNumber = "001";
    loan.dueDate = QDate(2027, 1, 1);
    loan.daysOver = 3;
    loan.fine = 0.1 * 3;
    const QList<OverdueLoan> loans(1000, loan);
    EXPECT_EQ(Conversions::numberText(OverdueList::totals(loans).fines).toStdString(), "300");
    loan.fine = 0.005 * 3;  // a fine's own digits stay
    EXPECT_EQ(Conversions::numberText(OverdueList::totals({loan, loan, loan}).fines).toStdString(), "0.045");
}

// Each recording counts once per loan; a renewal (which rewrites the lend
// date) starts the count afresh.
TEST_F(Overdue, RemindersCountOncePerRecordingAndAfreshAfterARenewal)
{
    auto counts = [](const QDate& day) {
        QStringList shown;
        for (const OverdueLoan& loan : OverdueList::read(day))
            shown << loan.bookNumber + "=" + QString::number(loan.reminders);
        return shown.join(',');
    };
    const QList<OverdueLoan> loans = OverdueList::read(today);
    ReminderLog::record({loans[0].loanId, loans[1].loanId}, QDate(2027, 1, 8));
    ReminderLog::record({loans[0].loanId}, today);
    EXPECT_EQ(counts(today).toStdString(), "B002=2,B001=1,B004=0,B404=0");
    library.exec("UPDATE lentInfo SET 借书日期 = '2027-01-10' WHERE 书籍编号 = 'B002'");  // renewed after the reminder
    EXPECT_EQ(counts(today).toStdString(), "B001=1,B004=0,B404=0");
    EXPECT_EQ(counts(QDate(2027, 3, 1)).toStdString(), "B001=1,B002=0,B003=0,B004=0,B404=0");  // overdue again, counted afresh
    EXPECT_EQ(library.scalar("SELECT count(*) FROM overdueReminders").toInt(), 3);
}

// The rows shown while the rest is read are the head of the whole list, and
// never a reader's loans in part.
TEST_F(Overdue, TheFirstRowsAreTheHeadOfTheListInWholeReaders)
{
    const struct {
        int rows;
        const char* books;
    } cases[] = {{1, ""}, {2, "B002,B001"}, {3, "B002,B001,B004"}, {50, "B002,B001,B004"}};
    for (const auto& c : cases)
        EXPECT_EQ(books(OverdueList::readFirst(today, c.rows)).toStdString(), c.books) << c.rows << " rows";
    EXPECT_EQ(rows(OverdueList::readFirst(today, 2)).toStdString(),
              "001|张三|办公室|0571-1|B002|史记|2026/11/30|2026/12/30|11|1.1|0\n"
              "001|张三|办公室|0571-1|B001|书B001|2026/12/20|2027/1/3|7|0.7|0");
}

// A library made before the reminders and the statistics: told to upgrade,
// listed after it, which adds each index of ours once (upgrading twice
// changes nothing); listed the same without the index of the overdue loans.
TEST_F(Overdue, AnOlderLibraryIsToldToUpgradeAndListsWithOrWithoutTheIndex)
{
    const auto ourIndexes = [&] {
        const QString all = library.indexesOf("lentInfo");
        return QString::number(all.count("lentinfo_overdue:", Qt::CaseInsensitive))
               + QString::number(all.count("lentinfo_借书日期:", Qt::CaseInsensitive));
    };
    EXPECT_EQ(ourIndexes(), "11");  // a new library has both
    library.exec("DROP TABLE overdueReminders");
    library.exec("DROP INDEX lentInfo_overdue");
    library.exec("DROP INDEX lentInfo_借书日期");
    try {
        OverdueList::read(today);
        ADD_FAILURE() << "read without the reminders table";
    } catch (const StoreError& error) {
        EXPECT_TRUE(error.message().contains("shelfmark-db upgrade")) << error.message().toStdString();
    }
    LibrarySchema::upgrade();
    LibrarySchema::upgrade();
    EXPECT_EQ(ourIndexes(), "11");
    EXPECT_EQ(books(OverdueList::read(today)).toStdString(), "B002,B001,B004,B404");
    library.exec("DROP INDEX lentInfo_overdue");
    EXPECT_EQ(books(OverdueList::read(today)).toStdString(), "B002,B001,B004,B404");
    EXPECT_EQ(books(OverdueList::readFirst(today, 2)).toStdString(), "B002,B001");
}

}  // namespace
