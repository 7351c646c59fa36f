#include "net/netdispatcher.h"

#include "framework/klog.h"
#include "platform/httpshare.h"

namespace {

constexpr quint16 kSessionIdSpan = 100;

}  // namespace

const std::vector<QString> CNetDispatcher::kSessionCookies = {
    QStringLiteral("KID"), QStringLiteral("RADIUS"), QStringLiteral("useFallback"),
    QStringLiteral("VelnixSession")};

CNetDispatcher::~CNetDispatcher() {
    DropAllSessions();
}

void CNetDispatcher::DropAllSessions() {
    std::map<QString, std::shared_ptr<CNetSession>> sessions;
    {
        const std::lock_guard lock(m_mutex);
        sessions.swap(m_sessions);
    }
    // Destroyed here, outside the lock, stopping their workers.
}

bool CNetDispatcher::SendRequest(NetRequestKind kind, quint16& requesterId, const QString& url,
                                 const QString& user, const QString& password,
                                 const QString& postData) {
    const HttpUrl target(url);
    if (!target.IsValid()) {
        kDebugLog(u"Invalid URL: %s", url);
        return false;
    }
    const HttpUrlParts& parts = target.Parts();
    const CNetServerKey server = CNetServerKey::FromParts(parts, user);
    const std::shared_ptr<CNetSession> session = sessionFor(server, password);
    if (!postData.isEmpty()) {
        return session->Post(target, postData);
    }
    // The download's probe sets the status; until it answers, nothing refused this request.
    m_lastHttpStatus->store(0);
    return session->StartRequest(kind, requesterId, parts.objectPath, parts.service);
}

std::shared_ptr<CNetSession> CNetDispatcher::sessionFor(const CNetServerKey& server,
                                                        const QString& password) {
    const std::lock_guard lock(m_mutex);
    std::shared_ptr<CNetSession>& session = m_sessions[server.ToString()];
    if (!session) {
        session = std::make_shared<CNetSession>(m_nextSessionBase, server, password, m_bridge,
                                                m_lastHttpStatus);
        m_nextSessionBase += kSessionIdSpan;
    }
    return session;
}

std::shared_ptr<CNetSession> CNetDispatcher::Session(const CNetServerKey& server) const {
    const std::lock_guard lock(m_mutex);
    const auto found = m_sessions.find(server.ToString());
    return found != m_sessions.end() ? found->second : nullptr;
}

bool CNetDispatcher::IsRequestRunning(quint16 requesterId) const {
    const std::lock_guard lock(m_mutex);
    for (const auto& [key, session] : m_sessions) {
        if (const std::shared_ptr<CNetConnection> worker = session->Worker(requesterId)) {
            return worker->IsBusy();
        }
    }
    return false;
}

bool CNetDispatcher::CancelRequest(quint16 requesterId) {
    const std::lock_guard lock(m_mutex);
    for (const auto& [key, session] : m_sessions) {
        if (session->CancelRequest(requesterId)) {
            return true;
        }
    }
    return false;
}

void CNetDispatcher::DropSession(const QString& url, const QString& user) {
    const std::optional<CNetServerKey> server = CNetServerKey::FromUrl(url, user);
    if (!server) {
        kDebugLog(u"Invalid URL: %s", url);
        return;
    }
    std::shared_ptr<CNetSession> dropped;
    {
        const std::lock_guard lock(m_mutex);
        const auto found = m_sessions.find(server->ToString());
        if (found != m_sessions.end()) {
            dropped = std::move(found->second);
            m_sessions.erase(found);
        }
    }
    dropped.reset();  // stops its workers, outside the lock
    PurgeSessionCookies(server->host);
}

int CNetDispatcher::PurgeSessionCookies(const QString& host) {
    return HttpDeleteCookies(host, kSessionCookies);
}
