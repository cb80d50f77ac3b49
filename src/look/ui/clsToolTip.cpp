#include "look/ui/clsToolTip.h"

#include <QApplication>
#include <QCursor>
#include <QEnterEvent>
#include <QMouseEvent>
#include <QStyle>
#include <QWidget>

#include <algorithm>
#include <cmath>

#include "core/logic/Conversions.h"
#include "look/ui/BalloonWindow.h"

namespace {

// How long a tip stays when no visible time is set: the toolkit's own rule
// for its tooltips.
int systemVisibleTime(const QString& text)
{
    return 10000 + 40 * std::max<int>(0, text.size() - 100);
}

// A colour given as the decimal text of a 0x00BBGGRR value (read as the old
// Val() read numbers); "" gives an invalid colour, which stands for the
// system's colour.
QColor colourFromText(const QString& text)
{
    if (text.isEmpty())
        return QColor();
    const double value = Conversions::leadingNumber(text);
    const quint32 bgr = std::abs(value) < 4294967296.0 ? quint32(qint64(value)) : 0;
    return QColor(int(bgr & 0xFF), int((bgr >> 8) & 0xFF), int((bgr >> 16) & 0xFF));
}

}  // namespace

clsToolTip::clsToolTip(QObject* parent) : QObject(parent)
{
    m_delayTimer.setSingleShot(true);
    m_visibleTimer.setSingleShot(true);
    connect(&m_delayTimer, &QTimer::timeout, this, &clsToolTip::showTip);
    connect(&m_visibleTimer, &QTimer::timeout, this, &clsToolTip::hideTip);
}

clsToolTip::~clsToolTip()
{
    unregister();
    delete m_tipWindow.data();
}

void clsToolTip::CreateBalloon(QWidget* Object, QWidget* hwndObject, const QString& szText,
                               int Style, bool szCentered, const QString& szTitle, int mvarIcon,
                               const QString& BackColor, const QString& ForeColor)
{
    // A second call replaces the first tip rather than leaving two behind.
    unregister();
    m_centred = szCentered;
    m_text = szText;
    m_title = szTitle;
    m_backColor = BackColor;
    m_foreColor = ForeColor;
    m_icon = mvarIcon;
    m_tool = hwndObject;
    CreateTipWindow(Object ? Object->window() : nullptr, Style);
    if (m_tool)
        AddTool(Object);
}

void clsToolTip::SetHandle(QWidget* Object)
{
    if (m_tool)
        return;
    m_tool = QApplication::widgetAt(QCursor::pos());
    if (m_tool)
        AddTool(Object);
}

// The tip window belongs to the form: it goes when the form goes.
void clsToolTip::CreateTipWindow(QWidget* parentWindow, int style)
{
    delete m_tipWindow.data();
    m_tipWindow = new BalloonWindow((style & kBalloonStyle) != 0);
    if (parentWindow)
        connect(parentWindow, &QObject::destroyed, m_tipWindow.data(), &QObject::deleteLater);
}

void clsToolTip::AddTool(QWidget* Object)
{
    if (!m_tool || !m_tipWindow)
        return;
    // A control drawn on the tool window itself shows the tip over its own
    // bounds only; otherwise the whole tool window does.
    m_toolRect = (Object && Object->parentWidget() == m_tool) ? Object->geometry() : QRect();
    if (!m_toolRect.isNull())
        m_tool->setMouseTracking(true);
    m_tool->installEventFilter(this);
    m_registered = true;

    m_tipWindow->setContent(m_title, m_icon, m_text);
    m_tipWindow->setColours(colourFromText(m_backColor), colourFromText(m_foreColor));
    m_toolVisible = m_visibleTime;
    m_toolDelay = m_delayTime;
}

void clsToolTip::unregister()
{
    m_delayTimer.stop();
    hideTip();
    if (m_tool && m_registered)
        m_tool->removeEventFilter(this);
    m_registered = false;
    m_inside = false;
    m_resting = false;
}

QRect clsToolTip::toolRect() const
{
    if (!m_tool)
        return QRect();
    return m_toolRect.isNull() ? m_tool->rect() : m_toolRect;
}

bool clsToolTip::isTipShown() const
{
    return m_tipWindow && m_tipWindow->isVisible();
}

int clsToolTip::shownAfter() const
{
    if (m_toolDelay >= 0)
        return m_toolDelay;
    const QStyle* style = m_tool ? m_tool->style() : QApplication::style();
    return style->styleHint(QStyle::SH_ToolTip_WakeUpDelay, nullptr, m_tool);
}

int clsToolTip::shownFor() const
{
    return m_toolVisible >= 0 ? m_toolVisible : systemVisibleTime(m_text);
}

bool clsToolTip::eventFilter(QObject* watched, QEvent* event)
{
    if (watched != m_tool || !m_registered)
        return false;
    switch (event->type()) {
    case QEvent::Enter:
        mouseAt(static_cast<QEnterEvent*>(event)->position().toPoint());
        break;
    case QEvent::MouseMove:
        mouseAt(static_cast<QMouseEvent*>(event)->position().toPoint());
        break;
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick:
        // A click puts the tip away until the mouse comes again.
        m_delayTimer.stop();
        hideTip();
        m_resting = true;
        break;
    case QEvent::Leave:
    case QEvent::Hide:
        m_delayTimer.stop();
        hideTip();
        m_inside = false;
        m_resting = false;
        break;
    default:
        break;
    }
    return false;
}

void clsToolTip::mouseAt(const QPoint& toolPosition)
{
    if (!toolRect().contains(toolPosition)) {
        if (m_inside) {
            m_delayTimer.stop();
            hideTip();
        }
        m_inside = false;
        m_resting = false;
        return;
    }
    m_inside = true;
    if (!m_resting && !isTipShown() && !m_delayTimer.isActive())
        m_delayTimer.start(shownAfter());
}

void clsToolTip::showTip()
{
    if (!m_tipWindow || !m_tool || !m_inside)
        return;
    const QRect area = toolRect();
    QPoint anchor;
    if (m_centred) {
        anchor = m_tool->mapToGlobal(QPoint(area.center().x(), area.bottom() + 1));
    } else {
        const QPoint cursor = m_tool->mapFromGlobal(QCursor::pos());
        anchor = m_tool->mapToGlobal(area.contains(cursor) ? cursor : area.center());
    }
    m_tipWindow->popUp(anchor, m_centred);
    m_resting = true;
    m_visibleTimer.start(shownFor());
}

void clsToolTip::hideTip()
{
    m_visibleTimer.stop();
    if (m_tipWindow)
        m_tipWindow->hide();
}
