#include "net/pipeblockqueue.h"

#include <chrono>

namespace {

// How often a writer waiting on a full queue looks at its abort flag.
constexpr std::chrono::milliseconds kAbortPoll{100};

}  // namespace

CPipeBlockQueue::Pushed CPipeBlockQueue::Push(QByteArray block, const std::atomic<bool>* abort,
                                              bool wakeNow) {
    std::unique_lock lock(m_mutex);
    while (m_blocks.size() >= kQueuedBlocks && !m_readerClosed) {
        if (abort != nullptr && abort->load()) {
            return Pushed::kFailed;
        }
        m_room.wait_for(lock, kAbortPoll);
    }
    if (m_readerClosed) {
        return Pushed::kFailed;
    }
    m_blocks.push_back(std::move(block));
    if (m_readerWoken || (!wakeNow && m_blocks.size() < kBlocksPerWake)) {
        return Pushed::kQueued;
    }
    m_readerWoken = true;
    return Pushed::kWakeReader;
}

bool CPipeBlockQueue::TakeWake() {
    const std::lock_guard lock(m_mutex);
    if (m_readerWoken || m_blocks.empty()) {
        return false;
    }
    m_readerWoken = true;
    return true;
}

bool CPipeBlockQueue::Take(std::vector<QByteArray>& blocks, size_t most) {
    bool moreWait = false;
    {
        const std::lock_guard lock(m_mutex);
        for (size_t taken = 0; taken < most && !m_blocks.empty(); ++taken) {
            blocks.push_back(std::move(m_blocks.front()));
            m_blocks.pop_front();
        }
        // A reader that leaves blocks comes back for them unasked.
        moreWait = !m_blocks.empty();
        m_readerWoken = moreWait;
    }
    m_room.notify_all();
    return moreWait;
}

void CPipeBlockQueue::Recycle(QByteArray block) {
    const std::lock_guard lock(m_mutex);
    if (m_spare.size() < kQueuedBlocks && !m_readerClosed) {
        m_spare.push_back(std::move(block));
    }
}

QByteArray CPipeBlockQueue::TakeSpare() {
    const std::lock_guard lock(m_mutex);
    if (m_spare.empty()) {
        return {};
    }
    QByteArray block = std::move(m_spare.back());
    m_spare.pop_back();
    return block;
}

void CPipeBlockQueue::CloseReader() {
    {
        const std::lock_guard lock(m_mutex);
        m_readerClosed = true;
        m_blocks.clear();
        m_spare.clear();
    }
    m_room.notify_all();
}
