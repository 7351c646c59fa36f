#include "ui/threadcallqueue.h"

CThreadCallQueue::CThreadCallQueue(QObject* parent) : QObject(parent) {}

void CThreadCallQueue::Queue(std::function<void()> call) {
    // The wake-up is posted under the lock, which the owner's thread takes
    // to run the call: once the call has run, its caller no longer touches
    // this queue, and the owner may destroy it (a finished call is often
    // what lets it go). One wake-up per call: a call that opens a nested
    // event loop (a modal box) still lets the calls queued after it run
    // meanwhile.
    const std::lock_guard lock(m_mutex);
    m_calls.push_back(std::move(call));
    QMetaObject::invokeMethod(this, "runNext", Qt::QueuedConnection);
}

void CThreadCallQueue::runNext() {
    std::function<void()> call;
    {
        const std::lock_guard lock(m_mutex);
        if (m_calls.empty()) {
            return;
        }
        call = std::move(m_calls.front());
        m_calls.pop_front();
    }
    call();
}
