#include "core/logic/StoreError.h"

#include <QSqlError>

#include "core/logic/Database.h"
#include "core/logic/Dialect.h"

namespace {

QString advice(StoreError::Cause cause)
{
    switch (cause) {
    case StoreError::Cause::Busy:
        return QStringLiteral("数据库正被另一处(其它借还台或程序)使用,请稍后再试。");
    case StoreError::Cause::DiskFull:
        return QStringLiteral("磁盘已满,请腾出磁盘空间后再试。");
    case StoreError::Cause::DiskFault:
        return QStringLiteral("读写数据库文件时出错,磁盘可能已满或出了故障。");
    case StoreError::Cause::ReadOnly:
        return QStringLiteral("数据库文件或其所在文件夹不可写入。");
    case StoreError::Cause::Damaged:
        return QStringLiteral("数据库文件已损坏或不是本系统的数据库。");
    case StoreError::Cause::ServerLost:
        return QStringLiteral("无法连接数据库服务器,请确认服务器正在运行、网络畅通后再试。");
    case StoreError::Cause::Other:
        break;
    }
    return QString();
}

}  // namespace

StoreError::StoreError(const QString& action, const QString& engineText, Cause cause)
    : std::runtime_error((action + QStringLiteral(": ") + engineText).toStdString()),
      m_action(action),
      m_engineText(engineText),
      m_cause(cause)
{
}

StoreError::StoreError(const QString& action, const QSqlError& error)
    : StoreError(action, error.text(), Database::dialect().causeOf(error))
{
    if (m_cause == Cause::ServerLost)
        Database::markServerLost();
}

QString StoreError::message() const
{
    const QString head = m_action + QStringLiteral("失败!\n");
    if (m_cause == Cause::Other)
        return head + QStringLiteral("数据库报告: ") + m_engineText;
    return head + advice(m_cause) + QStringLiteral("没有写入任何内容。\n数据库报告: ") + m_engineText;
}
