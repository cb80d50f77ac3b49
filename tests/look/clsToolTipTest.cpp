#include <gtest/gtest.h>

#include <QApplication>
#include <QCursor>
#include <QEnterEvent>
#include <QHBoxLayout>
#include <QMouseEvent>
#include <QPushButton>
#include <QStyle>
#include <QTest>
#include <QToolTip>
#include <QWidget>

#include <memory>

#include "look/ui/BalloonWindow.h"
#include "look/ui/clsToolTip.h"

namespace {

// A shown form with two buttons to hang tips on.
class Form {
public:
    Form()
    {
        window.setGeometry(200, 200, 300, 120);
        auto* row = new QHBoxLayout(&window);
        first = new QPushButton(QStringLiteral(">>"), &window);
        second = new QPushButton(QStringLiteral("其它"), &window);
        row->addWidget(first);
        row->addWidget(second);
        window.show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(&window));
    }

    QWidget window;
    QPushButton* first = nullptr;
    QPushButton* second = nullptr;
};

QPoint centreOf(const QWidget* widget)
{
    return widget->mapToGlobal(widget->rect().center());
}

// Puts the mouse on the widget (the events of the move run first) and tells
// the widget the mouse has come.
void sendEnter(QWidget* widget)
{
    QCursor::setPos(centreOf(widget));
    QCoreApplication::processEvents();
    const QPointF local = widget->rect().center();
    QEnterEvent enter(local, local, widget->mapToGlobal(local));
    QCoreApplication::sendEvent(widget, &enter);
}

void sendLeave(QWidget* widget)
{
    QEvent leave(QEvent::Leave);
    QCoreApplication::sendEvent(widget, &leave);
}

void sendPress(QWidget* widget)
{
    const QPointF local = widget->rect().center();
    QMouseEvent press(QEvent::MouseButtonPress, local, widget->mapToGlobal(local),
                      Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(widget, &press);
}

// The sign-in window's call.
void createSignInBalloon(clsToolTip& tip, QPushButton* button)
{
    tip.CreateBalloon(button, button, QStringLiteral("点击此按钮更改您的帐号!"), 64, false,
                      QStringLiteral("提示"), 1, QString(), QString());
}

}  // namespace

TEST(clsToolTip, ANewTipWaitsForTheSystemTimes)
{
    clsToolTip tip;
    EXPECT_EQ(tip.DelayTime(), -1);
    EXPECT_EQ(tip.VisibleTime(), -1);
    EXPECT_EQ(tip.toolWindow(), nullptr);
    EXPECT_EQ(tip.tipWindow(), nullptr);
}

TEST(clsToolTip, TheBalloonHoldsTitleIconAndText)
{
    Form form;
    clsToolTip tip;
    createSignInBalloon(tip, form.first);
    EXPECT_EQ(tip.toolWindow(), form.first);
    EXPECT_TRUE(tip.toolRegistered());
    EXPECT_EQ(tip.toolRect(), form.first->rect());
    const BalloonWindow* bubble = tip.tipWindow();
    ASSERT_NE(bubble, nullptr);
    EXPECT_TRUE(bubble->isBalloon());
    EXPECT_EQ(bubble->title(), QStringLiteral("提示"));
    EXPECT_EQ(bubble->icon(), BalloonWindow::kInformation);
    EXPECT_EQ(bubble->text(), QStringLiteral("点击此按钮更改您的帐号!"));
    EXPECT_EQ(bubble->backgroundColour(), QToolTip::palette().color(QPalette::ToolTipBase));
    EXPECT_EQ(bubble->textColour(), QToolTip::palette().color(QPalette::ToolTipText));
    EXPECT_FALSE(tip.isTipShown());
}

TEST(clsToolTip, AnEmptyTitleShowsNeitherTitleNorIcon)
{
    Form form;
    clsToolTip tip;
    tip.CreateBalloon(form.first, form.first, QStringLiteral("文字"), 64, false, QString(), 1);
    EXPECT_EQ(tip.tipWindow()->title(), QString());
    EXPECT_EQ(tip.tipWindow()->icon(), BalloonWindow::kNoIcon);
    EXPECT_EQ(tip.tipWindow()->text(), QStringLiteral("文字"));
}

TEST(clsToolTip, StyleAndColoursFollowTheArguments)
{
    Form form;
    struct Case {
        int style;
        const char* back;
        const char* fore;
        bool balloon;
        QColor backColour;  // invalid: the system's tip colour
        QColor foreColour;
    };
    const QList<Case> cases = {
        {64, "255", "16711680", true, QColor(255, 0, 0), QColor(0, 0, 255)},  // 0x00BBGGRR
        {64 | 1, "65280", "", true, QColor(0, 255, 0), QColor()},
        {0, "", "8421504", false, QColor(), QColor(128, 128, 128)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.style);
        clsToolTip tip;
        tip.CreateBalloon(form.first, form.first, QStringLiteral("t"), c.style, false,
                          QStringLiteral("标题"), 2, QString::fromLatin1(c.back),
                          QString::fromLatin1(c.fore));
        const BalloonWindow* bubble = tip.tipWindow();
        EXPECT_EQ(bubble->isBalloon(), c.balloon);
        EXPECT_EQ(bubble->icon(), BalloonWindow::kWarning);
        EXPECT_EQ(bubble->backgroundColour(),
                  c.backColour.isValid() ? c.backColour
                                         : QToolTip::palette().color(QPalette::ToolTipBase));
        EXPECT_EQ(bubble->textColour(),
                  c.foreColour.isValid() ? c.foreColour
                                         : QToolTip::palette().color(QPalette::ToolTipText));
    }
}

TEST(clsToolTip, ShowsOverTheControlAfterTheDelayAndGoesWhenTheMouseLeaves)
{
    Form form;
    clsToolTip tip;
    tip.setDelayTime(0);
    createSignInBalloon(tip, form.first);

    sendEnter(form.second);  // another control: nothing
    EXPECT_FALSE(tip.isWaitingToShow());

    sendEnter(form.first);
    EXPECT_TRUE(tip.isWaitingToShow());
    EXPECT_FALSE(tip.isTipShown());
    QCoreApplication::processEvents();
    ASSERT_TRUE(tip.isTipShown());

    // The tail points at the mouse on the control; the bubble itself does
    // not cover that point, so it cannot take the mouse away from the control.
    const BalloonWindow* bubble = tip.tipWindow();
    const QRect button(form.first->mapToGlobal(QPoint(0, 0)), form.first->size());
    EXPECT_TRUE(button.contains(bubble->anchor()));
    EXPECT_EQ(bubble->anchor(), centreOf(form.first));
    EXPECT_FALSE(bubble->geometry().contains(bubble->anchor()));
    EXPECT_LE(std::abs(bubble->anchor().y() - (bubble->tailUp() ? bubble->geometry().top()
                                                                 : bubble->geometry().bottom())),
              1);

    sendLeave(form.first);
    EXPECT_FALSE(tip.isTipShown());
    EXPECT_FALSE(tip.isWaitingToShow());
}

TEST(clsToolTip, AClickPutsTheTipAwayUntilTheMouseComesAgain)
{
    Form form;
    clsToolTip tip;
    tip.setDelayTime(0);
    createSignInBalloon(tip, form.first);
    sendEnter(form.first);
    QCoreApplication::processEvents();
    ASSERT_TRUE(tip.isTipShown());

    sendPress(form.first);
    EXPECT_FALSE(tip.isTipShown());
    sendEnter(form.first);  // still over it: no new tip
    EXPECT_FALSE(tip.isWaitingToShow());

    sendLeave(form.first);
    sendEnter(form.first);
    EXPECT_TRUE(tip.isWaitingToShow());
}

TEST(clsToolTip, DelayAndVisibleTimesTakeEffectAtRegistration)
{
    Form form;
    {
        clsToolTip tip;
        createSignInBalloon(tip, form.first);
        EXPECT_EQ(tip.shownAfter(), form.first->style()->styleHint(QStyle::SH_ToolTip_WakeUpDelay));
        EXPECT_EQ(tip.shownFor(), 10000);
        // Set afterwards: the registered tool keeps its times.
        tip.setDelayTime(250);
        tip.setVisibleTime(3000);
        EXPECT_EQ(tip.DelayTime(), 250);
        EXPECT_EQ(tip.VisibleTime(), 3000);
        EXPECT_NE(tip.shownAfter(), 250);
        EXPECT_EQ(tip.shownFor(), 10000);
    }
    {
        clsToolTip tip;
        tip.setDelayTime(250);
        tip.setVisibleTime(3000);
        createSignInBalloon(tip, form.first);
        EXPECT_EQ(tip.shownAfter(), 250);
        EXPECT_EQ(tip.shownFor(), 3000);
    }
    {
        // A visible time of 0: the tip goes as soon as events run.
        clsToolTip tip;
        tip.setDelayTime(0);
        tip.setVisibleTime(0);
        createSignInBalloon(tip, form.first);
        sendEnter(form.first);
        QCoreApplication::processEvents();
        QCoreApplication::processEvents();
        EXPECT_FALSE(tip.isTipShown());
        EXPECT_FALSE(tip.isWaitingToShow());
    }
}

TEST(clsToolTip, WithoutAToolTheTipWaitsForSetHandle)
{
    Form form;
    clsToolTip tip;
    tip.setDelayTime(0);
    tip.CreateBalloon(form.first, nullptr, QStringLiteral("文字"), 64, false, QStringLiteral("提示"), 1);
    ASSERT_NE(tip.tipWindow(), nullptr);
    EXPECT_FALSE(tip.toolRegistered());
    sendEnter(form.first);
    EXPECT_FALSE(tip.isWaitingToShow());

    // The control under the mouse becomes the tool.
    QCursor::setPos(centreOf(form.second));
    ASSERT_EQ(QApplication::widgetAt(QCursor::pos()), form.second);
    tip.SetHandle(form.second);
    EXPECT_EQ(tip.toolWindow(), form.second);
    EXPECT_TRUE(tip.toolRegistered());

    // A second SetHandle changes nothing.
    QCursor::setPos(centreOf(form.first));
    tip.SetHandle(form.first);
    EXPECT_EQ(tip.toolWindow(), form.second);

    sendEnter(form.first);
    EXPECT_FALSE(tip.isWaitingToShow());
    sendEnter(form.second);
    QCoreApplication::processEvents();
    EXPECT_TRUE(tip.isTipShown());
}

TEST(clsToolTip, AControlOnItsToolWindowShowsTheTipOverItsOwnBoundsOnly)
{
    Form form;
    clsToolTip tip;
    tip.setDelayTime(0);
    tip.CreateBalloon(form.first, &form.window, QStringLiteral("文字"), 64, false);
    EXPECT_EQ(tip.toolRect(), form.first->geometry());

    auto moveTo = [&](const QPoint& local) {
        QMouseEvent move(QEvent::MouseMove, local, form.window.mapToGlobal(local), Qt::NoButton,
                         Qt::NoButton, Qt::NoModifier);
        QCoreApplication::sendEvent(&form.window, &move);
    };
    moveTo(QPoint(form.window.width() - 2, form.window.height() - 2));
    EXPECT_FALSE(tip.isWaitingToShow());
    moveTo(form.first->geometry().center());
    EXPECT_TRUE(tip.isWaitingToShow());
    QCoreApplication::processEvents();
    EXPECT_TRUE(tip.isTipShown());
    moveTo(QPoint(form.window.width() - 2, form.window.height() - 2));
    EXPECT_FALSE(tip.isTipShown());
}

TEST(clsToolTip, TheTipWindowGoesWithItsForm)
{
    auto form = std::make_unique<Form>();
    clsToolTip tip;
    createSignInBalloon(tip, form->first);
    ASSERT_NE(tip.tipWindow(), nullptr);
    form.reset();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(tip.tipWindow(), nullptr);
    EXPECT_EQ(tip.toolWindow(), nullptr);
}
