#pragma once

// The application's side of the wire: what the XML readers and the requests
// ask of the application, answered by the application object; "pbar-"
// elements drive the main frame's progress display, and server process ids
// go to the selected server's list.

#include "net/wireservices.h"

#include <functional>

class CTheApp;
class ServerProcesses;

class CAppWireServices : public CWireServices {
public:
    explicit CAppWireServices(CTheApp& app) : m_app(app) {}

    int CancelFlag() const override;
    void ClearCancelFlag() override;
    int PopupMessage(const QString& text, int type) override;
    int DispatchCurl(const QString& action) override;
    void BeginBusy() override;
    void EndBusy() override;
    void PumpMessages() override;
    bool IsAbortedThread() const override;
    void RecordUrlTrail(const QString& entry) override;
    bool AskProxyCredentials(const QString& proxy, QString& user, QString& password) override;
    bool StartAsyncRequest(int kind, quint16& requesterId, const QString& url, const QString& user,
                           const QString& password) override;
    int HandlePbarTag(const QString& name, const KPROPS& attributes, const QString& parent,
                      const XmlElementStack& stack) override;
    int HandlePbarEndTag(const QString& name, const QString& text, const KPROPS& attributes,
                         const QString& parent, const XmlElementStack& stack) override;
    void CancelRequests(quint16 requesterId) override;
    void AddServerPid(const void* owner, quint32 pid) override;
    void RemoveServerPid(const void* owner, quint32 pid) override;

private:
    // Runs the work on the selected server's process list, on the UI thread;
    // nothing when no server is selected or the UI thread no longer answers.
    void onSelectedServer(const std::function<void(ServerProcesses&)>& work);

    CTheApp& m_app;
};
