#pragma once

// A thread that its owner starts, and joins within a bound. The body must
// keep everything it uses alive itself (shared state), because a thread
// that does not end within the bound is abandoned: detached, logged, and
// left to end on its own while its owner goes on.

#include <chrono>
#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>

class COwnedThread {
public:
    COwnedThread() = default;
    // Joins with the default patience.
    ~COwnedThread();
    COwnedThread(const COwnedThread&) = delete;
    COwnedThread& operator=(const COwnedThread&) = delete;

    static constexpr std::chrono::seconds kDefaultPatience{10};

    // Runs the body on a new thread named `name` (at most 15 characters, as
    // debuggers and profilers show it) at a lowered priority; false when the
    // thread cannot be created.
    bool Start(const char* name, std::function<void()> body);
    // Waits up to `patience` for the body to end and joins the thread; true
    // once there is no thread. False when it is still running: it is abandoned.
    bool Join(std::chrono::milliseconds patience = kDefaultPatience);
    bool HasEnded() const;
    bool IsRunning() const { return m_thread.joinable() && !HasEnded(); }

private:
    struct Done {
        mutable std::mutex mutex;
        std::condition_variable changed;
        bool ended = false;
    };

    std::shared_ptr<Done> m_done;
    std::thread m_thread;
};

// The id of the calling thread as the log lines show it.
unsigned CurrentThreadId();
