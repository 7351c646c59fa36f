#pragma once

// The request worker of one requester in one session. It waits for
// requests; a new request or a cancel first ends the download still running
// and waits for its thread, so a requester's new request replaces its
// previous one and only one download per requester runs at a time. Its
// session owns it and stops it; it never deletes itself.

#include "net/netthread.h"
#include "net/ownedthread.h"

#include <atomic>
#include <memory>

class CNetConnection {
public:
    // The downloads store their probes' statuses in `lastHttpStatus`.
    CNetConnection(quint16 requesterId, CNetServerKey server, QString password, CNetUiBridge bridge,
                   std::shared_ptr<std::atomic<int>> lastHttpStatus);
    // Stops the worker.
    ~CNetConnection();
    CNetConnection(const CNetConnection&) = delete;
    CNetConnection& operator=(const CNetConnection&) = delete;

    // Starts the worker's thread; false when it cannot be created.
    bool Start();
    // Hands over a request (any thread): the running download is cancelled
    // and this one started. The URL is the whole URL of the request; one of
    // no known service ends the worker.
    void SetRequest(NetRequestKind kind, HttpUrl url);
    // Cancels the running download (any thread).
    void RequestCancel();
    // Ends the worker: cancels its download and waits (bounded) for both threads.
    void Stop();

    quint16 RequesterId() const;
    // The kind of the requests it serves, kNetRequestNone until the first.
    NetRequestKind Kind() const;
    // Whether its loop has ended; such a worker takes no more requests.
    bool HasEnded() const { return m_thread.HasEnded(); }
    // Whether a request waits to start or its download (its probe included) runs.
    bool IsBusy() const;

private:
    struct State;

    std::shared_ptr<State> m_state;
    COwnedThread m_thread;
};
