#include "net/netsession.h"

#include "framework/klog.h"
#include "net/mywire.h"
#include "net/wireservices.h"
#include "platform/http.h"

namespace {

constexpr quint16 kAllRequesters = 0xFFFF;
const QString kCancelAction = QStringLiteral("Action=CancelRequest");

}  // namespace

CNetSession::CNetSession(quint16 sessionBase, CNetServerKey server, QString password,
                         CNetUiBridge bridge, std::shared_ptr<std::atomic<int>> lastHttpStatus)
    : m_server(std::move(server)),
      m_password(std::move(password)),
      m_bridge(std::move(bridge)),
      m_lastHttpStatus(std::move(lastHttpStatus)),
      m_highestRequesterId(sessionBase) {}

CNetSession::~CNetSession() {
    std::map<quint16, std::shared_ptr<CNetConnection>> workers;
    {
        const std::lock_guard lock(m_mutex);
        workers.swap(m_workers);
    }
    for (auto& [id, worker] : workers) {
        worker->Stop();
    }
}

bool CNetSession::StartRequest(NetRequestKind kind, quint16& requesterId, const QString& objectPath,
                               HttpService service) {
    const std::shared_ptr<CNetConnection> worker = workerFor(kind, requesterId);
    if (!worker) {
        return false;
    }
    worker->SetRequest(kind, m_server.Url(service, objectPath));
    return true;
}

std::shared_ptr<CNetConnection> CNetSession::workerFor(NetRequestKind kind, quint16& requesterId) {
    const std::lock_guard lock(m_mutex);
    forgetEndedWorkers();
    // A requester without id gets a worker of its own, never another's.
    if (requesterId == 0) {
        requesterId = newRequesterId();
    }
    const auto found = m_workers.find(requesterId);
    std::shared_ptr<CNetConnection> worker =
        found != m_workers.end() ? found->second : createWorker(requesterId);
    if (worker && worker->Kind() != kNetRequestNone && kind != kNetRequestNone &&
        worker->Kind() != kind) {
        requesterId = newRequesterId();
        worker = createWorker(requesterId);
    }
    return worker;
}

std::shared_ptr<CNetConnection> CNetSession::createWorker(quint16 requesterId) {
    auto worker = std::make_shared<CNetConnection>(requesterId, m_server, m_password, m_bridge,
                                                   m_lastHttpStatus);
    if (!worker->Start()) {
        return nullptr;
    }
    m_highestRequesterId = std::max(m_highestRequesterId, requesterId);
    m_workers[requesterId] = worker;
    return worker;
}

quint16 CNetSession::newRequesterId() const {
    quint16 id = m_highestRequesterId;
    do {
        ++id;
    } while (id == 0 || id == kAllRequesters || m_workers.contains(id));
    return id;
}

// A worker whose loop ended takes no more requests: its requester gets a
// fresh one under the same id.
void CNetSession::forgetEndedWorkers() {
    std::erase_if(m_workers, [](const auto& entry) { return entry.second->HasEnded(); });
}

bool CNetSession::CancelRequest(quint16 requesterId) {
    const std::lock_guard lock(m_mutex);
    if (requesterId == kAllRequesters) {
        for (auto& [id, worker] : m_workers) {
            worker->RequestCancel();
        }
        return false;
    }
    const auto found = m_workers.find(requesterId);
    if (found == m_workers.end()) {
        return false;
    }
    found->second->RequestCancel();
    return true;
}

std::shared_ptr<CNetConnection> CNetSession::Worker(quint16 requesterId) const {
    const std::lock_guard lock(m_mutex);
    const auto found = m_workers.find(requesterId);
    return found != m_workers.end() ? found->second : nullptr;
}

bool CNetSession::Post(const HttpUrl& url, const QString& postData) {
    const WireRequestShape shape = ShapeWireRequest(url, postData);
    const QString& body = shape.body;
    if (!body.contains(kCancelAction)) {
        WireServices().RecordUrlTrail(QStringLiteral("[PostData] ") + body);
    }
    if (!shape.url.IsValid()) {
        kDebugLog(u"Invalid URL: %s", shape.url.Text());
        return false;
    }
    CHttpRequest request;
    request.SetUrl(shape.url);
    request.SetMethod(HttpMethod::Post);
    request.SetBody(body.toUtf8());
    request.SetCredentials(m_server.user, m_password);
    request.SetUserAgent(NetUserAgent());
    for (;;) {
        if (!request.Send()) {
            kDebugLog(u"Wire: %s\n", request.ErrorText());
            return false;
        }
        const int status = request.StatusCode();
        kDebugLog(u"CNetSession::Post(): got HTTP-%u:\n%s\n", status, request.RawHeaders());
        if (status >= 200 && status <= 299) {
            request.Close();
            return true;
        }
        if (status != 407) {
            kDebugLog(u"Wire: %s\n", kFormat(u"HTTP-%u", status));
            request.Close();
            return false;
        }
        kDebugLog(u"CNetSession::Post(): flushing unread data...");
        request.Close();
        QString proxyUser;
        QString proxyPassword;
        if (!WireServices().AskProxyCredentials(request.Proxy(), proxyUser, proxyPassword)) {
            return false;
        }
        request.SetProxyCredentials(proxyUser, proxyPassword);
    }
}
