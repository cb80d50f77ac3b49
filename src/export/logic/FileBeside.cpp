#include "export/logic/FileBeside.h"

#include <QFile>
#include <QFileInfo>
#include <QTemporaryFile>
#include <cerrno>
#include <cstdio>
#include <cstring>

#include "export/logic/ExportError.h"

FileBeside::FileBeside(const QString& target) : m_target(target)
{
    const QFileInfo info(target);
    QTemporaryFile scratch(info.absolutePath() + QStringLiteral("/.") + info.fileName()
                           + QStringLiteral(".XXXXXX.part"));
    scratch.setAutoRemove(false);
    if (info.isDir() || !scratch.open())
        throw ExportError(QStringLiteral("无法写入文件 %1：%2")
                              .arg(target, info.isDir() ? QStringLiteral("这是一个文件夹") : scratch.errorString()));
    m_scratch = scratch.fileName();
}

FileBeside::~FileBeside()
{
    if (!m_committed)
        QFile::remove(m_scratch);
}

void FileBeside::commit()
{
    // An existing file keeps its permissions; a new one gets the usual ones
    // (the scratch file was made readable by its owner only).
    const QFileDevice::Permissions permissions =
        QFile::exists(m_target) ? QFile::permissions(m_target)
                                : QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ReadGroup
                                      | QFileDevice::ReadOther;
    QFile::setPermissions(m_scratch, permissions);
    if (std::rename(QFile::encodeName(m_scratch).constData(), QFile::encodeName(m_target).constData()) != 0)
        throw ExportError(QStringLiteral("无法写入文件 %1：%2")
                              .arg(m_target, QString::fromLocal8Bit(std::strerror(errno))));
    m_committed = true;
}
