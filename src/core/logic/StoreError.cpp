#include "core/logic/StoreError.h"

StoreError::StoreError(const QString& action, const QString& engineText)
    : std::runtime_error((action + QStringLiteral(": ") + engineText).toStdString()),
      m_action(action),
      m_engineText(engineText)
{
}

QString StoreError::message() const
{
    return m_action + QStringLiteral("失败!\n数据库报告: ") + m_engineText;
}
