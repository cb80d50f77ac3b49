#include <gtest/gtest.h>

#include "TempLibrary.h"
#include "core/logic/Database.h"

TEST(Database, TempLibraryHasRules)
{
    TempLibrary library;
    EXPECT_EQ(library.scalar("SELECT 借出册数 FROM basicSet").toInt(), 2);
}
