#pragma once

#include <QPointer>

class QAction;
class QWidget;
class SkinControl;

// The style step every secondary window runs first at load. The main window
// owns one and hands it to the windows it opens: it carries the main
// window's skin control and its "Windows默认" item, whose mark says whether
// the system look is in use.
class WindowStyler {
public:
    WindowStyler(SkinControl& skin, QAction* systemLookMark);

    // The system look marked: the skin control drops its skin (the window
    // keeps the system look). Otherwise the window is drawn with the skin the
    // control holds (none held: the system look).
    void ApplyWindowStyle(QWidget* window) const;
    // True while "Windows默认" carries the mark.
    bool systemLook() const;
    SkinControl& skin() const { return m_skin; }

private:
    SkinControl& m_skin;
    QPointer<QAction> m_systemLookMark;
};
