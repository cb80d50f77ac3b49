#include <gtest/gtest.h>

#include <QDir>
#include <QTemporaryDir>

#include "Probes.h"
#include "TempLibrary.h"
#include "circulation/logic/Renewal.h"
#include "statistics/logic/StatisticsTables.h"
#include "statistics/logic/YearStatistics.h"

namespace {

// A small library's loans around 2025: books of category A, B and of a
// category that is gone (Z), a book that is gone (B404), a reader without a
// department (003) and one that is gone (009), loans on both sides of the
// year's ends, a renewal across a month and returns late and on time.
class YearFigures : public ::testing::Test {
protected:
    void SetUp() override
    {
        library.addBasics();  // 001 张三 and 002 李四, both 办公室
        library.exec("UPDATE readerInfo SET 所在部门 = '图书馆' WHERE 读者编号 = '002'");
        library.addReader("003", "王五");
        library.exec("UPDATE readerInfo SET 所在部门 = '' WHERE 读者编号 = '003'");
        library.addBook("B001", "红楼梦", "A");
        library.addBook("B002", "红楼梦", "A");  // a second copy of the title
        library.addBook("B003", "史记", "B");
        library.addBook("B004", "边城", "A");
        library.addBook("B005", "围城", "Z");
        returned("001", "B001", "2024-12-31", "2025-01-20", 6, 0.6);
        library.addLoan("001", "B002", "2025-01-01");
        returned("002", "B001", "2025-01-15", "2025-01-20", 0, 0);
        library.addLoan("002", "B003", "2025-02-28");
        returned("003", "B004", "2025-03-01", "2025-03-10", 0, 0);
        library.addLoan("009", "B003", "2025-12-31");
        library.addLoan("001", "B404", "2025-06-10");
        returned("002", "B005", "2025-06-11", "2026-01-02", 5, 0.5);
        library.addLoan("001", "B004", "2026-01-01");
        returned("002", "B002", "2025-07-01", "2025-08-30", 30, 3);
        library.addLoan("003", "B003", "2025-04-05");
        const qint64 renewed = library.scalar("SELECT max(rowid) FROM lentInfo").toLongLong();
        EXPECT_EQ(Renewal::renew(renewed, QDate(2025, 5, 5)), Renewal::Outcome::Renewed);
    }
    void returned(const QString& reader, const QString& book, const QString& lent, const QString& back, int daysOver,
                  double fine)
    {
        library.addLoan(reader, book, lent, back);
        library.exec("UPDATE lentInfo SET 超出天数 = :d, 罚款金额 = :f WHERE rowid = (SELECT max(rowid) FROM lentInfo)",
                     {{"d", daysOver}, {"f", fine}});
    }
    static std::string shown(const StatisticsTable& table)
    {
        QStringList lines;
        for (const QStringList& row : table.rows)
            lines << row.join('|');
        return lines.join('\n').toStdString();
    }
    TempLibrary library;
};

TEST_F(YearFigures, EveryTableOfTheYear)
{
    const QList<StatisticsTable> tables = StatisticsTables::all(YearStatisticsReader::read(2025));
    ASSERT_EQ(tables.size(), 6);
    EXPECT_EQ(shown(tables[0]),
              "1月|2\n2月|1\n3月|1\n4月|0\n5月|1\n6月|2\n7月|1\n8月|0\n9月|0\n10月|0\n11月|0\n12月|1\n合计|9");
    EXPECT_EQ(shown(tables[1]), "1|史记|3\n1|红楼梦|3\n3|围城|1\n3|边城|1");
    EXPECT_EQ(shown(tables[2]), "1|002|李四|4\n2|001|张三|2\n2|003|王五|2\n4|009||1");
    EXPECT_EQ(shown(tables[3]), "A-文学|4|44.4%\nB-历史|3|33.3%\n类别不详|2|22.2%");
    EXPECT_EQ(shown(tables[4]), "图书馆|4|44.4%\n办公室|2|22.2%\n部门不详|3|33.3%");
    EXPECT_EQ(shown(tables[5]), "归还册次|4\n超期归还|2\n超期比例|50.0%\n罚款合计(元)|3.6");
    QStringList headings;
    for (const StatisticsTable& table : tables)
        headings << table.title + ":" + table.headings.join(',');
    EXPECT_EQ(headings.join(' ').toStdString(),
              "每月借阅:月份,借阅次数 借阅最多的图书:名次,书籍名称,借阅次数 最活跃的读者:名次,读者编号,读者姓名,借阅次数 "
              "按图书类别:书籍类别,借阅次数,占比 按部门:所在部门,借阅次数,占比 当年归还:项目,数值");
}

TEST_F(YearFigures, AYearWithoutLoansShowsNothingButZeros)
{
    const QList<StatisticsTable> tables = StatisticsTables::all(YearStatisticsReader::read(2023));
    EXPECT_EQ(tables[0].rows.last(), QStringList({"合计", "0"}));
    for (int i = 1; i <= 4; ++i)
        EXPECT_TRUE(tables[i].rows.isEmpty()) << tables[i].title.toStdString();
    EXPECT_EQ(shown(tables[5]), "归还册次|0\n超期归还|0\n超期比例|—\n罚款合计(元)|0");
    // The next year: the loan lent on its first day, the return on its second.
    const YearStatistics next = YearStatisticsReader::read(2026);
    EXPECT_TRUE(next.loans() == 1 && next.months[0] == 1 && next.returned == 1 && next.returnedLate == 1)
        << next.loans() << " loans, " << next.returned << " returned";
}

// The command line prints the same tables, lined up, or with --csv writes
// one file per table (UTF-8 with its mark), the folder made when missing; a
// year it cannot read, or a folder it cannot make, is refused.
TEST_F(YearFigures, TheCommandPrintsTheTablesOrWritesOneCsvFilePerTable)
{
    QTemporaryDir scratch;
    const QString folder = scratch.filePath("统计/2025");
    putBytes(scratch.filePath("a-file"), "");
    const struct {
        QStringList extra;
        int exitCode;
        const char* expected;  // in standard output, or standard error when it fails
    } runs[] = {
        {{"--year", "2025"}, 0,
         "当年归还\n项目          数值\n归还册次      4\n超期归还      2\n超期比例      50.0%\n罚款合计(元)  3.6\n"},
        {{"--year", "2025"}, 0, "借阅最多的图书\n名次  书籍名称  借阅次数\n1     史记      3\n1     红楼梦    3\n"},
        {{"--year", "25"}, 2, "--year 应写成四位数的年份"},
        {{"--year", "二〇二五"}, 2, "--year 应写成四位数的年份"},
        {{}, 2, "用法:"},
        {{"--year", "2025", "--csv", folder}, 0, ""},
        {{"--year", "2025", "--csv", scratch.filePath("a-file/csv")}, 1, "无法建立文件夹"},
    };
    for (const auto& run : runs) {
        const Ran tool = runProgram(SHELFMARK_DB, QStringList{"stats", library.dir()} + run.extra);
        EXPECT_EQ(tool.exitCode, run.exitCode) << run.extra.join(' ').toStdString();
        const QString out = run.exitCode == 0 ? tool.out : tool.err;
        EXPECT_TRUE(out.contains(QString::fromUtf8(run.expected))) << out.toStdString();
    }
    EXPECT_EQ(QDir(folder).entryList(QDir::Files),
              QStringList({"categories-2025.csv", "departments-2025.csv", "months-2025.csv", "readers-2025.csv",
                           "returns-2025.csv", "titles-2025.csv"}));
    EXPECT_EQ(bytesOf(folder + "/returns-2025.csv"), QByteArray("\xEF\xBB\xBF项目,数值\r\n归还册次,4\r\n超期归还,2\r\n"
                                                                "超期比例,50.0%\r\n罚款合计(元),3.6\r\n"));
    EXPECT_EQ(bytesOf(folder + "/readers-2025.csv"), QByteArray("\xEF\xBB\xBF名次,读者编号,读者姓名,借阅次数\r\n1,002,李四,4\r\n"
                                                                "2,001,张三,2\r\n2,003,王五,2\r\n4,009,,1\r\n"));
}

// Each loan counts once by book: a title's copies in two categories
// together, and a loan without a book number or of a book gone (before or
// after every number) under the unknown category.
TEST(YearBooks, EachLoanCountedOnceWhateverItsBookNumber)
{
    TempLibrary library;
    library.addBasics();
    const struct {
        const char* number;
        const char* title;
        const char* category;
        int loans;
    } books[] = {{"B1", "甲", "A", 1}, {"B2", "乙", "A", 0}, {"B3", "丙", "A", 1},
                 {"B4", "丁", "B", 1}, {"B5", "戊", "B", 0}, {"B6", "甲", "B", 2}};
    for (const auto& book : books) {
        library.addBook(book.number, book.title, book.category);
        for (int i = 0; i < book.loans; ++i)
            library.addLoan("001", book.number, "2025-05-05");
    }
    library.addLoan("001", "A0", "2025-05-05");
    library.addLoan("001", "Z9", "2025-05-05");
    library.exec("INSERT INTO lentInfo (读者编号, 书籍编号, 借书日期) VALUES ('002', NULL, '2025-05-06')");
    const YearStatistics stats = YearStatisticsReader::read(2025);
    QStringList titles, categories;
    for (const YearStatistics::Tally& tally : stats.titles)
        titles << tally.key + ":" + QString::number(tally.loans);
    for (const YearStatistics::Tally& tally : stats.categories)
        categories << tally.key + ":" + QString::number(tally.loans);
    EXPECT_EQ(titles.join(' ').toStdString(), "甲:3 丁:1 丙:1");
    EXPECT_EQ(categories.join(' ').toStdString(), "B:3 A:2 :3");
    EXPECT_EQ(stats.loans(), 8);
}

// Only twenty titles and readers are ranked; ties past the twentieth are cut
// in title and reader-number order. Titles that differ only in Latin letter
// case are one title, as the store compares them.
TEST(YearRankings, TwentyKeptInTitleAndNumberOrderAndCaseFoldedTitlesTogether)
{
    TempLibrary library;
    library.addBasics();
    for (int i = 22; i >= 1; --i) {
        const QString n = QString::number(i).rightJustified(2, '0');
        library.addReader("R" + n, "读者" + n);
        library.addBook("T" + n, "书" + n, "A");
        library.addLoan("R" + n, "T" + n, "2025-03-0" + QString::number(i % 9 + 1));
    }
    library.addBook("G1", "Go入门", "B");
    library.addBook("G2", "GO入门", "B");
    for (const char* book : {"G1", "G2", "G2"})
        library.addLoan("001", book, "2025-09-09");
    const YearStatistics stats = YearStatisticsReader::read(2025);
    ASSERT_EQ(stats.titles.size(), 20);
    ASSERT_EQ(stats.readers.size(), 20);
    EXPECT_EQ(stats.titles.first().key.toLower(), "go入门");
    EXPECT_EQ(stats.titles.first().loans, 3);
    EXPECT_EQ(stats.titles[1].key, "书01");
    EXPECT_EQ(stats.titles.last().key, "书19");
    EXPECT_EQ(stats.readers.first().key, "001");
    EXPECT_EQ(stats.readers[1].key + stats.readers[1].name, "R01读者01");
    EXPECT_EQ(stats.readers.last().key, "R19");
}

}  // namespace
