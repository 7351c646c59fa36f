#include "grid/griddisposer.h"

#include "gridctrl/gridcellbase.h"
#include "grid/gridcolumn.h"

#include <malloc.h>

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

// The texts and value records freed here were allocated by the UI thread.
// Kept in the allocator's fast bins, millions of them would wait there until
// the UI thread's next large allocation merges them all at once: a stall of
// the better part of a second after a 100,000-row grid was emptied. Without
// fast bins each one is merged as it is freed, here on the worker.
CGridDisposer::CGridDisposer() : m_thread([this] { run(); }) {
    mallopt(M_MXFAST, 0);
}

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
