#include "net/pipeblocksender.h"

#include <condition_variable>
#include <deque>
#include <mutex>

namespace {

// How often a producer waiting on a full queue looks at its abort flag.
constexpr std::chrono::milliseconds kAbortPoll{100};

}  // namespace

struct CPipeBlockSender::State {
    CNamedPipe pipe;  // used by the sending thread alone once it runs
    std::mutex mutex;
    std::condition_variable changed;
    std::deque<QByteArray> queue;
    bool closing = false;
    std::atomic<bool> failed{false};

    // Sends the queued blocks until the owner closes or a block fails.
    void Run();
};

void CPipeBlockSender::State::Run() {
    for (;;) {
        QByteArray block;
        {
            std::unique_lock lock(mutex);
            // The owner closes at the latest when it is destroyed.
            changed.wait(lock, [this] { return !queue.empty() || closing; });
            if (queue.empty()) {
                break;
            }
            block = std::move(queue.front());
            queue.pop_front();
        }
        changed.notify_all();
        if (pipe.Write(block.constData(), static_cast<int>(block.size())) != block.size()) {
            failed = true;
            break;
        }
    }
    pipe.Close();
    const std::lock_guard lock(mutex);
    queue.clear();
    changed.notify_all();
}

CPipeBlockSender::~CPipeBlockSender() {
    Close();
}

bool CPipeBlockSender::Open(const QString& name) {
    Close();
    auto state = std::make_shared<State>();
    if (!state->pipe.Open(name)) {
        return false;
    }
    state->pipe.SetAbortFlag(m_abort);
    m_clientEnd = state->pipe.TakeClientEnd();
    if (!m_thread.Start("qvx-pipe", [state] { state->Run(); })) {
        m_clientEnd.Close();
        return false;
    }
    m_state = std::move(state);
    return true;
}

bool CPipeBlockSender::IsConnected() const {
    return m_state && !m_state->failed;
}

bool CPipeBlockSender::Send(QByteArray block) {
    return enqueue(std::move(block), 1);
}

bool CPipeBlockSender::Queue(QByteArray block) {
    return enqueue(std::move(block), kBlocksPerWake);
}

bool CPipeBlockSender::enqueue(QByteArray block, size_t wakeAt) {
    if (!IsConnected()) {
        return false;
    }
    std::unique_lock lock(m_state->mutex);
    while (m_state->queue.size() >= kQueuedBlocks && !m_state->failed) {
        if (m_abort != nullptr && m_abort->load()) {
            m_state->failed = true;  // the stream is given up
            return false;
        }
        m_state->changed.wait_for(lock, kAbortPoll);
    }
    if (m_state->failed) {
        return false;
    }
    m_state->queue.push_back(std::move(block));
    const bool wake = m_state->queue.size() >= wakeAt;
    lock.unlock();
    if (wake) {
        m_state->changed.notify_all();
    }
    return true;
}

void CPipeBlockSender::Close() {
    if (!m_state) {
        return;
    }
    {
        const std::lock_guard lock(m_state->mutex);
        m_state->closing = true;
    }
    m_state->changed.notify_all();
    m_thread.Join();
    m_state.reset();
    m_clientEnd.Close();
}
