#pragma once

// The one way from any thread to the windows: the private messages of
// uimessage.h, each answered by a handler that the window owning it installs.
// A send runs the handler on the UI thread and waits for its result (a direct
// call when the sender already is the UI thread); a post queues it and
// returns. Once exit has begun every call is refused, and senders still
// waiting for a call that has not begun are released, so the UI thread can
// join its workers without waiting on a worker that waits on it.

#include "ui/threadcallqueue.h"
#include "ui/uimessage.h"

#include <QObject>

#include <atomic>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <set>

class CUiBridge : public QObject {
    Q_OBJECT
public:
    using Handler = std::function<qintptr(quintptr wParam, quintptr lParam)>;

    // The bridge belongs to the thread that creates it: the UI thread.
    CUiBridge();
    ~CUiBridge() override;

    // Installs or removes the handler of one message; UI thread only.
    void SetHandler(UiMessage message, Handler handler);
    void RemoveHandler(UiMessage message);

    bool onUiThread() const;

    // Runs the message's handler on the UI thread and waits for it. A record
    // passed by address stays valid because the sender waits. False when the
    // call was refused: no handler, or exit has begun.
    bool Send(UiMessage message, quintptr wParam = 0, quintptr lParam = 0,
              qintptr* result = nullptr);
    // Runs any UI work the same way as a send: pop-up boxes and the other
    // services that are not window messages. False when refused.
    bool Call(const std::function<qintptr()>& work, qintptr* result = nullptr);
    // Queues the message for the UI thread. Posts carry numbers only, never
    // addresses: the sender does not wait. False when refused.
    bool Post(UiMessage message, quintptr wParam = 0, quintptr lParam = 0);

    // From now on every call is refused; UI thread.
    void BeginExit();
    bool IsExiting() const { return m_exiting.load(); }

private:
    struct PendingSend;

    // UI work that answers whether it was done and its result.
    using Work = std::function<bool(qintptr& result)>;

    bool dispatch(UiMessage message, quintptr wParam, quintptr lParam, qintptr& result);
    bool run(const QString& what, const Work& work, qintptr* result);
    bool runAcrossThreads(const Work& work, qintptr* result);

    std::map<UiMessage, Handler> m_handlers;  // UI thread only
    std::atomic<bool> m_exiting{false};
    std::mutex m_pendingMutex;
    std::set<std::shared_ptr<PendingSend>> m_pending;
    CThreadCallQueue m_queuedCalls;
};
