#pragma once

#include <QApplication>
#include <QList>
#include <QWidget>

// The open (shown) windows of type T, wherever they sit in the widget tree:
// secondary windows have no parent, so the main window's findChild does not
// see them.
template <typename T>
QList<T*> openWindows()
{
    QList<T*> found;
    for (QWidget* top : QApplication::topLevelWidgets()) {
        if (auto* window = qobject_cast<T*>(top); window && window->isVisible())
            found.append(window);
    }
    return found;
}

// Closes every window but the main one and lets them go.
inline void closeSecondaryWindows()
{
    for (QWidget* top : QApplication::topLevelWidgets())
        if (top->isWindow() && top->objectName().startsWith("Frm") && top->objectName() != "Frmmain")
            top->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

// The open window of type T, or nullptr.
template <typename T>
T* openWindow()
{
    const QList<T*> found = openWindows<T>();
    return found.isEmpty() ? nullptr : found.first();
}
