#include "backup/logic/Backups.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStorageInfo>

#include "backup/logic/SnapshotFolder.h"
#include "core/logic/AppInfo.h"
#include "core/logic/LibraryLocation.h"

namespace Backups {

namespace {

const QString kStaging = QStringLiteral("restore.part");

// The room a copy of the library needs: the file and what its WAL holds yet.
qint64 librarySize(const QString& file)
{
    return QFileInfo(file).size() + QFileInfo(file + QStringLiteral("-wal")).size();
}

// Whether `folder`'s disk has room for `bytes` and a tenth more.
bool hasRoom(const QString& folder, qint64 bytes, QString* error)
{
    const QStorageInfo disk(folder);
    const qint64 needed = bytes + bytes / 10;
    if (!disk.isValid() || disk.bytesAvailable() >= needed)
        return true;
    *error = QStringLiteral("%1 所在的磁盘空间不足: 需要约 %2 MB, 只剩 %3 MB。")
                 .arg(QDir::toNativeSeparators(folder))
                 .arg(needed / (1024 * 1024) + 1)
                 .arg(disk.bytesAvailable() / (1024 * 1024));
    return false;
}

// A checked copy of the library at `to`; a copy that fails its check is
// removed. A library made before our stamp is ours all the same (the program
// runs on it): its copies are stamped, so that they can be restored.
Outcome checkedCopy(const QString& dataDir, const QString& to, const std::atomic<bool>* stop = nullptr)
{
    Outcome outcome{to, {}, {}};
    const QString library = libraryFile(dataDir);
    if (!hasRoom(QFileInfo(to).absolutePath(), librarySize(library), &outcome.error))
        return outcome;
    QString error;
    if (!LibraryFile::copy(library, to, &error)) {
        outcome.error = QStringLiteral("无法备份图书馆 %1\n%2").arg(QDir::toNativeSeparators(library), error);
        return outcome;
    }
    const std::optional<LibraryFile::Counts> counts = LibraryFile::check(to, &error, LibraryFile::Stamp::GivenWhenMissing, stop);
    if (!counts) {
        QFile::remove(to);
        outcome.error = QStringLiteral("备份 %1 没有通过检查, 已删除: %2").arg(QDir::toNativeSeparators(to), error);
        return outcome;
    }
    outcome.counts = *counts;
    return outcome;
}

}  // namespace

QString libraryFile(const QString& dataDir)
{
    return QDir(dataDir).filePath(AppInfo::kDatabaseFile);
}

QString serverNotice(const QString& dataDir)
{
    QString error;
    const std::optional<ServerSettings> server = LibraryLocation::server(dataDir, &error);
    if (!server)
        return error;
    return QStringLiteral("这是数据库服务器 %1 上的图书馆, 它的备份由服务器做, 本程序不做自动备份。\n"
                          "在服务器上备份可用:\n"
                          "pg_dump -h %2 -p %3 -U %4 -Fc -f %5.dump %5")
        .arg(server->describe(), server->host)
        .arg(server->port)
        .arg(server->user, server->dbname);
}

bool snapshotDue(const QString& dataDir, const QDate& today)
{
    return !SnapshotFolder(dataDir).hasSnapshotOn(today);
}

int daysWithoutCopyElsewhere(const QString& dataDir, const QDate& today)
{
    const SnapshotFolder folder(dataDir);
    QDate since = folder.savedElsewhere();
    if (since.isNull()) {
        const QList<SnapshotFolder::Snapshot> snapshots = folder.list();
        if (snapshots.isEmpty())
            return 0;
        since = snapshots.last().taken.date();
    }
    const qint64 days = since.daysTo(today);
    return days >= kReminderDays ? static_cast<int>(days) : 0;
}

Outcome takeSnapshot(const QString& dataDir, const QDateTime& when, const std::atomic<bool>* stop)
{
    const SnapshotFolder folder(dataDir);
    if (!folder.make())
        return {QString(), {}, QStringLiteral("无法建立备份文件夹 %1").arg(QDir::toNativeSeparators(folder.path()))};
    Outcome outcome = checkedCopy(dataDir, folder.pathFor(when), stop);
    if (!outcome.ok())
        return outcome;
    folder.rememberCounts(outcome.path, outcome.counts);
    folder.prune(when.date(), folder.keepDays());
    return outcome;
}

Outcome saveElsewhere(const QString& dataDir, const QString& folder, const QDateTime& when)
{
    if (!QFileInfo(folder).isDir())
        return {QString(), {}, QStringLiteral("文件夹 %1 不存在").arg(QDir::toNativeSeparators(folder))};
    return saveAs(dataDir, QDir(folder).filePath(SnapshotFolder::fileName(when)), when);
}

Outcome saveAs(const QString& dataDir, const QString& file, const QDateTime& when)
{
    const QFileInfo target(file);
    if (target.exists())
        return {QString(), {}, QStringLiteral("文件 %1 已经存在, 没有覆盖它").arg(QDir::toNativeSeparators(file))};
    if (!target.absoluteDir().exists())
        return {QString(), {}, QStringLiteral("文件夹 %1 不存在").arg(QDir::toNativeSeparators(target.absolutePath()))};
    Outcome outcome = checkedCopy(dataDir, file);
    if (outcome.ok())
        SnapshotFolder(dataDir).setSavedElsewhere(when.date());
    return outcome;
}

Candidate prepareRestore(const QString& dataDir, const QString& chosen)
{
    const SnapshotFolder folder(dataDir);
    Candidate candidate{chosen, QDir(folder.path()).filePath(kStaging), {}, {}, {}};
    QFile::remove(candidate.staging);
    QString error;
    const auto refuse = [&](const QString& why) {
        discard(candidate);
        candidate.error = QStringLiteral("不能用 %1 恢复: %2\n当前的图书馆没有改变。").arg(QDir::toNativeSeparators(chosen), why);
        return candidate;
    };
    if (!QFileInfo(chosen).isFile())
        return refuse(QStringLiteral("文件不存在"));
    if (!folder.make())
        return refuse(QStringLiteral("无法建立备份文件夹 %1").arg(QDir::toNativeSeparators(folder.path())));
    if (!hasRoom(folder.path(), QFileInfo(chosen).size(), &error) || !LibraryFile::copy(chosen, candidate.staging, &error))
        return refuse(error);
    const std::optional<LibraryFile::Counts> counts = LibraryFile::check(candidate.staging, &error);
    if (!counts)
        return refuse(error);
    const std::optional<LibraryFile::Counts> current = LibraryFile::count(libraryFile(dataDir), &error);
    if (!current)
        return refuse(error);
    candidate.counts = *counts;
    candidate.current = *current;
    return candidate;
}

Outcome restore(const QString& dataDir, const Candidate& candidate, const QDateTime& when)
{
    Outcome outcome = takeSnapshot(dataDir, when);
    if (!outcome.ok()) {
        discard(candidate);
        outcome.error = QStringLiteral("恢复前无法备份当前的图书馆, 没有恢复:\n") + outcome.error;
        return outcome;
    }
    QString error;
    if (!LibraryFile::replace(candidate.staging, libraryFile(dataDir), &error))
        outcome.error = QStringLiteral("无法恢复, 当前的图书馆没有改变:\n") + error;
    discard(candidate);
    return outcome;
}

void discard(const Candidate& candidate)
{
    if (!candidate.staging.isEmpty()) {
        QFile::remove(candidate.staging);
        QFile::remove(candidate.staging + QStringLiteral("-journal"));
    }
}

QString describe(const LibraryFile::Counts& counts)
{
    return QStringLiteral("图书 %1 册, 读者 %2 人, 借出未还 %3 册").arg(counts.books).arg(counts.readers).arg(counts.loansOut);
}

}  // namespace Backups
