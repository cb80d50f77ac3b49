#pragma once

#include <QApplication>
#include <QFileDialog>
#include <QLineEdit>
#include <QTimer>
#include <QWidget>
#include <functional>

// Calls `act` with the first widget of type T that becomes the active modal
// or popup widget, as soon as it is up (checked every few milliseconds).
template <class T>
void whenShown(const std::function<void(T*)>& act)
{
    auto* timer = new QTimer;
    QObject::connect(timer, &QTimer::timeout, [timer, act] {
        QWidget* up = QApplication::activePopupWidget() ? QApplication::activePopupWidget()
                                                        : QApplication::activeModalWidget();
        if (T* widget = qobject_cast<T*>(up); widget && widget->isVisible()) {
            timer->stop();
            timer->deleteLater();
            act(widget);
        }
    });
    timer->start(5);
}

// Types a file's whole path into a file dialog's name box, as a clerk would.
// (QFileDialog::selectFile leaves the box alone while it has the focus, so
// whether it took the name would depend on where the focus happened to be.)
inline void typeFileName(QFileDialog* dialog, const QString& path)
{
    dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"))->setText(path);
}
