#include <gtest/gtest.h>

#include <QDialog>
#include <QPointer>
#include <QTest>

#include <memory>

#include "core/ui/SingleWindow.h"

namespace {

// The colour a window shows in its top left corner, as drawn now.
std::string cornerColour(QWidget* window)
{
    return window->grab().toImage().pixelColor(2, 2).name().toStdString();
}

}  // namespace

// A window made inside its owner (as a careless caller might) is taken out of
// it before it shows: the owner's style sheet never reaches it, it stays the
// kind of window it was made, and it still goes with its owner.
TEST(SingleWindow, AWindowMadeInsideItsOwnerStandsOnItsOwnAndGoesWithIt)
{
    auto owner = std::make_unique<QWidget>();
    owner->setStyleSheet(QStringLiteral("QWidget { background-color: rgb(90, 40, 20); }"));
    owner->show();
    QDialog standalone;
    standalone.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&standalone));

    QPointer<QDialog> slot;
    int made = 0;
    const auto make = [&] {
        ++made;
        return new QDialog(owner.get());
    };
    QDialog* window = showSingle(slot, owner.get(), make);
    ASSERT_TRUE(QTest::qWaitForWindowExposed(window));
    EXPECT_EQ(cornerColour(window), cornerColour(&standalone));
    EXPECT_NE(cornerColour(owner.get()), cornerColour(&standalone));  // the sheet does draw
    EXPECT_EQ(window->windowType(), Qt::Dialog);

    // Shown again: the same window. Closed: it goes, and the next is made afresh.
    EXPECT_EQ(showSingle(slot, owner.get(), make), window);
    EXPECT_EQ(made, 1);
    window->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(slot.isNull());
    showSingle(slot, owner.get(), make);
    EXPECT_EQ(made, 2);

    owner.reset();
    EXPECT_TRUE(slot.isNull());
}
