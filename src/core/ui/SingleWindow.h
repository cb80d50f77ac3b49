#pragma once

#include <QPointer>
#include <QWidget>

// Shows a window that exists at most once and is modeless: creates it with
// `make` when absent (it deletes itself when closed) or brings the open one
// to the front without loading it again. Returns the window.
template <typename Window, typename Make>
Window* showSingle(QPointer<Window>& slot, Make make)
{
    if (!slot) {
        slot = make();
        slot->setAttribute(Qt::WA_DeleteOnClose);
    }
    slot->show();
    slot->raise();
    slot->activateWindow();
    return slot;
}
