#include "app/actionsthread.h"

#include "app/actions.h"
#include "framework/klog.h"

#include <QCoreApplication>
#include <QDeadlineTimer>

#include <pthread.h>
#include <sys/resource.h>
#include <unistd.h>

#include <system_error>

namespace {

// As the request threads: the worker yields to the windows, mildly.
constexpr int kActionThreadNiceness = 5;
// How often a waiting UI thread handles its events.
constexpr std::chrono::milliseconds kEventSlice{5};

}  // namespace

CActionsThread::CActionsThread(CActions& actions) : m_actions(actions) {}

CActionsThread::~CActionsThread() {
    if (m_thread.joinable()) {
        m_thread.join();
    }
}

bool CActionsThread::Start() {
    try {
        m_thread = std::thread([this] { run(); });
    } catch (const std::system_error& error) {
        kWarningLog(u"CActionsThread: cannot start the action worker: %s\n",
                    QString::fromLocal8Bit(error.what()));
        return false;
    }
    return true;
}

void CActionsThread::run() {
    ::pthread_setname_np(::pthread_self(), "ActionsThread");
    ::setpriority(PRIO_PROCESS, static_cast<id_t>(::gettid()), kActionThreadNiceness);
    m_threadId.store(QThread::currentThreadId());
    m_actions.RunWorker(*this);
    kDebugLog(u"ActionsThread::ExitInstance\n");
    {
        const std::lock_guard lock(m_endMutex);
        m_finished = true;
    }
    m_ended.notify_all();
}

bool CActionsThread::IsFinished() const {
    const std::lock_guard lock(m_endMutex);
    return m_finished;
}

bool CActionsThread::Wait(std::chrono::milliseconds limit, bool handleEvents) {
    const QDeadlineTimer deadline(limit);
    std::unique_lock lock(m_endMutex);
    while (!m_finished) {
        if (deadline.hasExpired()) {
            return false;
        }
        const auto slice =
            handleEvents ? kEventSlice : std::chrono::milliseconds(deadline.remainingTime());
        m_ended.wait_for(lock, slice, [this] { return m_finished; });
        if (handleEvents && !m_finished) {
            lock.unlock();
            // A worker waiting on a window call is served.
            QCoreApplication::processEvents(QEventLoop::AllEvents);
            lock.lock();
        }
    }
    return true;
}

void CActionsThread::Detach() {
    if (m_thread.joinable()) {
        m_thread.detach();
    }
}
