#pragma once

// How the request threads reach the windows. The data-ready calls hand a
// reply's client pipe end to its reader, the status call shows the waiting
// text, the error call shows the boxes that a worker must not show itself,
// and the logout call tells the server connection that a server answered
// 401. Every call is queued to the thread of the registered context (the UI
// thread) and delivered to whoever is registered then; a call that finds
// nobody is logged and dropped, which closes a pipe end it carried.

#include "net/namedpipe.h"
#include "net/netserverkey.h"

#include <QString>

#include <functional>
#include <memory>
#include <mutex>

class QObject;

class INetUiReceiver {
public:
    virtual ~INetUiReceiver() = default;
    // A grid reply is ready: the data grid reads its events from the end.
    virtual void OnGridDataReady(quint16 requesterId, CNamedPipe clientEnd) = 0;
    // A tree reply is ready: the main frame collects its chunks from the end.
    virtual void OnTreeDataReady(quint16 requesterId, CNamedPipe clientEnd) = 0;
    // The status bar text.
    virtual void OnStatusText(const QString& text) = 0;
    // An error box without an owner window.
    virtual void OnErrorBox(const QString& text, const QString& caption) = 0;
};

// Implemented by the server connection: logs the server out after a 401.
class INetLogout {
public:
    virtual ~INetLogout() = default;
    virtual void LogoutUnauthorized(const CNetServerKey& server) = 0;
};

// A handle: copies share one registration, so a thread can keep its own copy
// and outlive the object it was taken from.
class CNetUiBridge {
public:
    CNetUiBridge();

    // `context` lives on the thread that must run the calls (the UI thread)
    // and stays registered until it is replaced or cleared with null. Once
    // this returns, no call reaches the context replaced: it may be deleted.
    void SetContext(QObject* context);
    void SetReceiver(INetUiReceiver* receiver);
    void SetLogout(INetLogout* logout);

    void PostGridDataReady(quint16 requesterId, CNamedPipe clientEnd);
    void PostTreeDataReady(quint16 requesterId, CNamedPipe clientEnd);
    void PostStatusText(const QString& text);
    void PostErrorBox(const QString& text, const QString& caption);
    void PostUnauthorized(const CNetServerKey& server);

private:
    struct State {
        std::mutex mutex;
        QObject* context = nullptr;
        INetUiReceiver* receiver = nullptr;
        INetLogout* logout = nullptr;
    };
    template <class Target>
    void postTo(Target* State::*target, const QString& what, std::function<void(Target&)> call);

    // Shared with the queued calls, which may outlive the bridge.
    std::shared_ptr<State> m_state;
};
