#include "app/FirstStart.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSqlQuery>

#include "DbTool.h"
#include "core/logic/AppInfo.h"
#include "core/logic/Database.h"
#include "core/logic/LibraryLocation.h"
#include "core/logic/ServerSettings.h"

namespace {

// shelfmark-db's way of saying how it went: 0 and a report, or an error.
bool succeeded(int code, const QString& message, QString* error)
{
    if (code != 0 && error)
        *error = message;
    return code == 0;
}

QString shown(const QString& path)
{
    return QDir::toNativeSeparators(path);
}

// A file SQLite works beside the database, by its suffix.
void removeWithWorkFiles(const QString& file)
{
    for (const QString& suffix : {QString(), QStringLiteral("-wal"), QStringLiteral("-shm"), QStringLiteral("-journal")})
        QFile::remove(file + suffix);
}

// The library file is whole: SQLite's own quick check says "ok".
bool whole()
{
    QSqlQuery check(Database::connection());
    return check.exec(QStringLiteral("PRAGMA quick_check")) && check.next()
           && check.value(0).toString() == QLatin1String("ok");
}

}  // namespace

FirstStart::FirstStart(const ProgramFolders& folders) : m_folders(folders) {}

bool FirstStart::makeEmpty(QString* error)
{
    QString message;
    return succeeded(DbTool::create(m_folders.dataDir(), &message), message, error);
}

bool FirstStart::makeDemo(const QDate& today, QString* error)
{
    QString message;
    return succeeded(DbTool::demo(m_folders.dataDir(), &message, today), message, error);
}

bool FirstStart::copyFile(const QString& source, QString* error)
{
    const QString target = m_folders.dataPath(AppInfo::kDatabaseFile);
    const QString incoming = target + QStringLiteral(".new");
    QString reason;
    if (!QFileInfo(source).isFile()) {
        reason = QStringLiteral("文件 %1 不存在").arg(shown(source));
    } else if (QFileInfo::exists(target)) {
        reason = QStringLiteral("数据库 %1 已经存在,不会覆盖。").arg(shown(target));
    } else {
        removeWithWorkFiles(incoming);
        QFile from(source);
        if (!QDir().mkpath(QFileInfo(target).path()) || !from.copy(incoming)) {
            reason = QStringLiteral("无法复制文件 %1\n%2").arg(shown(source), from.errorString());
        } else {
            // The copy is checked, so the clerk's own file is never opened for writing.
            QString problem;
            if (!Database::open(incoming, &problem))
                reason = QStringLiteral("文件 %1 不是本系统的图书馆\n%2").arg(shown(source), problem);
            else if (!whole())
                reason = QStringLiteral("文件 %1 已损坏,不能使用").arg(shown(source));
            Database::close();
            if (reason.isEmpty() && !QFile::rename(incoming, target))
                reason = QStringLiteral("无法写入数据库 %1").arg(shown(target));
        }
        removeWithWorkFiles(incoming);
    }
    if (!reason.isEmpty() && error)
        *error = reason;
    return reason.isEmpty();
}

bool FirstStart::useServer(const ServerSettings& server, Prompter& prompter, QString* error)
{
    const QString file = m_folders.dataPath(LibraryLocation::kServerFile);
    if (!QDir().mkpath(QFileInfo(file).path()) || !server.writeIni(file)) {
        if (error)
            *error = QStringLiteral("无法写入文件 %1").arg(shown(file));
        QFile::remove(file);
        return false;
    }
    if (LibraryLocation::prepare(m_folders.dataDir(), prompter, error))
        return true;
    QFile::remove(file);
    return false;
}

bool FirstStart::useSharedFolder(const QString& folder, QString* error)
{
    const auto fail = [error](const QString& text) {
        if (error)
            *error = text;
        return false;
    };
    const QFileInfo shared(folder);
    if (!shared.isDir() || !shared.isWritable())
        return fail(QStringLiteral("文件夹 %1 不存在或不能写入").arg(shown(folder)));
    const QString data = m_folders.dataDir();
    if (QFileInfo(data).canonicalFilePath() == shared.canonicalFilePath())
        return fail(QStringLiteral("文件夹 %1 就是本帐户的数据文件夹").arg(shown(folder)));
    // Only what the program itself laid there at start goes: the tips' copy
    // and the two empty folders.
    QDir here(data);
    QFile::remove(here.filePath(AppInfo::kTipFile));
    here.rmdir(QStringLiteral("mdb"));
    here.rmdir(QStringLiteral("dat"));
    if (here.exists() && !QDir(QFileInfo(data).path()).rmdir(QFileInfo(data).fileName())) {
        m_folders.prepare(nullptr);
        return fail(QStringLiteral("数据文件夹 %1 里已有其他文件,不能改用共享文件夹").arg(shown(data)));
    }
    if (!QFile::link(shared.absoluteFilePath(), data)) {
        m_folders.prepare(nullptr);
        return fail(QStringLiteral("无法建立到共享文件夹 %1 的链接").arg(shown(folder)));
    }
    return m_folders.prepare(error);
}
