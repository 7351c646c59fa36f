#pragma once

// The requests of one server account (scheme, host, port, user). It keeps
// one request worker per requester id, so that a requester's new request
// replaces its previous one (the worker's download probes the server first);
// it sends POSTs itself, synchronously. Every operation may be called from
// any thread.

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
    // Requester ids made here start above `sessionBase`. The downloads
    // store each probe's status in `lastHttpStatus`.
    CNetSession(quint16 sessionBase, CNetServerKey server, QString password, CNetUiBridge bridge,
                std::shared_ptr<std::atomic<int>> lastHttpStatus);
    // Stops every worker and waits (bounded) for each.
    ~CNetSession();
    CNetSession(const CNetSession&) = delete;
    CNetSession& operator=(const CNetSession&) = delete;

    // Hands a request to the requester's worker, whose download probes the
    // server first; false when no worker could be started.
    // A requester without id, or whose worker serves the other kind, gets a new id.
    bool StartRequest(NetRequestKind kind, quint16& requesterId, const QString& objectPath,
                      HttpService service);
    // Sends a POST on the calling thread; true on a 2xx status. Without POST
    // data a long query, or one that cancels a server request, becomes the body.
    bool Post(const HttpUrl& url, const QString& postData);
    // Asks the worker of the id to cancel (0xFFFF: every worker, answering
    // false so that every session is asked); false when there is no such worker.
    bool CancelRequest(quint16 requesterId);

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
    const std::shared_ptr<std::atomic<int>> m_lastHttpStatus;

    mutable std::mutex m_mutex;
    quint16 m_highestRequesterId;
    std::map<quint16, std::shared_ptr<CNetConnection>> m_workers;
};
