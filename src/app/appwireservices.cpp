#include "app/appwireservices.h"
#include "dialogs/proxycredentialsdialog.h"

#include "app/history.h"
#include "app/theapp.h"
#include "dialogs/progressbar.h"
#include "framework/klog.h"
#include "net/netthread.h"
#include "server/mysystem.h"

int CAppWireServices::CancelFlag() const {
    return m_app.CancelFlag();
}

bool CAppWireServices::AskProxyCredentials(const QString& proxy, QString& user, QString& password) {
    return CProxyCredentialsDialog::Ask(proxy, user, password);
}

void CAppWireServices::ClearCancelFlag() {
    m_app.SetCancelFlag(0);
}

int CAppWireServices::PopupMessage(const QString& text, int type) {
    return m_app.PopupMessage(text, type);
}

int CAppWireServices::DispatchCurl(const QString& action) {
    return m_app.Services().DispatchCurl(action);
}

void CAppWireServices::BeginBusy() {
    m_app.BeginBusy();
}

void CAppWireServices::EndBusy() {
    m_app.EndBusy();
}

void CAppWireServices::PumpMessages() {
    m_app.PumpMessages(false);
}

bool CAppWireServices::IsAbortedThread() const {
    return m_app.IsAbortedThread();
}

void CAppWireServices::RecordUrlTrail(const QString& entry) {
    m_app.History().AddToURLTrail(entry);
}

bool CAppWireServices::StartAsyncRequest(int kind, quint16& requesterId, const QString& url,
                                         const QString& user, const QString& password) {
    if (kind != kNetRequestGrid && kind != kNetRequestTree) {
        kWarningLog(u"StartAsyncRequest: no reply pipe for request kind %d: %s\n", kind, url);
        return false;
    }
    if (m_app.Dispatcher().SendRequest(static_cast<NetRequestKind>(kind), requesterId, url, user,
                                       password, QString())) {
        return true;
    }
    if (kind == kNetRequestGrid) {
        m_app.LogoutIfUnauthorized();
    }
    return false;
}

void CAppWireServices::CancelRequests(quint16 requesterId) {
    m_app.Dispatcher().CancelRequest(requesterId);
}

int CAppWireServices::HandlePbarTag(const QString& name, const KPROPS& attributes,
                                    const QString& parent, const XmlElementStack& stack) {
    if (CProgressBar* bar = m_app.ProgressBar()) {
        return bar->HandlePbarTag(name, attributes, parent, stack);
    }
    kDebugLog(u"HandlePbarTag: no progress display: <%s>", name);
    return 0;
}

int CAppWireServices::HandlePbarEndTag(const QString& name, const QString&, const KPROPS&,
                                       const QString&, const XmlElementStack&) {
    if (const CProgressBar* bar = m_app.ProgressBar()) {
        return bar->HandlePbarEndTag(name);
    }
    kDebugLog(u"HandlePbarEndTag: no progress display: </%s>", name);
    return 0;
}

void CAppWireServices::AddServerPid(const void* owner, quint32 pid) {
    onSelectedServer([owner, pid](ServerProcesses& processes) { processes.AddPid(owner, pid); });
}

void CAppWireServices::RemoveServerPid(const void* owner, quint32 pid) {
    onSelectedServer([owner, pid](ServerProcesses& processes) { processes.RemovePid(owner, pid); });
}

void CAppWireServices::onSelectedServer(const std::function<void(ServerProcesses&)>& work) {
    // The selection belongs to the UI thread, and the server must not go
    // away while its list is in use.
    m_app.Bridge().Call([this, &work] {
        if (CMySystem* system = m_app.GetSystem(nullptr)) {
            work(system->GetServerProcesses());
        }
        return qintptr{0};
    });
}
