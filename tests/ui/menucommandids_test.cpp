#include "ui/menucommandids.h"

#include <gtest/gtest.h>

namespace {

TEST(MenuCommandIds, IdsRunFrom40000AndAreFreedPerServer) {
    CMenuCommandIds ids;
    EXPECT_EQ(ids.Alloc(0), 0) << "no server, no id";
    EXPECT_EQ(ids.Alloc(7), 40000);
    EXPECT_EQ(ids.Alloc(8), 40001);
    EXPECT_EQ(ids.Alloc(7), 40002);
    ids.Free(7);
    EXPECT_EQ(ids.Owner(40000), 0U);
    EXPECT_EQ(ids.Owner(40001), 8U);
    EXPECT_EQ(ids.Alloc(9), 40000) << "the first free slot is reused";
}

TEST(MenuCommandIds, FullTableRefusesUntilALogoutFreesSlots) {
    CMenuCommandIds ids;
    for (int slot = 0; slot < CMenuCommandIds::kSlots; ++slot) {
        ASSERT_NE(ids.Alloc(slot % 2 == 0 ? 1 : 2), 0);
    }
    EXPECT_EQ(ids.Alloc(3), 0);
    ids.Free(2);
    EXPECT_EQ(ids.Alloc(3), 40001);
    EXPECT_EQ(ids.Owner(40000 + CMenuCommandIds::kSlots), 0U);
}

}  // namespace
