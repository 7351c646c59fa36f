#pragma once

// The download thread of one asynchronous request: probes an HTTP server
// with "checkconnection=1", sends the request, examines the reply's status,
// reads the body in chunks and streams it to the UI thread through a pipe
// made for this reply alone (grid replies as parse events, tree replies as
// raw chunks). The pipe's client end reaches the reader with the data-ready
// call. A 401, to the probe or to the request, logs the server out and
// streams nothing; other error statuses are reported, not parsed. The probe
// runs here rather than where the request was made, so that the UI thread
// never waits for the server, and the request reuses the probe's connection.

#include "net/netserverkey.h"
#include "net/netuibridge.h"
#include "net/ownedthread.h"
#include "platform/httpurl.h"

#include <QString>

#include <atomic>
#include <memory>

enum NetRequestKind : int {
    kNetRequestNone = 0,  // synchronous requests and POSTs
    kNetRequestGrid = 1,
    kNetRequestTree = 2,
};

// What a download needs to know of its request.
struct CNetDownload {
    NetRequestKind kind = kNetRequestNone;
    quint16 requesterId = 0;
    HttpUrl url;  // the whole URL: the session's server and the object path
    CNetServerKey server;
    QString password;
};

class CNetThread {
public:
    // A grid reply is parsed as it arrives, in chunks of up to this size.
    static constexpr int kGridChunkBytes = 64 * 1024;

    // The probe's status is stored in `lastHttpStatus`.
    CNetThread(CNetDownload download, CNetUiBridge bridge,
               std::shared_ptr<std::atomic<int>> lastHttpStatus);
    // Cancels a download still running.
    ~CNetThread();
    CNetThread(const CNetThread&) = delete;
    CNetThread& operator=(const CNetThread&) = delete;

    bool Start();
    // Ends the download without a message and waits (bounded) for its thread.
    void Cancel();
    bool IsRunning() const { return m_thread.IsRunning(); }

private:
    struct State;

    std::shared_ptr<State> m_state;
    COwnedThread m_thread;
};
