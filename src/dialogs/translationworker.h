#pragma once

// Runs the language-pack editor's web fetches on a thread of its own, with a
// wire of its own, so that the options dialog keeps answering while a slow
// translation service replies. The job hands its results to the UI thread
// through Post; Cancel stops the job before its next fetch and abandons the
// transfer in flight. One job at a time; the destructor cancels and joins.

#include "ui/threadcallqueue.h"

#include <QObject>

#include <atomic>
#include <functional>
#include <thread>

class CMyWire;

class CTranslationWorker : public QObject {
    Q_OBJECT
public:
    using Job = std::function<void(CMyWire& wire)>;

    CTranslationWorker();
    ~CTranslationWorker() override;

    // Starts the job; false while another one runs.
    bool Start(Job job);
    // Runs the job and lets the UI thread handle its events until it ends;
    // `poll` is asked every few milliseconds and cancels the job when it
    // answers true.
    void RunAndWait(Job job, const std::function<bool()>& poll);
    void Cancel() { m_cancelled = true; }
    bool IsCancelled() const { return m_cancelled; }
    bool IsRunning() const { return m_running; }
    // From the job: runs the call on the UI thread, in order.
    void Post(std::function<void()> call);

Q_SIGNALS:
    void Finished();

private:
    void join();

    std::thread m_thread;
    std::atomic<bool> m_cancelled{false};
    std::atomic<bool> m_running{false};
    CThreadCallQueue m_uiCalls;
};
