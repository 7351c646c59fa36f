#pragma once

// Blocks handed from the writer of a pipe to its reader by ownership. Both
// ends live in one process, so the bytes stay where the writer put them:
// the pipe's messages only wake the reader, and blocks the reader is done
// with go back to the writer to be filled again, so a long stream neither
// copies its bytes nor keeps asking the system for fresh memory. At most
// kQueuedBlocks wait for the reader; beyond that the writer waits.

#include <QByteArray>

#include <atomic>
#include <condition_variable>
#include <deque>
#include <mutex>
#include <vector>

class CPipeBlockQueue {
public:
    static constexpr size_t kQueuedBlocks = 8;

    enum class Pushed {
        kFailed,      // the reader went away, or the abort flag was raised
        kQueued,      // the reader was woken already and takes this block too
        kWakeReader,  // the reader sleeps: wake it
    };

    // Queues a block, waiting while kQueuedBlocks wait already; `abort`
    // (null for none) is looked at while waiting.
    Pushed Push(QByteArray block, const std::atomic<bool>* abort);
    // Moves every waiting block, in order, to the end of `blocks`; the next
    // Push wakes the reader again.
    void TakeAll(std::vector<QByteArray>& blocks);

    // A block the reader has done with, kept for the writer unless enough wait.
    void Recycle(QByteArray block);
    // A block to fill, empty when none came back yet.
    QByteArray TakeSpare();

    // The reader went away: blocks still waiting are dropped and every Push fails.
    void CloseReader();

private:
    std::mutex m_mutex;
    std::condition_variable m_room;
    std::deque<QByteArray> m_blocks;
    std::vector<QByteArray> m_spare;
    bool m_readerWoken = false;
    bool m_readerClosed = false;
};
