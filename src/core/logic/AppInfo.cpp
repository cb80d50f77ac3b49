#include "core/logic/AppInfo.h"

#include <QCoreApplication>
#include <QDir>

namespace AppInfo {

QString programDir()
{
    return QCoreApplication::applicationDirPath();
}

QString programPath(const QString& relative)
{
    return QDir(programDir()).filePath(relative);
}

}  // namespace AppInfo
