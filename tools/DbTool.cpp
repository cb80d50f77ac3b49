#include "DbTool.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include "DemoLibrary.h"
#include "core/logic/AppInfo.h"
#include "core/logic/Database.h"
#include "core/logic/LibrarySchema.h"
#include "core/logic/StoreError.h"

namespace DbTool {

namespace {

// The database file and the engine's work files beside it.
QStringList databaseFiles(const QString& file)
{
    return {file, file + QStringLiteral("-wal"), file + QStringLiteral("-shm"),
            file + QStringLiteral("-journal")};
}

// Makes the file, its tables and (on request) the demo library; false with
// *error when any step fails. The connection is closed either way.
bool build(const QString& file, bool withDemo, QString* error)
{
    bool made = Database::create(file, error);  // its error names the file
    if (made) {
        try {
            LibrarySchema::create();
            if (withDemo)
                DemoLibrary::fill();
        } catch (const StoreError& e) {
            *error = QStringLiteral("无法创建数据库 %1\n%2").arg(QDir::toNativeSeparators(file), e.message());
            made = false;
        }
    }
    Database::close();
    return made;
}

int make(const QString& programDir, bool withDemo, QString* message)
{
    const QString file = QDir(programDir).filePath(AppInfo::kDatabaseFile);
    if (QFileInfo::exists(file)) {
        *message = QStringLiteral("数据库 %1 已经存在,不会覆盖。").arg(QDir::toNativeSeparators(file));
        return 1;
    }
    const QString folder = QFileInfo(file).absolutePath();
    if (!QDir().mkpath(folder)) {
        *message = QStringLiteral("无法创建目录 %1").arg(QDir::toNativeSeparators(folder));
        return 1;
    }
    // A failed run takes away every file it made, so that the next run starts
    // clean instead of refusing a half-made database.
    QStringList made;
    for (const QString& path : databaseFiles(file))
        if (!QFileInfo::exists(path))
            made << path;
    if (!build(file, withDemo, message)) {
        for (const QString& path : made)
            if (QFileInfo(path).isFile())
                QFile::remove(path);
        return 1;
    }
    *message = withDemo ? QStringLiteral("已创建演示图书馆数据库 %1").arg(QDir::toNativeSeparators(file))
                        : QStringLiteral("已创建数据库 %1").arg(QDir::toNativeSeparators(file));
    return 0;
}

}  // namespace

int create(const QString& programDir, QString* message)
{
    return make(programDir, false, message);
}

int demo(const QString& programDir, QString* message)
{
    return make(programDir, true, message);
}

}  // namespace DbTool
