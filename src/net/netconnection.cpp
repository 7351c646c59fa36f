#include "net/netconnection.h"

#include "framework/klog.h"

#include <condition_variable>
#include <mutex>

namespace {

// The worker also wakes this often to notice a download that ended.
constexpr std::chrono::milliseconds kIdleRound{100};

}  // namespace

// Shared between the worker's thread and the threads that hand it requests;
// kept alive by the worker's thread, which may outlive an abandoning owner.
struct CNetConnection::State {
    quint16 requesterId = 0;
    CNetServerKey server;
    QString password;
    CNetUiBridge bridge;
    std::shared_ptr<std::atomic<int>> lastHttpStatus;

    mutable std::mutex mutex;
    std::condition_variable wake;
    bool stopRequested = false;
    bool requestPending = false;
    bool cancelRequested = false;
    NetRequestKind kind = kNetRequestNone;
    HttpUrl url;
    bool busy = false;

    void Run();
    bool startDownload(std::unique_ptr<CNetThread>& download, const CNetDownload& request);
};

CNetConnection::CNetConnection(quint16 requesterId, CNetServerKey server, QString password,
                               CNetUiBridge bridge,
                               std::shared_ptr<std::atomic<int>> lastHttpStatus)
    : m_state(std::make_shared<State>()) {
    m_state->requesterId = requesterId;
    m_state->server = std::move(server);
    m_state->password = std::move(password);
    m_state->bridge = std::move(bridge);
    m_state->lastHttpStatus = std::move(lastHttpStatus);
}

CNetConnection::~CNetConnection() {
    Stop();
}

bool CNetConnection::Start() {
    return m_thread.Start("qvx-request", [state = m_state] { state->Run(); });
}

void CNetConnection::SetRequest(NetRequestKind kind, HttpUrl url) {
    const std::lock_guard lock(m_state->mutex);
    m_state->kind = kind;
    m_state->url = std::move(url);
    m_state->requestPending = true;
    m_state->busy = true;
    m_state->wake.notify_all();
}

void CNetConnection::RequestCancel() {
    const std::lock_guard lock(m_state->mutex);
    m_state->cancelRequested = true;
    m_state->wake.notify_all();
}

void CNetConnection::Stop() {
    {
        const std::lock_guard lock(m_state->mutex);
        m_state->stopRequested = true;
        m_state->cancelRequested = true;
        m_state->wake.notify_all();
    }
    // The worker waits for its download within the same bound.
    m_thread.Join(2 * COwnedThread::kDefaultPatience);
}

quint16 CNetConnection::RequesterId() const {
    return m_state->requesterId;
}

NetRequestKind CNetConnection::Kind() const {
    const std::lock_guard lock(m_state->mutex);
    return m_state->kind;
}

bool CNetConnection::IsBusy() const {
    const std::lock_guard lock(m_state->mutex);
    return m_state->requestPending || m_state->busy;
}

void CNetConnection::State::Run() {
    std::unique_ptr<CNetThread> download;
    std::unique_lock lock(mutex);
    for (;;) {
        wake.wait_for(lock, kIdleRound,
                      [this] { return stopRequested || requestPending || cancelRequested; });
        busy = requestPending || (download && download->IsRunning());
        if (stopRequested) {
            break;
        }
        if (!requestPending && !cancelRequested) {
            continue;
        }
        cancelRequested = false;
        const bool pending = std::exchange(requestPending, false);
        const CNetDownload request{kind, requesterId, url, server, password};
        lock.unlock();
        if (download) {
            download->Cancel();
            download.reset();
        }
        const bool started = !pending || startDownload(download, request);
        lock.lock();
        if (!started) {
            busy = false;
            break;
        }
    }
    lock.unlock();
    download.reset();  // cancels a download still running
}

bool CNetConnection::State::startDownload(std::unique_ptr<CNetThread>& download,
                                          const CNetDownload& request) {
    const HttpService service = request.url.Parts().service;
    if (service != kHttpServiceHttp && service != kHttpServiceHttps && service != kHttpServiceFtp) {
        kWarningLog(u"CNetConnection: unknown service type %d", static_cast<int>(service));
        return false;
    }
    download = std::make_unique<CNetThread>(request, bridge, lastHttpStatus);
    if (download->Start()) {
        return true;
    }
    download.reset();
    bridge.PostErrorBox(kFormat(u"CNetConnection::InitInstance()\nErrorMessage:\n\"%s\"",
                                QStringLiteral("The download thread could not be started.")),
                        kFormat(u"Quillet Error (Thread 0x%X)", CurrentThreadId()));
    return false;
}
