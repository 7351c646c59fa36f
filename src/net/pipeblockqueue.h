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
    static constexpr size_t kQueuedBlocks = 32;
    // Blocks that wait before a push wakes the reader, unless the writer
    // asks for it at once: a long stream wakes it a few hundred times, not
    // once per block.
    static constexpr size_t kBlocksPerWake = 3;

    enum class Pushed {
        kFailed,      // the reader went away, or the abort flag was raised
        kQueued,      // the reader was woken already, or need not be now
        kWakeReader,  // the reader sleeps: wake it
    };

    // Queues a block, waiting while kQueuedBlocks wait already; `abort`
    // (null for none) is looked at while waiting. With `wakeNow` false the
    // reader is woken only once kBlocksPerWake blocks wait.
    Pushed Push(QByteArray block, const std::atomic<bool>* abort, bool wakeNow);
    // Whether blocks wait for a reader that has not been woken; the caller
    // then wakes it.
    bool TakeWake();
    // Moves up to `most` waiting blocks, in order, to the end of `blocks`;
    // true when more wait, which the reader then takes without being woken.
    // Once it took them all, a push wakes it again.
    bool Take(std::vector<QByteArray>& blocks, size_t most);

    // A block the reader has done with, kept for the writer unless enough wait.
    void Recycle(QByteArray block);
    // A block to fill, empty while none has come back.
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
