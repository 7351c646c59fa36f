#pragma once

// Holds the client end of a pipe on the UI thread and calls back whenever
// the end is readable, so a reader replays a reply as it arrives instead of
// blocking the UI thread until the download ends.

#include "net/namedpipe.h"

#include <QObject>

#include <functional>

class QSocketNotifier;

class CPipeListener : public QObject {
public:
    explicit CPipeListener(std::function<void()> onReadable, QObject* parent = nullptr);
    ~CPipeListener() override;

    // Starts listening on a client end; a stream still being read is dropped.
    void Listen(CNamedPipe clientEnd);
    // Closes the client end: the writer's next write fails and its download ends.
    void Stop();
    bool IsListening() const { return m_pipe.IsConnected(); }
    CNamedPipe& Pipe() { return m_pipe; }

private:
    std::function<void()> m_onReadable;
    CNamedPipe m_pipe;
    QSocketNotifier* m_notifier = nullptr;
};
