#pragma once

#include <QColor>
#include <QPoint>
#include <QRect>
#include <QString>
#include <QWidget>

// The window of a balloon tip: a frameless, translucent speech bubble with a
// pointer tail (or a plain rectangle), an optional bold title with its icon,
// and the text. It takes no focus and is never activated.
class BalloonWindow : public QWidget {
    Q_OBJECT
public:
    // Title icons, numbered as the tip's users give them.
    enum Icon { kNoIcon = 0, kInformation = 1, kWarning = 2, kError = 3 };

    explicit BalloonWindow(bool balloonShape);

    // An empty title shows neither title nor icon.
    void setContent(const QString& title, int icon, const QString& text);
    // Invalid colours stand for the system's tip colours.
    void setColours(const QColor& background, const QColor& text);

    // Shows the tip with its tail on `anchor` (global coordinates): above the
    // point when there is room on the screen, otherwise below it. `centred`
    // puts the bubble's middle over the anchor instead of its left part. A
    // rectangular tip shows just below the anchor.
    void popUp(const QPoint& anchor, bool centred);

    bool isBalloon() const { return m_balloon; }
    QString title() const { return m_title; }
    QString text() const { return m_text; }
    // The icon shown beside the title (kNoIcon when there is no title).
    int icon() const { return m_title.isEmpty() ? kNoIcon : m_icon; }
    QColor backgroundColour() const;
    QColor textColour() const;
    // Where the tail's tip lies (global) and whether the tail points up.
    QPoint anchor() const { return m_anchor; }
    bool tailUp() const { return m_tailUp; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QSize bodySize() const;
    QRect bodyRect() const;
    QPainterPath outline() const;
    QPixmap iconPixmap() const;
    QFont titleFont() const;
    QRect textBounds(int maxWidth) const;

    bool m_balloon;
    QString m_title;
    int m_icon = kNoIcon;
    QString m_text;
    QColor m_background;
    QColor m_textColour;
    QPoint m_anchor;
    bool m_tailUp = false;
    int m_tailX = 0;  // the tail's tip, in widget coordinates
};
