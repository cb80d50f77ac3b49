#include <gtest/gtest.h>

#include <QSemaphore>
#include <QSqlDatabase>

#include "TempLibrary.h"
#include "core/logic/Database.h"
#include "core/logic/OffThreadWork.h"
#include "core/logic/Sql.h"
#include "core/logic/StoreError.h"
#include "core/logic/Transaction.h"

namespace {

struct Store : ::testing::Test {
    static void addReader(const QString& number, const QString& name)
    {
        Sql::run("INSERT INTO readerInfo (读者编号, 读者姓名) VALUES (:number, :name)",
                 {{"number", number}, {"name", name}}, "登记读者");
    }
    // The readers' names in number order, joined by "|".
    QString names()
    {
        return library.column("SELECT 读者姓名 FROM readerInfo ORDER BY 读者编号").join('|');
    }
    static QString keptReaderName(const QString& number)
    {
        return Sql::withKept("SELECT 读者姓名 FROM readerInfo WHERE 读者编号 = :number",
                             {{"number", number}}, "查找读者", [](QSqlQuery& query) {
                                 return query.next() ? query.value(0).toString() : QString();
                             });
    }

    TempLibrary library;
};

}  // namespace

TEST_F(Store, AFailedStepLeavesNothingAndACommitSurvivesReopening)
{
    try {
        Transaction transaction("登记读者");
        addReader("001", "张三");
        addReader("001", "李四");  // the same key
        transaction.commit();
        FAIL() << "a duplicate reader number must be refused";
    } catch (const StoreError&) {
    }
    EXPECT_EQ(names(), "");

    {
        Transaction transaction("登记读者");
        addReader("007", "王五");
        transaction.commit();
    }
    QString error;
    ASSERT_TRUE(library.reopen(&error)) << error.toStdString();
    EXPECT_EQ(names(), "王五");
    if (TempLibrary::onServer()) {
        // The server keeps its own journal; the session compiles nothing.
        EXPECT_EQ(library.scalar("SHOW jit").toString(), "off");
        return;
    }
    EXPECT_EQ(library.scalar("PRAGMA journal_mode").toString(), "wal");
    EXPECT_EQ(library.scalar("PRAGMA synchronous").toInt(), 2) << "FULL";
}

// A kept statement belongs to the connection it was prepared on, and is reset
// after each use so that it holds no read snapshot between look-ups.
TEST(KeptStatements, BelongToTheirConnectionAndHoldNoSnapshotBetweenLookups)
{
    {
        TempLibrary first;
        first.addReader("001", "张三");
        EXPECT_EQ(Store::keptReaderName("001"), "张三");
        EXPECT_EQ(Store::keptReaderName("002"), "");
    }
    TempLibrary library;
    library.addReader("001", "李四");
    library.addReader("002", "赵六");
    EXPECT_EQ(Store::keptReaderName("001"), "李四");
    library.exec("UPDATE readerInfo SET 读者姓名 = '王五' WHERE 读者编号 = '002'");
    // A statement left open would keep the log from being emptied (a file's
    // log; the server reads every result whole and keeps none open).
    if (!TempLibrary::onServer())
        EXPECT_EQ(library.scalar("PRAGMA wal_checkpoint(TRUNCATE)").toInt(), 0) << "checkpoint was blocked";
    EXPECT_EQ(Store::keptReaderName("002"), "王五");
}

// Work off the windows' thread writes through a connection of its own: the
// windows' thread keeps turning its event loop meanwhile (it sees the first
// report while the work waits for it), sees nothing of the work until its
// commit, and gets every report in order. A failure comes back as itself and
// leaves nothing; either way the thread's connection is gone afterwards.
TEST_F(Store, WorkOffTheThreadHasItsOwnConnectionAndReportsInOrder)
{
    addReader("001", "张三");
    OffThreadWork work;
    QSemaphore seenFirst;
    QStringList reports;
    QString seenDuringWork;
    QObject::connect(&work, &OffThreadWork::progressed, [&](int done) {
        reports << QString::number(done);
        if (done == 1) {
            seenDuringWork = names();
            seenFirst.release();
        }
    });
    work.run("登记读者", [&](const OffThreadWork::Report& report) {
        Transaction transaction("登记读者");
        addReader("007", "王五");
        EXPECT_EQ(keptReaderName("007"), "王五");
        report(1);
        if (!seenFirst.tryAcquire(1, 10000))
            throw StoreError("登记读者", "the windows' thread never saw the first report");
        report(2);
        report(3);
        transaction.commit();
    });
    EXPECT_EQ(seenDuringWork, "张三");
    EXPECT_EQ(reports.join(' '), "1 2 3");
    EXPECT_EQ(names(), "张三|王五");
    EXPECT_EQ(keptReaderName("007"), "王五");

    try {
        work.run("登记读者", [](const OffThreadWork::Report&) {
            Transaction transaction("登记读者");
            addReader("008", "赵六");
            addReader("001", "李四");  // the same key
            transaction.commit();
        });
        FAIL() << "a duplicate reader number must be refused";
    } catch (const StoreError& error) {
        EXPECT_EQ(error.action(), "登记读者");
    }
    EXPECT_EQ(names(), "张三|王五");
    EXPECT_EQ(QSqlDatabase::connectionNames(), QStringList{QSqlDatabase::defaultConnection});

    Database::close();
    EXPECT_THROW(work.run("登记读者", [](const OffThreadWork::Report&) { FAIL() << "no library is open"; }),
                 StoreError);
}
