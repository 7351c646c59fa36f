#pragma once

// Deletes the cells of a large grid that was emptied, with their value
// records, on a worker thread of its own: freeing millions of cells and
// their texts would stall the UI thread for a noticeable time. The cells
// must no longer belong to any grid. The worker ends, after the cells still
// queued, when the program does.

#include <condition_variable>
#include <deque>
#include <mutex>
#include <thread>
#include <vector>

class CGridCellBase;

class CGridDisposer {
public:
    using Rows = std::vector<std::vector<CGridCellBase*>>;

    static CGridDisposer& Instance();
    ~CGridDisposer();

    // Takes the rows of cells (and the value record each cell's data
    // holds) for deletion on the worker.
    void Dispose(Rows rows);
    // Waits until every cell handed over so far is deleted.
    void Drain();

private:
    CGridDisposer();
    void run();

    std::mutex m_mutex;
    std::condition_variable m_work;
    std::condition_variable m_idle;
    std::deque<Rows> m_queue;
    bool m_busy = false;
    bool m_stopping = false;
    std::thread m_thread;
};

// Deletes the cells of the rows and their value records here.
void DeleteGridCells(CGridDisposer::Rows& rows);
