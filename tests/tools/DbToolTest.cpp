#include <QDir>
#include <QMap>
#include <QTemporaryDir>

#include "DbTool.h"
#include "BadInputs.h"
#include "DemoLibrary.h"
#include "QtPrinters.h"
#include "TempLibrary.h"
#include "core/logic/Sql.h"
#include "core/logic/StoreError.h"
#include "queries/logic/QueryBuilder.h"

namespace {

// Every file of the database's folder with its bytes ("<missing>" when it
// cannot be read): a refused or failed step must leave them as they were and
// add none (no -wal or -shm either).
QMap<QString, QByteArray> snapshot(const QString& databaseFile)
{
    const QDir folder = QFileInfo(databaseFile).absoluteDir();
    QMap<QString, QByteArray> files;
    for (const QString& name : folder.entryList(QDir::Files | QDir::Hidden))
        files.insert(name, bytesOf(folder.filePath(name)));
    return files;
}

QString databaseIn(const QTemporaryDir& dir) { return dir.filePath(QStringLiteral("mdb/Shelfmark.mdb")); }

QStringList sortedColumn(const QString& statement, const QVariantList& values)
{
    QSqlQuery query(Database::connection());
    EXPECT_TRUE(query.prepare(statement)) << statement.toStdString();
    for (const QVariant& value : values)
        query.addBindValue(value);
    EXPECT_TRUE(query.exec());
    QStringList rows;
    while (query.next())
        rows << query.value(0).toString();
    rows.sort();
    return rows;
}

// What a fuzzy search for the text in a column of the books (书籍编号, 书籍名称
// or 出版社) finds through the index, and what reading every book finds.
struct Search { QStringList indexed, scanned; bool throughIndex; };
Search search(const QString& text, const QString& column = "书籍名称")
{
    BookCriteria criteria;
    (column == "书籍编号" ? criteria.bookId : column == "出版社" ? criteria.publisher : criteria.bookName) = text;
    KeyedStatement indexed = BuildBookQuery(criteria, true);
    const bool throughIndex = indexed.text.contains("bookSearch");
    return {sortedColumn(indexed.text.replace("select bookInfo.*", "select 书籍编号"), indexed.values),
            sortedColumn(QString("SELECT 书籍编号 FROM bookInfo WHERE %1 LIKE ? ESCAPE '\\'").arg(column),
                         {Sql::containsPattern(text)}),
            throughIndex};
}

// A count that must lie between least and most.
struct Check { const char* what; QString countQuery; int least, most; };

const char* const kCountLoansWithPeriod = "SELECT count(*) FROM lentInfo l JOIN bookInfo b ON b.书籍编号 = l.书籍编号"
                                          " JOIN bookType t ON t.类别代码 = b.类别代码 WHERE ";

// What must never happen in a library, whatever its size, as of 20 March 2026.
const QList<Check> kNever = {
    {"lent flag other than the book's number of outstanding loans", "SELECT count(*) FROM bookInfo b WHERE"
         " 是否借出 <> (SELECT count(*) FROM lentInfo l WHERE l.书籍编号 = b.书籍编号 AND l.还书日期 IS NULL)", 0, 0},
    {"loan of an unknown reader or book", "SELECT count(*) FROM lentInfo WHERE 读者编号 NOT IN"
         " (SELECT 读者编号 FROM readerInfo) OR 书籍编号 NOT IN (SELECT 书籍编号 FROM bookInfo)", 0, 0},
    {"reader over the quota", "SELECT count(*) FROM (SELECT 读者编号 FROM lentInfo WHERE 还书日期 IS NULL"
         " GROUP BY 读者编号 HAVING count(*) > (SELECT 借出册数 FROM basicSet))", 0, 0},
    {"loan dated after the day or returned before lent", "SELECT count(*) FROM lentInfo WHERE"
         " 借书日期 > '2026-03-20' OR 还书日期 > '2026-03-20' OR 还书日期 < 借书日期", 0, 0},
    {"overdue days other than max(0, days out - period)", QString(kCountLoansWithPeriod) + "l.还书日期 IS NOT NULL"
         " AND l.超出天数 IS NOT max(0, julianday(l.还书日期) - julianday(l.借书日期) - t.借出天数)", 0, 0},
    // To the cent, and stored as the desk shows it (0.3, not 0.30000000000000004).
    {"fine other than the rate times the overdue days", "SELECT count(*) FROM lentInfo WHERE 还书日期 IS NOT NULL"
         " AND (罚款金额 IS NULL OR abs(罚款金额 - 超出天数 * (SELECT 罚款 FROM basicSet)) > 0.005"
         " OR 罚款金额 <> round(罚款金额, 2))", 0, 0},
};

// Something of each kind for the clerk to try.
const QList<Check> kSomethingOfEachKind = {
    {"outstanding loans", "SELECT count(*) FROM lentInfo WHERE 还书日期 IS NULL", 1, 1 << 30},
    {"overdue outstanding loans", QString(kCountLoansWithPeriod) +
         "l.还书日期 IS NULL AND julianday('2026-03-20') - julianday(l.借书日期) > t.借出天数", 1, 1 << 30},
    {"fined returns", "SELECT count(*) FROM lentInfo WHERE 罚款金额 > 0", 1, 1 << 30},
};

void expectCounts(const QList<Check>& checks)
{
    for (const Check& check : checks) {
        const int found = storeRows(check.countQuery).toInt();
        EXPECT_TRUE(found >= check.least && found <= check.most) << check.what << ": " << found;
    }
}

}  // namespace

TEST(DbTool, CreateMakesTheSixTablesAndTheOneRulesRow)
{
    QTemporaryDir dir;
    const QString file = databaseIn(dir);
    QString message;
    ASSERT_EQ(DbTool::create(dir.path(), &message), 0) << message.toStdString();
    EXPECT_EQ(message, QStringLiteral("已创建数据库 %1").arg(QDir::toNativeSeparators(file)));
    EXPECT_EQ(snapshot(file).keys(), QStringList{"Shelfmark.mdb"});
    EXPECT_FALSE(Database::isOpen());

    ASSERT_TRUE(Database::open(file, &message)) << message.toStdString();
    struct Closer { ~Closer() { Database::close(); } } closer;
    QStringList tables = Database::connection().tables();
    tables.sort();
    // The six tables, the search index with the engine's tables behind it,
    // and our own reminders table.
    EXPECT_EQ(tables.join(' '), "basicSet bookInfo bookSearch bookSearch_config bookSearch_data bookSearch_idx"
                                " bookType bookconcernList lentInfo overdueReminders readerInfo");
    EXPECT_EQ(storeDump(false), "basicSet:2|0.1");
}

TEST(Schema, RefusesWrongTypesDatesFlagsAndDuplicateKeys)
{
    TempLibrary library;  // the tables as the tool makes them
    // Well-formed values of every kind go in.
    for (const char* statement :
         {"INSERT INTO bookType VALUES ('A', '文学', 30)", "INSERT INTO readerInfo (读者编号) VALUES ('001')",
          "INSERT INTO bookInfo (书籍编号, 登记日期, 是否借出) VALUES ('B0001', '2024-02-29', 1)",
          "INSERT INTO bookconcernList VALUES ('商务印书馆')",
          "INSERT INTO lentInfo VALUES ('001', 'B0001', '2024-03-01', '2024-04-05', 5, 0.5)"})
        Sql::run(QString::fromUtf8(statement), {}, QStringLiteral("准备"));
    const QString before = storeDump();

    const char* const refusals[][2] = {
        {"text as loan period", "INSERT INTO bookType VALUES ('B', '历史', '三十')"},
        {"short date form", "INSERT INTO bookInfo (书籍编号, 登记日期) VALUES ('B0002', '2026/3/1')"},
        {"February 29 of a common year", "UPDATE bookInfo SET 登记日期 = '2025-02-29'"},
        {"lent flag 2", "UPDATE bookInfo SET 是否借出 = 2"},
        // The desk finds numbers and codes without regard to case, so these are duplicates.
        {"book number in other case", "INSERT INTO bookInfo (书籍编号) VALUES ('b0001')"},
        {"category code in other case", "INSERT INTO bookType VALUES ('a', '艺术', 30)"},
        {"publisher", "INSERT INTO bookconcernList VALUES ('商务印书馆')"},
    };
    for (const auto& [what, statement] : refusals) {
        SCOPED_TRACE(what);
        EXPECT_THROW(Sql::run(QString::fromUtf8(statement), {}, QStringLiteral("测试")), StoreError);
        EXPECT_TRUE(storeDump() == before);
    }
}

// What lies at the database's path: the tool never overwrites it, and the
// program opens none of these, leaving each as it was (a missing one: StartupTest).
TEST(DbTool, NeverOverwritesAFileAndTheProgramOpensOnlyOurs)
{
    QTemporaryDir foreign, ours;
    QDir(foreign.path()).mkpath(QStringLiteral("mdb"));
    // A database file of another engine.
    putBytes(databaseIn(foreign), QByteArray("\0\1\0\0Standard Jet DB\0", 20) + QByteArray(2000, '\x5a'));
    QString message;
    ASSERT_EQ(DbTool::demo(ours.path(), &message), 0) << message.toStdString();
    EXPECT_EQ(message, QStringLiteral("已创建演示图书馆数据库 %1").arg(QDir::toNativeSeparators(databaseIn(ours))));
    // Ours without a table, left in the default journal mode so that a switch to WAL would show.
    ASSERT_TRUE(Database::create(databaseIn(ours), &message)) << message.toStdString();
    for (const char* statement : {"PRAGMA journal_mode=DELETE", "DROP TABLE lentInfo"})
        Sql::run(statement, {}, QStringLiteral("准备"));
    Database::close();
    for (const auto& [dir, says] : {std::pair{&foreign, "not a database"}, std::pair{&ours, "lentInfo"}}) {
        SCOPED_TRACE(says);
        const QString file = databaseIn(*dir);
        const auto before = snapshot(file);
        for (const auto tool : {DbTool::create, DbTool::demo}) {
            EXPECT_NE(tool(dir->path(), &message), 0);
            EXPECT_EQ(message, QStringLiteral("数据库 %1 已经存在,不会覆盖。").arg(QDir::toNativeSeparators(file)));
        }
        EXPECT_FALSE(Database::open(file, &message));
        EXPECT_TRUE(message.contains(QDir::toNativeSeparators(file)) && message.contains(says)) << message.toStdString();
        EXPECT_FALSE(Database::isOpen());
        EXPECT_EQ(snapshot(file), before);
    }
}

// The file is made but cannot be set up (something in the way of the
// engine's work files: its write-ahead log, its rollback journal, its shared
// memory file, each making a different step fail). The tool says so naming the
// file, leaves no file of its own behind, and once the obstacle is gone a
// second run makes the library.
TEST(DbTool, AFailedCreateLeavesNothingBehindSoARetrySucceeds)
{
    for (const char* obstacle : {"Shelfmark.mdb-wal", "Shelfmark.mdb-journal", "Shelfmark.mdb-shm"}) {
        SCOPED_TRACE(obstacle);
        QTemporaryDir dir;
        const QString file = databaseIn(dir);
        const QString blocking = QFileInfo(file).absoluteDir().filePath(QString::fromLatin1(obstacle));
        ASSERT_TRUE(QDir().mkpath(blocking));  // a folder where the engine wants a file
        QString message;
        for (const auto tool : {DbTool::create, DbTool::demo}) {
            EXPECT_NE(tool(dir.path(), &message), 0);
            EXPECT_TRUE(message.contains(QDir::toNativeSeparators(file))) << message.toStdString();
            EXPECT_EQ(snapshot(file).keys(), QStringList{});
            EXPECT_FALSE(Database::isOpen());
        }
        ASSERT_TRUE(QDir(blocking).removeRecursively());
        EXPECT_EQ(DbTool::create(dir.path(), &message), 0) << message.toStdString();
        EXPECT_EQ(snapshot(file).keys(), QStringList{"Shelfmark.mdb"});
    }
}

// The large library has the size asked; it and the small demo library (as
// the program's first start makes it) both hold together, loans dated from
// the day given.
TEST(DemoLibraries, HaveTheSizeAskedAndHoldTogether)
{
    const QDate today(2026, 3, 20);
    QTemporaryDir dir;
    QString message;
    ASSERT_EQ(DbTool::demo(dir.path(), {3000, 400, 20000}, &message, today), 0) << message.toStdString();
    EXPECT_EQ(message, QStringLiteral("已创建演示图书馆数据库 %1 (3000 册图书, 400 位读者, 20000 条借阅记录)")
                           .arg(QDir::toNativeSeparators(databaseIn(dir))));
    ASSERT_TRUE(Database::open(databaseIn(dir), &message)) << message.toStdString();
    struct Closer { ~Closer() { Database::close(); } } closer;

    const QList<Check> checks = {
        {"books numbered B0001 to B3000", "SELECT count(*) FROM bookInfo"
             " WHERE 书籍编号 GLOB 'B[0-9][0-9][0-9][0-9]' AND 书籍编号 BETWEEN 'B0001' AND 'B3000'", 3000, 3000},
        {"readers numbered 001 to 400", "SELECT count(*) FROM readerInfo"
             " WHERE 读者编号 GLOB '[0-9][0-9][0-9]' AND 读者编号 BETWEEN '001' AND '400'", 400, 400},
        {"loans", "SELECT count(*) FROM lentInfo", 20000, 20000},
        {"the store's own date check skipped while filling, so checked here", "SELECT count(*) FROM bookInfo,"
             " lentInfo WHERE bookInfo.rowid = lentInfo.rowid AND (date(登记日期, '+0 days') IS NOT 登记日期"
             " OR date(借书日期, '+0 days') IS NOT 借书日期"
             " OR (还书日期 IS NOT NULL AND date(还书日期, '+0 days') IS NOT 还书日期))", 0, 0},
        {"a book lent again before it came back", "SELECT count(*) FROM lentInfo a JOIN lentInfo b"
             " ON a.书籍编号 = b.书籍编号 AND a.rowid <> b.rowid WHERE b.借书日期 >= a.借书日期"
             " AND b.借书日期 < coalesce(a.还书日期, '9999-12-31')", 0, 0},
        {"the file left in WAL mode", "SELECT count(*) FROM pragma_journal_mode WHERE journal_mode = 'wal'", 1, 1},
    };
    expectCounts(checks + kSomethingOfEachKind + kNever);

    // The indexes of a library made in one step are all there, and the
    // search index keeps a new library's settings.
    const QString layout = "SELECT (SELECT group_concat(name) FROM (SELECT name FROM sqlite_master"
                           " WHERE type IN ('index', 'trigger', 'table') ORDER BY name)) || ' / ' ||"
                           " (SELECT group_concat(k || '=' || v) FROM (SELECT * FROM bookSearch_config ORDER BY k))";
    const QString large = storeRows(layout);
    Database::close();
    TempLibrary small;
    EXPECT_EQ(large, small.scalar(layout).toString());

    DemoLibrary::fill(today);
    expectCounts(kSomethingOfEachKind + kNever);
    // Dated up to the day given, whatever the machine's clock says.
    EXPECT_GE(Sql::toDate(small.scalar("SELECT max(借书日期) FROM lentInfo")), today.addDays(-7));
}

TEST(LargeLibrary, RefusesSizesItCannotMake)
{
    const struct { const char* what; LargeLibrary::Size size; const char* says; } refusals[] = {
        {"negative", {-1, 10, 10}, "负数"}, {"loans without books", {0, 10, 10}, "至少一册图书和一位读者"},
        {"loans without readers", {10, 0, 10}, "至少一册图书和一位读者"},
    };
    for (const auto& refusal : refusals) {
        SCOPED_TRACE(refusal.what);
        QTemporaryDir dir;
        QString message;
        EXPECT_EQ(DbTool::demo(dir.path(), refusal.size, &message), 2);
        EXPECT_TRUE(message.contains(QString::fromUtf8(refusal.says))) << message.toStdString();
        EXPECT_FALSE(QFileInfo::exists(databaseIn(dir)));
    }
}

// The large library's search index is filled after its books, by our own
// spacing rather than the triggers', and made again by reindex once it no
// longer fits the books (a VACUUM may renumber their rows; here it is emptied,
// and its trigger and table left as an earlier version made them, without
// marks as words). Either way fuzzy searches over it find exactly what reading
// every book finds, for texts taken from the books themselves (one to four
// characters, whole titles, characters beyond the basic plane a trigger
// indexed) and for texts found nowhere; books added after reindex are found.
TEST(DbTool, TheSearchIndexFindsWhatReadingEveryBookFindsAndReindexMakesItFitAgain)
{
    QTemporaryDir dir;
    QString message;
    ASSERT_TRUE(DbTool::demo(dir.path(), {2000, 50, 100}, &message) == 0 && Database::open(databaseIn(dir), &message))
        << message.toStdString();
    Sql::run("INSERT INTO bookInfo (书籍编号, 书籍名称, 类别代码, 是否借出) VALUES ('X1', '𠀀𠀁书名', 'A', 0)", {}, "测试");
    QStringList probes = {"学版", "社出", "Python", "sql", "（第", "B00", "B1", "7", "鉴", "不存在的书名", "𠀁书", "𠀀"};
    for (const QString& sample : sortedColumn("SELECT 书籍编号 || '|' || 书籍名称 || '|' || 出版社 FROM bookInfo"
                                              " WHERE rowid % 97 = 0", {})) {
        probes << sample.section('|', 1, 1);
        for (int length = 1; length <= 4; ++length)
            probes << sample.mid(sample.size() / 3, length) << sample.right(length);
    }
    // Every search of every column against reading every book: all alike
    // (and enough finding something through the index), or some not.
    const auto expectIndex = [&probes](bool fits) {
        int differ = 0, found = 0, throughIndex = 0;
        for (const QString& probe : probes)
            for (const char* column : {"书籍编号", "书籍名称", "出版社"}) {
                const Search s = search(probe, column);
                differ += s.indexed != s.scanned;
                found += !s.indexed.isEmpty();
                throughIndex += s.throughIndex;
            }
        EXPECT_EQ(differ == 0, fits) << differ;
        if (fits)
            EXPECT_TRUE(found > probes.size() && throughIndex > 2 * probes.size()) << found << " " << throughIndex;
    };
    expectIndex(true);

    for (const char* statement :
         {"DELETE FROM bookInfo WHERE rowid <= 200", "INSERT INTO bookSearch (bookSearch) VALUES ('delete-all')",
          "DROP TRIGGER bookInfo_search_insert",
          "CREATE TRIGGER bookInfo_search_insert AFTER INSERT ON bookInfo BEGIN SELECT 1; END", "DROP TABLE bookSearch",
          "CREATE VIRTUAL TABLE bookSearch USING fts5(number, title, publisher, numberPairs, titlePairs,"
          " publisherPairs, content='', columnsize=0)"})
        Sql::run(QString::fromUtf8(statement), {}, "测试");
    expectIndex(false);
    Database::close();

    ASSERT_EQ(DbTool::reindex(dir.path(), &message), 0) << message.toStdString();
    EXPECT_EQ(message, QStringLiteral("已重建检索索引 %1").arg(QDir::toNativeSeparators(databaseIn(dir))));
    ASSERT_TRUE(Database::open(databaseIn(dir), &message)) << message.toStdString();
    expectIndex(true);
    EXPECT_EQ(search("𠀁书").indexed, QStringList{"X1"});
    Sql::run("INSERT INTO bookInfo (书籍编号, 书籍名称, 类别代码, 是否借出) VALUES ('X2', '重建之后', 'A', 0), ('X3', '（！）', 'A', 0)",
             {}, "测试");
    EXPECT_EQ(search("建之").indexed, QStringList{"X2"});
    EXPECT_EQ(search("！").indexed, QStringList{"X3"});
    Database::close();
}
