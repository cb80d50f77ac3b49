#include "BackupSection.h"

#include <sqlite3.h>

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QThread>
#include <atomic>
#include <memory>
#include <stdexcept>

#include "SideBySide.h"
#include "backup/logic/LibraryFile.h"
#include "core/logic/AppInfo.h"

namespace BackupSection {

namespace {

// A desk's write as the lend desk makes it (its own write lock, its page
// written and flushed), that changes nothing: the rules row written again.
void writeAsADesk(sqlite3* desk)
{
    if (sqlite3_exec(desk, "BEGIN IMMEDIATE; UPDATE basicSet SET 罚款 = 罚款; COMMIT", nullptr, nullptr, nullptr)
        != SQLITE_OK)
        throw std::runtime_error(sqlite3_errmsg(desk));
}

}  // namespace

void run(SideBySide& bench, const QString& dir)
{
    bench.section(QStringLiteral("the day's snapshot (online backup in one step) while a desk writes"));
    const QString library = QDir(dir).filePath(AppInfo::kDatabaseFile);
    const QString folder = QDir(dir).filePath(QStringLiteral("bench-backup"));
    const QString snapshot = QDir(folder).filePath(QStringLiteral("snapshot.mdb"));
    QDir().mkpath(folder);
    QFile::remove(snapshot);

    sqlite3* desk = nullptr;
    sqlite3_open_v2(QFile::encodeName(library).constData(), &desk, SQLITE_OPEN_READWRITE, nullptr);
    std::unique_ptr<sqlite3, decltype(&sqlite3_close)> closing(desk, sqlite3_close);
    sqlite3_busy_timeout(desk, 10000);
    sqlite3_exec(desk, "PRAGMA journal_mode=WAL; PRAGMA synchronous=FULL", nullptr, nullptr, nullptr);

    std::atomic<bool> copying{true};
    QString error;
    QElapsedTimer copyClock;
    copyClock.start();
    std::unique_ptr<QThread> copier(QThread::create([&] {
        if (!LibraryFile::copy(library, snapshot, &error))
            error = error.isEmpty() ? QStringLiteral("copy failed") : error;
        copying = false;
    }));
    copier->start();
    qint64 longest = 0;
    int writes = 0;
    while (copying) {
        QElapsedTimer write;
        write.start();
        writeAsADesk(desk);
        longest = std::max(longest, write.nsecsElapsed());
        ++writes;
        QThread::msleep(5);  // a busy desk, not a loop that fills the journal
    }
    copier->wait();
    const double copySeconds = copyClock.nsecsElapsed() / 1e9;
    if (!error.isEmpty())
        throw std::runtime_error(error.toStdString());
    bench.note(QStringLiteral("  %1 MB copied; the desk wrote %2 times meanwhile")
                   .arg(QFile(snapshot).size() / (1024 * 1024))
                   .arg(writes));
    bench.figure(QStringLiteral("  the copy"), copySeconds, 10, QStringLiteral("s"));
    bench.figure(QStringLiteral("  the desk's longest write meanwhile"), longest / 1e6, 100, QStringLiteral("ms"));

    QElapsedTimer checkClock;
    checkClock.start();
    const bool checked = LibraryFile::check(snapshot, &error, LibraryFile::Stamp::GivenWhenMissing).has_value();
    bench.note(QStringLiteral("  its check (integrity, search index, counts): %1 s, %2")
                   .arg(checkClock.nsecsElapsed() / 1e9, 0, 'f', 2)
                   .arg(checked ? QStringLiteral("passed") : error));
    QFile::remove(snapshot);
    QDir().rmdir(folder);
}

}  // namespace BackupSection
