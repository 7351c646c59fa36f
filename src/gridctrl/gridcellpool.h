#pragma once

// Storage for the ordinary cells: slabs of equal slots handed out from a free
// list, so that a grid of millions of cells pays no allocator header per
// cell. Cells are made on the UI thread, like every widget; the cells of a
// large grid that is emptied are deleted on a worker (CGridDisposer), so the
// free list has a lock. The slabs go back to the system when the last cell
// of the pool is gone.

#include <cstddef>
#include <memory>
#include <mutex>
#include <vector>

class CGridCellPool {
public:
    explicit CGridCellPool(std::size_t slotSize);
    ~CGridCellPool();
    CGridCellPool(const CGridCellPool&) = delete;
    CGridCellPool& operator=(const CGridCellPool&) = delete;

    void* Allocate();
    void Free(void* slot);
    std::size_t LiveSlots() const {
        const std::lock_guard lock(m_mutex);
        return m_live;
    }

private:
    struct FreeSlot {
        FreeSlot* next;
    };
    void addSlab();

    mutable std::mutex m_mutex;
    std::size_t m_slotSize;
    std::vector<std::unique_ptr<std::byte[]>> m_slabs;
    FreeSlot* m_free = nullptr;
    std::size_t m_live = 0;
};
