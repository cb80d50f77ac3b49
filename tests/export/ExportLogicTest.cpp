#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "ExportFiles.h"
#include "TempLibrary.h"
#include "catalogue/logic/BookListModel.h"
#include "core/logic/StoreError.h"
#include "export/logic/ExportError.h"
#include "export/logic/RowsAtHand.h"
#include "export/logic/StatementRows.h"
#include "export/logic/TableExport.h"

using namespace ExportFiles;

namespace {

// Titles a careless writer gets wrong: separators, quotes, line ends, LIKE's
// marks, characters outside the basic plane, the workbook's own escape form,
// blanks at the ends, a lone CR and a tab.
const QStringList kTitles = {QStringLiteral("数据, 结构"),          QStringLiteral("他说\"好\""),
                             QStringLiteral("第一行\n第二行\r\n第三行"), QStringLiteral("100%_完成"),
                             QStringLiteral("𠀀𪚥 古字"),            QStringLiteral("_x0041_ 与 _x005F_"),
                             QStringLiteral("  两端空白  "),          QStringLiteral("旧式\r换行\t制表")};

class Export : public ::testing::Test {
protected:
    QString path(const QString& name) const { return dir.filePath(name); }
    // The folder's files, hidden ones (a scratch file) included.
    QStringList files() const { return QDir(dir.path()).entryList(QDir::Files | QDir::Hidden, QDir::Name); }
    QTemporaryDir dir;
};

// Counts up from 1, one number a row; fails (as a store read would) or is
// asked to stop at a given row.
struct Counting : RowSource {
    Counting(int rows, int failAt = -1) : m_rows(rows), m_failAt(failAt) {}
    ExportColumns columns() const override { return {{QStringLiteral("序号"), CellKind::Number}}; }
    bool next(QStringList* cells) override
    {
        if (m_next == m_failAt)
            throw StoreError(QStringLiteral("读取书库"), QStringLiteral("disk I/O error"));
        *cells = {QString::number(++m_next)};
        return m_next <= m_rows;
    }
    int m_rows, m_failAt, m_next = 0;
};

TEST_F(Export, CsvKeepsEveryTextExactlyInEitherEncoding)
{
    QList<QStringList> rows = {{"书籍编号", "书籍名称"}};
    for (int i = 0; i < kTitles.size(); ++i)
        rows << QStringList{QString::number(i), kTitles[i]};
    const struct {
        CsvEncoding encoding;
        const char* python;
        QByteArray start;  // the mark, the first heading, then the row of the quoted title
        QByteArray quoted;
    } cases[] = {{CsvEncoding::Utf8WithBom, "utf-8-sig", "\xEF\xBB\xBF\xE4\xB9\xA6\xE7\xB1\x8D",
                  "\r\n1,\"\xE4\xBB\x96\xE8\xAF\xB4\"\"\xE5\xA5\xBD\"\"\"\r\n"},
                 {CsvEncoding::Gb18030, "gb18030", "\xCA\xE9\xBC\xAE", "\r\n1,\"\xCB\xFB\xCB\xB5\"\"\xBA\xC3\"\"\"\r\n"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.python);
        TableExport::write({path("books.csv"), ExportFormat::Csv, c.encoding},
                           {{"书籍编号", CellKind::Number}, {"书籍名称", CellKind::Text}}, rows.mid(1));
        const QByteArray bytes = bytesOf(path("books.csv"));
        EXPECT_TRUE(bytes.startsWith(c.start) && bytes.contains(c.quoted)) << bytes.left(60).toHex().toStdString();
        EXPECT_EQ(readCsv(path("books.csv"), c.python), rows);
    }
}

// Texts as written; numbers and dates typed only in their columns and only
// where the text reads as one; headings bold; widths from the widest text.
TEST_F(Export, XlsxKeepsTextsTypesNumberAndDateColumnsAndSizesColumns)
{
    const ExportColumns columns = {{"书籍名称", CellKind::Text}, {"书籍价格", CellKind::Text},
                                   {"超出天数", CellKind::Number}, {"借书日期", CellKind::Date}};
    QList<QStringList> rows = {{kTitles[0], "12.50", "3", "2026/3/1"},
                               {kTitles[1], "007", "0.5", "2027-1-10"},
                               {kTitles[2], "1e3", "很多", "不详"},
                               {QString(20, QChar(0x4E66)), " 9 ", "-2", "1899/12/31"}};
    for (const QString& title : kTitles.mid(3))
        rows << QStringList{title};
    TableExport::write({path("loans.xlsx"), ExportFormat::Xlsx, CsvEncoding::Utf8WithBom, "借阅/查询"}, columns, rows);
    const QList<Sheet> book = readXlsx(path("loans.xlsx"));
    ASSERT_EQ(book.size(), 1);
    EXPECT_EQ(book[0].name, "借阅_查询");
    QList<QStringList> expected = {{"书籍名称", "书籍价格", "超出天数", "借书日期"},
                                   {kTitles[0], "12.50", "3", "2026-03-01"},
                                   {kTitles[1], "007", "0.5", "2027-01-10"},
                                   {kTitles[2], "1e3", "很多", "不详"},
                                   {QString(20, QChar(0x4E66)), " 9 ", "-2", "1899/12/31"}};
    expected += rows.mid(4);
    EXPECT_EQ(texts(book[0]), expected);
    QStringList kinds;  // s: text, n: number, d: date; b: bold
    for (const QList<Cell>& row : book[0].rows.mid(0, 3))
        for (const Cell& cell : row)
            kinds << cell.kind + (cell.bold ? "b" : "");
    EXPECT_EQ(kinds.join(' '), "sb sb sb sb s s n d s s n d");
    QStringList widths;
    for (auto it = book[0].widths.begin(); it != book[0].widths.end(); ++it)
        widths << it.key() + ":" + QString::number(int(it.value()));
    // 20 Chinese characters are 40 digits wide, headings count (书籍价格,
    // 超出天数), a date is ten wide; plus two.
    EXPECT_EQ(widths.join(' '), "A:42 B:10 C:10 D:12");
}

TEST_F(Export, XlsxGoesOnToANewSheetWithTheHeadingsOnceASheetIsFull)
{
    Counting rows(1048576 + 1);
    ASSERT_TRUE(TableExport::write(rows, {path("long.xlsx"), ExportFormat::Xlsx, CsvEncoding::Utf8WithBom, "书库"}));
    const QList<Sheet> book = readXlsx(path("long.xlsx"), true);
    ASSERT_EQ(book.size(), 2);
    const QList<QList<Cell>>& first = book[0].rows;
    ASSERT_EQ(first.size(), 1048576);
    EXPECT_EQ(first[0][0].value + "|" + first[1][0].value + "|" + first.last()[0].value, "序号|1|1048575");
    EXPECT_EQ(texts(book[1]), (QList<QStringList>{{"序号"}, {"1048576"}, {"1048577"}}));
    EXPECT_TRUE(book[1].rows[0][0].bold && book[1].rows[1][0].kind == "n");
    EXPECT_EQ(book[1].name, "书库 (2)");
}

// Cancelled, failed or refused, an export leaves the folder as it was: no
// new file, no scratch file, an existing target untouched.
TEST_F(Export, ACancelledOrFailedExportLeavesTheFolderAsItWas)
{
    putBytes(path("old.csv"), "old");
    const struct {
        QString target;
        ExportFormat format;
        int failAt, cancelAt;
        QString message;  // its start; "" for a cancel
    } cases[] = {
        {path("new.csv"), ExportFormat::Csv, -1, 5000, ""},
        {path("new.xlsx"), ExportFormat::Xlsx, -1, 5000, ""},
        {path("old.csv"), ExportFormat::Csv, 7000, -1, "读取书库"},
        {path("new.xlsx"), ExportFormat::Xlsx, 7000, -1, "读取书库"},
        {path("missing/new.csv"), ExportFormat::Csv, -1, -1, "无法写入文件 " + path("missing/new.csv")},
        {dir.path(), ExportFormat::Xlsx, -1, -1, "无法写入文件 " + dir.path()},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.target.toStdString());
        Counting source(10000, c.failAt);
        QString message = "written";
        try {
            if (!TableExport::write(source, {c.target, c.format}, {}, [&] { return source.m_next == c.cancelAt; }))
                message.clear();
        } catch (const ExportError& error) {
            message = error.message();
        }
        EXPECT_TRUE(c.message.isEmpty() ? message.isEmpty() : message.startsWith(c.message)) << message.toStdString();
        EXPECT_EQ(files(), QStringList{"old.csv"});
        EXPECT_EQ(bytesOf(path("old.csv")), "old");
    }
}

// A grid's whole result read from the store again, page after page where
// the engine reads results whole: the rows and texts of a plain reading.
TEST_F(Export, AGridsWholeResultComesOutAsTheGridShowsIt)
{
    TempLibrary library;
    library.addCategory("A", "计算机", 30);
    for (int i = 0; i < 7; ++i)
        library.addBook(QStringLiteral("B%1").arg(i), kTitles[i], "A", i % 3 == 0);
    library.exec("UPDATE bookInfo SET 登记日期 = '2026-03-01', 书籍价格 = '12.50' WHERE 书籍编号 = 'B2'");
    QList<QStringList> expected = {{"书籍名称", "书籍编号", "登记日期", "是否借出", "书籍价格"}};
    const QStringList numbers = library.column("SELECT 书籍编号 FROM bookInfo ORDER BY 书籍编号");
    for (const QString& number : numbers) {
        const auto cell = [&](const char* column) {
            return library.scalar(QStringLiteral("SELECT %1 FROM bookInfo WHERE 书籍编号 = :n").arg(column), {{"n", number}});
        };
        expected << QStringList{cell("书籍名称").toString(), number,
                                cell("登记日期").toDate().toString("yyyy/M/d"), cell("是否借出").toInt() ? "是" : "否",
                                cell("书籍价格").toString()};
    }
    for (int pageRows : {2, 3, StatementRows::kPageRows}) {
        SCOPED_TRACE(pageRows);
        StatementRows rows(BookListModel::statement(), expected[0] + QStringList{"没有的列"}, "读取书库", pageRows);
        EXPECT_EQ(rows.columns()[2].kind, CellKind::Date);
        EXPECT_EQ(rows.columns()[4].kind, CellKind::Text);  // prices are texts
        ASSERT_TRUE(TableExport::write(rows, {path("all.csv"), ExportFormat::Csv}));
        EXPECT_EQ(readCsv(path("all.csv")), expected);
    }
}

// shelfmark-db export on the tests' library (a file, or the tests' server):
// a table whole, a query with its criteria, and the commands it refuses.
TEST_F(Export, TheToolWritesATableOrAQueryResult)
{
    TempLibrary library;
    library.addBasics();
    library.addBook("B1", kTitles[0], "A");
    library.addBook("B2", kTitles[4], "B", true);
    library.addLoan("001", "B1", "2026-03-01", "2026-03-20");
    library.addLoan("002", "B2", "2026-04-01");
    library.exec("UPDATE lentInfo SET 超出天数 = 5, 罚款金额 = 0.5 WHERE 书籍编号 = 'B1'");
    const auto tool = [&](const QStringList& options) {
        return runProgram(SHELFMARK_DB, QStringList{"export", library.dir()} + options).exitCode;
    };
    ASSERT_EQ(tool({"--table", "LENTINFO", "--xlsx", path("loans.xlsx")}), 0);
    const Sheet loans = readXlsx(path("loans.xlsx")).value(0);
    EXPECT_EQ(texts(loans), (QList<QStringList>{{"读者编号", "书籍编号", "借书日期", "还书日期", "超出天数", "罚款金额"},
                                                {"001", "B1", "2026-03-01", "2026-03-20", "5", "0.5"},
                                                {"002", "B2", "2026-04-01"}}));  // empty on either engine
    EXPECT_EQ(loans.rows[1][5].kind + loans.rows[1][2].kind, "nd");
    ASSERT_EQ(tool({"--query", "book", "--title", "结构", "--fuzzy", "--csv", path("books.csv"), "--gb18030"}), 0);
    EXPECT_EQ(readCsv(path("books.csv"), "gb18030"),
              (QList<QStringList>{
                  {"书籍编号", "书籍名称", "类别代码", "出版社", "作者姓名", "书籍价格", "书籍页码", "登记日期", "是否借出"},
                  {"B1", kTitles[0], "A", "人民文学出版社", "不详", "25.00", "320", "2026/1/5", "否"}}));
    // The columns of the 借阅查询 window, without the loan's 超出天数 and 罚款金额.
    ASSERT_EQ(tool({"--query", "loan", "--reader", "001", "--csv", path("lent.csv")}), 0);
    EXPECT_EQ(readCsv(path("lent.csv")),
              (QList<QStringList>{
                  {"读者编号", "读者姓名", "书籍编号", "书籍名称", "书籍类别", "书籍页码", "出版社", "借书日期", "还书日期"},
                  {"001", "张三", "B1", kTitles[0], "文学", "320", "人民文学出版社", "2026/3/1", "2026/3/20"}}));
    const QList<QStringList> refused = {{"--table", "nope", "--csv", path("x.csv")},
                                        {"--query", "loan", "--number", "B1", "--csv", path("x.csv")},
                                        {"--table", "bookInfo", "--xlsx", path("x.csv"), "--gb18030"},
                                        {"--query", "book"}};
    for (const QStringList& options : refused)
        EXPECT_EQ(tool(options), 2) << options.join(' ').toStdString();
    EXPECT_EQ(files(), (QStringList{"books.csv", "lent.csv", "loans.xlsx"}));
}

}  // namespace
