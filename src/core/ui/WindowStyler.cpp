#include "core/ui/WindowStyler.h"

#include <QAction>

#include "core/ui/SkinControl.h"

WindowStyler::WindowStyler(SkinControl& skin, QAction* systemLookMark)
    : m_skin(skin), m_systemLookMark(systemLookMark)
{
}

bool WindowStyler::systemLook() const
{
    return m_systemLookMark && m_systemLookMark->isChecked();
}

void WindowStyler::ApplyWindowStyle(QWidget* window) const
{
    if (systemLook())
        m_skin.remove();
    else
        m_skin.apply(window);
}
