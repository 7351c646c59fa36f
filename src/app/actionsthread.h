#pragma once

// The action worker: a thread that takes queued actions off the head of its
// queue and runs them one at a time. It runs at a lowered priority (niced
// like the request threads: an idle-class thread would starve whenever the
// machine is busy). It ends when stopped, when it is the thread being
// aborted (after its running action), or when it was abandoned.

#include <QThread>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <thread>

class CActions;

class CActionsThread {
public:
    explicit CActionsThread(CActions& actions);
    // Joins the thread; it must have ended (see Wait).
    ~CActionsThread();
    CActionsThread(const CActionsThread&) = delete;
    CActionsThread& operator=(const CActionsThread&) = delete;

    // False when the thread could not be made.
    bool Start();
    // Waits until the thread has ended, at most `limit`; with
    // `handleEvents`, the calling (UI) thread handles its events meanwhile.
    // True when it has ended.
    bool Wait(std::chrono::milliseconds limit, bool handleEvents);
    bool IsFinished() const;
    // Lets a thread that may never end run on alone (abandoned at exit).
    void Detach();

    // Set while the worker runs an action.
    bool IsBusy() const { return m_busy.load(); }
    void SetBusy(bool busy) { m_busy.store(busy); }
    // The thread's id once it runs, null before.
    Qt::HANDLE ThreadId() const { return m_threadId.load(); }
    // An abort gave up waiting for it: it must take no further action.
    bool IsAbandoned() const { return m_abandoned.load(); }
    void Abandon() { m_abandoned.store(true); }
    // The busy count the running action holds: taken once, given back once,
    // by whichever comes first, the action's end or its abandonment.
    void HoldBusy() { m_holdsBusy.store(true); }
    bool ReleaseBusy() { return m_holdsBusy.exchange(false); }
    // Whether the worker has left its loop; both under the queue's lock of
    // the abandoned workers.
    bool HasLeftLoop() const { return m_leftLoop; }
    void SetLeftLoop() { m_leftLoop = true; }

private:
    void run();

    CActions& m_actions;
    std::thread m_thread;
    mutable std::mutex m_endMutex;
    std::condition_variable m_ended;
    bool m_finished = false;
    bool m_leftLoop = false;
    std::atomic<bool> m_busy{false};
    std::atomic<bool> m_abandoned{false};
    std::atomic<bool> m_holdsBusy{false};
    std::atomic<Qt::HANDLE> m_threadId{nullptr};
};
