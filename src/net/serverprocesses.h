#pragma once

// The server-side requests of one server that produce long replies, by the
// request id the reply announced, so that the console can tell the server
// to stop the work: when the reply has been read, when the same owner
// starts a new load, and when the user stops or aborts. Every id removed is
// cancelled on the server exactly once. Safe to use from any thread.

#include <QString>

#include <map>
#include <mutex>

class CNetDispatcher;

// What the list needs of the server connection that holds it. The holder
// declares its list after the fields these answer from.
class IServerProcessesOwner {
public:
    virtual ~IServerProcessesOwner() = default;
    virtual QString ServerHost() const = 0;
    // The server's base URL without credentials.
    virtual QString ServerBaseUrl() const = 0;
    virtual QString ServerUserName() const = 0;
    virtual QString ServerPassword() const = 0;
    // The server's info text; ids are registered only on a "win32" server.
    virtual QString ServerInfo() const = 0;
    virtual void NoteRequestTime() = 0;
};

class ServerProcesses {
public:
    // RemovePid's id for every id of the registrant.
    static constexpr qint64 kAllRequests = -1;

    ServerProcesses(IServerProcessesOwner& owner, CNetDispatcher& dispatcher);
    // Cancels every id still held.
    ~ServerProcesses();
    ServerProcesses(const ServerProcesses&) = delete;
    ServerProcesses& operator=(const ServerProcesses&) = delete;

    // Registers an id for the object that holds the reply; a later
    // registrant of the same id replaces the earlier. 1 when registered, 0
    // when this server does not run on "win32".
    int AddPid(const void* registrant, quint32 requestId);
    // Cancels and removes the id when this registrant holds it (an id of
    // another registrant stays); kAllRequests: every id of the registrant.
    int RemovePid(const void* registrant, qint64 requestId);
    // Sends the server the cancel request for an id; the list is not changed.
    int CancelPid(quint32 requestId);
    // Cancels and removes every id, in id order.
    int CancelAll();

    // The registrant of an id, null when none.
    const void* Registrant(quint32 requestId) const;

private:
    IServerProcessesOwner& m_owner;
    CNetDispatcher& m_dispatcher;
    mutable std::mutex m_mutex;
    std::map<quint32, const void*> m_registrants;
};
