#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QXmlStreamReader>

#include "TempLibrary.h"
#include "catalogue/logic/BookListModel.h"
#include "core/logic/StoreError.h"
#include "export/logic/ExportError.h"
#include "export/logic/RowSource.h"
#include "export/logic/StatementRows.h"
#include "export/logic/TableExport.h"
#include "export/logic/TableWriter.h"

namespace {

// Titles a careless writer gets wrong: separators, quotes, line ends, LIKE's
// marks, a character outside the basic plane, the workbook's own escape
// form, leading and trailing blanks.
const QList<QStringList> kAwkward = {
    {QStringLiteral("B001"), QStringLiteral("数据, 结构"), QStringLiteral("12.50")},
    {QStringLiteral("B002"), QStringLiteral("他说\"好\""), QStringLiteral("")},
    {QStringLiteral("B003"), QStringLiteral("第一行\n第二行\r\n第三行"), QStringLiteral("8")},
    {QStringLiteral("B004"), QStringLiteral("100%_完成"), QStringLiteral("007")},
    {QStringLiteral("B005"), QStringLiteral("𠀀𪚥 古字"), QStringLiteral("1e3")},
    {QStringLiteral("B006"), QStringLiteral("_x0041_ 与 _x005F_"), QStringLiteral(" 9 ")},
    {QStringLiteral("B007"), QStringLiteral("  两端空白  "), QStringLiteral("-")},
    {QStringLiteral("B008"), QStringLiteral("旧式\r换行\t制表"), QStringLiteral("")},
};
const ExportColumns kBookColumns = {{QStringLiteral("书籍编号"), CellKind::Text},
                                    {QStringLiteral("书籍名称"), CellKind::Text},
                                    {QStringLiteral("书籍价格"), CellKind::Text}};

QString run(const QString& program, const QStringList& arguments)
{
    QProcess process;
    process.start(program, arguments);
    EXPECT_TRUE(process.waitForFinished(120000)) << program.toStdString();
    EXPECT_EQ(process.exitCode(), 0) << process.readAllStandardError().toStdString();
    return QString::fromUtf8(process.readAllStandardOutput());
}

// The file parsed by Python's own CSV reader, in the given encoding.
QList<QStringList> readCsv(const QString& path, const char* encoding)
{
    const QString script = QStringLiteral(
        "import csv, json, sys\n"
        "with open(sys.argv[1], encoding=sys.argv[2], newline='') as f:\n"
        "    print(json.dumps(list(csv.reader(f))))\n");
    const QJsonArray rows =
        QJsonDocument::fromJson(run("python3", {"-c", script, path, encoding}).toUtf8()).array();
    QList<QStringList> read;
    for (const QJsonValue& row : rows) {
        QStringList cells;
        for (const QJsonValue& cell : row.toArray())
            cells << cell.toString();
        read << cells;
    }
    return read;
}

// A cell of a sheet as the workbook keeps it.
struct Cell {
    QString value;  // the text (its _xHHHH_ forms read as a spreadsheet reads them) or number
    QString type;   // "inlineStr", "s", "" for a number
    int style = 0;
};
using Sheet = QList<QList<Cell>>;

QString readEscapes(const QString& text)
{
    static const QRegularExpression code(QStringLiteral("_x([0-9A-Fa-f]{4})_"));
    QString read;
    qsizetype from = 0;
    for (QRegularExpressionMatchIterator it = code.globalMatch(text); it.hasNext();) {
        const QRegularExpressionMatch match = it.next();
        read += text.mid(from, match.capturedStart() - from) + QChar(match.captured(1).toUShort(nullptr, 16));
        from = match.capturedEnd();
    }
    return read + text.mid(from);
}

QString unzip(const QString& path, const QString& member)
{
    return run("unzip", {"-p", path, member});
}

// A sheet's rows, each cell at its column (gaps filled with empty cells).
Sheet readSheet(const QString& path, int number)
{
    QXmlStreamReader xml(unzip(path, QStringLiteral("xl/worksheets/sheet%1.xml").arg(number)));
    Sheet rows;
    Cell* cell = nullptr;
    while (!xml.atEnd()) {
        xml.readNext();
        if (!xml.isStartElement())
            continue;
        if (xml.name() == u"row") {
            rows.append(QList<Cell>());
        } else if (xml.name() == u"c") {
            const QString ref = xml.attributes().value("r").toString();
            const int column = ref.at(0).unicode() - 'A';
            while (rows.last().size() <= column)
                rows.last().append(Cell());
            cell = &rows.last()[column];
            cell->type = xml.attributes().value("t").toString();
            cell->style = xml.attributes().value("s").toInt();
        } else if ((xml.name() == u"t" || xml.name() == u"v") && cell) {
            cell->value = readEscapes(xml.readElementText());
        }
    }
    EXPECT_FALSE(xml.hasError()) << xml.errorString().toStdString();
    return rows;
}

// The texts of a sheet's rows.
QList<QStringList> texts(const Sheet& sheet)
{
    QList<QStringList> rows;
    for (const QList<Cell>& row : sheet) {
        QStringList cells;
        for (const Cell& cell : row)
            cells << cell.value;
        rows << cells;
    }
    return rows;
}

// A row padded with empty texts to `size` cells (a sheet keeps no trailing empty cells).
QStringList padded(QStringList row, qsizetype size)
{
    while (row.size() < size)
        row << QString();
    return row;
}

class Export : public ::testing::Test {
protected:
    QString path(const QString& name) const { return dir.filePath(name); }
    // The files in the folder, hidden ones (a scratch file) included.
    QStringList files() const
    {
        return QDir(dir.path()).entryList(QDir::Files | QDir::Hidden | QDir::System, QDir::Name);
    }
    QTemporaryDir dir;
};

// Rows handed out from memory, a failure or a cancel after a given row.
class ListRows : public RowSource {
public:
    ListRows(ExportColumns columns, QList<QStringList> rows, int failAfter = -1)
        : m_columns(std::move(columns)), m_rows(std::move(rows)), m_failAfter(failAfter)
    {
    }
    ExportColumns columns() const override { return m_columns; }
    bool next(QStringList* cells) override
    {
        if (m_next == m_failAfter)
            throw StoreError(QStringLiteral("读取书库"), QStringLiteral("disk I/O error"));
        if (m_next >= m_rows.size())
            return false;
        *cells = m_rows.at(m_next++);
        return true;
    }
    int handedOut() const { return m_next; }

private:
    ExportColumns m_columns;
    QList<QStringList> m_rows;
    int m_failAfter;
    int m_next = 0;
};

TEST_F(Export, CsvKeepsEveryAwkwardTextInEitherEncoding)
{
    struct Case {
        CsvEncoding encoding;
        const char* pythonEncoding;
        QByteArray start;  // the file's first bytes: the mark, then the headings
    };
    const QList<Case> cases = {
        {CsvEncoding::Utf8WithBom, "utf-8-sig", QByteArray("\xEF\xBB\xBF") + QStringLiteral("书籍编号,").toUtf8()},
        {CsvEncoding::Gb18030, "gb18030", QByteArray("\xCA\xE9\xBC\xAE\xB1\xE0\xBA\xC5,")},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.pythonEncoding);
        const QString file = path("books.csv");
        TableExport::write({file, ExportFormat::Csv, c.encoding}, kBookColumns, kAwkward);
        QFile read(file);
        ASSERT_TRUE(read.open(QIODevice::ReadOnly));
        const QByteArray bytes = read.readAll();
        EXPECT_TRUE(bytes.startsWith(c.start)) << bytes.left(20).toHex().toStdString();
        const QByteArray quoted = c.encoding == CsvEncoding::Gb18030
                                      ? QByteArray("\"\xCB\xFB\xCB\xB5\"\"\xBA\xC3\"\"\"")
                                      : QStringLiteral("\"他说\"\"好\"\"\"").toUtf8();
        EXPECT_TRUE(bytes.contains("\r\nB002," + quoted + ",\r\n"));
        QList<QStringList> expected = {{"书籍编号", "书籍名称", "书籍价格"}};
        expected += kAwkward;
        EXPECT_EQ(readCsv(file, c.pythonEncoding), expected);
    }
}

TEST_F(Export, XlsxKeepsTextsAndTypesNumbersAndDatesOnlyWhereAsked)
{
    const ExportColumns columns = {{QStringLiteral("书籍名称"), CellKind::Text},
                                   {QStringLiteral("书籍价格"), CellKind::Text},
                                   {QStringLiteral("超出天数"), CellKind::Number},
                                   {QStringLiteral("借书日期"), CellKind::Date}};
    const QList<QStringList> rows = {
        {kAwkward[0][1], "12.50", "3", "2026/3/1"},
        {kAwkward[1][1], "007", "0.5", "2027-1-10"},
        {kAwkward[2][1], "", "", ""},
        {kAwkward[3][1], "1e3", "很多", "不详"},
        {kAwkward[4][1], " 9 ", "-2", "1899/12/31"},
        {kAwkward[5][1], "", "", ""},
        {kAwkward[6][1], "", "", ""},
        {kAwkward[7][1], "", "", ""},
    };
    const QString file = path("loans.xlsx");
    TableExport::write({file, ExportFormat::Xlsx, CsvEncoding::Utf8WithBom, QStringLiteral("借阅/查询")}, columns,
                       rows);
    const Sheet sheet = readSheet(file, 1);
    QList<QStringList> expected = {{"书籍名称", "书籍价格", "超出天数", "借书日期"},
                                   {kAwkward[0][1], "12.50", "3", "46082"},
                                   {kAwkward[1][1], "007", "0.5", "46397"},
                                   {kAwkward[2][1]},
                                   {kAwkward[3][1], "1e3", "很多", "不详"},
                                   {kAwkward[4][1], " 9 ", "-2", "1899/12/31"},
                                   {kAwkward[5][1]},
                                   {kAwkward[6][1]},
                                   {kAwkward[7][1]}};
    EXPECT_EQ(texts(sheet), expected);
    // Prices stay texts; days over and dates are numbers where they read as one.
    QStringList types;
    for (int r = 1; r <= 5; ++r)
        for (const Cell& cell : sheet[r])
            types << (cell.type.isEmpty() ? QStringLiteral("n") : cell.type.left(1));
    EXPECT_EQ(types.join(' '), "i i n n i i n n i i i i i i i n i");
    // The headings are bold, the dates shown as dates, the rest plain.
    const QString styles = unzip(file, "xl/styles.xml");
    const QString workbook = unzip(file, "xl/workbook.xml");
    EXPECT_TRUE(styles.contains("<b/>"));
    EXPECT_TRUE(styles.contains("formatCode=\"yyyy/m/d\""));
    EXPECT_NE(sheet[0][0].style, 0);
    EXPECT_EQ(sheet[1][0].style, 0);
    EXPECT_NE(sheet[1][3].style, 0);
    EXPECT_NE(sheet[1][3].style, sheet[0][0].style);
    EXPECT_TRUE(workbook.contains("name=\"借阅_查询\""));
}

TEST_F(Export, XlsxColumnsAreAsWideAsTheirWidestText)
{
    const QString file = path("wide.xlsx");
    TableExport::write({file, ExportFormat::Xlsx},
                       {{"编号", CellKind::Text}, {"书籍名称", CellKind::Text}, {"n", CellKind::Text}},
                       {{"B1", QString(20, QChar(0x4E66)), "x"}, {"B2", "短\n" + QString(30, 'a'), "y"}});
    QStringList widths;
    const QString xml = unzip(file, "xl/worksheets/sheet1.xml");
    static const QRegularExpression col(QStringLiteral("<col min=\"(\\d)\" max=\"\\d\" width=\"([0-9.]+)\""));
    for (QRegularExpressionMatchIterator it = col.globalMatch(xml); it.hasNext();) {
        const QRegularExpressionMatch match = it.next();
        widths << match.captured(1) + ":" + QString::number(int(match.captured(2).toDouble()));
    }
    // 编号 is four digits wide (a column is at least six); twenty Chinese
    // characters forty, plus two; of a text of several lines the widest line counts.
    EXPECT_EQ(widths.join(' '), "1:6 2:42 3:6");
}

// Counts up from 1, one number a row.
class Counting : public RowSource {
public:
    explicit Counting(int rows) : m_rows(rows) {}
    ExportColumns columns() const override { return {{QStringLiteral("序号"), CellKind::Number}}; }
    bool next(QStringList* cells) override
    {
        if (m_next >= m_rows)
            return false;
        *cells = {QString::number(++m_next)};
        return true;
    }

private:
    int m_rows;
    int m_next = 0;
};

TEST_F(Export, XlsxGoesOnToANewSheetWithTheHeadingsOnceASheetIsFull)
{
    const QString file = path("long.xlsx");
    Counting rows(1048576 + 1);
    ASSERT_TRUE(TableExport::write(rows, {file, ExportFormat::Xlsx, CsvEncoding::Utf8WithBom, "书库"}));
    const Sheet first = readSheet(file, 1);
    ASSERT_EQ(first.size(), 1048576);
    EXPECT_EQ(first[0][0].value, "序号");
    EXPECT_EQ(first[1][0].value, "1");
    EXPECT_EQ(first[1048575][0].value, "1048575");
    EXPECT_EQ(texts(readSheet(file, 2)), (QList<QStringList>{{"序号"}, {"1048576"}, {"1048577"}}));
    EXPECT_TRUE(unzip(file, "xl/workbook.xml").contains("name=\"书库 (2)\""));
}

TEST_F(Export, ACancelledOrFailedExportLeavesTheFolderAsItWas)
{
    QFile old(path("old.csv"));
    ASSERT_TRUE(old.open(QIODevice::WriteOnly));
    old.write("old");
    old.close();
    QList<QStringList> many;
    for (int i = 0; i < 10000; ++i)
        many << QStringList{QString::number(i), "书"};
    struct Case {
        const char* what;
        QString target;
        ExportFormat format;
        int failAfter;    // the source fails before this row (-1: never)
        int cancelAfter;  // asked to stop after this many rows (-1: never)
    };
    const QList<Case> cases = {
        {"csv cancelled", path("new.csv"), ExportFormat::Csv, -1, 5000},
        {"xlsx cancelled", path("new.xlsx"), ExportFormat::Xlsx, -1, 5000},
        {"csv over a file, cancelled", path("old.csv"), ExportFormat::Csv, -1, 9000},
        {"csv, the store fails", path("old.csv"), ExportFormat::Csv, 7000, -1},
        {"xlsx, the store fails", path("new.xlsx"), ExportFormat::Xlsx, 7000, -1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ListRows source(kBookColumns.mid(0, 2), many, c.failAfter);
        qint64 reported = 0;
        bool written = true;
        QString message;
        try {
            written = TableExport::write(source, {c.target, c.format}, [&](qint64 rows) { reported = rows; },
                                         [&] { return source.handedOut() == c.cancelAfter; });
        } catch (const ExportError& error) {
            message = error.message();
        }
        EXPECT_EQ(files(), QStringList{"old.csv"});
        EXPECT_TRUE(QFile(path("old.csv")).open(QIODevice::ReadOnly));
        QFile check(path("old.csv"));
        check.open(QIODevice::ReadOnly);
        EXPECT_EQ(check.readAll(), "old");
        if (c.failAfter >= 0) {
            EXPECT_TRUE(message.startsWith("读取书库")) << message.toStdString();
            EXPECT_EQ(reported, 4096);
        } else {
            EXPECT_FALSE(written);
            EXPECT_TRUE(message.isEmpty()) << message.toStdString();
            EXPECT_EQ(source.handedOut(), c.cancelAfter);
        }
    }
}

TEST_F(Export, AFileThatCannotBeWrittenIsToldAndNothingIsLeft)
{
    for (const QString& target : {path("missing/books.csv"), path("missing/books.xlsx"), dir.path()}) {
        SCOPED_TRACE(target.toStdString());
        for (ExportFormat format : {ExportFormat::Csv, ExportFormat::Xlsx}) {
            try {
                TableExport::write({target, format}, kBookColumns, kAwkward);
                ADD_FAILURE() << "written";
            } catch (const ExportError& error) {
                EXPECT_TRUE(error.message().startsWith("无法写入文件 " + target)) << error.message().toStdString();
            }
            EXPECT_TRUE(files().isEmpty()) << files().join(' ').toStdString();
        }
    }
}

// A grid's whole result, read from the store again, page after page where
// the engine reads whole results: the rows and texts of a plain reading.
TEST_F(Export, AGridsWholeResultComesOutAsTheGridShowsIt)
{
    TempLibrary library;
    library.addCategory("A", "计算机", 30);
    for (int i = 1; i <= 7; ++i)
        library.addBook(QStringLiteral("B%1").arg(i), kAwkward[(i - 1) % kAwkward.size()][1], "A", i % 3 == 0);
    library.exec("UPDATE bookInfo SET 登记日期 = '2026-03-01', 书籍价格 = '12.50' WHERE 书籍编号 = 'B2'");
    const QStringList shown = {"书籍名称", "书籍编号", "登记日期", "是否借出", "书籍价格", "没有的列"};
    const QString file = path("all.csv");
    for (int pageRows : {2, 3, StatementRows::kPageRows}) {
        SCOPED_TRACE(pageRows);
        StatementRows rows(BookListModel::statement(), shown, "读取书库", pageRows);
        EXPECT_EQ(rows.columns().size(), 5);
        EXPECT_EQ(rows.columns()[2].kind, CellKind::Date);
        EXPECT_EQ(rows.columns()[4].kind, CellKind::Text);
        ASSERT_TRUE(TableExport::write(rows, {file, ExportFormat::Csv}));
        QList<QStringList> expected = {{"书籍名称", "书籍编号", "登记日期", "是否借出", "书籍价格"}};
        const QStringList numbers = library.column("SELECT 书籍编号 FROM bookInfo ORDER BY 书籍编号");
        for (const QString& number : numbers) {
            const QVariantMap key = {{"n", number}};
            const QString date = library.scalar("SELECT 登记日期 FROM bookInfo WHERE 书籍编号 = :n", key).toString();
            expected << QStringList{
                library.scalar("SELECT 书籍名称 FROM bookInfo WHERE 书籍编号 = :n", key).toString(), number,
                date.isEmpty() ? QString() : QDate::fromString(date, Qt::ISODate).toString("yyyy/M/d"),
                library.scalar("SELECT 是否借出 FROM bookInfo WHERE 书籍编号 = :n", key).toInt() ? "是" : "否",
                library.scalar("SELECT 书籍价格 FROM bookInfo WHERE 书籍编号 = :n", key).toString()};
        }
        EXPECT_EQ(readCsv(file, "utf-8-sig"), expected);
    }
}

// shelfmark-db export on the tests' library (a file, or the tests' server):
// a table whole, a query with its criteria, and the commands it refuses.
TEST_F(Export, TheToolWritesATableOrAQueryResult)
{
    TempLibrary library;
    library.addBasics();
    library.addBook("B1", kAwkward[0][1], "A");
    library.addBook("B2", kAwkward[4][1], "B", true);
    library.addLoan("001", "B1", "2026-03-01", "2026-03-20");
    library.addLoan("002", "B2", "2026-04-01");
    library.exec("UPDATE lentInfo SET 超出天数 = 0, 罚款金额 = 0");
    library.exec("UPDATE lentInfo SET 超出天数 = 5, 罚款金额 = 0.5 WHERE 书籍编号 = 'B1'");
    const auto tool = [&](const QStringList& options) {
        QProcess process;
        process.start(SHELFMARK_DB, QStringList{"export", library.dir()} + options);
        process.waitForFinished(60000);
        return process.exitCode();
    };
    ASSERT_EQ(tool({"--table", "LENTINFO", "--xlsx", path("loans.xlsx")}), 0);
    const Sheet loans = readSheet(path("loans.xlsx"), 1);
    EXPECT_EQ(texts(loans), (QList<QStringList>{{"读者编号", "书籍编号", "借书日期", "还书日期", "超出天数", "罚款金额"},
                                                {"001", "B1", "46082", "46101", "5", "0.5"},
                                                {"002", "B2", "46113", "", "0", "0"}}));
    EXPECT_EQ(loans[1][5].type, "");  // a number
    ASSERT_EQ(tool({"--query", "book", "--title", "结构", "--fuzzy", "--csv", path("books.csv"), "--gb18030"}), 0);
    EXPECT_EQ(readCsv(path("books.csv"), "gb18030"),
              (QList<QStringList>{
                  {"书籍编号", "书籍名称", "书籍价格", "出版社", "书籍页码", "类别代码", "作者姓名", "登记日期", "是否借出"},
                  {"B1", kAwkward[0][1], "25.00", "人民文学出版社", "320", "A", "不详", "2026/1/5", "否"}}));
    const QList<QStringList> refused = {{"--table", "nope", "--csv", path("x.csv")},
                                        {"--query", "loan", "--number", "B1", "--csv", path("x.csv")},
                                        {"--query", "book", "--registered", "2026-02-30", "--csv", path("x.csv")},
                                        {"--table", "bookInfo", "--xlsx", path("x.csv"), "--gb18030"},
                                        {"--query", "book"}};
    for (const QStringList& options : refused)
        EXPECT_EQ(tool(options), 2) << options.join(' ').toStdString();
    EXPECT_EQ(files(), (QStringList{"books.csv", "loans.xlsx"}));
}

}  // namespace
