// The cell pool hands out distinct slots, reuses freed ones, lets its slabs
// go when the last slot is back, and makes a slab without touching the slots
// nobody asked for yet.

#include "gridctrl/gridcellpool.h"

#include <gtest/gtest.h>

#include <QFile>

#include <cstring>
#include <set>
#include <vector>

namespace {

long residentKilobytes() {
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly)) {
        return -1;
    }
    for (const QByteArray& line : status.readAll().split('\n')) {
        if (line.startsWith("VmRSS:")) {
            return line.mid(6).trimmed().split(' ').first().toLong();
        }
    }
    return -1;
}

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

// Slots cross from one slab into the next without a gap or an overlap.
TEST(GridCellPool, SlotsOfSeveralSlabsAreDistinctAndReusedAfterAFullEmptying) {
    CGridCellPool pool(24, 3);
    std::vector<void*> slots;
    for (int i = 0; i < 10; ++i) {
        slots.push_back(pool.Allocate());
        std::memset(slots.back(), i, 24);
    }
    for (size_t i = 0; i < slots.size(); ++i) {
        const auto* bytes = static_cast<const unsigned char*>(slots[i]);
        EXPECT_EQ(bytes[0], i) << i;
        EXPECT_EQ(bytes[23], i) << i;
    }
    for (void* slot : slots) {
        pool.Free(slot);
    }
    EXPECT_EQ(pool.LiveSlots(), 0u);
    std::set<void*> again;
    for (int i = 0; i < 10; ++i) {
        again.insert(pool.Allocate());
    }
    EXPECT_EQ(again.size(), 10u);
    for (void* slot : again) {
        pool.Free(slot);
    }
}

// A row's slots taken at once cross slabs like single ones and mix with them.
TEST(GridCellPool, SlotsTakenManyAtOnceAreDistinctAndGoBackOneByOne) {
    CGridCellPool pool(24, 4);
    std::vector<void*> row(10, nullptr);
    void* single = pool.Allocate();
    pool.AllocateMany(row);
    EXPECT_EQ(pool.LiveSlots(), 11u);
    std::set<void*> distinct(row.begin(), row.end());
    distinct.insert(single);
    EXPECT_EQ(distinct.size(), 11u);
    EXPECT_EQ(distinct.count(nullptr), 0u);
    for (size_t i = 0; i < row.size(); ++i) {
        std::memset(row[i], static_cast<int>(i), 24);
    }
    for (size_t i = 0; i < row.size(); ++i) {
        EXPECT_EQ(static_cast<const unsigned char*>(row[i])[23], i) << i;
    }
    for (void* slot : row) {
        pool.Free(slot);
    }
    pool.Free(single);
    EXPECT_EQ(pool.LiveSlots(), 0u);
    std::vector<void*> none;
    pool.AllocateMany(none);
    EXPECT_EQ(pool.LiveSlots(), 0u);
}

// A grid of a few cells must not pay for a slab's worth of memory: a slab is
// neither cleared nor threaded into a free list when it is made.
TEST(GridCellPool, AFreshSlabCostsMemoryOnlyForTheSlotsInUse) {
    constexpr std::size_t kSlot = 4096;
    constexpr std::size_t kSlotsPerSlab = 8192;  // a 32 MB slab
    const long before = residentKilobytes();
    ASSERT_GT(before, 0);
    CGridCellPool pool(kSlot, kSlotsPerSlab);
    void* first = pool.Allocate();
    void* second = pool.Allocate();
    std::memset(first, 1, kSlot);
    std::memset(second, 2, kSlot);
    const long grown = residentKilobytes() - before;
    EXPECT_LT(grown, 4 * 1024) << "kB resident after two slots of a 32 MB slab";
    pool.Free(first);
    pool.Free(second);
}

}  // namespace
