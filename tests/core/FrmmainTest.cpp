#include <gtest/gtest.h>

#include "FixedClock.h"
#include "ScriptedPrompter.h"
#include "TempLibrary.h"
#include "core/ui/Frmmain.h"

TEST(Frmmain, Builds)
{
    TempLibrary library;
    ScriptedPrompter prompter;
    FixedClock clock;
    Frmmain window(prompter, clock, library.dir());
    EXPECT_EQ(window.windowTitle(), QStringLiteral("澄岳图书管理系统"));
}
