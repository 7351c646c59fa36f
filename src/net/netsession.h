#pragma once

// The requests of one server account (scheme, host, port, user). Before
// every asynchronous request it probes the server with "checkconnection=1";
// it keeps one request worker per requester id, so that a requester's new
// request replaces its previous one; it sends POSTs itself, synchronously.
// Every operation may be called from any thread.

#include "net/netconnection.h"
#include "net/netserverkey.h"
#include "net/netuibridge.h"

#include <QString>

#include <atomic>
#include <map>
#include <memory>
#include <mutex>

class CNetSession {
public:
    // Requester ids made here start above `sessionBase`.
    CNetSession(quint16 sessionBase, CNetServerKey server, QString password, CNetUiBridge bridge);
    // Stops every worker and waits (bounded) for each.
    ~CNetSession();
    CNetSession(const CNetSession&) = delete;
    CNetSession& operator=(const CNetSession&) = delete;

    // Probes the server of the URL; false for a URL that did not split, an
    // unknown service, or a probe answered 401.
    bool Connect(const HttpUrl& url);
    // Sends the probe for an object path; returns its HTTP status (0 when
    // the server could not be reached) and keeps it as the last status.
    int CheckConnection(const QString& objectPath);
    // Hands a request to the requester's worker after a probe. A requester
    // without id, or whose worker serves the other kind, gets a new id.
    bool StartRequest(NetRequestKind kind, quint16& requesterId, const QString& objectPath,
                      HttpService service);
    // Sends a POST on the calling thread; true on a 2xx status. Without POST
    // data a long query, or one that cancels a server request, becomes the body.
    bool Post(const HttpUrl& url, const QString& postData);
    // Asks the worker of the id to cancel (0xFFFF: every worker, answering
    // false so that every session is asked); false when there is no such worker.
    bool CancelRequest(quint16 requesterId);

    int LastHttpStatus() const { return m_lastHttpStatus.load(); }
    const CNetServerKey& Server() const { return m_server; }
    // The worker of a requester id, for tests and diagnostics.
    std::shared_ptr<CNetConnection> Worker(quint16 requesterId) const;

private:
    std::shared_ptr<CNetConnection> workerFor(NetRequestKind kind, quint16& requesterId);
    std::shared_ptr<CNetConnection> createWorker(quint16 requesterId);
    quint16 newRequesterId() const;
    void forgetEndedWorkers();

    const CNetServerKey m_server;
    const QString m_password;
    const CNetUiBridge m_bridge;
    std::atomic<int> m_lastHttpStatus{0};

    mutable std::mutex m_mutex;
    quint16 m_highestRequesterId;
    std::map<quint16, std::shared_ptr<CNetConnection>> m_workers;
};
