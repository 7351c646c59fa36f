#pragma once

// Storage for the ordinary cells: slabs of equal slots handed out from a free
// list, so that a grid of millions of cells pays no allocator header per
// cell. A slab is neither cleared nor walked when it is made: its slots are
// handed out in order as they are first needed, so a slab costs memory only
// for the slots in use. Cells are made on the UI thread, like every widget;
// the cells of a large grid that is emptied are deleted on a worker
// (CGridDisposer), so the free list has a lock. The slabs go back to the
// system when the last cell of the pool is gone.

#include <cstddef>
#include <memory>
#include <mutex>
#include <span>
#include <vector>

class CGridCellPool {
public:
    explicit CGridCellPool(std::size_t slotSize, std::size_t slotsPerSlab = 4096);
    ~CGridCellPool();
    CGridCellPool(const CGridCellPool&) = delete;
    CGridCellPool& operator=(const CGridCellPool&) = delete;

    void* Allocate();
    // Fills every entry of `slots` with one taking of the lock: a grid's row
    // of cells is made at once. All or none: std::bad_alloc leaves the pool
    // as it was.
    void AllocateMany(std::span<void*> slots);
    void Free(void* slot);
    std::size_t LiveSlots() const {
        const std::lock_guard lock(m_mutex);
        return m_live;
    }

private:
    struct FreeSlot {
        FreeSlot* next;
    };

    void* allocateLocked();
    void freeLocked(void* slot);

    mutable std::mutex m_mutex;
    std::size_t m_slotSize;
    std::size_t m_slotsPerSlab;
    std::vector<std::unique_ptr<std::byte[]>> m_slabs;
    FreeSlot* m_free = nullptr;
    // The newest slab's slots never handed out: from m_unused up to m_slabEnd.
    std::byte* m_unused = nullptr;
    std::byte* m_slabEnd = nullptr;
    std::size_t m_live = 0;
};
