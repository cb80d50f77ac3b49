#include <gtest/gtest.h>

#include <QSqlError>

#include "Probes.h"
#include "TempLibrary.h"
#include "core/logic/Csv.h"
#include "core/logic/Database.h"
#include "core/logic/Dialect.h"
#include "core/logic/StoreError.h"
#include "core/logic/TextFile.h"
#include "import/logic/ImportPlan.h"
#include "import/logic/ImportRun.h"

using ImportKind::Kind;

namespace {

const QDate kToday(2026, 3, 20);

ImportPlan checked(Kind kind, const QString& csv)
{
    ImportPlan plan(kind, {Csv::Encoding::Utf8, Csv::parse(csv)}, kToday);
    plan.check();
    return plan;
}

// Each row as "line verdict problems".
QStringList verdicts(const ImportPlan& plan)
{
    QStringList lines;
    for (const ImportRow& row : plan.rows())
        lines << QStringLiteral("%1 %2 %3").arg(row.line).arg(ImportPlan::verdict(row), row.problems.join("; ")).trimmed();
    return lines;
}

QString books()
{
    return storeRows("SELECT 书籍编号, 书籍名称, 类别代码, 出版社, 作者姓名, 书籍价格, 书籍页码, 登记日期, 是否借出"
                     " FROM bookInfo ORDER BY 书籍编号", "\n");
}

struct ImportLogic : ::testing::Test {
    void SetUp() override
    {
        library.addBasics();  // categories A, B; readers 001, 002
        library.addBook("B001", "红楼梦", "A");
    }
    TempLibrary library;
};

TEST(Csv, ReadsQuotedCellsAndLineEnds)
{
    const struct { const char* text; const char* records; } cases[] = {
        {"a,b\r\nc,d\r\n", "a|b / c|d"},
        {"a,b\nc,d", "a|b / c|d"},
        {"\"x,y\",\"say \"\"hi\"\"\"\n", "x,y|say \"hi\""},
        {"\"two\nlines\",z\r\nnext,row", "two\nlines|z / next|row"},
        {"a,,\n\n\r\n,b", "a|| / |b"},
        {"\"\"\"\",\"\"", "\"|"},
        {"lone\rcr", "lone / cr"},
    };
    for (const auto& c : cases) {
        QStringList records;
        for (const QStringList& record : Csv::parse(QString::fromUtf8(c.text)))
            records << record.join('|');
        EXPECT_EQ(records.join(" / "), QString::fromUtf8(c.records)) << c.text;
    }
}

TEST(Csv, DetectsTheEncodingChineseSpreadsheetsSave)
{
    const QString text = QStringLiteral("书籍编号,书籍名称\r\nB9,边城·湘行散记");
    const struct { QByteArray bytes; Csv::Encoding encoding; } cases[] = {
        {QByteArray("\xEF\xBB\xBF") + text.toUtf8(), Csv::Encoding::Utf8WithMark},
        {text.toUtf8(), Csv::Encoding::Utf8},
        {TextFile::encode(text), Csv::Encoding::Gb18030},
    };
    for (const auto& c : cases) {
        const Csv::Decoded decoded = Csv::decode(c.bytes);
        EXPECT_EQ(decoded.text, text) << Csv::encodingName(c.encoding).toStdString();
        EXPECT_EQ(Csv::encodingName(decoded.encoding), Csv::encodingName(c.encoding));
    }
}

TEST_F(ImportLogic, EveryBadRowIsExplainedAndSkipped)
{
    const struct { Kind kind; const char* csv; QStringList verdicts; } cases[] = {
        {Kind::Books,
         "书籍编号,书籍名称,类别代码,出版社,作者姓名,书籍价格,书籍页码,登记日期\n"
         "B100,围城,A,人民文学出版社,钱钟书,19.5,300,2025/9/1\n,无号,A,,,10,,\nb001,已有,A,,,10,,\n"
         "B101,,A,,,10,,\nB102,类别不明,Z,,,10,,\nB103,没类别,,,,10,,\nB104,没价格,B,,,,,\n"
         "B105,二月三十,B,,,10,,2025/2/30\nB106,乱写日期,B,,,10,,下周\nB107,第一次,A,,,10,,\n"
         "b107,第二次,A,,,10,,\nB108,小写类别,b,,,10,,2025-12-31\n",
         {"2 导入", "3 跳过 缺少书籍编号", "4 跳过 书籍编号已在库中", "5 跳过 缺少书籍名称", "6 跳过 类别代码 Z 不存在",
          "7 跳过 缺少类别代码", "8 跳过 缺少书籍价格", "9 跳过 登记日期 2025/2/30 不是有效日期",
          "10 跳过 登记日期 下周 不是有效日期", "11 跳过 书籍编号在文件中重复 (第 11、12 行)",
          "12 跳过 书籍编号在文件中重复 (第 11、12 行)", "13 导入"}},
        {Kind::Readers,
         "读者编号,读者姓名,读者性别,联系电话,所在部门\n010,王五,男,13800000000,很长很长很长很长很长的部门名称也可以\n"
         ",无号,女,,\n002,已有,女,,\n0111,号太长,男,,\n012,名字超过八个字的读者,男,,\n013,赵六,男性别,,\n"
         "014,钱七,女,0571-88886666-1,\n015,甲,女,,\n015,乙,女,,\n",
         {"2 导入", "3 跳过 缺少读者编号", "4 跳过 读者编号已在库中", "5 跳过 读者编号超过 3 个字",
          "6 跳过 读者姓名超过 8 个字", "7 跳过 读者性别超过 2 个字", "8 跳过 联系电话超过 12 个字",
          "9 跳过 读者编号在文件中重复 (第 9、10 行)", "10 跳过 读者编号在文件中重复 (第 9、10 行)"}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(verdicts(checked(c.kind, c.csv)), c.verdicts);
}

TEST_F(ImportLogic, BooksGetTheNewBookWindowsDefaultsAndTheirPublishersAreRemembered)
{
    library.exec("INSERT INTO bookconcernList (出版社) VALUES ('中华书局')");
    ImportPlan plan = checked(Kind::Books,
        "书籍编号,书籍名称,类别代码,出版社,作者姓名,书籍价格,书籍页码,登记日期,是否借出\n"
        "B200,史记,b,  中华书局 ,司马迁,88,1200,2024/5/6,是\n"
        "B201,无名氏诗集,A,,,12,,,是\n"
        "B202,新书,A,三联书店,,30, ,2026-1-2,\n");
    const ImportRun::Result result = ImportRun::run(plan, {});
    EXPECT_EQ(result.imported, 3);
    EXPECT_FALSE(result.cancelled);
    EXPECT_EQ(books(), "B001|红楼梦|A|人民文学出版社|不详|25.00|320|2026-01-05|0\n"
                       "B200|史记|B|  中华书局 |司马迁|88|1200|2024-05-06|0\n"
                       "B201|无名氏诗集|A|不详|不详|12|不详|2026-03-20|0\n"
                       "B202|新书|A|三联书店|不详|30| |2026-01-02|0");
    EXPECT_EQ(storeRows("SELECT 出版社 FROM bookconcernList ORDER BY 出版社"), "三联书店,不详,中华书局");
}

TEST_F(ImportLogic, OtherHeadingsFillTheFieldsTheClerkMapsThemTo)
{
    ImportPlan plan(Kind::Readers, {Csv::Encoding::Utf8, Csv::parse("编号,姓名,读者性别,电话,备注\n"
                                                                    "020,孙八,女,5550001,不要\n")}, kToday);
    EXPECT_EQ(plan.mapping(), (QStringList{"", "", "读者性别", "", ""}));
    plan.mapColumn(0, "读者编号");
    plan.mapColumn(1, "读者姓名");
    plan.mapColumn(3, "联系电话");
    plan.mapColumn(4, "读者性别");  // takes the field from column 2
    EXPECT_EQ(plan.mapping(), (QStringList{"读者编号", "读者姓名", "", "联系电话", "读者性别"}));
    plan.mapColumn(4, "");
    plan.mapColumn(2, "读者性别");
    plan.check();
    EXPECT_EQ(ImportRun::run(plan, {}).imported, 1);
    EXPECT_EQ(storeRows("SELECT 读者编号, 读者姓名, 读者性别, 联系电话, 所在部门 FROM readerInfo WHERE 读者编号 = '020'"), "020|孙八|女|5550001|");
}

TEST_F(ImportLogic, CancelledOrFailedHalfWayWritesNothing)
{
    QString csv = "书籍编号,书籍名称,类别代码,出版社,书籍价格\n";
    for (int i = 0; i < 250; ++i)
        csv += QStringLiteral("C%1,书%1,A,出版社%1,9\n").arg(i, 3, 10, QLatin1Char('0'));
    const QString before = books() + storeRows("SELECT 出版社 FROM bookconcernList");

    ImportPlan cancelled = checked(Kind::Books, csv);
    QList<int> seen;
    const ImportRun::Result result = ImportRun::run(cancelled, [&](int done, int total) {
        seen << done << total;
        return done < 200;
    });
    EXPECT_TRUE(result.cancelled);
    EXPECT_EQ(result.imported, 0);
    EXPECT_EQ(seen, (QList<int>{100, 250, 200, 250}));
    EXPECT_EQ(books() + storeRows("SELECT 出版社 FROM bookconcernList"), before);

    library.refuse("bookInfo", "INSERT", "new.书籍编号 = 'C180'");
    ImportPlan failing = checked(Kind::Books, csv);
    EXPECT_THROW(ImportRun::run(failing, {}), StoreError);
    library.allow("bookInfo");
    EXPECT_EQ(books() + storeRows("SELECT 出版社 FROM bookconcernList"), before);
    EXPECT_EQ(library.scalar("SELECT count(*) FROM bookInfo").toInt(), 1);
}

// A number taken since the check is skipped, not overwritten. The skipped
// rows are saved for fixing with their problems, each as the file had it,
// short rows filled out and cells beyond the headings left off.
TEST_F(ImportLogic, ANumberTakenSinceTheCheckIsSkippedAndSavedWithTheOtherSkippedRows)
{
    ImportPlan plan = checked(Kind::Readers, "读者编号,读者姓名,备注\n030,甲,x\n031,乙\n,丙\n001,\"丙,丁\",\"多\n行\",多余\n");
    library.addReader("031", "别的桌先加的");
    EXPECT_EQ(ImportRun::run(plan, {}).imported, 1);
    EXPECT_EQ(storeRows("SELECT 读者编号, 读者姓名 FROM readerInfo WHERE 读者编号 >= '030' ORDER BY 读者编号"),
              "030|甲,031|别的桌先加的");
    EXPECT_EQ(verdicts(plan), (QStringList{"2 导入", "3 跳过 读者编号已在库中", "4 跳过 缺少读者编号", "5 跳过 读者编号已在库中"}));
    EXPECT_EQ(plan.skippedRecords(), (QList<QStringList>{{"读者编号", "读者姓名", "备注", "问题"},
                                                         {"031", "乙", "", "读者编号已在库中"},
                                                         {"", "丙", "", "缺少读者编号"},
                                                         {"001", "丙,丁", "多\n行", "读者编号已在库中"}}));
}

// The books the fuzzy-search index offers for a text in a column, by number.
QString offered(Dialect::BookText column, const QString& text)
{
    const Dialect::IndexedBooks index = Database::dialect().indexedBooks({{column, text}});
    QSqlQuery query(Database::connection());
    query.prepare("SELECT bookInfo.书籍编号 FROM bookInfo" + (index.table.isEmpty() ? "" : ", " + index.table)
                  + " WHERE " + index.condition + " ORDER BY bookInfo.书籍编号");
    for (const QVariant& value : index.values)
        query.addBindValue(value);
    EXPECT_TRUE(query.exec()) << query.lastError().text().toStdString();
    QStringList numbers;
    while (query.next())
        numbers << query.value(0).toString();
    return numbers.join(',');
}

// The words of imported books are written in one sweep, not by the engine
// row by row: the index must find them as it finds a book saved in the
// window, and go on finding books saved afterwards, also after a cancel.
TEST_F(ImportLogic, ImportedBooksAreFoundByTheSearchIndexAsBooksSavedLater)
{
    ImportPlan plan = checked(Kind::Books, "书籍编号,书籍名称,类别代码,出版社,书籍价格\n"
                                           "B300,围城·续篇,A,三联书店,9\nX-301,Python编程,B,,9\n");
    ASSERT_EQ(ImportRun::run(plan, {}).imported, 2);
    ASSERT_EQ(Books::saveNewBook({"B302", "围城外", "A", "三联书店", "", "9", "", kToday}), Books::Outcome::Done);
    ImportPlan cancelled = checked(Kind::Books, "书籍编号,书籍名称,类别代码,书籍价格\nB303,围城内,A,9\n");
    EXPECT_TRUE(ImportRun::run(cancelled, [](int, int) { return false; }).cancelled);
    ASSERT_EQ(Books::saveNewBook({"B304", "围城边", "A", "", "", "9", "", kToday}), Books::Outcome::Done);

    const struct { Dialect::BookText column; const char* text; const char* numbers; } cases[] = {
        {Dialect::BookText::Title, "围城", "B300,B302,B304"},
        {Dialect::BookText::Title, "城·续", "B300"},
        {Dialect::BookText::Title, "thon编", "X-301"},
        {Dialect::BookText::Title, "红楼", "B001"},
        {Dialect::BookText::Publisher, "联书", "B300,B302"},
        {Dialect::BookText::Number, "-30", "X-301"},
        {Dialect::BookText::Number, "30", "B300,B302,B304,X-301"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(offered(c.column, c.text), c.numbers) << c.text;
}

// The command the scripts use: the same checks and writes, on the library of
// the program directory (a server library when its library.ini names one).
TEST_F(ImportLogic, TheCommandImportsAFileAndSavesItsSkippedRows)
{
    const QString csv = library.path("readers.csv");
    putBytes(csv, TextFile::encode("读者编号,读者姓名,所在部门\r\n050,周九,\"后勤,二组\"\r\n001,重号,\r\n"));
    const auto runTool = [&](const QStringList& extra) {
        return runProgram(SHELFMARK_DB, QStringList{"import", library.dir(), "--readers", csv} + extra);
    };
    Ran ran = runTool({"--dry-run"});
    EXPECT_EQ(ran.exitCode, 0) << ran.err.toStdString();
    EXPECT_EQ(ran.out, "文件编码: GB18030, 数据 2 行\n第 3 行 跳过: 读者编号已在库中\n可导入读者 1 行, 跳过 1 行 (试运行, 未写入)\n");
    EXPECT_EQ(library.scalar("SELECT count(*) FROM readerInfo").toInt(), 2);

    ran = runTool({"--skipped", library.path("skipped.csv")});
    EXPECT_EQ(ran.exitCode, 0) << ran.err.toStdString();
    EXPECT_EQ(ran.out, "文件编码: GB18030, 数据 2 行\n第 3 行 跳过: 读者编号已在库中\n已导入读者 1 行, 跳过 1 行\n");
    EXPECT_EQ(storeRows("SELECT 读者编号, 读者姓名, 所在部门 FROM readerInfo ORDER BY 读者编号"),
              "001|张三|办公室,002|李四|办公室,050|周九|后勤,二组");
    EXPECT_EQ(bytesOf(library.path("skipped.csv")),
              QByteArray("\xEF\xBB\xBF读者编号,读者姓名,所在部门,问题\r\n001,重号,,读者编号已在库中\r\n"));

    ran = runTool({"--books"});
    EXPECT_EQ(ran.exitCode, 2);
    EXPECT_TRUE(ran.err.startsWith("用法: shelfmark-db import")) << ran.err.toStdString();
}

}  // namespace
