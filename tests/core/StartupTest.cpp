#include <gtest/gtest.h>

#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include "FixedClock.h"
#include "ScriptedPrompter.h"
#include "TempLibrary.h"
#include "core/ui/FrmLogon.h"
#include "core/ui/Frmmain.h"
#include "core/ui/Startup.h"

TEST(Startup, SigningInHidesTheSignInWindowAndShowsTheMainWindow)
{
    TempLibrary library;
    ScriptedPrompter prompter;
    FixedClock clock;
    Startup startup(prompter, clock, library.dir());
    QSignalSpy finished(&startup, &Startup::finished);
    startup.start();
    FrmLogon* signIn = startup.signInWindow();
    ASSERT_NE(signIn, nullptr);
    EXPECT_TRUE(signIn->isVisible());
    EXPECT_EQ(startup.mainWindow(), nullptr);

    QTest::keyClicks(signIn->txtPassword, QStringLiteral("739"));
    QTest::keyClick(signIn->txtPassword, Qt::Key_Return);

    EXPECT_FALSE(signIn->isVisible());
    ASSERT_NE(startup.mainWindow(), nullptr);
    EXPECT_TRUE(startup.mainWindow()->isVisible());
    EXPECT_TRUE(startup.mainWindow()->windowTitle().endsWith(QStringLiteral(" Ver 2.01 Build:0147")));
    EXPECT_EQ(finished.count(), 0);
}

TEST(Startup, TheProgramEndsWithCodeOneWhenTheMainWindowCannotLoad)
{
    QTemporaryDir emptyProgramDir;  // no database
    ScriptedPrompter prompter;
    FixedClock clock;
    Startup startup(prompter, clock, emptyProgramDir.path());
    QSignalSpy finished(&startup, &Startup::finished);
    startup.start();
    QTest::keyClicks(startup.signInWindow()->txtPassword, QStringLiteral("739"));
    QTest::mouseClick(startup.signInWindow()->cmdOK, Qt::LeftButton);

    ASSERT_EQ(finished.count(), 1);
    EXPECT_EQ(finished.first().first().toInt(), 1);
    EXPECT_FALSE(prompter.shown.isEmpty());
    EXPECT_FALSE(startup.mainWindow()->isVisible());
}

TEST(Startup, CancellingTheSignInEndsTheProgramWithCodeZero)
{
    QTemporaryDir programDir;
    ScriptedPrompter prompter;
    FixedClock clock;
    Startup startup(prompter, clock, programDir.path());
    QSignalSpy finished(&startup, &Startup::finished);
    startup.start();
    QTest::mouseClick(startup.signInWindow()->cmdCancel, Qt::LeftButton);
    ASSERT_EQ(finished.count(), 1);
    EXPECT_EQ(finished.first().first().toInt(), 0);
    EXPECT_EQ(startup.mainWindow(), nullptr);
}
