#include "DeleteSection.h"

#include <sqlite3.h>

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <algorithm>

#include "DbTool.h"
#include "RawStatement.h"
#include "SideBySide.h"
#include "catalogue/logic/BookListModel.h"
#include "catalogue/logic/Books.h"
#include "core/logic/AppInfo.h"
#include "core/logic/Database.h"

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
    bench.section(QStringLiteral("Delete-all of a library of books only (target: ours ≤ 2 s, the list read again"
                                 " after each batch of %1, never long between two)")
                      .arg(Books::kDeleteBatch));

    // Ours: the book window's way, the list read again after every batch.
    const QString oursFile = copyOf(source, root, QStringLiteral("ours"));
    if (!Database::open(oursFile, &message))
        throw std::runtime_error(message.toStdString());
    double longestGap = 0;
    int steps = 0, deleted = 0;
    double oursMicros = 0;
    {
        BookListModel list;
        list.load();
        list.clear();  // as the window does before deleting: the list lets go of the books
        QElapsedTimer total, gap;
        total.start();
        gap.start();
        deleted = Books::DeleteAllBooks([&](int) {
            list.load();
            ++steps;
            longestGap = std::max(longestGap, gap.nsecsElapsed() / 1e6);
            gap.start();
        });
        // The indexes made again and the commit, after the last step, are a wait too.
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
    bench.note(QStringLiteral("  progress shown %1 times, the book list read again each time").arg(steps));
    bench.figure(QStringLiteral("  longest wait between two steps"), longestGap, 100, QStringLiteral("ms"));
}

}  // namespace DeleteSection
