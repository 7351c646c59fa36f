#pragma once

// The action queue: a locked first-in, first-out list of actions that one
// worker thread (CActionsThread) takes off the head and runs one by one, so
// that actions that fetch, wait or sleep never block the windows. Any thread
// may add; the UI thread aborts and stops.
//
// Abort empties the queue, stops what the running action waits on (the
// grid's load, the current server's processes, the browser pane, the
// progress display) and waits for the worker, handling the UI thread's
// events so that a worker waiting on a window call can finish. A worker that
// does not end within about ten seconds is abandoned: its later window calls
// are refused, the busy count it held is given back, and a fresh worker
// takes the actions queued meanwhile.

#include "app/actioncontext.h"

#include <QPointer>
#include <QString>

#include <chrono>
#include <condition_variable>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <vector>

class CTheApp;
class CActionsThread;

// One queued action: owned copies of the context's values.
struct CActionRecord {
    QString command;
    quint32 itemId = 0;
    QPointer<QTreeWidget> window;
    QString selected;
    QString target;
    QString extra;
    KPROPS list{100, 10};
    QString name;
    bool hasResult = false;
    int result = 0;
    quint64 ticket = 0;
};

class CActions {
public:
    // Runs one action on the worker (the interpreter's CurlPath).
    using Runner = std::function<void(CActionContext&)>;

    CActions(CTheApp& app, Runner run);
    ~CActions();
    CActions(const CActions&) = delete;
    CActions& operator=(const CActions&) = delete;

    // Queues a copy of the action; 1. `ticket` receives its number.
    int AddAction(const CActionContext& context, quint64* ticket = nullptr);
    // Unlinks the head, or null.
    std::unique_ptr<CActionRecord> PopAction();
    // Deletes every queued action.
    void Clear();
    // UI thread. Nothing between two actions.
    void Abort();
    // Ends the worker after its running action, waiting a bounded time.
    void Stop();

    // Waits `duration`; false when it ended early because the calling
    // worker is stopped, aborted or abandoned. The UI thread's waits handle
    // its events.
    bool Pause(std::chrono::milliseconds duration);
    // UI thread: handles events until the worker has finished the action
    // with the ticket (or it was dropped); false when it never will run.
    bool WaitUntilDone(quint64 ticket);
    // Whether the calling thread is a worker an abort gave up on.
    static bool IsAbandonedThread();
    // Counts the aborts that stopped a running action.
    quint64 AbortCount() const { return m_abortCount.load(); }
    int QueuedCount() const;
    bool IsWorkerBusy() const;
    bool HasWorker() const { return m_worker != nullptr; }

    // The worker's loop; called by CActionsThread on its own thread.
    void RunWorker(CActionsThread& worker);

private:
    void runActions(CActionsThread& worker);
    void startThread();
    void stopRunningWork();
    void abandonWorker();
    bool workerMustEnd(const CActionsThread& worker) const;

    CTheApp& m_app;
    Runner m_run;
    mutable std::mutex m_mutex;
    std::condition_variable m_changed;
    std::deque<std::unique_ptr<CActionRecord>> m_queue;
    quint64 m_lastTicket = 0;
    quint64 m_doneThrough = 0;
    quint64 m_runningTicket = 0;
    bool m_stopping = false;
    std::atomic<quint64> m_abortCount{0};
    bool m_aborting = false;  // UI thread
    std::unique_ptr<CActionsThread> m_worker;
    std::vector<std::unique_ptr<CActionsThread>> m_abandoned;
};
