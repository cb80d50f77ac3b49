#pragma once

#include <QObject>
#include <QString>

class QWidget;

// Our skin component: holds one skin (a Qt style sheet read from a .skn
// file, UTF-8 text) and draws windows with it. It belongs to the window it
// is created for (its parent): the main window, or the sign-in window before
// the main window exists.
class SkinControl : public QObject {
    Q_OBJECT
public:
    explicit SkinControl(QObject* parent = nullptr);

    // Loads a skin file; false (and the held skin unchanged) when it cannot be read.
    bool load(const QString& skinFile);
    // Draws the window with the held skin (nothing held: the system look).
    void apply(QWidget* window);
    // Drops the held skin and returns the control's own window to the system
    // look. Other windows it skinned keep their look until they are opened
    // again (and then take whatever the style is at that moment).
    void remove();
    // The held style sheet ("" when none).
    const QString& styleSheet() const { return m_styleSheet; }

private:
    QString m_styleSheet;
};
