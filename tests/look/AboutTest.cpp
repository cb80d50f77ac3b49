#include <gtest/gtest.h>

#include <QAction>
#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>
#include <QTest>

#include "look/logic/MakerLinks.h"
#include "look/ui/FrmAbout.h"
#include "look/ui/SkinControl.h"
#include "look/ui/WindowStyler.h"

namespace {

struct AboutFixture : ::testing::Test {
    QAction systemLook;
    QWidget owner;
    SkinControl skin{&owner};
    WindowStyler styler{skin, &systemLook};
    QList<QUrl> opened;

    AboutFixture()
    {
        systemLook.setCheckable(true);
        systemLook.setChecked(true);
    }

    std::unique_ptr<FrmAbout> open()
    {
        auto window = std::make_unique<FrmAbout>(styler, nullptr,
                                                 [this](const QUrl& url) { opened.append(url); });
        window->Form_Load();
        window->show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(window.get()));
        return window;
    }

    // A link at rest: black, not underlined; under the mouse: blue, underlined.
    static bool looksUnderMouse(const QLabel* link)
    {
        return link->palette().color(QPalette::WindowText) == QColor(0, 0, 255)
               && link->font().underline();
    }
    static bool looksAtRest(const QLabel* link)
    {
        return link->palette().color(QPalette::WindowText) == QColor(Qt::black)
               && !link->font().underline();
    }
};

void moveOver(QWidget* widget, QPoint at)
{
    QMouseEvent move(QEvent::MouseMove, at, widget->mapToGlobal(at), Qt::NoButton, Qt::NoButton,
                     Qt::NoModifier);
    QApplication::sendEvent(widget, &move);
}

void moveOver(QWidget* widget)
{
    moveOver(widget, widget->rect().center());
}

}  // namespace

TEST_F(AboutFixture, LabelsFollowTheStyleAtLoad)
{
    for (const bool system : {true, false}) {
        systemLook.setChecked(system);
        auto window = open();
        EXPECT_EQ(window->Label5->isVisible(), system);
        EXPECT_EQ(window->Label6->isVisible(), system);
        EXPECT_EQ(window->Label2->isVisible(), !system);
        EXPECT_EQ(window->Label4->isVisible(), !system);
        EXPECT_TRUE(window->Label1->isVisible());
        EXPECT_TRUE(window->Label3->isVisible());

        // A later change of style does not change an open About box.
        systemLook.setChecked(!system);
        EXPECT_EQ(window->Label5->isVisible(), system);
    }
}

TEST_F(AboutFixture, LinksLightUpUnderTheMouseUntilItPassesOverTheBackground)
{
    auto window = open();
    const QColor initial = window->Label5->palette().color(QPalette::WindowText);
    EXPECT_FALSE(window->Label5->font().underline());

    moveOver(window->Label5);
    EXPECT_TRUE(looksUnderMouse(window->Label5));
    EXPECT_EQ(window->Label6->palette().color(QPalette::WindowText), initial);

    // Moving on to the other link leaves the first lit as well.
    moveOver(window->Label6);
    EXPECT_TRUE(looksUnderMouse(window->Label6));
    EXPECT_TRUE(looksUnderMouse(window->Label5));

    moveOver(window.get(), QPoint(window->width() - 5, window->height() - 5));
    EXPECT_TRUE(looksAtRest(window->Label5));
    EXPECT_TRUE(looksAtRest(window->Label6));

    EXPECT_EQ(window->Label5->cursor().shape(), Qt::PointingHandCursor);
    EXPECT_EQ(window->Label6->cursor().shape(), Qt::PointingHandCursor);
}

TEST_F(AboutFixture, PressingALinkOrTheLogoOpensItsAddress)
{
    auto window = open();
    QTest::mousePress(window->Label5, Qt::LeftButton);
    QTest::mousePress(window->Label6, Qt::RightButton);  // any button
    QTest::mouseClick(window->Picture1, Qt::LeftButton);
    EXPECT_EQ(opened, (QList<QUrl>{QUrl(MakerLinks::kSoftwarePage), QUrl(MakerLinks::kSkinPage),
                                   QUrl(MakerLinks::kHomePage)}));
    EXPECT_EQ(window->Label5->text(), MakerLinks::kSoftwarePage);
    EXPECT_EQ(window->Label6->text(), MakerLinks::kSkinPage);
}

TEST_F(AboutFixture, UnderASkinTheAddressesAreTextAndOnlyTheLogoOpensAPage)
{
    systemLook.setChecked(false);
    auto window = open();
    QTest::mousePress(window->Label2, Qt::LeftButton);
    QTest::mousePress(window->Label4, Qt::LeftButton);
    EXPECT_TRUE(opened.isEmpty());
    QTest::mouseClick(window->Picture1, Qt::LeftButton);
    EXPECT_EQ(opened, (QList<QUrl>{QUrl(MakerLinks::kHomePage)}));
}

TEST_F(AboutFixture, LinksAndLogoOpenFromTheKeyboard)
{
    auto window = open();
    window->Label6->setFocus();
    QTest::keyClick(window->Label6, Qt::Key_Return);
    window->Picture1->setFocus();
    QTest::keyClick(window->Picture1, Qt::Key_Space);
    EXPECT_EQ(opened, (QList<QUrl>{QUrl(MakerLinks::kSkinPage), QUrl(MakerLinks::kHomePage)}));
}

TEST_F(AboutFixture, OkCloses)
{
    auto window = open();
    QTest::mouseClick(window->Command2, Qt::LeftButton);
    EXPECT_FALSE(window->isVisible());
    EXPECT_TRUE(opened.isEmpty());
}
