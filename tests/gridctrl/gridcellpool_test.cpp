// The cell pool hands out distinct slots, reuses freed ones and lets its
// slabs go when the last slot is back.

#include "gridctrl/gridcellpool.h"

#include <gtest/gtest.h>

#include <set>
#include <vector>

namespace {

TEST(GridCellPool, HandsOutDistinctSlotsAndTakesThemBack) {
    CGridCellPool pool(40);
    std::vector<void*> slots;
    for (int i = 0; i < 10000; ++i) {
        slots.push_back(pool.Allocate());
        std::memset(slots.back(), 0xAB, 40);
    }
    EXPECT_EQ(std::set<void*>(slots.begin(), slots.end()).size(), slots.size());
    EXPECT_EQ(pool.LiveSlots(), 10000u);
    void* freed = slots.back();
    slots.pop_back();
    pool.Free(freed);
    EXPECT_EQ(pool.Allocate(), freed);
    pool.Free(freed);
    for (void* slot : slots) {
        pool.Free(slot);
    }
    EXPECT_EQ(pool.LiveSlots(), 0u);
    void* again = pool.Allocate();
    ASSERT_NE(again, nullptr);
    pool.Free(again);
}

}  // namespace
