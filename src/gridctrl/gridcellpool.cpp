#include "gridctrl/gridcellpool.h"

#include <algorithm>

namespace {

constexpr std::size_t kSlotsPerSlab = 4096;

}  // namespace

CGridCellPool::CGridCellPool(std::size_t slotSize)
    : m_slotSize(std::max(slotSize, sizeof(FreeSlot))) {}

CGridCellPool::~CGridCellPool() = default;

void CGridCellPool::addSlab() {
    m_slabs.push_back(std::make_unique<std::byte[]>(m_slotSize * kSlotsPerSlab));
    std::byte* slab = m_slabs.back().get();
    for (std::size_t slot = kSlotsPerSlab; slot-- > 0;) {
        auto* free = reinterpret_cast<FreeSlot*>(slab + slot * m_slotSize);
        free->next = m_free;
        m_free = free;
    }
}

void* CGridCellPool::Allocate() {
    const std::lock_guard lock(m_mutex);
    if (m_free == nullptr) {
        addSlab();
    }
    FreeSlot* slot = m_free;
    m_free = slot->next;
    ++m_live;
    return slot;
}

void CGridCellPool::Free(void* slot) {
    const std::lock_guard lock(m_mutex);
    auto* free = static_cast<FreeSlot*>(slot);
    free->next = m_free;
    m_free = free;
    if (--m_live == 0) {
        m_free = nullptr;
        m_slabs.clear();
    }
}
