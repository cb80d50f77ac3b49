#include <gtest/gtest.h>

#include <QDate>
#include <QDir>
#include <QFile>
#include <QMap>
#include <QRegularExpression>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QTemporaryDir>
#include <functional>

#include "DbTool.h"
#include "DemoLibrary.h"
#include "TempLibrary.h"
#include "core/logic/Database.h"
#include "core/logic/Sql.h"
#include "core/logic/StoreError.h"

namespace {

const QString kTables[] = {"basicSet", "bookInfo", "bookType", "bookconcernList", "lentInfo", "readerInfo"};

QString databaseIn(const QTemporaryDir& dir)
{
    return dir.filePath(QStringLiteral("mdb/Shelfmark.mdb"));
}

// Every file of a folder with its bytes: a refused or failed step must leave
// all of them as they were and add none (no -wal or -shm either).
QMap<QString, QByteArray> snapshot(const QString& folder)
{
    QMap<QString, QByteArray> files;
    for (const QString& name : QDir(folder).entryList(QDir::Files | QDir::Hidden)) {
        QFile file(QDir(folder).filePath(name));
        EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << name.toStdString();
        files.insert(name, file.readAll());
    }
    return files;
}

void writeFile(const QString& path, const QByteArray& bytes)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

// Runs statements on a private connection, apart from the shared one.
void runPrivately(const QString& path, const QStringList& statements)
{
    const QString name = QStringLiteral("dbtool-test-private");
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
        db.setDatabaseName(path);
        ASSERT_TRUE(db.open()) << db.lastError().text().toStdString();
        for (const QString& statement : statements) {
            QSqlQuery query(db);
            EXPECT_TRUE(query.exec(statement)) << query.lastError().text().toStdString();
        }
        db.close();
    }
    QSqlDatabase::removeDatabase(name);
}

QList<QVariantList> rows(const QString& statement)
{
    QSqlQuery query = Sql::run(statement, {}, QStringLiteral("测试查询"));
    QList<QVariantList> result;
    while (query.next()) {
        QVariantList row;
        for (int i = 0; i < query.record().count(); ++i)
            row.append(query.value(i));
        result.append(row);
    }
    return result;
}

QVariant scalar(const QString& statement, const QVariantMap& values = {})
{
    QSqlQuery query = Sql::run(statement, values, QStringLiteral("测试查询"));
    return query.next() ? query.value(0) : QVariant();
}

int count(const QString& table)
{
    return scalar(QStringLiteral("SELECT count(*) FROM ") + table).toInt();
}

// A program directory made by the tool, with the shared connection open on it.
class ToolDatabase : public ::testing::Test {
protected:
    void makeWith(int (*tool)(const QString&, QString*))
    {
        QString message;
        ASSERT_EQ(tool(m_dir.path(), &message), 0) << message.toStdString();
        QString error;
        ASSERT_TRUE(Database::open(databaseIn(m_dir), &error)) << error.toStdString();
    }
    void TearDown() override { Database::close(); }

    QTemporaryDir m_dir;
};

}  // namespace

// Readable failure output for texts.
void PrintTo(const QString& text, std::ostream* out)
{
    *out << '"' << text.toStdString() << '"';
}

// --- create -----------------------------------------------------------------

class CreatedDatabase : public ToolDatabase {
protected:
    void SetUp() override { makeWith(DbTool::create); }
};

TEST_F(CreatedDatabase, HasExactlySixTablesAndTheDefaultRules)
{
    QStringList tables;
    for (const QVariantList& row : rows(QStringLiteral(
             "SELECT name FROM sqlite_master WHERE type = 'table' AND name NOT LIKE 'sqlite_%' ORDER BY name")))
        tables.append(row.at(0).toString());
    QStringList expected(std::begin(kTables), std::end(kTables));
    expected.sort();
    tables.sort();
    EXPECT_EQ(tables, expected);

    const QList<QVariantList> rules = rows(QStringLiteral("SELECT 借出册数, 罚款 FROM basicSet"));
    ASSERT_EQ(rules.size(), 1);
    EXPECT_EQ(rules[0][0].toInt(), 2);
    EXPECT_DOUBLE_EQ(rules[0][1].toDouble(), 0.1);
    for (const QString& table : {"bookInfo", "bookType", "lentInfo", "readerInfo", "bookconcernList"})
        EXPECT_EQ(count(table), 0) << table.toStdString();
}

// Statements the store must refuse, each against the baseline rows below.
struct Refusal {
    const char* what;
    const char* statement;
    QVariantMap values;
};

class SchemaRefuses : public CreatedDatabase, public ::testing::WithParamInterface<Refusal> {
protected:
    void SetUp() override
    {
        CreatedDatabase::SetUp();
        const QString action = QStringLiteral("准备");
        Sql::run(QStringLiteral("INSERT INTO bookType VALUES ('A', '文学', 30)"), {}, action);
        Sql::run(QStringLiteral("INSERT INTO bookInfo (书籍编号, 书籍名称, 类别代码, 登记日期, 是否借出)"
                                " VALUES ('B0001', '围城', 'A', '2024-02-29', 0)"),
                 {}, action);
        Sql::run(QStringLiteral("INSERT INTO readerInfo (读者编号, 读者姓名) VALUES ('001', '王芳')"), {}, action);
        Sql::run(QStringLiteral("INSERT INTO bookconcernList VALUES ('商务印书馆')"), {}, action);
    }
};

TEST_P(SchemaRefuses, TheStatement)
{
    const QMap<QString, int> before = {{"bookInfo", count("bookInfo")},   {"bookType", count("bookType")},
                                       {"lentInfo", count("lentInfo")},   {"readerInfo", count("readerInfo")},
                                       {"basicSet", count("basicSet")},   {"bookconcernList", count("bookconcernList")}};
    EXPECT_THROW(Sql::run(QString::fromUtf8(GetParam().statement), GetParam().values, QStringLiteral("测试")),
                 StoreError);
    for (auto it = before.cbegin(); it != before.cend(); ++it)
        EXPECT_EQ(count(it.key()), it.value()) << it.key().toStdString();
    const QList<QVariantList> rules = rows(QStringLiteral("SELECT 借出册数, 罚款 FROM basicSet"));
    EXPECT_EQ(rules[0][0].toInt(), 2);
}

const char* const kNewBook = "INSERT INTO bookInfo (书籍编号, 登记日期, 是否借出) VALUES (:n, :d, :f)";
const char* const kNewLoan = "INSERT INTO lentInfo (读者编号, 书籍编号, 借书日期, 还书日期, 超出天数) VALUES ('001', 'B0001', :l, :r, :o)";

INSTANTIATE_TEST_SUITE_P(
    Store, SchemaRefuses,
    ::testing::Values(
        Refusal{"TextAsLoanPeriod", "INSERT INTO bookType VALUES ('B', '历史', :d)", {{"d", "三十"}}},
        Refusal{"TextAsQuota", "UPDATE basicSet SET 借出册数 = :q", {{"q", "两本"}}},
        Refusal{"TextAsFine", "UPDATE basicSet SET 罚款 = :f", {{"f", "一毛"}}},
        Refusal{"TextAsOverdueDays", kNewLoan, {{"l", "2026-03-01"}, {"r", "2026-03-20"}, {"o", "五"}}},
        Refusal{"SlashDate", kNewBook, {{"n", "B0002"}, {"d", "2026/3/1"}, {"f", 0}}},
        Refusal{"February30", kNewBook, {{"n", "B0002"}, {"d", "2026-02-30"}, {"f", 0}}},
        Refusal{"February29InCommonYear", kNewBook, {{"n", "B0002"}, {"d", "2025-02-29"}, {"f", 0}}},
        Refusal{"UnpaddedDate", kNewBook, {{"n", "B0002"}, {"d", "2026-3-1"}, {"f", 0}}},
        Refusal{"DateWithTime", kNewBook, {{"n", "B0002"}, {"d", "2026-03-01 10:00"}, {"f", 0}}},
        Refusal{"BadLendDate", kNewLoan, {{"l", "2026/3/1"}, {"r", QVariant()}, {"o", QVariant()}}},
        Refusal{"BadReturnDate", kNewLoan, {{"l", "2026-03-01"}, {"r", "2026-13-01"}, {"o", 0}}},
        Refusal{"LentFlagTwo", kNewBook, {{"n", "B0002"}, {"d", "2026-03-01"}, {"f", 2}}},
        Refusal{"LentFlagMinusOne", kNewBook, {{"n", "B0002"}, {"d", "2026-03-01"}, {"f", -1}}},
        Refusal{"LentFlagSetToTwo", "UPDATE bookInfo SET 是否借出 = 2", {}},
        Refusal{"DuplicateBookNumber", kNewBook, {{"n", "B0001"}, {"d", "2026-03-01"}, {"f", 0}}},
        // The desk finds book numbers without regard to case, so these are one number.
        Refusal{"DuplicateBookNumberOtherCase", kNewBook, {{"n", "b0001"}, {"d", "2026-03-01"}, {"f", 0}}},
        Refusal{"DuplicatePublisher", "INSERT INTO bookconcernList VALUES (:p)", {{"p", "商务印书馆"}}},
        Refusal{"DuplicateReaderNumber", "INSERT INTO readerInfo (读者编号) VALUES ('001')", {}},
        Refusal{"DuplicateCategoryCode", "INSERT INTO bookType VALUES ('a', '艺术', 30)", {}}),
    [](const ::testing::TestParamInfo<Refusal>& info) { return std::string(info.param.what); });

TEST_F(CreatedDatabase, TakesWellFormedValues)
{
    const QString action = QStringLiteral("测试");
    Sql::run(QStringLiteral("INSERT INTO bookType VALUES ('A', '文学', 30)"), {}, action);
    Sql::run(QString::fromUtf8(kNewBook), {{"n", "B0001"}, {"d", "2028-02-29"}, {"f", 1}}, action);
    Sql::run(QStringLiteral("INSERT INTO readerInfo (读者编号) VALUES ('001')"), {}, action);
    Sql::run(QString::fromUtf8(kNewLoan), {{"l", "2028-03-01"}, {"r", QVariant()}, {"o", QVariant()}}, action);
    Sql::run(QStringLiteral("UPDATE lentInfo SET 还书日期 = '2028-04-05', 超出天数 = 5, 罚款金额 = 0.5"), {}, action);
    EXPECT_EQ(scalar(QStringLiteral("SELECT 登记日期 FROM bookInfo")).toString(), QStringLiteral("2028-02-29"));
    EXPECT_EQ(scalar(QStringLiteral("SELECT 罚款金额 FROM lentInfo")).toDouble(), 0.5);
}

// --- the tool refuses to touch an existing file -----------------------------

struct ExistingFile {
    const char* what;
    bool ourDatabase;  // else a file of some other program
    int (*tool)(const QString&, QString*);
};

class ToolRefusesExisting : public ::testing::TestWithParam<ExistingFile> {};

TEST_P(ToolRefusesExisting, AndLeavesItUnchanged)
{
    QTemporaryDir dir;
    const QString file = databaseIn(dir);
    QString message;
    if (GetParam().ourDatabase)
        ASSERT_EQ(DbTool::demo(dir.path(), &message), 0) << message.toStdString();
    else
        writeFile(file, QByteArray("\0\1\0\0Standard Jet DB\0", 20) + QByteArray(2000, '\x5a'));
    const auto before = snapshot(QFileInfo(file).absolutePath());

    message.clear();
    EXPECT_NE(GetParam().tool(dir.path(), &message), 0);
    EXPECT_TRUE(message.contains(QDir::toNativeSeparators(file))) << message.toStdString();
    EXPECT_EQ(snapshot(QFileInfo(file).absolutePath()), before);
    EXPECT_FALSE(Database::isOpen());
}

INSTANTIATE_TEST_SUITE_P(
    Tool, ToolRefusesExisting,
    ::testing::Values(ExistingFile{"CreateOverOurs", true, DbTool::create},
                      ExistingFile{"DemoOverOurs", true, DbTool::demo},
                      ExistingFile{"CreateOverForeign", false, DbTool::create},
                      ExistingFile{"DemoOverForeign", false, DbTool::demo}),
    [](const ::testing::TestParamInfo<ExistingFile>& info) { return std::string(info.param.what); });

TEST(DbTool, CreateMakesTheFolderAndLeavesNoJournalBehind)
{
    QTemporaryDir dir;
    QString message;
    ASSERT_EQ(DbTool::create(dir.path(), &message), 0) << message.toStdString();
    EXPECT_TRUE(message.contains(QDir::toNativeSeparators(databaseIn(dir)))) << message.toStdString();
    EXPECT_EQ(QDir(dir.filePath("mdb")).entryList(QDir::Files | QDir::Hidden), QStringList{"Shelfmark.mdb"});
    EXPECT_FALSE(Database::isOpen());
}

// --- opening ----------------------------------------------------------------

TEST(DatabaseOpen, MissingFileFailsNamingItAndCreatesNothing)
{
    QTemporaryDir dir;
    const QString file = databaseIn(dir);
    QDir().mkpath(QFileInfo(file).absolutePath());
    QString error;
    EXPECT_FALSE(Database::open(file, &error));
    EXPECT_TRUE(error.contains(QDir::toNativeSeparators(file))) << error.toStdString();
    EXPECT_FALSE(QFileInfo::exists(file));
    EXPECT_TRUE(QDir(QFileInfo(file).absolutePath()).isEmpty());
    EXPECT_FALSE(Database::isOpen());
}

TEST(DatabaseOpen, FileOfRandomBytesFailsWithTheEnginesError)
{
    QTemporaryDir dir;
    const QString file = databaseIn(dir);
    QByteArray bytes;
    quint32 x = 12345;
    for (int i = 0; i < 8192; ++i) {
        x = x * 1103515245u + 12345u;
        bytes.append(char(x >> 24));
    }
    writeFile(file, bytes);
    const auto before = snapshot(QFileInfo(file).absolutePath());

    QString error;
    EXPECT_FALSE(Database::open(file, &error));
    EXPECT_TRUE(error.contains(QDir::toNativeSeparators(file))) << error.toStdString();
    EXPECT_TRUE(error.contains(QStringLiteral("not a database"))) << error.toStdString();
    EXPECT_FALSE(Database::isOpen());
    EXPECT_EQ(snapshot(QFileInfo(file).absolutePath()), before);
}

// An SQLite file that lacks one of our tables is refused by name, and is
// left exactly as it was (opening must not switch its journal mode).
class DatabaseOpenMissingTable : public ::testing::TestWithParam<QString> {};

TEST_P(DatabaseOpenMissingTable, FailsNamingTheTable)
{
    QTemporaryDir dir;
    const QString file = databaseIn(dir);
    QString message;
    ASSERT_EQ(DbTool::create(dir.path(), &message), 0) << message.toStdString();
    runPrivately(file, {QStringLiteral("PRAGMA journal_mode=DELETE"), QStringLiteral("DROP TABLE ") + GetParam()});
    const auto before = snapshot(QFileInfo(file).absolutePath());

    QString error;
    EXPECT_FALSE(Database::open(file, &error));
    EXPECT_TRUE(error.contains(QDir::toNativeSeparators(file))) << error.toStdString();
    EXPECT_TRUE(error.contains(GetParam())) << error.toStdString();
    EXPECT_FALSE(Database::isOpen());
    EXPECT_EQ(snapshot(QFileInfo(file).absolutePath()), before);
}

INSTANTIATE_TEST_SUITE_P(Tables, DatabaseOpenMissingTable, ::testing::ValuesIn(kTables),
                         [](const ::testing::TestParamInfo<QString>& info) { return info.param.toStdString(); });

TEST(DatabaseOpen, SqliteFileOfAnotherProgramFails)
{
    QTemporaryDir dir;
    const QString file = databaseIn(dir);
    QDir().mkpath(QFileInfo(file).absolutePath());
    runPrivately(file, {QStringLiteral("CREATE TABLE notes (id INTEGER PRIMARY KEY, text TEXT)"),
                        QStringLiteral("INSERT INTO notes (text) VALUES ('hello')")});
    const auto before = snapshot(QFileInfo(file).absolutePath());

    QString error;
    EXPECT_FALSE(Database::open(file, &error));
    EXPECT_TRUE(error.contains(QDir::toNativeSeparators(file))) << error.toStdString();
    EXPECT_FALSE(Database::isOpen());
    EXPECT_EQ(snapshot(QFileInfo(file).absolutePath()), before);
}

// --- the demo library -----------------------------------------------------

namespace {

struct Loan {
    QString reader, book;
    QDate lent, returned;
    QVariant overdue, fine;
};

QList<Loan> allLoans()
{
    QList<Loan> loans;
    for (const QVariantList& row : rows(QStringLiteral(
             "SELECT 读者编号, 书籍编号, 借书日期, 还书日期, 超出天数, 罚款金额 FROM lentInfo ORDER BY rowid")))
        loans.append({row[0].toString(), row[1].toString(), Sql::toDate(row[2]), Sql::toDate(row[3]), row[4],
                      row[5]});
    return loans;
}

// Loan period of every book, by book number.
QMap<QString, int> loanPeriods()
{
    QMap<QString, int> periods;
    for (const QVariantList& row : rows(QStringLiteral(
             "SELECT bookInfo.书籍编号, bookType.借出天数 FROM bookInfo, bookType"
             " WHERE bookInfo.类别代码 = bookType.类别代码")))
        periods.insert(row[0].toString(), row[1].toInt());
    return periods;
}

}  // namespace

class DemoDatabase : public ToolDatabase {
protected:
    void SetUp() override
    {
        m_today = QDate::currentDate();
        makeWith(DbTool::demo);
    }
    QDate m_today;
};

TEST_F(DemoDatabase, HasALibraryOfBelievableSize)
{
    EXPECT_GE(count("bookType"), 8);
    EXPECT_LE(count("bookType"), 12);
    EXPECT_GE(count("bookconcernList"), 35);
    EXPECT_LE(count("bookconcernList"), 50);
    EXPECT_GE(count("bookInfo"), 250);
    EXPECT_LE(count("bookInfo"), 350);
    EXPECT_EQ(count("basicSet"), 1);
    QStringList expected;
    for (int i = 1; i <= 50; ++i)
        expected.append(QStringLiteral("%1").arg(i, 3, 10, QLatin1Char('0')));
    QStringList readers;
    for (const QVariantList& row : rows(QStringLiteral("SELECT 读者编号 FROM readerInfo ORDER BY 读者编号")))
        readers.append(row[0].toString());
    EXPECT_EQ(readers, expected);
}

TEST_F(DemoDatabase, CategoriesBooksAndReadersFitTheWindows)
{
    for (const QVariantList& row : rows(QStringLiteral("SELECT 类别代码, 书籍类别, 借出天数 FROM bookType"))) {
        EXPECT_EQ(row[0].toString().size(), 1) << row[0].toString().toStdString();
        EXPECT_FALSE(row[1].toString().isEmpty());
        EXPECT_GE(row[2].toInt(), 14);
        EXPECT_LE(row[2].toInt(), 60);
    }
    // Every book is found by the desk's join and names a known publisher.
    EXPECT_EQ(scalar("SELECT count(*) FROM bookInfo WHERE 类别代码 NOT IN (SELECT 类别代码 FROM bookType)").toInt(), 0);
    EXPECT_EQ(scalar("SELECT count(*) FROM bookInfo WHERE 出版社 NOT IN (SELECT 出版社 FROM bookconcernList)").toInt(), 0);
    const QRegularExpression price(QStringLiteral("^[1-9][0-9]*\\.[0-9]{2}$"));
    const QRegularExpression pages(QStringLiteral("^[1-9][0-9]*$"));
    for (const QVariantList& row :
         rows(QStringLiteral("SELECT 书籍编号, 书籍名称, 书籍价格, 书籍页码, 作者姓名, 登记日期 FROM bookInfo"))) {
        const std::string number = row[0].toString().toStdString();
        EXPECT_FALSE(row[1].toString().isEmpty()) << number;
        EXPECT_TRUE(price.match(row[2].toString()).hasMatch()) << number << " " << row[2].toString().toStdString();
        EXPECT_TRUE(pages.match(row[3].toString()).hasMatch()) << number;
        EXPECT_FALSE(row[4].toString().isEmpty()) << number;
        const QDate registered = Sql::toDate(row[5]);
        EXPECT_TRUE(registered.isValid() && registered < m_today) << number;
    }
    // The reader window holds 8 characters of a name and 12 of a telephone.
    for (const QVariantList& row :
         rows(QStringLiteral("SELECT 读者编号, 读者姓名, 读者性别, 联系电话, 所在部门 FROM readerInfo"))) {
        const std::string number = row[0].toString().toStdString();
        EXPECT_GE(row[1].toString().size(), 2) << number;
        EXPECT_LE(row[1].toString().size(), 8) << number;
        EXPECT_TRUE(row[2].toString() == QStringLiteral("男") || row[2].toString() == QStringLiteral("女")) << number;
        EXPECT_GE(row[3].toString().size(), 11) << number;
        EXPECT_LE(row[3].toString().size(), 12) << number;
        EXPECT_FALSE(row[4].toString().isEmpty()) << number;
    }
}

TEST_F(DemoDatabase, LentFlagsMatchOutstandingLoansWithinTheQuota)
{
    // Each outstanding loan's book is flagged; each flagged book has exactly one.
    EXPECT_EQ(scalar("SELECT count(*) FROM lentInfo JOIN bookInfo USING (书籍编号)"
                     " WHERE 还书日期 IS NULL AND 是否借出 <> 1").toInt(), 0);
    EXPECT_EQ(scalar("SELECT count(*) FROM bookInfo WHERE 是否借出 = 1 AND"
                     " (SELECT count(*) FROM lentInfo WHERE lentInfo.书籍编号 = bookInfo.书籍编号"
                     "  AND 还书日期 IS NULL) <> 1").toInt(), 0);
    EXPECT_EQ(scalar("SELECT count(*) FROM lentInfo WHERE 还书日期 IS NULL").toInt(),
              scalar("SELECT count(*) FROM bookInfo WHERE 是否借出 = 1").toInt());
    // Every loan shows in the desk's lists: its reader and book exist.
    EXPECT_EQ(scalar("SELECT count(*) FROM lentInfo WHERE 读者编号 NOT IN (SELECT 读者编号 FROM readerInfo)"
                     " OR 书籍编号 NOT IN (SELECT 书籍编号 FROM bookInfo)").toInt(), 0);
    const int quota = scalar("SELECT 借出册数 FROM basicSet").toInt();
    EXPECT_LE(scalar("SELECT max(n) FROM (SELECT count(*) AS n FROM lentInfo WHERE 还书日期 IS NULL"
                     " GROUP BY 读者编号)").toInt(), quota);
}

TEST_F(DemoDatabase, LoansFollowTheCalendarAndTheFineRule)
{
    const double finePerDay = scalar("SELECT 罚款 FROM basicSet").toDouble();
    const QMap<QString, int> periods = loanPeriods();
    QMap<QString, QDate> registered;
    for (const QVariantList& row : rows(QStringLiteral("SELECT 书籍编号, 登记日期 FROM bookInfo")))
        registered.insert(row[0].toString(), Sql::toDate(row[1]));

    int overdueOutstanding = 0, outstanding = 0, returned = 0, fined = 0;
    QMap<QString, QList<const Loan*>> byBook;
    const QList<Loan> loans = allLoans();
    for (const Loan& loan : loans) {
        const std::string what = (loan.reader + QLatin1Char('/') + loan.book).toStdString();
        ASSERT_TRUE(loan.lent.isValid()) << what;
        EXPECT_LE(loan.lent, m_today) << what;
        EXPECT_GE(loan.lent, registered.value(loan.book)) << what;
        const int period = periods.value(loan.book);
        byBook[loan.book].append(&loan);
        if (!loan.returned.isValid()) {
            ++outstanding;
            EXPECT_TRUE(loan.overdue.isNull() && loan.fine.isNull()) << what;
            if (loan.lent.daysTo(m_today) > period)
                ++overdueOutstanding;
            continue;
        }
        ++returned;
        EXPECT_GE(loan.returned, loan.lent) << what;
        EXPECT_LE(loan.returned, m_today) << what;
        const int overdue = std::max(0, int(loan.lent.daysTo(loan.returned)) - period);
        EXPECT_EQ(loan.overdue.toInt(), overdue) << what;
        const double fine = loan.fine.toDouble();
        // To the cent, and stored as the desk shows it (0.3, not 0.30000000000000004).
        EXPECT_EQ(qRound64(fine * 100), qRound64(finePerDay * overdue * 100)) << what;
        EXPECT_EQ(fine, QString::number(fine, 'f', 2).toDouble()) << what;
        if (fine > 0)
            ++fined;
    }
    EXPECT_GE(outstanding, 10);
    EXPECT_GE(overdueOutstanding, 3);
    EXPECT_GE(returned, 50);
    EXPECT_GE(fined, 10);

    // A copy is never out twice at once.
    for (auto it = byBook.cbegin(); it != byBook.cend(); ++it) {
        for (int i = 1; i < it.value().size(); ++i) {
            const Loan* earlier = it.value().at(i - 1);
            ASSERT_TRUE(earlier->returned.isValid()) << it.key().toStdString();
            EXPECT_LE(earlier->returned, it.value().at(i)->lent) << it.key().toStdString();
        }
    }
}

namespace {

QStringList dumpLibrary()
{
    QStringList dump;
    for (const QString& table : kTables)
        for (const QVariantList& row : rows(QStringLiteral("SELECT * FROM ") + table + QStringLiteral(" ORDER BY rowid"))) {
            QStringList cells{table};
            for (const QVariant& cell : row)
                cells.append(cell.isNull() ? QStringLiteral("<null>") : cell.toString());
            dump.append(cells.join(QLatin1Char('|')));
        }
    return dump;
}

}  // namespace

TEST(DemoLibrary, IsTheSameLibraryForTheSameDay)
{
    const QDate today(2026, 3, 20);
    QStringList first;
    {
        TempLibrary library;
        DemoLibrary::fill(today);
        first = dumpLibrary();
    }
    TempLibrary library;
    DemoLibrary::fill(today);
    EXPECT_EQ(dumpLibrary(), first);
    // Dated up to the day given, whatever the clock says.
    const QDate lastLent = Sql::toDate(scalar("SELECT max(借书日期) FROM lentInfo"));
    EXPECT_LE(lastLent, today);
    EXPECT_GE(lastLent, today.addDays(-7));
    EXPECT_TRUE(scalar("SELECT max(还书日期) FROM lentInfo").toString() <= QStringLiteral("2026-03-20"));
}

TEST(DemoLibrary, FailingPartWayLeavesNothingWritten)
{
    TempLibrary library;
    // Readers are written after categories, publishers and books.
    library.addReader(QStringLiteral("050"), QStringLiteral("先来的"));
    EXPECT_THROW(DemoLibrary::fill(QDate(2026, 3, 20)), StoreError);
    for (const QString& table : {"bookType", "bookconcernList", "bookInfo", "lentInfo"})
        EXPECT_EQ(count(table), 0) << table.toStdString();
    EXPECT_EQ(count("readerInfo"), 1);
}
