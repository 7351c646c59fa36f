#pragma once

// The application's side of the wire: what the XML readers and the requests
// ask of the application, answered by the application object; "pbar-"
// elements drive the main frame's progress display. The server process list
// and the client certificate keep the wire's logging defaults until their
// parts exist.

#include "net/wireservices.h"

class CTheApp;

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

private:
    CTheApp& m_app;
};
