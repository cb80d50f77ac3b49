#pragma once

#include <QObject>
#include <QPointer>
#include <QString>

class QWidget;

// Our skin component: holds one skin (a Qt style sheet read from a .skn
// file) and draws windows with it.
class SkinControl : public QObject {
    Q_OBJECT
public:
    explicit SkinControl(QObject* parent = nullptr);

    // Loads a skin file; false (and the held skin unchanged) when it cannot be read.
    bool load(const QString& skinFile);
    // Draws the window with the held skin (nothing held: the system look).
    void apply(QWidget* window);
    // Returns the windows this control skinned to the system look and drops the skin.
    void remove();
    // The held style sheet ("" when none).
    const QString& styleSheet() const { return m_styleSheet; }

private:
    QString m_styleSheet;
    QList<QPointer<QWidget>> m_skinned;
};
