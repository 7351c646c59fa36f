#include "net/wireservices.h"

#include "framework/klog.h"

#include <atomic>

namespace {
CWireServices g_loggingServices;
std::atomic<CWireServices*> g_services{&g_loggingServices};
}  // namespace

CWireServices& WireServices() {
    return *g_services.load(std::memory_order_acquire);
}

void SetWireServices(CWireServices* services) {
    g_services.store(services ? services : &g_loggingServices, std::memory_order_release);
}

int CWireServices::PopupMessage(const QString& text, int type) {
    kWarningLog(u"PopupMessage(%d): %s", type, text);
    return 0;
}

int CWireServices::DispatchCurl(const QString& action) {
    kWarningLog(u"DispatchCurl: no action interpreter yet: %s", action);
    return 0;
}

int CWireServices::HandlePbarTag(const QString& name, const KPROPS&, const QString&,
                                 const XmlElementStack&) {
    kDebugLog(u"HandlePbarTag: no progress display yet: <%s>", name);
    return 0;
}

int CWireServices::HandlePbarEndTag(const QString& name, const QString&, const KPROPS&,
                                    const QString&, const XmlElementStack&) {
    kDebugLog(u"HandlePbarEndTag: no progress display yet: </%s>", name);
    return 0;
}

void CWireServices::AddServerPid(const void*, quint32 pid) {
    kDebugLog(u"AddServerPid: no server process list yet: %u", pid);
}

void CWireServices::RemoveServerPid(const void*, quint32 pid) {
    kDebugLog(u"RemoveServerPid: no server process list yet: %u", pid);
}

void CWireServices::RecordUrlTrail(const QString& entry) {
    kDebugLog(u"RecordUrlTrail: no URL trail yet: %.200s", entry);
}

bool CWireServices::AskProxyCredentials(const QString& proxy, QString&, QString&) {
    kWarningLog(u"AskProxyCredentials: no dialog yet, proxy %s refused", proxy);
    return false;
}

bool CWireServices::StartAsyncRequest(int kind, quint16&, const QString& url, const QString&,
                                      const QString&) {
    kWarningLog(u"StartAsyncRequest: no request dispatcher yet: kind %d, %s", kind, url);
    return false;
}

void CWireServices::CancelRequests(quint16 requesterId) {
    kDebugLog(u"CancelRequests: no request dispatcher yet: %u", static_cast<unsigned>(requesterId));
}
