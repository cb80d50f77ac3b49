#include "look/ui/BalloonWindow.h"

#include <QGuiApplication>
#include <QPainter>
#include <QPainterPath>
#include <QScreen>
#include <QStyle>
#include <QToolTip>

#include <algorithm>

namespace {

constexpr int kMargin = 10;
constexpr int kSpacing = 6;
constexpr int kRadius = 8;
constexpr int kTailHeight = 14;
constexpr int kTailWidth = 16;
constexpr int kTailInset = 20;  // the tail's distance from the bubble's left edge
constexpr int kIconSize = 16;
constexpr int kMaxTextWidth = 320;
constexpr int kMinBodyWidth = 2 * kRadius + 2 * kTailWidth;
constexpr int kCursorHeight = 20;  // a rectangular tip shows below the cursor

QStyle::StandardPixmap standardPixmapOf(int icon)
{
    switch (icon) {
    case BalloonWindow::kWarning:
        return QStyle::SP_MessageBoxWarning;
    case BalloonWindow::kError:
        return QStyle::SP_MessageBoxCritical;
    default:
        return QStyle::SP_MessageBoxInformation;
    }
}

}  // namespace

BalloonWindow::BalloonWindow(bool balloonShape)
    : QWidget(nullptr, Qt::ToolTip | Qt::FramelessWindowHint | Qt::WindowDoesNotAcceptFocus),
      m_balloon(balloonShape)
{
    setObjectName(QStringLiteral("BalloonWindow"));
    setAttribute(Qt::WA_TranslucentBackground);
    setAttribute(Qt::WA_ShowWithoutActivating);
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setFont(QToolTip::font());
}

void BalloonWindow::setContent(const QString& title, int icon, const QString& text)
{
    m_title = title;
    m_icon = (icon >= kInformation && icon <= kError) ? icon : kNoIcon;
    m_text = text;
    update();
}

void BalloonWindow::setColours(const QColor& background, const QColor& text)
{
    m_background = background;
    m_textColour = text;
    update();
}

QColor BalloonWindow::backgroundColour() const
{
    return m_background.isValid() ? m_background : QToolTip::palette().color(QPalette::ToolTipBase);
}

QColor BalloonWindow::textColour() const
{
    return m_textColour.isValid() ? m_textColour : QToolTip::palette().color(QPalette::ToolTipText);
}

QFont BalloonWindow::titleFont() const
{
    QFont bold = font();
    bold.setBold(true);
    return bold;
}

QRect BalloonWindow::textBounds(int maxWidth) const
{
    return fontMetrics().boundingRect(QRect(0, 0, maxWidth, 10000),
                                      Qt::TextWordWrap | Qt::AlignLeft, m_text);
}

QPixmap BalloonWindow::iconPixmap() const
{
    if (icon() == kNoIcon)
        return QPixmap();
    return style()->standardIcon(standardPixmapOf(icon()), nullptr, this).pixmap(kIconSize);
}

QSize BalloonWindow::bodySize() const
{
    const QRect text = textBounds(kMaxTextWidth);
    int width = text.width();
    int height = text.height();
    if (!m_title.isEmpty()) {
        const QFontMetrics bold(titleFont());
        const int iconWidth = icon() == kNoIcon ? 0 : kIconSize + kSpacing;
        width = std::max(width, iconWidth + bold.horizontalAdvance(m_title));
        height += std::max(kIconSize, bold.height()) + kSpacing;
    }
    return {std::max(width + 2 * kMargin, kMinBodyWidth), height + 2 * kMargin};
}

QRect BalloonWindow::bodyRect() const
{
    const QSize body = bodySize();
    const int top = (m_balloon && m_tailUp) ? kTailHeight : 0;
    return QRect(QPoint(0, top), body);
}

QPainterPath BalloonWindow::outline() const
{
    const QRectF body = QRectF(bodyRect()).adjusted(0.5, 0.5, -0.5, -0.5);
    QPainterPath path;
    path.addRoundedRect(body, kRadius, kRadius);
    if (!m_balloon)
        return path;
    // The tail leans to the right from its tip, as a speech bubble's does.
    const qreal baseLeft = m_tailX;
    const qreal baseRight = m_tailX + kTailWidth;
    QPainterPath tail;
    if (m_tailUp) {
        tail.moveTo(baseLeft, body.top() + 1);
        tail.lineTo(m_tailX + 0.5, 0);
        tail.lineTo(baseRight, body.top() + 1);
    } else {
        tail.moveTo(baseLeft, body.bottom() - 1);
        tail.lineTo(m_tailX + 0.5, height());
        tail.lineTo(baseRight, body.bottom() - 1);
    }
    tail.closeSubpath();
    return path.united(tail);
}

void BalloonWindow::popUp(const QPoint& anchor, bool centred)
{
    m_anchor = anchor;
    QScreen* screen = QGuiApplication::screenAt(anchor);
    if (!screen)
        screen = QGuiApplication::primaryScreen();
    const QRect area = screen ? screen->availableGeometry() : QRect(anchor, QSize(1, 1));
    const QSize body = bodySize();
    const int tail = m_balloon ? kTailHeight : 0;
    const QSize whole(body.width(), body.height() + tail);

    int x = 0;
    int y = 0;
    if (m_balloon) {
        x = centred ? anchor.x() - body.width() / 2 : anchor.x() - kTailInset;
        // Above the point when it fits (centred tips prefer below).
        const bool fitsAbove = anchor.y() - whole.height() >= area.top();
        const bool fitsBelow = anchor.y() + 1 + whole.height() <= area.bottom() + 1;
        m_tailUp = centred ? (fitsBelow || !fitsAbove) : !fitsAbove;
        y = m_tailUp ? anchor.y() + 1 : anchor.y() - whole.height();
    } else {
        m_tailUp = false;
        x = anchor.x();
        y = anchor.y() + kCursorHeight;
        if (y + whole.height() > area.bottom() + 1)
            y = anchor.y() - whole.height() - 1;
    }
    x = std::clamp(x, area.left(), std::max(area.left(), area.right() + 1 - whole.width()));
    m_tailX = std::clamp(anchor.x() - x, kRadius, std::max(kRadius, body.width() - kRadius - kTailWidth));

    setGeometry(QRect(QPoint(x, y), whole));
    setMask(QRegion(outline().toFillPolygon().toPolygon()));
    show();
    raise();
    update();
}

void BalloonWindow::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const QColor ink = textColour();
    QColor border = ink;
    border.setAlpha(150);
    painter.setPen(QPen(border, 1));
    painter.setBrush(backgroundColour());
    painter.drawPath(outline());

    const QRect body = bodyRect().adjusted(kMargin, kMargin, -kMargin, -kMargin);
    int top = body.top();
    painter.setPen(ink);
    if (!m_title.isEmpty()) {
        const QFontMetrics bold(titleFont());
        const int rowHeight = std::max(kIconSize, bold.height());
        int left = body.left();
        const QPixmap pixmap = iconPixmap();
        if (!pixmap.isNull()) {
            painter.drawPixmap(QRect(left, top + (rowHeight - kIconSize) / 2, kIconSize, kIconSize),
                               pixmap);
            left += kIconSize + kSpacing;
        }
        painter.setFont(titleFont());
        painter.drawText(QRect(left, top, body.right() - left + 1, rowHeight),
                         Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, m_title);
        top += rowHeight + kSpacing;
    }
    painter.setFont(font());
    painter.drawText(QRect(body.left(), top, body.width(), body.bottom() - top + 1),
                     Qt::TextWordWrap | Qt::AlignLeft | Qt::AlignTop, m_text);
}
