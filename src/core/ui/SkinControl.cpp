#include "core/ui/SkinControl.h"

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
    if (!window)
        return;
    // A window of ours that is neither a main window nor a dialog wears the
    // skin's window background too: the skins name such windows by this
    // property, and the toolkit paints a sheet's background on a plain
    // widget only when asked to.
    window->setProperty("skinWindow", true);
    window->setAttribute(Qt::WA_StyledBackground, true);
    window->setStyleSheet(m_styleSheet);
}

void SkinControl::remove()
{
    m_styleSheet.clear();
    if (auto* window = qobject_cast<QWidget*>(parent()))
        window->setStyleSheet(QString());
}
