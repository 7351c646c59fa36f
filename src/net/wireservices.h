#pragma once

// What the XML readers and the wire need of the application: its pop-up
// boxes, the action dispatcher, the progress display, the current server's
// process list, the busy indicator, the message pump, the URL trail and the
// global cancel flag. The application object installs its implementation at
// start-up and removes it at exit once the request workers have stopped.
// Implementations are called from worker threads too and must marshal any
// window work to the UI thread themselves.

#include "ui/popuptype.h"

#include <QString>

#include <deque>

class KPROPS;

using XmlElementStack = std::deque<QString>;

class CWireServices {
public:
    virtual ~CWireServices() = default;

    // The global cancel flag; every parse and read loop stops while it is not 0.
    virtual int CancelFlag() const = 0;
    // A new user request clears the global cancel flag.
    virtual void ClearCancelFlag() = 0;
    // Shows a box of one of the PopupType types; returns the button pressed.
    virtual int PopupMessage(const QString& text, int type) = 0;
    // Runs one action of the action language.
    virtual int DispatchCurl(const QString& action) = 0;
    // Handles the start tag of a progress-display command ("pbar-...").
    virtual int HandlePbarTag(const QString& name, const KPROPS& attributes, const QString& parent,
                              const XmlElementStack& stack) = 0;
    // Handles the end tag of a progress-display command.
    virtual int HandlePbarEndTag(const QString& name, const QString& text, const KPROPS& attributes,
                                 const QString& parent, const XmlElementStack& stack) = 0;
    // Registers a server process id with the current server, so that the
    // server job can be cancelled; `owner` is the object that holds it.
    virtual void AddServerPid(const void* owner, quint32 pid) = 0;
    // Removes (and so cancels) the owner's server process id on the current server.
    virtual void RemoveServerPid(const void* owner, quint32 pid) = 0;
    // Raises the busy indicator and wait cursor around a synchronous parse or read.
    virtual void BeginBusy() = 0;
    // Lowers the busy indicator again.
    virtual void EndBusy() = 0;
    // Lets the UI thread handle its pending events during a long read; does
    // nothing on other threads.
    virtual void PumpMessages() = 0;
    // Records a request in the URL trail.
    virtual void RecordUrlTrail(const QString& entry) = 0;
    // Whether the calling thread is the action worker being aborted.
    virtual bool IsAbortedThread() const = 0;
    // Asks the user for proxy credentials after a 407; false when cancelled.
    virtual bool AskProxyCredentials(const QString& proxy, QString& user, QString& password) = 0;
    // Starts a grid (kind 1) or tree (kind 2) request whose reply arrives
    // through its pipe: closes the main grid's client pipe end, hands the
    // request to the dispatcher (which gives a requester without an id one)
    // and, for a grid request, logs the selected item's server out when it
    // answered 401 (a tree request's caller knows which item it asked for).
    // True when the request went out.
    virtual bool StartAsyncRequest(int kind, quint16& requesterId, const QString& url,
                                   const QString& user, const QString& password) = 0;
    // Drops every request still out under the requester id.
    virtual void CancelRequests(quint16 requesterId) = 0;
};

// The installed services. Reaching for them while none are installed is a
// wiring fault and ends the program at once.
CWireServices& WireServices();
// Installs the services (null removes them) and returns the ones installed
// before, null when none were. The object must outlive every wire that may
// still call it.
CWireServices* SetWireServices(CWireServices* services);

// Holds the busy indicator for a scope.
class CWireBusy {
public:
    CWireBusy() { WireServices().BeginBusy(); }
    ~CWireBusy() { WireServices().EndBusy(); }
    CWireBusy(const CWireBusy&) = delete;
    CWireBusy& operator=(const CWireBusy&) = delete;
};
