#include "gridctrl/gridcellpool.h"

#include <algorithm>
#include <new>

CGridCellPool::CGridCellPool(std::size_t slotSize, std::size_t slotsPerSlab)
    : m_slotSize(std::max(slotSize, sizeof(FreeSlot))),
      m_slotsPerSlab(std::max<std::size_t>(slotsPerSlab, 1)) {}

CGridCellPool::~CGridCellPool() = default;

void* CGridCellPool::Allocate() {
    const std::lock_guard lock(m_mutex);
    return allocateLocked();
}

void CGridCellPool::AllocateMany(std::span<void*> slots) {
    const std::lock_guard lock(m_mutex);
    size_t made = 0;
    try {
        for (; made < slots.size(); ++made) {
            slots[made] = allocateLocked();
        }
    } catch (const std::bad_alloc&) {
        while (made > 0) {
            freeLocked(slots[--made]);
        }
        throw;
    }
}

void* CGridCellPool::allocateLocked() {
    void* slot = nullptr;
    if (m_free != nullptr) {
        slot = m_free;
        m_free = m_free->next;
    } else {
        if (m_unused == m_slabEnd) {
            // Left uninitialised: the cell constructed in a slot sets it.
            m_slabs.push_back(
                std::make_unique_for_overwrite<std::byte[]>(m_slotSize * m_slotsPerSlab));
            m_unused = m_slabs.back().get();
            m_slabEnd = m_unused + m_slotSize * m_slotsPerSlab;
        }
        slot = m_unused;
        m_unused += m_slotSize;
    }
    ++m_live;
    return slot;
}

void CGridCellPool::Free(void* slot) {
    const std::lock_guard lock(m_mutex);
    freeLocked(slot);
}

void CGridCellPool::freeLocked(void* slot) {
    auto* free = static_cast<FreeSlot*>(slot);
    free->next = m_free;
    m_free = free;
    if (--m_live == 0) {
        m_free = nullptr;
        m_unused = nullptr;
        m_slabEnd = nullptr;
        m_slabs.clear();
    }
}
