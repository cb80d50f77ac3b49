#include "DeleteSection.h"

#include <sqlite3.h>
#include <unistd.h>

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QTimer>
#include <algorithm>

#include "DbTool.h"
#include "RawStatement.h"
#include "SideBySide.h"
#include "catalogue/logic/Books.h"
#include "core/logic/AppInfo.h"
#include "core/logic/Database.h"
#include "core/logic/OffThreadWork.h"

namespace DeleteSection {

namespace {

QString databaseIn(const QString& programDir)
{
    return QDir(programDir).filePath(AppInfo::kDatabaseFile);
}

// A fresh copy of the source library in DIR/delete-all/NAME.
QString copyOf(const QString& source, const QString& root, const QString& name)
{
    const QString file = databaseIn(QDir(root).filePath(name));
    QDir().mkpath(QFileInfo(file).absolutePath());
    for (const QString& suffix : {QString(), QStringLiteral("-wal"), QStringLiteral("-shm")})
        QFile::remove(file + suffix);
    if (!QFile::copy(source, file))
        throw std::runtime_error("cannot copy the books-only library");
    // On the disk before the clock starts, as a library in use is: else the
    // copy's own writing competes with the deletion's.
    QFile copy(file);
    if (!copy.open(QIODevice::ReadOnly) || ::fsync(copy.handle()) != 0)
        throw std::runtime_error("cannot flush the copy of the books-only library");
    return file;
}

void removeCopy(const QString& file)
{
    for (const QString& suffix : {QString(), QStringLiteral("-wal"), QStringLiteral("-shm")})
        QFile::remove(file + suffix);
}

}  // namespace

void run(SideBySide& bench, const QString& dir, qint64 books)
{
    Database::close();
    const QString root = QDir(dir).filePath(QStringLiteral("delete-all"));
    const QString sourceDir = QDir(root).filePath(QStringLiteral("source"));
    const QString source = databaseIn(sourceDir);
    QString message;
    if (!QFileInfo::exists(source) && DbTool::demo(sourceDir, {books, 0, 0}, &message) != 0)
        throw std::runtime_error(message.toStdString());
    bench.section(QStringLiteral("Delete-all of a library of books only (target: ours ≤ 2 s, batches of %1 off the"
                                 " windows' thread, which never waits long)")
                      .arg(Books::kDeleteBatch));

    // Ours: the book window's way, off the windows' thread; a 1 ms timer on
    // this thread stands for the window and times its longest wait.
    const QString oursFile = copyOf(source, root, QStringLiteral("ours"));
    if (!Database::open(oursFile, &message))
        throw std::runtime_error(message.toStdString());
    double longestGap = 0;
    int steps = 0, deleted = 0;
    double oursMicros = 0;
    {
        OffThreadWork work;
        QObject::connect(&work, &OffThreadWork::progressed, [&](int) { ++steps; });
        QElapsedTimer total, gap;
        QTimer tick;
        tick.setTimerType(Qt::PreciseTimer);
        QObject::connect(&tick, &QTimer::timeout, [&] {
            longestGap = std::max(longestGap, gap.nsecsElapsed() / 1e6);
            gap.start();
        });
        total.start();
        gap.start();
        tick.start(16);
        work.run(QStringLiteral("删除所有书籍"),
                 [&](const OffThreadWork::Report& report) { deleted = Books::DeleteAllBooks(report); });
        longestGap = std::max(longestGap, gap.nsecsElapsed() / 1e6);
        oursMicros = total.nsecsElapsed() / 1000.0;
    }
    Database::close();
    removeCopy(oursFile);

    // The engine alone: one statement, no progress.
    const QString rawFile = copyOf(source, root, QStringLiteral("raw"));
    sqlite3* db = nullptr;
    double rawMicros = 0;
    if (sqlite3_open_v2(rawFile.toUtf8().constData(), &db, SQLITE_OPEN_READWRITE, nullptr) == SQLITE_OK) {
        rawExec(db, "PRAGMA journal_mode=WAL");
        rawExec(db, "PRAGMA synchronous=FULL");
        QElapsedTimer timer;
        timer.start();
        rawExec(db, "DELETE FROM bookInfo");
        rawMicros = timer.nsecsElapsed() / 1000.0;
    }
    sqlite3_close(db);
    removeCopy(rawFile);

    bench.result(QStringLiteral("delete-all of %1 books").arg(deleted), 1, {{}, 2000.0}, oursMicros, rawMicros);
    bench.note(QStringLiteral("  progress reported %1 times").arg(steps));
    bench.figure(QStringLiteral("  the windows' thread's longest wait"), longestGap, 100, QStringLiteral("ms"));
}

}  // namespace DeleteSection
