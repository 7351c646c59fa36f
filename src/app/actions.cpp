#include "app/actions.h"

#include "app/actionsthread.h"
#include "app/actionwindows.h"
#include "app/theapp.h"
#include "framework/klog.h"
#include "server/mysystem.h"

#include <QEventLoop>
#include <QTimer>

#include <algorithm>
#include <set>

namespace {

// How long an abort waits for the running action before giving up on it,
// and how long the shut-down waits for the worker.
constexpr std::chrono::milliseconds kAbortWait{10000};
constexpr std::chrono::milliseconds kStopWait{10000};
// An abandoned worker gets this much more at shut-down.
constexpr std::chrono::milliseconds kAbandonedWait{1000};

// The workers that aborts gave up on, of every queue: their later window
// calls are refused wherever they come from.
std::mutex& abandonedMutex() {
    static std::mutex mutex;
    return mutex;
}

std::set<Qt::HANDLE>& abandonedThreads() {
    static std::set<Qt::HANDLE> threads;
    return threads;
}

bool isAbandoned(Qt::HANDLE thread) {
    const std::lock_guard lock(abandonedMutex());
    return abandonedThreads().count(thread) != 0;
}

// Handles the UI thread's events for about the given time.
void handleEventsFor(std::chrono::milliseconds duration) {
    QEventLoop loop;
    QTimer::singleShot(duration, &loop, &QEventLoop::quit);
    loop.exec();
}

}  // namespace

CActions::CActions(CTheApp& app, Runner run) : m_app(app), m_run(std::move(run)) {
    startThread();
}

CActions::~CActions() {
    Stop();
    Clear();
    for (auto& abandoned : m_abandoned) {
        if (!abandoned->Wait(kAbandonedWait, false)) {
            // It still runs an action: leave it to the process's end rather
            // than destroy a running thread.
            kWarningLog(u"CActions: an abandoned action worker still runs at exit.\n");
            abandoned->Detach();
            static_cast<void>(abandoned.release());
        }
    }
}

void CActions::startThread() {
    {
        const std::lock_guard lock(m_mutex);
        m_stopping = false;
    }
    auto worker = std::make_unique<CActionsThread>(*this);
    if (!worker->Start()) {
        // Actions are still queued; nothing runs them.
        return;
    }
    m_worker = std::move(worker);
}

int CActions::AddAction(const CActionContext& context, quint64* ticket) {
    auto record = std::make_unique<CActionRecord>();
    record->command = context.command;
    record->itemId = context.itemId;
    record->window = context.window;
    record->selected = context.selected;
    record->target = context.target;
    record->extra = context.extra;
    if (context.list != nullptr) {
        record->list.Merge(context.list);
    }
    record->name = context.name;
    record->hasResult = context.result != nullptr;
    record->result = record->hasResult ? *context.result : 0;
    {
        const std::lock_guard lock(m_mutex);
        record->ticket = ++m_lastTicket;
        if (ticket != nullptr) {
            *ticket = record->ticket;
        }
        m_queue.push_back(std::move(record));
    }
    m_changed.notify_all();
    return 1;
}

std::unique_ptr<CActionRecord> CActions::PopAction() {
    const std::lock_guard lock(m_mutex);
    if (m_queue.empty()) {
        return nullptr;
    }
    auto record = std::move(m_queue.front());
    m_queue.pop_front();
    return record;
}

void CActions::Clear() {
    {
        const std::lock_guard lock(m_mutex);
        m_queue.clear();
        // A dropped action never runs: whoever waits for it stops waiting.
        m_doneThrough = m_lastTicket;
    }
    m_changed.notify_all();
}

int CActions::QueuedCount() const {
    const std::lock_guard lock(m_mutex);
    return static_cast<int>(m_queue.size());
}

bool CActions::IsWorkerBusy() const {
    return m_worker != nullptr && m_worker->IsBusy();
}

bool CActions::IsAbandonedThread() {
    return isAbandoned(QThread::currentThreadId());
}

bool CActions::workerMustEnd(const CActionsThread& worker) const {
    // Once exit has begun no further action starts: its window calls would
    // be refused, and its other work would outlast the program's state.
    return m_stopping || worker.IsAbandoned() || m_app.IsAbortedThread() ||
           m_app.Bridge().IsExiting();
}

void CActions::RunWorker(CActionsThread& worker) {
    runActions(worker);
    // The thread's id may be given to a later thread: it is no longer the
    // abandoned worker's once that worker has left its loop.
    const std::lock_guard lock(abandonedMutex());
    worker.SetLeftLoop();
    abandonedThreads().erase(QThread::currentThreadId());
}

void CActions::runActions(CActionsThread& worker) {
    QString lastPromptAnswer;
    for (;;) {
        std::unique_ptr<CActionRecord> record;
        {
            std::unique_lock lock(m_mutex);
            m_changed.wait(lock, [&] { return workerMustEnd(worker) || !m_queue.empty(); });
            if (workerMustEnd(worker)) {
                return;
            }
            record = std::move(m_queue.front());
            m_queue.pop_front();
            m_runningTicket = record->ticket;
            worker.SetBusy(true);
        }
        record->extra += lastPromptAnswer;
        worker.HoldBusy();
        m_app.BeginBusy();

        CActionContext context{
            record->command,  record->itemId, record->window.data(),
            record->selected, record->target, record->extra,
            &record->list,    record->name,   record->hasResult ? &record->result : nullptr};
        m_run(context);
        kDebugLog(u"After CurlPath in ActionThread \n");
        // Only the next action receives a prompt's answer.
        lastPromptAnswer = record->command.startsWith(u"prompt:") ? context.extra : QString();

        if (worker.ReleaseBusy()) {
            m_app.EndBusy();
        }
        {
            const std::lock_guard lock(m_mutex);
            m_doneThrough = std::max(m_doneThrough, record->ticket);
            worker.SetBusy(false);
        }
        m_changed.notify_all();
    }
}

bool CActions::Pause(std::chrono::milliseconds duration) {
    if (m_app.Bridge().onUiThread()) {
        handleEventsFor(duration);
        return true;
    }
    std::unique_lock lock(m_mutex);
    const bool interrupted = m_changed.wait_for(lock, duration, [&] {
        return m_stopping || m_app.IsAbortedThread() || IsAbandonedThread();
    });
    return !interrupted;
}

bool CActions::WaitUntilDone(quint64 ticket) {
    for (;;) {
        {
            const std::lock_guard lock(m_mutex);
            if (m_doneThrough >= ticket) {
                return true;
            }
        }
        // A worker that has ended runs nothing more: what it left queued
        // waits for the next one, not for this caller.
        if (m_worker == nullptr || m_worker->IsFinished()) {
            const std::lock_guard lock(m_mutex);
            return m_doneThrough >= ticket;
        }
        handleEventsFor(std::chrono::milliseconds(10));
    }
}

void CActions::Abort() {
    if (m_aborting || !IsWorkerBusy()) {
        return;
    }
    kDebugLog(u"CActions::Abort()\n");
    m_aborting = true;
    ++m_abortCount;
    Clear();
    {
        const std::lock_guard lock(m_mutex);
        m_app.SetAbortThread(m_worker->ThreadId());
    }
    m_changed.notify_all();
    // The running job's cancel request first: ending the grid's load ends
    // the progress display that knows where to send it.
    if (m_app.Services().IsProgressActive()) {
        m_app.Services().CancelProgress();
    }
    stopRunningWork();
    if (m_app.CancelFlag() == 0) {
        m_app.SetCancelFlag(1);
    }
    if (m_worker->Wait(kAbortWait, m_app.Bridge().onUiThread())) {
        m_worker.reset();
    } else {
        kDebugLog(u"TerminateThread\n");
        abandonWorker();
    }
    // The fresh worker may be given the ended one's thread id: the abort's
    // mark goes first, or the fresh worker would take itself for the
    // aborted one and end before it runs anything.
    m_app.SetAbortThread(nullptr);
    // Actions queued during the wait stay for the fresh worker.
    startThread();
    m_app.SetCancelFlag(0);
    m_aborting = false;
}

void CActions::stopRunningWork() {
    CActionWindows& windows = m_app.ActionWindows();
    windows.GridEndLoad();
    CMyTree& tree = m_app.Tree();
    if (auto* system = dynamic_cast<CMySystem*>(tree.GetSystem(tree.GetSelectedItem()))) {
        system->GetServerProcesses().CancelAll();
    }
    if (windows.IsBrowserBusy()) {
        windows.StopBrowser();
    }
}

void CActions::abandonWorker() {
    CActionsThread& worker = *m_worker;
    worker.Abandon();
    {
        const std::lock_guard lock(abandonedMutex());
        if (!worker.HasLeftLoop()) {
            abandonedThreads().insert(worker.ThreadId());
        }
    }
    {
        const std::lock_guard lock(m_mutex);
        m_doneThrough = std::max(m_doneThrough, m_runningTicket);
    }
    m_changed.notify_all();
    if (worker.ReleaseBusy()) {
        m_app.EndBusy();
    }
    m_abandoned.push_back(std::move(m_worker));
}

void CActions::Stop() {
    if (m_worker == nullptr) {
        return;
    }
    {
        const std::lock_guard lock(m_mutex);
        m_stopping = true;
    }
    m_changed.notify_all();
    if (m_worker->Wait(kStopWait, m_app.Bridge().onUiThread())) {
        m_worker.reset();
    } else {
        kWarningLog(u"CActions: the action worker did not stop in time; abandoned.\n");
        abandonWorker();
    }
}
