#include "ui/uibridge.h"

#include "framework/klog.h"

#include <QThread>

#include <condition_variable>

QString UiMessageName(UiMessage message) {
    return kFormat(u"WM_USER+0x%03X", static_cast<int>(message) - uimessage_detail::kUserBase);
}

struct CUiBridge::PendingSend {
    enum class State { Queued, Running, Done, Abandoned };

    std::mutex mutex;
    std::condition_variable changed;
    State state = State::Queued;
    bool done = false;
    qintptr result = 0;
};

CUiBridge::CUiBridge() = default;

CUiBridge::~CUiBridge() {
    BeginExit();
}

void CUiBridge::SetHandler(UiMessage message, Handler handler) {
    m_handlers[message] = std::move(handler);
}

void CUiBridge::RemoveHandler(UiMessage message) {
    m_handlers.erase(message);
}

bool CUiBridge::onUiThread() const {
    return QThread::currentThread() == thread();
}

bool CUiBridge::dispatch(UiMessage message, quintptr wParam, quintptr lParam, qintptr& result) {
    const auto handler = m_handlers.find(message);
    if (handler == m_handlers.end()) {
        kWarningLog(u"CUiBridge: no window handles %s.\n", UiMessageName(message));
        return false;
    }
    result = handler->second(wParam, lParam);
    return true;
}

bool CUiBridge::Send(UiMessage message, quintptr wParam, quintptr lParam, qintptr* result) {
    return run(
        UiMessageName(message),
        [this, message, wParam, lParam](qintptr& answer) {
            return dispatch(message, wParam, lParam, answer);
        },
        result);
}

bool CUiBridge::Call(const std::function<qintptr()>& work, qintptr* result) {
    return run(
        QStringLiteral("UI call"),
        [&work](qintptr& answer) {
            answer = work();
            return true;
        },
        result);
}

bool CUiBridge::run(const QString& what, const Work& work, qintptr* result) {
    if (m_exiting.load()) {
        kDebugLog(u"CUiBridge: %s refused, the program is closing.\n", what);
        return false;
    }
    if (!onUiThread()) {
        const bool done = runAcrossThreads(work, result);
        if (!done && m_exiting.load()) {
            kDebugLog(u"CUiBridge: %s refused, the program is closing.\n", what);
        }
        return done;
    }
    qintptr answer = 0;
    if (!work(answer)) {
        return false;
    }
    if (result != nullptr) {
        *result = answer;
    }
    return true;
}

bool CUiBridge::runAcrossThreads(const Work& work, qintptr* result) {
    auto pending = std::make_shared<PendingSend>();
    {
        const std::lock_guard lock(m_pendingMutex);
        if (m_exiting.load()) {
            return false;
        }
        m_pending.insert(pending);
    }
    // The work is referenced, not copied: the sender waits below until it
    // has run or has been abandoned, so it outlives every use.
    m_queuedCalls.Queue([pending, &work] {
        {
            const std::lock_guard lock(pending->mutex);
            if (pending->state == PendingSend::State::Abandoned) {
                return;
            }
            pending->state = PendingSend::State::Running;
        }
        qintptr answer = 0;
        const bool done = work(answer);
        {
            const std::lock_guard lock(pending->mutex);
            pending->done = done;
            pending->result = answer;
            pending->state = PendingSend::State::Done;
        }
        pending->changed.notify_all();
    });

    bool done = false;
    {
        std::unique_lock lock(pending->mutex);
        pending->changed.wait(lock, [&pending] {
            return pending->state == PendingSend::State::Done ||
                   pending->state == PendingSend::State::Abandoned;
        });
        done = pending->state == PendingSend::State::Done && pending->done;
        if (done && result != nullptr) {
            *result = pending->result;
        }
    }
    const std::lock_guard lock(m_pendingMutex);
    m_pending.erase(pending);
    return done;
}

bool CUiBridge::Post(UiMessage message, quintptr wParam, quintptr lParam) {
    if (m_exiting.load()) {
        kDebugLog(u"CUiBridge: post of %s refused, the program is closing.\n",
                  UiMessageName(message));
        return false;
    }
    m_queuedCalls.Queue([this, message, wParam, lParam] {
        if (m_exiting.load()) {
            return;
        }
        qintptr ignored = 0;
        dispatch(message, wParam, lParam, ignored);
    });
    return true;
}

void CUiBridge::BeginExit() {
    const std::lock_guard lock(m_pendingMutex);
    m_exiting.store(true);
    // A call already running on the UI thread finishes normally: its sender's
    // record must stay valid until then. Calls that have not begun are abandoned.
    for (const auto& pending : m_pending) {
        {
            const std::lock_guard pendingLock(pending->mutex);
            if (pending->state == PendingSend::State::Queued) {
                pending->state = PendingSend::State::Abandoned;
            }
        }
        pending->changed.notify_all();
    }
}
