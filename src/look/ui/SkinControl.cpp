#include "look/ui/SkinControl.h"

#include <QFile>
#include <QWidget>

SkinControl::SkinControl(QObject* parent) : QObject(parent) {}

bool SkinControl::load(const QString& skinFile)
{
    QFile file(skinFile);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    m_styleSheet = QString::fromUtf8(file.readAll());
    return true;
}

void SkinControl::apply(QWidget* window)
{
    if (window)
        window->setStyleSheet(m_styleSheet);
}

void SkinControl::remove()
{
    m_styleSheet.clear();
    if (auto* window = qobject_cast<QWidget*>(parent()))
        window->setStyleSheet(QString());
}
