#include "dialogs/translationworker.h"

#include "net/mywire.h"

#include <QEventLoop>
#include <QTimer>

namespace {
constexpr int kPollMs = 20;
}

CTranslationWorker::CTranslationWorker() = default;

CTranslationWorker::~CTranslationWorker() {
    Cancel();
    join();
}

void CTranslationWorker::join() {
    if (m_thread.joinable()) {
        m_thread.join();
    }
}

bool CTranslationWorker::Start(Job job) {
    if (m_running) {
        return false;
    }
    join();
    m_cancelled = false;
    m_running = true;
    m_thread = std::thread([this, job = std::move(job)] {
        {
            CMyWire wire;
            wire.SetStopCheck([this] { return m_cancelled.load(); });
            job(wire);
        }
        Post([this] {
            m_running = false;
            Q_EMIT Finished();
        });
    });
    return true;
}

void CTranslationWorker::RunAndWait(Job job, const std::function<bool()>& poll) {
    QEventLoop loop;
    const QMetaObject::Connection finished =
        connect(this, &CTranslationWorker::Finished, &loop, &QEventLoop::quit);
    QTimer poller;
    poller.setInterval(kPollMs);
    connect(&poller, &QTimer::timeout, [this, &poll] {
        if (poll && poll()) {
            Cancel();
        }
    });
    if (!Start(std::move(job))) {
        disconnect(finished);
        return;
    }
    poller.start();
    loop.exec();
    poller.stop();
    disconnect(finished);
    join();
}

void CTranslationWorker::Post(std::function<void()> call) {
    m_uiCalls.Queue(std::move(call));
}
