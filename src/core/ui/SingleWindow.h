#pragma once

#include <QObject>
#include <QPointer>
#include <QWidget>

// Shows a window that exists at most once and is modeless: creates it with
// `make` when absent (it deletes itself when closed, and is deleted with
// `owner` at the latest) or brings the open one to the front without loading
// it again. Returns the window.
template <typename Window, typename Make>
Window* showSingle(QPointer<Window>& slot, QObject* owner, Make make)
{
    if (!slot) {
        Window* window = make();
        window->setAttribute(Qt::WA_DeleteOnClose);
        if (owner && window->parent() != owner)
            QObject::connect(owner, &QObject::destroyed, window, [window] { delete window; });
        slot = window;
    }
    slot->show();
    slot->raise();
    slot->activateWindow();
    return slot;
}
