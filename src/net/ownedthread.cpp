#include "net/ownedthread.h"

#include "framework/klog.h"

#include <pthread.h>
#include <sys/resource.h>
#include <unistd.h>

#include <system_error>

namespace {

// Request threads yield to the UI thread, but only mildly: a thread that
// must wait for every other process of the machine would stall downloads.
constexpr int kRequestThreadNiceness = 5;

void lowerPriority() {
    ::setpriority(PRIO_PROCESS, static_cast<id_t>(::gettid()), kRequestThreadNiceness);
}

}  // namespace

unsigned CurrentThreadId() {
    return static_cast<unsigned>(::gettid());
}

COwnedThread::~COwnedThread() {
    Join();
}

bool COwnedThread::Start(const char* name, std::function<void()> body) {
    Join();
    auto done = std::make_shared<Done>();
    try {
        m_thread = std::thread([done, name, body = std::move(body)] {
            ::pthread_setname_np(::pthread_self(), name);
            lowerPriority();
            body();
            const std::lock_guard lock(done->mutex);
            done->ended = true;
            done->changed.notify_all();
        });
    } catch (const std::system_error& error) {
        kErrorLog(u"Cannot start a request thread: %s", QString::fromLocal8Bit(error.what()));
        return false;
    }
    m_done = std::move(done);
    return true;
}

bool COwnedThread::Join(std::chrono::milliseconds patience) {
    if (!m_thread.joinable()) {
        return true;
    }
    bool ended = false;
    {
        std::unique_lock lock(m_done->mutex);
        ended = m_done->changed.wait_for(lock, patience, [this] { return m_done->ended; });
    }
    if (ended) {
        m_thread.join();
        return true;
    }
    kErrorLog(u"A request thread did not end within %d ms: abandoned",
              static_cast<int>(patience.count()));
    m_thread.detach();
    return false;
}

bool COwnedThread::HasEnded() const {
    if (!m_done) {
        return false;
    }
    const std::lock_guard lock(m_done->mutex);
    return m_done->ended;
}
