#include <QDir>
#include <QElapsedTimer>
#include <QThread>
#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include "Probes.h"
#include "backup/logic/Backups.h"

namespace {

// What a library file holds: its integrity and its number of readers.
QString stateOf(const QString& file)
{
    return fileRows(file, "PRAGMA integrity_check").value(0, "?") + " "
           + fileRows(file, "SELECT count(*) FROM readerInfo").value(0, "?");
}

// shelfmark-db backup, then restore killed at moments spread over the last
// quarter of its run, where it writes the library: each time the library is
// whole, and it is the old one or the new one, never a mixture. (A restore
// that rewrote the file in place was caught by some of these kills, not by
// every run.)
TEST(RestoreCrash, AKilledRestoreLeavesTheOldLibraryOrTheNewOneWhole)
{
    QTemporaryDir data;
    QProcess tool;
    tool.start(SHELFMARK_DB, {"demo", data.path(), "--books", "30000", "--readers", "3000", "--loans", "60000"});
    ASSERT_TRUE(tool.waitForFinished(120000) && tool.exitCode() == 0) << tool.readAllStandardError().toStdString();
    tool.start(SHELFMARK_DB, {"backup", data.path()});
    ASSERT_TRUE(tool.waitForFinished(120000) && tool.exitCode() == 0) << tool.readAllStandardError().toStdString();
    EXPECT_TRUE(tool.readAllStandardOutput().endsWith("图书 30000 册, 读者 3000 人, 借出未还 1800 册\n"));
    const QString library = Backups::libraryFile(data.path());
    const QString big = data.filePath("big.mdb");
    QString error;
    ASSERT_TRUE(LibraryFile::copy(library, big, &error)) << error.toStdString();
    tool.start(SHELFMARK_DB, {"demo", data.filePath("small"), "--books", "10", "--readers", "7", "--loans", "5"});
    ASSERT_TRUE(tool.waitForFinished(60000) && tool.exitCode() == 0);
    const QStringList whole = {"ok 3000", "ok 7"};
    // Each restore timed whole, then killed ever later in its run.
    const auto restore = [&](const QString& from, qint64 killAfter) {
        QElapsedTimer clock;
        clock.start();
        tool.start(SHELFMARK_DB, {"restore", data.path(), from});
        if (killAfter >= 0) {
            QThread::msleep(killAfter);
            tool.kill();
        }
        tool.waitForFinished(120000);
        return clock.elapsed();
    };
    const QString small = Backups::libraryFile(data.filePath("small"));
    const qint64 toSmall = restore(small, -1);
    ASSERT_EQ(stateOf(library), "ok 7");
    const qint64 toBig = restore(big, -1);
    ASSERT_EQ(stateOf(library), "ok 3000");
    // The backup, and a snapshot before each restore.
    EXPECT_EQ(QDir(data.filePath("backup")).entryList({"*.mdb"}).size(), 3);
    for (int trial = 0; trial < 12; ++trial) {
        const bool toTheSmall = stateOf(library) == "ok 3000";
        const qint64 run = toTheSmall ? toSmall : toBig;
        restore(toTheSmall ? small : big, run * 3 / 4 + run * (trial / 2) / 24 + QRandomGenerator::global()->bounded(int(run / 8)));
        const QString state = stateOf(library);
        EXPECT_TRUE(whole.contains(state)) << trial << ": " << state.toStdString();
    }
}

}  // namespace
