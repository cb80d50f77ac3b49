#include <QDir>
#include <QFile>
#include <QSqlError>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QThread>
#include <atomic>
#include <gtest/gtest.h>

#include "FixedClock.h"
#include "Probes.h"
#include "ScriptedPrompter.h"
#include "TempLibrary.h"
#include "backup/logic/Backups.h"
#include "backup/logic/DailySnapshot.h"
#include "backup/logic/SnapshotFolder.h"
#include "core/logic/Database.h"

namespace {

// Every row of every table of ours, with its row id, in order.
QStringList everyRow(const QString& file)
{
    QStringList rows;
    for (const char* table : {"bookInfo", "bookType", "lentInfo", "readerInfo", "basicSet", "bookconcernList",
                              "overdueReminders"})
        rows << fileRows(file, QStringLiteral("SELECT '%1', rowid, * FROM %1 ORDER BY rowid").arg(table));
    return rows;
}

QDateTime at(const char* iso)
{
    return QDateTime::fromString(QString::fromLatin1(iso), Qt::ISODate);
}

class BackupLogic : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (TempLibrary::onServer())
            GTEST_SKIP() << "snapshots are of a file library";
        library.addSmallLibrary();
        library.addBook("B010", "数据结构 (C语言版)", "B");
        library.addBook("B011", "Python 编程", "B", true);
        library.addLoan("001", "B011", "2026-03-02");
        library.exec("INSERT INTO overdueReminders (借阅行号, 催还日期) VALUES (1, '2026-03-15')");
    }
    QString dir() const { return library.dir(); }
    QStringList snapshotNames() const
    {
        return QDir(SnapshotFolder(dir()).path()).entryList(QDir::Files, QDir::Name);
    }

    TempLibrary library;
};

TEST_F(BackupLogic, SnapshotHoldsEveryRowAndASearchIndexThatFindsTheSameBooks)
{
    const Backups::Outcome outcome = Backups::takeSnapshot(dir(), at("2026-03-20T09:15:00"));
    ASSERT_TRUE(outcome.ok()) << outcome.error.toStdString();
    EXPECT_EQ(QFileInfo(outcome.path).fileName(), "Shelfmark-2026-03-20-091500000.mdb");
    EXPECT_EQ(everyRow(outcome.path), everyRow(library.databasePath()));
    EXPECT_EQ(Backups::describe(outcome.counts), "图书 4 册, 读者 2 人, 借出未还 2 册");
    // One file alone, without the library's journal.
    EXPECT_EQ(fileRows(outcome.path, "PRAGMA journal_mode"), QStringList{"delete"});
    EXPECT_FALSE(QFile::exists(outcome.path + "-wal"));
    for (const char* words : {"title:\"数 据\"", "title:\"p y\"", "number:\"b 0 0 1\"", "publisher:\"人 民\""}) {
        const QString search = QStringLiteral("SELECT rowid FROM bookSearch WHERE bookSearch MATCH '%1' ORDER BY rowid").arg(words);
        EXPECT_FALSE(fileRows(outcome.path, search).isEmpty()) << words;
        EXPECT_EQ(fileRows(outcome.path, search), fileRows(library.databasePath(), search)) << words;
    }
}

// While another connection lends book after book, each loan and its book's
// flag in one transaction, a snapshot holds both or neither, and the lending
// is never refused for it.
TEST_F(BackupLogic, SnapshotTakenWhileAnotherConnectionLendsIsConsistent)
{
    library.exec("BEGIN");
    for (int i = 0; i < 3000; ++i)
        library.addBook(QStringLiteral("L%1").arg(i, 5, 10, QLatin1Char('0')), QStringLiteral("借阅测试书 %1").arg(i), "A");
    library.exec("COMMIT");
    std::atomic<bool> stop{false};
    std::atomic<int> lent{0};
    QString failure;
    std::unique_ptr<QThread> desk(QThread::create([&] {
        {
            QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("desk"));
            db.setDatabaseName(library.databasePath());
            db.open();
            QSqlQuery query(db);
            for (int i = 0; i < 3000 && !stop && failure.isEmpty(); ++i, ++lent) {
                const QString book = QStringLiteral("L%1").arg(i, 5, 10, QLatin1Char('0'));
                if (!query.exec("BEGIN IMMEDIATE")
                    || !query.exec(QStringLiteral("INSERT INTO lentInfo (读者编号, 书籍编号, 借书日期) VALUES ('002', '%1', '2026-03-20')").arg(book))
                    || !query.exec(QStringLiteral("UPDATE bookInfo SET 是否借出 = 1 WHERE 书籍编号 = '%1'").arg(book)) || !query.exec("COMMIT"))
                    failure = query.lastError().text();
            }
        }
        QSqlDatabase::removeDatabase(QStringLiteral("desk"));
    }));
    desk->start();
    while (lent < 50)
        QThread::msleep(1);
    const Backups::Outcome outcome = Backups::takeSnapshot(dir(), at("2026-03-20T10:00:00"));
    const int lentAfter = lent;
    stop = true;
    desk->wait();
    EXPECT_TRUE(failure.isEmpty()) << failure.toStdString();
    ASSERT_TRUE(outcome.ok()) << outcome.error.toStdString();
    const QString loansOut = fileRows(outcome.path, "SELECT count(*) FROM lentInfo WHERE 还书日期 IS NULL").value(0);
    EXPECT_EQ(fileRows(outcome.path, "SELECT count(*) FROM bookInfo WHERE 是否借出 = 1").value(0), loansOut);
    EXPECT_GE(loansOut.toInt(), 50 + 2);
    EXPECT_LE(loansOut.toInt(), lentAfter + 2);
    EXPECT_EQ(outcome.counts.loansOut, loansOut.toLongLong());
}

struct RefusedFile {
    const char* what;
    std::function<void(const QString& library, const QString& file)> make;
    const char* said;
};

void copyLibrary(const QString& library, const QString& file)
{
    QString error;
    ASSERT_TRUE(LibraryFile::copy(library, file, &error)) << error.toStdString();
}

// A file that is not a library of ours, or fails its check, is refused before
// anything is done: the library, the chosen file and the snapshots stay as they were.
TEST_F(BackupLogic, AFileThatIsNotAWholeLibraryOfOursIsRefusedAndNothingChanges)
{
    QTemporaryDir elsewhere;
    const auto edit = [](const QString& library, const QString& file, const char* statement) {
        copyLibrary(library, file);
        fileRows(file, QString::fromUtf8(statement));
    };
    const RefusedFile cases[] = {
        {"a text file", [](const QString&, const QString& f) { QFile file(f); file.open(QIODevice::WriteOnly); file.write("书名,作者\n红楼梦,曹雪芹\n"); },
         "不是数据库文件"},
        {"another program's database", [](const QString&, const QString& f) { fileRows(f, "CREATE TABLE notes (t TEXT)"); },
         "没有本系统的标记"},
        {"our library without our stamp", [&](const QString& l, const QString& f) { edit(l, f, "PRAGMA application_id = 0"); },
         "没有本系统的标记"},
        {"a library of a newer layout", [&](const QString& l, const QString& f) { edit(l, f, "PRAGMA user_version = 99"); },
         "更新版本"},
        {"a library with a damaged page", [&](const QString& l, const QString& f) {
             copyLibrary(l, f);
             const QString page = fileRows(f, "SELECT rootpage FROM sqlite_master WHERE name = 'lentInfo'").value(0);
             const QString pageSize = fileRows(f, "PRAGMA page_size").value(0);
             QFile file(f);
             file.open(QIODevice::ReadWrite);
             file.seek((page.toLongLong() - 1) * pageSize.toLongLong() + 8);
             file.write(QByteArray(64, '\x7f'));
         },
         "损坏"},
        {"a library whose search index is damaged", [&](const QString& l, const QString& f) { edit(l, f, "DELETE FROM bookSearch_data WHERE id > 10"); },
         "检索索引"},
        {"a file that is not there", [](const QString&, const QString&) {}, "文件不存在"},
    };
    SnapshotFolder(dir()).make();
    const QStringList rowsBefore = everyRow(library.databasePath());
    for (const RefusedFile& refused : cases) {
        const QString file = elsewhere.filePath(QStringLiteral("chosen-%1.mdb").arg(&refused - cases));
        refused.make(library.databasePath(), file);
        const QByteArray chosenBefore = bytesOf(file);
        const QStringList snapshotsBefore = snapshotNames();
        const Backups::Candidate candidate = Backups::prepareRestore(dir(), file);
        EXPECT_FALSE(candidate.ok()) << refused.what;
        EXPECT_TRUE(candidate.error.contains(QString::fromUtf8(refused.said))) << refused.what << ": " << candidate.error.toStdString();
        EXPECT_TRUE(candidate.error.contains("当前的图书馆没有改变")) << refused.what;
        EXPECT_EQ(everyRow(library.databasePath()), rowsBefore) << refused.what;
        EXPECT_EQ(bytesOf(file), chosenBefore) << refused.what;
        EXPECT_EQ(snapshotNames(), snapshotsBefore) << refused.what;
    }
}

// A restore first keeps a snapshot of the library as it is, then the library
// holds exactly the restored copy's rows, still in WAL mode, its search index
// finding the same books.
TEST_F(BackupLogic, RestoreReplacesTheLibraryWholeAndKeepsASnapshotOfWhatWasThere)
{
    // A library made before our stamp: its snapshots get it, and so can be restored.
    library.exec("PRAGMA application_id = 0");
    const Backups::Outcome yesterday = Backups::takeSnapshot(dir(), at("2026-03-19T17:00:00"));
    ASSERT_TRUE(yesterday.ok()) << yesterday.error.toStdString();
    EXPECT_EQ(fileRows(yesterday.path, "PRAGMA application_id"), QStringList{"1397247046"});
    const QStringList yesterdaysRows = everyRow(yesterday.path);
    library.addReader("003", "王五");
    library.addBook("B020", "数据库系统概论", "B", true);
    library.addLoan("003", "B020", "2026-03-20");
    const QStringList todaysRows = everyRow(library.databasePath());

    const Backups::Candidate candidate = Backups::prepareRestore(dir(), yesterday.path);
    ASSERT_TRUE(candidate.ok()) << candidate.error.toStdString();
    EXPECT_EQ(Backups::describe(candidate.current), "图书 5 册, 读者 3 人, 借出未还 3 册");
    EXPECT_EQ(Backups::describe(candidate.counts), "图书 4 册, 读者 2 人, 借出未还 2 册");
    const Backups::Outcome outcome = Backups::restore(dir(), candidate, at("2026-03-20T11:00:00"));
    ASSERT_TRUE(outcome.ok()) << outcome.error.toStdString();

    EXPECT_EQ(everyRow(outcome.path), todaysRows);
    EXPECT_EQ(everyRow(library.databasePath()), yesterdaysRows);
    EXPECT_EQ(fileRows(library.databasePath(), "PRAGMA journal_mode"), QStringList{"wal"});
    const QString search = "SELECT rowid FROM bookSearch WHERE bookSearch MATCH 'title:\"数 据\"' ORDER BY rowid";
    EXPECT_EQ(fileRows(library.databasePath(), search), fileRows(yesterday.path, search));
    // The shared connection, opened again, reads the restored library.
    QString error;
    ASSERT_TRUE(library.reopen(&error)) << error.toStdString();
    EXPECT_EQ(library.scalar("SELECT count(*) FROM readerInfo").toInt(), 2);
    EXPECT_EQ(snapshotNames(), QStringList({"Shelfmark-2026-03-19-170000000.mdb", "Shelfmark-2026-03-20-110000000.mdb", "backup.ini"}));
}

// One snapshot a day, the day's last, for the days kept; every one of today.
TEST_F(BackupLogic, OldSnapshotsArePrunedToOneADayForTheDaysKept)
{
    struct Case { int keepDays; int kept; const char* oldest; };
    for (const Case& c : {Case{30, 29 + 2, "2026-02-19"}, Case{5, 4 + 2, "2026-03-16"}}) {
        QTemporaryDir data;
        const SnapshotFolder folder(data.path());
        ASSERT_TRUE(folder.make());
        folder.setKeepDays(c.keepDays);
        QDir(data.path()).mkpath("mdb");
        copyLibrary(library.databasePath(), QDir(data.path()).filePath("mdb/Shelfmark.mdb"));
        const Backups::Outcome first = Backups::takeSnapshot(data.path(), at("2026-03-20T07:00:00"));
        ASSERT_TRUE(first.ok()) << first.error.toStdString();
        for (int day = 1; day <= 40; ++day)
            for (const char* time : {"09:00:00", "17:00:00"})
                QFile::copy(first.path, folder.pathFor(QDateTime(QDate(2026, 3, 20).addDays(-day), QTime::fromString(time))));
        ASSERT_TRUE(Backups::takeSnapshot(data.path(), at("2026-03-20T08:00:00")).ok());

        const QList<SnapshotFolder::Snapshot> left = folder.list();
        EXPECT_EQ(left.size(), c.kept) << c.keepDays;
        EXPECT_EQ(left.last().taken, QDateTime::fromString(QString::fromLatin1(c.oldest) + "T17:00:00", Qt::ISODate)) << c.keepDays;
        EXPECT_EQ(left[0].taken, at("2026-03-20T08:00:00"));
        EXPECT_EQ(left[1].taken, at("2026-03-20T07:00:00"));
        for (int i = 2; i < left.size(); ++i)
            EXPECT_EQ(left[i].taken.time(), QTime(17, 0)) << left[i].path.toStdString();
    }
}

// A copy elsewhere goes into a new file, named by the clerk or by the time;
// a file already there is never overwritten. The reminder counts from the
// last copy saved elsewhere, or from the first snapshot when there was none.
TEST_F(BackupLogic, ACopyElsewhereGoesIntoANewFileAndResetsTheWeeksReminder)
{
    EXPECT_EQ(Backups::daysWithoutCopyElsewhere(dir(), QDate(2026, 3, 20)), 0);
    ASSERT_TRUE(Backups::takeSnapshot(dir(), at("2026-03-10T09:00:00")).ok());
    EXPECT_EQ(Backups::daysWithoutCopyElsewhere(dir(), QDate(2026, 3, 16)), 0);
    EXPECT_EQ(Backups::daysWithoutCopyElsewhere(dir(), QDate(2026, 3, 17)), 7);
    QTemporaryDir stick;
    const Backups::Outcome saved = Backups::saveElsewhere(dir(), stick.path(), at("2026-03-18T12:00:00"));
    ASSERT_TRUE(saved.ok()) << saved.error.toStdString();
    EXPECT_EQ(everyRow(saved.path), everyRow(library.databasePath()));
    EXPECT_EQ(Backups::daysWithoutCopyElsewhere(dir(), QDate(2026, 3, 24)), 0);
    EXPECT_EQ(Backups::daysWithoutCopyElsewhere(dir(), QDate(2026, 3, 26)), 8);

    const QString file = QDir(stick.path()).filePath(QStringLiteral("library.mdb"));
    ASSERT_TRUE(Backups::saveAs(dir(), file, at("2026-03-18T12:00:00")).ok());
    EXPECT_EQ(everyRow(file), everyRow(library.databasePath()));
    const QString other = QDir(stick.path()).filePath(QStringLiteral("notes.txt"));
    putBytes(other, "keep me");
    EXPECT_FALSE(Backups::saveAs(dir(), other, at("2026-03-18T12:05:00")).ok());
    EXPECT_EQ(bytesOf(other), QByteArray("keep me"));
}

// Closing the program while the day's snapshot is checked stops the check and
// removes the unchecked snapshot. The next sign-in of the day takes it again,
// off the windows' thread; later sign-ins that day take none.
TEST_F(BackupLogic, TheDaysFirstSignInTakesTheDaysSnapshotAndClosingLeavesNoUncheckedOne)
{
    std::atomic<bool> stop{true};
    EXPECT_FALSE(Backups::takeSnapshot(dir(), at("2026-03-20T09:00:00"), &stop).ok());
    EXPECT_EQ(QDir(SnapshotFolder(dir()).path()).entryList({QStringLiteral("*.mdb")}, QDir::Files), QStringList());
    EXPECT_TRUE(Backups::snapshotDue(dir(), QDate(2026, 3, 20)));

    // Enough loans that the check is still running when the program closes.
    library.exec("WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 300000)"
                 " INSERT INTO lentInfo (读者编号, 书籍编号, 借书日期, 还书日期) SELECT '001', 'B' || i,"
                 " '2025-01-01', '2025-01-02' FROM n");
    FixedClock clock(QDate(2026, 3, 20));
    ScriptedPrompter prompter;
    {
        DailySnapshot daily(dir(), clock, prompter);
        daily.atSignIn();
        ASSERT_TRUE(daily.running());
    }
    EXPECT_EQ(QDir(SnapshotFolder(dir()).path()).entryList({QStringLiteral("*.mdb")}, QDir::Files), QStringList());
    EXPECT_TRUE(Backups::snapshotDue(dir(), QDate(2026, 3, 20)));

    DailySnapshot daily(dir(), clock, prompter);
    for (const QDate day : {QDate(2026, 3, 20), QDate(2026, 3, 20), QDate(2026, 3, 21)}) {
        clock.setToday(day);
        daily.atSignIn();
        daily.wait();
    }
    QStringList days;
    for (const SnapshotFolder::Snapshot& snapshot : SnapshotFolder(dir()).list())
        days << snapshot.taken.date().toString(Qt::ISODate);
    EXPECT_EQ(days, QStringList({"2026-03-21", "2026-03-20"}));
}

}  // namespace
