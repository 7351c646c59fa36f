#include "grid/griddisposer.h"

#include "gridctrl/gridcellbase.h"
#include "grid/gridcolumn.h"

void DeleteGridCells(CGridDisposer::Rows& rows) {
    for (auto& row : rows) {
        for (CGridCellBase* cell : row) {
            if (cell != nullptr) {
                delete reinterpret_cast<CellValue*>(cell->GetData());
                delete cell;
            }
        }
    }
    rows.clear();
}

CGridDisposer& CGridDisposer::Instance() {
    static CGridDisposer disposer;
    return disposer;
}

// The texts and value records freed here were allocated by the UI thread:
// the process merges freed blocks at once (kMergeFreedBlocksAtOnce), so the
// merging is done here, not left to the UI thread's next allocation.
CGridDisposer::CGridDisposer() : m_thread([this] { run(); }) {}

CGridDisposer::~CGridDisposer() {
    {
        const std::lock_guard lock(m_mutex);
        m_stopping = true;
    }
    m_work.notify_all();
    m_thread.join();
}

void CGridDisposer::Dispose(Rows rows) {
    {
        const std::lock_guard lock(m_mutex);
        m_queue.push_back(std::move(rows));
    }
    m_work.notify_one();
}

void CGridDisposer::Drain() {
    std::unique_lock lock(m_mutex);
    m_idle.wait(lock, [this] { return m_queue.empty() && !m_busy; });
}

void CGridDisposer::run() {
    std::unique_lock lock(m_mutex);
    for (;;) {
        m_work.wait(lock, [this] { return m_stopping || !m_queue.empty(); });
        if (m_queue.empty()) {
            return;
        }
        Rows rows = std::move(m_queue.front());
        m_queue.pop_front();
        m_busy = true;
        lock.unlock();
        DeleteGridCells(rows);
        lock.lock();
        m_busy = false;
        m_idle.notify_all();
    }
}
