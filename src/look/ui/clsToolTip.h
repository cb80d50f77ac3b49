#pragma once

#include <QObject>
#include <QPointer>
#include <QRect>
#include <QString>
#include <QTimer>

#include "look/ui/BalloonWindow.h"

class QWidget;

// Gives a control a balloon tip: when the mouse rests on the tool window for
// the delay time, a speech bubble with the text (and, when a title is given,
// the bold title with its icon) shows over it; it goes when the mouse leaves
// or presses, or after the visible time.
//
// The tool window is the widget the tip belongs to (nullptr = none yet).
// Colours are decimal texts of a 0x00BBGGRR value; "" keeps the system's tip
// colour. Style 64 gives the balloon shape, otherwise a rectangular tip.
class clsToolTip : public QObject {
    Q_OBJECT
public:
    static constexpr int kBalloonStyle = 64;
    static constexpr qint16 kSystemDefault = -1;

    explicit clsToolTip(QObject* parent = nullptr);
    ~clsToolTip() override;

    // Keeps the settings, creates the tip window for Object's window and,
    // when hwndObject is set, registers it as the tool.
    void CreateBalloon(QWidget* Object, QWidget* hwndObject, const QString& szText, int Style,
                       bool szCentered, const QString& szTitle = QString(), int mvarIcon = 0,
                       const QString& BackColor = QString(), const QString& ForeColor = QString());
    // Only while no tool window is set: takes the widget under the mouse
    // cursor as the tool window and registers it.
    void SetHandle(QWidget* Object);

    // Milliseconds the tip stays / before it shows; -1 = the system's
    // default. They take effect when the next tool is registered.
    qint16 VisibleTime() const { return m_visibleTime; }
    void setVisibleTime(qint16 lData) { m_visibleTime = lData; }
    qint16 DelayTime() const { return m_delayTime; }
    void setDelayTime(qint16 lData) { m_delayTime = lData; }

    // What the tip holds and does, for whoever needs to look.
    QWidget* toolWindow() const { return m_tool; }
    BalloonWindow* tipWindow() const { return m_tipWindow; }
    bool toolRegistered() const { return m_registered; }
    // The part of the tool window (its own coordinates) that shows the tip.
    QRect toolRect() const;
    bool centred() const { return m_centred; }
    QString text() const { return m_text; }
    bool isWaitingToShow() const { return m_delayTimer.isActive(); }
    bool isTipShown() const;
    // The times in force for the registered tool, in milliseconds.
    int shownAfter() const;
    int shownFor() const;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void CreateTipWindow(QWidget* parentWindow, int style);
    void AddTool(QWidget* Object);
    void unregister();
    void mouseAt(const QPoint& toolPosition);
    void showTip();
    void hideTip();

    QPointer<BalloonWindow> m_tipWindow;
    QPointer<QWidget> m_tool;
    bool m_registered = false;
    QRect m_toolRect;
    bool m_centred = false;
    QString m_text;
    QString m_title;
    int m_icon = 0;
    QString m_backColor;
    QString m_foreColor;
    qint16 m_delayTime = kSystemDefault;
    qint16 m_visibleTime = kSystemDefault;
    qint16 m_toolDelay = kSystemDefault;
    qint16 m_toolVisible = kSystemDefault;

    QTimer m_delayTimer;
    QTimer m_visibleTimer;
    bool m_inside = false;   // the mouse is over the tool's rectangle
    bool m_resting = false;  // shown or clicked since the mouse came: wait for it to leave
};
