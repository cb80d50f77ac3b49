#include "core/logic/ProgramFolders.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <utility>

#include "core/logic/AppInfo.h"
#include "core/logic/LibraryLocation.h"

namespace {

// The folder a program directory holds and an installed program's share
// folder holds: the skins.
const QString kSkinFolder = QStringLiteral("style");
// The read-only files of a program installed under a prefix, relative to its
// bin/ folder, and where a distribution puts them when that is not found.
const QString kInstalledResources = QStringLiteral("../share/shelfmark");
const QString kSystemResources = QStringLiteral("/usr/share/shelfmark");
const QString kDataFolderName = QStringLiteral("shelfmark");

bool holdsSkins(const QString& dir)
{
    return QFileInfo(QDir(dir).filePath(kSkinFolder)).isDir();
}

// $XDG_DATA_HOME when it names an absolute folder (the desktop's rule for
// data folders: a relative one is ignored), otherwise ~/.local/share.
QString dataHome(const QProcessEnvironment& environment)
{
    const QString configured = environment.value(QStringLiteral("XDG_DATA_HOME"));
    if (!configured.isEmpty() && QDir::isAbsolutePath(configured))
        return QDir::cleanPath(configured);
    QString home = environment.value(QStringLiteral("HOME"));
    if (home.isEmpty())
        home = QDir::homePath();
    return QDir::cleanPath(QDir(home).filePath(QStringLiteral(".local/share")));
}

}  // namespace

ProgramFolders::ProgramFolders(QString resourceDir, QString dataDir)
    : m_resourceDir(std::move(resourceDir)), m_dataDir(std::move(dataDir))
{
}

ProgramFolders ProgramFolders::programDirectory(const QString& dir)
{
    return ProgramFolders(dir, dir);
}

ProgramFolders ProgramFolders::installed(const QString& resourceDir, const QString& dataDir)
{
    return ProgramFolders(resourceDir, dataDir);
}

ProgramFolders ProgramFolders::forExecutable(const QString& executableDir,
                                             const QProcessEnvironment& environment)
{
    if (holdsSkins(executableDir))
        return programDirectory(executableDir);
    const QString beside = QDir::cleanPath(QDir(executableDir).filePath(kInstalledResources));
    const QString resources = holdsSkins(beside) ? beside : kSystemResources;
    return installed(resources, QDir(dataHome(environment)).filePath(kDataFolderName));
}

ProgramFolders ProgramFolders::current()
{
    return forExecutable(QCoreApplication::applicationDirPath(), QProcessEnvironment::systemEnvironment());
}

QString ProgramFolders::dataPath(const QString& relative) const
{
    return QDir(m_dataDir).filePath(relative);
}

QString ProgramFolders::resourcePath(const QString& relative) const
{
    return QDir(m_resourceDir).filePath(relative);
}

bool ProgramFolders::holdsLibrary() const
{
    return QFileInfo::exists(dataPath(AppInfo::kDatabaseFile))
           || QFileInfo::exists(dataPath(LibraryLocation::kServerFile));
}

bool ProgramFolders::prepare(QString* error) const
{
    if (isProgramDirectory())
        return true;
    const QDir data(m_dataDir);
    for (const QString& folder : {QStringLiteral("mdb"), QStringLiteral("dat")}) {
        if (!data.mkpath(folder)) {
            if (error)
                *error = QStringLiteral("无法创建数据文件夹 %1").arg(QDir::toNativeSeparators(dataPath(folder)));
            return false;
        }
    }
    const QString tips = dataPath(AppInfo::kTipFile);
    if (!QFileInfo::exists(tips))
        QFile::copy(resourcePath(AppInfo::kTipFile), tips);
    return true;
}
