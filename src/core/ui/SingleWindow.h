#pragma once

#include <QObject>
#include <QPointer>
#include <QWidget>

// Shows a window that exists at most once and is modeless: creates it with
// `make` when absent (it deletes itself when closed, and is deleted with
// `owner` at the latest) or brings the open one to the front without loading
// it again. Returns the window.
//
// Every window shown here stands on its own, without a parent widget: a
// window inside another takes that window's style sheet, so a style chosen
// in the main window would re-draw it while it is open. A window made with a
// parent is taken out of it (keeping its window flags) before it shows; the
// owner, not a parent, decides when it goes.
template <typename Window, typename Make>
Window* showSingle(QPointer<Window>& slot, QObject* owner, Make make)
{
    if (!slot) {
        Window* window = make();
        if (window->parentWidget())
            window->setParent(nullptr, window->windowFlags());
        window->setAttribute(Qt::WA_DeleteOnClose);
        if (owner)
            QObject::connect(owner, &QObject::destroyed, window, [window] { delete window; });
        slot = window;
    }
    slot->show();
    slot->raise();
    slot->activateWindow();
    return slot;
}
