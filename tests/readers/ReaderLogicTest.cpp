#include <gtest/gtest.h>

#include "Probes.h"
#include "QtPrinters.h"
#include "TempLibrary.h"
#include "circulation/logic/Lending.h"
#include "circulation/logic/LoanLookup.h"
#include "core/logic/Sql.h"
#include "core/logic/StoreError.h"
#include "readers/logic/LendingRules.h"
#include "readers/logic/ReaderRegistry.h"

using namespace ReaderRegistry;

namespace {

struct ReaderLogic : ::testing::Test {
    void SetUp() override
    {
        library.addReader("001", "张三");
        library.addReader("007", "李四");
    }

    // Every reader as "number|name|sex|telephone|department", by number.
    static QString readers() { return storeRows("SELECT 读者编号, 读者姓名, 读者性别, 联系电话, 所在部门 FROM readerInfo ORDER BY 读者编号", " "); }
    // The rules row as "quota|fine", each number as the store holds it.
    // The rules as the window loads them, "quota|fine".
    static QString loaded() { const auto texts = LendingRules::LoadLendingRules(); return texts.quota + "|" + texts.fine; }
    QString rules()
    {
        QSqlQuery row = Sql::run("SELECT 借出册数, 罚款 FROM basicSet", {}, "读取");
        return row.next() ? QString("%1|%2").arg(row.value(0).toLongLong()).arg(row.value(1).toDouble()) : QString();
    }

    TempLibrary library;
};

QString shown(const std::optional<Reader>& r)
{
    return r ? r->number + "|" + r->name + "|" + r->sex + "|" + r->telephone + "|" + r->department : "(none)";
}

TEST_F(ReaderLogic, StepReaderNumberReadsTheLeadingNumberAndPadsToThreeDigits)
{
    const struct { const char* text; int step; const char* result; } cases[] = {
        {"", 1, "001"},    {"001", 1, "002"}, {"002", -1, "001"}, {"1", 1, "002"},
        {"7", 1, "008"},   {"999", 1, "1000"}, {"12a", 1, "013"}, {" 5", -1, "004"},
        {"abc", 1, "001"}, {"-5", 1, "-004"},  {"099", 1, "100"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(StepReaderNumber(c.text, c.step), c.result) << c.text << " " << c.step;
}

TEST_F(ReaderLogic, AddFindChangeAndDeleteTakeValuesAsData)
{
    const Reader quoted{"0'1", "奥'尼尔", "男", "139%", "财务' OR '1'='1"};
    EXPECT_EQ(AddReader(quoted), Outcome::Done);
    EXPECT_EQ(shown(FindReader("0'1")), "0'1|奥'尼尔|男|139%|财务' OR '1'='1");
    EXPECT_EQ(shown(FindReader("' OR 1=1 --")), "(none)");
    EXPECT_EQ(shown(FindReader("")), "(none)");

    library.exec("INSERT INTO readerInfo (读者编号) VALUES ('050')");  // only a number
    EXPECT_EQ(shown(FindReader("050")), "050||||");

    EXPECT_EQ(UpdateReader({"007", "李四四", "女", "0571-1", "馆办"}), Outcome::Done);
    EXPECT_EQ(DeleteReader("0'1"), Outcome::Done);
    EXPECT_EQ(readers(), "001|张三|女|0571-8888|办公室 007|李四四|女|0571-1|馆办 050||||");
}

// A refused add, change or delete leaves every row as it was.
TEST_F(ReaderLogic, RefusedWritesLeaveTheTableUnchanged)
{
    const QString before = readers();
    // The refusals the window shows are in ReaderWindows.AddChangeAndDeleteSayWhatHappened.
    EXPECT_EQ(reason(DeleteReader("")), "没有该读者信息!");
    // A refusal of the store itself comes out as a StoreError naming the step.
    library.refuse("readerInfo", "INSERT");
    try {
        AddReader({"002", "王五", "男", "1", "x"});
        ADD_FAILURE() << "added 002";
    } catch (const StoreError& e) {
        EXPECT_EQ(e.action(), "添加读者");
    }
    EXPECT_EQ(readers(), before);
}

TEST_F(ReaderLogic, RulesRefuseWhatTheColumnsCannotTakeAndKeepTheirValues)
{
    library.setRules(3, 0.1);
    using enum LendingRules::Outcome;
    const struct { const char *quota, *fine; LendingRules::Outcome outcome; } refused[] = {
        {"abc", "0.2", BadQuota}, {"", "0.2", BadQuota}, {"32768", "0.2", BadQuota}, {"-1", "0.2", BadQuota},
        {"3x", "0.2", BadQuota},  {"4", "", BadFine},    {"4", "一毛", BadFine},     {"4", "-0.1", BadFine},
        {"4", "inf", BadFine},
    };
    for (const auto& c : refused) {
        EXPECT_EQ(LendingRules::SaveLendingRules(c.quota, c.fine), c.outcome) << c.quota << "/" << c.fine;
        EXPECT_EQ(rules(), "3|0.1");
    }

    const struct { const char *quota, *fine, *stored; } saved[] = {
        {"32767", "0", "32767|0"}, {" 5 ", " 1.25 ", "5|1.25"}, {"0", "0.1", "0|0.1"},
        {"7.5", "99999999999999999999999", "8|1e+23"}};  // halves to even; any fine not below 0
    for (const auto& c : saved) {
        EXPECT_EQ(LendingRules::SaveLendingRules(c.quota, c.fine), Saved) << c.quota;
        EXPECT_EQ(rules(), c.stored);
    }
    EXPECT_EQ(loaded(), "8|1E+23");
}

TEST_F(ReaderLogic, RulesSavedAreWhatTheDeskUsesNext)
{
    library.addCategory("A", "文学", 14);
    for (const char* book : {"B001", "B002", "B003"})
        library.addBook(book, "书", "A");
    library.addLoan("001", "B001", "2026-03-01");
    library.exec("UPDATE bookInfo SET 是否借出 = 1 WHERE 书籍编号 = 'B001'");

    ASSERT_EQ(LendingRules::SaveLendingRules("1", "0.3"), LendingRules::Outcome::Saved);
    EXPECT_EQ(loaded(), "1|0.3");
    EXPECT_EQ(Lending::lend("001", "B002", QDate(2026, 3, 20)), Lending::Outcome::QuotaReached);
    EXPECT_EQ(LoanLookup::find("B001", QDate(2026, 3, 20)).fine, "1.5");  // 5 days over at 0.3

    ASSERT_EQ(LendingRules::SaveLendingRules("2", "0.2"), LendingRules::Outcome::Saved);
    EXPECT_EQ(Lending::lend("001", "B002", QDate(2026, 3, 20)), Lending::Outcome::Lent);
    EXPECT_EQ(LoanLookup::find("B001", QDate(2026, 3, 20)).fine, "1");
}

TEST_F(ReaderLogic, RulesWithoutTheirRowAreAnErrorNotASuccess)
{
    library.exec("UPDATE basicSet SET 借出册数 = NULL, 罚款 = NULL");
    EXPECT_EQ(loaded(), "|");
    library.exec("DELETE FROM basicSet");
    EXPECT_THROW(LendingRules::LoadLendingRules(), StoreError);
    EXPECT_THROW(LendingRules::SaveLendingRules("3", "0.1"), StoreError);
    EXPECT_EQ(library.scalar("SELECT count(*) FROM basicSet").toInt(), 0);
}

}  // namespace
