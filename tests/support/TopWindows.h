#pragma once

#include <QApplication>
#include <QWidget>

// The shown top-level window of this class, or null: secondary windows have
// no parent, so tests find them among the top-level widgets.
template <class W>
W* shownWindow()
{
    for (QWidget* top : QApplication::topLevelWidgets())
        if (auto* window = qobject_cast<W*>(top); window && window->isVisible())
            return window;
    return nullptr;
}
