#include "DbTool.h"

#include <QDir>
#include <QFileInfo>

#include "DemoLibrary.h"
#include "core/logic/AppInfo.h"
#include "core/logic/Database.h"
#include "core/logic/LibrarySchema.h"
#include "core/logic/StoreError.h"

namespace DbTool {

namespace {

int make(const QString& programDir, bool withDemo, QString* message)
{
    const QString file = QDir(programDir).filePath(AppInfo::kDatabaseFile);
    if (QFileInfo::exists(file)) {
        *message = QStringLiteral("数据库 %1 已经存在,不会覆盖。").arg(QDir::toNativeSeparators(file));
        return 1;
    }
    if (!QDir().mkpath(QFileInfo(file).absolutePath())) {
        *message = QStringLiteral("无法创建目录 %1").arg(QFileInfo(file).absolutePath());
        return 1;
    }
    QString error;
    if (!Database::create(file, &error)) {
        *message = error;
        return 1;
    }
    try {
        LibrarySchema::create();
        if (withDemo)
            DemoLibrary::fill();
    } catch (const StoreError& e) {
        Database::close();
        QFile::remove(file);
        QFile::remove(file + QStringLiteral("-wal"));
        QFile::remove(file + QStringLiteral("-shm"));
        *message = e.message();
        return 1;
    }
    Database::close();
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
