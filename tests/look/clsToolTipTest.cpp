#include <gtest/gtest.h>

#include <QApplication>
#include <QCursor>
#include <QEnterEvent>
#include <QHBoxLayout>
#include <QPushButton>
#include <QStyle>
#include <QTest>
#include <QToolTip>

#include "look/ui/BalloonWindow.h"
#include "look/ui/clsToolTip.h"

namespace {

const QString kText = "点击此按钮更改您的帐号!";

// A shown form with two buttons to hang tips on.
struct BalloonTip : ::testing::Test {
    QWidget form;
    QPushButton* first = new QPushButton(">>", &form);
    QPushButton* second = new QPushButton("其它", &form);
    clsToolTip tip;

    BalloonTip()
    {
        form.setGeometry(200, 200, 300, 120);
        auto* row = new QHBoxLayout(&form);
        row->addWidget(first);
        row->addWidget(second);
        form.show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(&form));
    }
};

QPoint centreOf(const QWidget* widget) { return widget->mapToGlobal(widget->rect().center()); }

// Puts the mouse on the widget and tells the widget the mouse has come.
void sendEnter(QWidget* widget)
{
    QCursor::setPos(centreOf(widget));
    QCoreApplication::processEvents();
    const QPointF local = widget->rect().center();
    QEnterEvent enter(local, local, widget->mapToGlobal(local));
    QCoreApplication::sendEvent(widget, &enter);
}

}  // namespace

TEST_F(BalloonTip, StyleBitsIconColoursAndTimesAreTakenAtRegistration)
{
    const QColor systemBack = QToolTip::palette().color(QPalette::ToolTipBase);
    const QColor systemText = QToolTip::palette().color(QPalette::ToolTipText);
    const int systemDelay = first->style()->styleHint(QStyle::SH_ToolTip_WakeUpDelay);
    const struct {
        int style, icon;
        QString title, back, fore;  // colours in decimal 0x00BBGGRR, "" for the system colour
        qint16 delay, visible;  // -1: the system's
        bool balloon;
        int shownIcon;
        QColor backColour, textColour;
        int shownAfter, shownFor;
    } cases[] = {
        {64, 1, "", "", "", 250, -1,  // no title: no icon either
         true, BalloonWindow::kNoIcon, systemBack, systemText, 250, 10000},
        {0, 3, "标题", "255", "16711680", -1, 3000,  // without the balloon bit: a plain box
         false, BalloonWindow::kError, QColor(255, 0, 0), QColor(0, 0, 255), systemDelay, 3000},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.style << " " << c.icon);
        clsToolTip tip;
        tip.setDelayTime(c.delay);
        tip.setVisibleTime(c.visible);
        tip.CreateBalloon(first, first, kText, c.style, false, c.title, c.icon, c.back, c.fore);
        tip.setDelayTime(1);  // too late: the registered tool keeps its times
        tip.setVisibleTime(1);
        const BalloonWindow* bubble = tip.tipWindow();
        ASSERT_NE(bubble, nullptr);
        EXPECT_EQ(bubble->isBalloon(), c.balloon);
        EXPECT_EQ(bubble->icon(), c.shownIcon);
        EXPECT_EQ(bubble->backgroundColour(), c.backColour);
        EXPECT_EQ(bubble->textColour(), c.textColour);
        EXPECT_EQ(tip.shownAfter(), c.shownAfter);
        EXPECT_EQ(tip.shownFor(), c.shownFor);
    }
}

TEST_F(BalloonTip, ShowsOverTheControlAfterTheDelayAndGoesWhenTheMouseLeaves)
{
    tip.setDelayTime(0);
    tip.CreateBalloon(first, first, kText, 64, false, "提示", 1, "", "");  // as the sign-in window
    sendEnter(second);  // another control: nothing
    EXPECT_FALSE(tip.isWaitingToShow());
    sendEnter(first);
    EXPECT_FALSE(tip.isTipShown());
    QCoreApplication::processEvents();
    ASSERT_TRUE(tip.isTipShown());
    // The tail points at the mouse on the control; the bubble does not cover
    // that point, so it cannot take the mouse away from the control.
    EXPECT_EQ(tip.tipWindow()->anchor(), centreOf(first));
    EXPECT_FALSE(tip.tipWindow()->geometry().contains(centreOf(first)));
    QEvent leave(QEvent::Leave);
    QCoreApplication::sendEvent(first, &leave);
    EXPECT_FALSE(tip.isTipShown());
    EXPECT_FALSE(tip.isWaitingToShow());
}

TEST_F(BalloonTip, WithoutAToolTheTipWaitsForSetHandleAndTakesOnlyTheFirst)
{
    tip.setDelayTime(0);
    tip.CreateBalloon(first, nullptr, kText, 64, false, "提示", 1);
    ASSERT_NE(tip.tipWindow(), nullptr);
    sendEnter(first);
    EXPECT_FALSE(tip.isWaitingToShow());

    // The control under the mouse becomes the tool; a second SetHandle changes nothing.
    QCursor::setPos(centreOf(second));
    ASSERT_EQ(QApplication::widgetAt(QCursor::pos()), second);
    tip.SetHandle(second);
    QCursor::setPos(centreOf(first));
    tip.SetHandle(first);
    EXPECT_EQ(tip.toolWindow(), second);
    sendEnter(second);
    QCoreApplication::processEvents();
    EXPECT_TRUE(tip.isTipShown());
}
