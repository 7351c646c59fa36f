#pragma once

// The single entry for requests that must not block the UI thread. It keeps
// one session per server account (scheme, host, port and user name), hands
// grid and tree requests to the requester's worker, sends POSTs, cancels
// requests on demand and drops a server's session at logout. The limit of
// 4 open requests per server holds for the whole process in the HTTP
// adapter. Every operation may be called from any thread.

#include "net/netsession.h"
#include "net/netuibridge.h"

#include <QString>

#include <atomic>
#include <map>
#include <memory>
#include <mutex>
#include <vector>

class CNetDispatcher {
public:
    static constexpr quint16 kAllRequesters = 0xFFFF;
    // The cookies that carry a server session.
    static const std::vector<QString> kSessionCookies;

    CNetDispatcher() = default;
    // Drops every session, stopping their workers.
    ~CNetDispatcher();
    CNetDispatcher(const CNetDispatcher&) = delete;
    CNetDispatcher& operator=(const CNetDispatcher&) = delete;

    // With POST data: the session's synchronous POST. Otherwise the kind's
    // request is handed to the requester's worker (a requester without id
    // gets one) and this returns at once: the download probes the server
    // first, and a probe answered 401 asks the server connection to log out
    // through the bridge and sends no request. False for a URL that does not
    // split, a worker that could not start or a failed POST.
    bool SendRequest(NetRequestKind kind, quint16& requesterId, const QString& url,
                     const QString& user, const QString& password, const QString& postData);
    // Asks the worker of a requester to cancel its download; 0xFFFF asks
    // every worker of every session. True when a worker was found.
    bool CancelRequest(quint16 requesterId);
    // Whether a request of the requester waits to start or is still being
    // downloaded (for a moment after its end, too).
    bool IsRequestRunning(quint16 requesterId) const;
    // Drops the session of a server account, then purges the host's session cookies.
    void DropSession(const QString& url, const QString& user);
    // Drops every session and waits (bounded) for their workers to stop: at
    // exit, before what the workers call goes away.
    void DropAllSessions();
    // Deletes the session cookies of a host (exact match; empty: every host).
    int PurgeSessionCookies(const QString& host);

    // The status of the latest probe, 0 at start and while a request
    // handed over waits for its probe's answer.
    int LastHttpStatus() const { return m_lastHttpStatus->load(); }
    // Where the workers' calls to the windows go.
    CNetUiBridge& UiBridge() { return m_bridge; }
    // The session of a server account, for tests and diagnostics.
    std::shared_ptr<CNetSession> Session(const CNetServerKey& server) const;

private:
    std::shared_ptr<CNetSession> sessionFor(const CNetServerKey& server, const QString& password);

    CNetUiBridge m_bridge;
    // Shared with the workers, which may outlive the dispatcher.
    const std::shared_ptr<std::atomic<int>> m_lastHttpStatus =
        std::make_shared<std::atomic<int>>(0);
    mutable std::mutex m_mutex;
    quint16 m_nextSessionBase = 0;
    std::map<QString, std::shared_ptr<CNetSession>> m_sessions;
};
