#include "server/mysystemsite.h"

#include "framework/klog.h"
#include "net/netdispatcher.h"
#include "ui/menucommandids.h"
#include "ui/uiservices.h"

namespace {
CMySystemSite& defaultSite() {
    static CMySystemSite site;
    return site;
}
CMySystemSite* g_site = nullptr;
}  // namespace

CMySystemSite& MySystemSite() {
    return g_site != nullptr ? *g_site : defaultSite();
}

void SetMySystemSite(CMySystemSite* site) {
    g_site = site;
}

CMySystemSite::CMySystemSite() = default;

CMySystemSite::~CMySystemSite() = default;

CNetDispatcher& CMySystemSite::Dispatcher() {
    if (m_dispatcher == nullptr) {
        m_dispatcher = std::make_unique<CNetDispatcher>();
    }
    return *m_dispatcher;
}

CPreferences* CMySystemSite::Preferences() {
    return nullptr;
}

void CMySystemSite::SetStatusText(const QString& text) {
    if (HaveUiServices()) {
        UiServices().SetStatusText(text);
    } else {
        kDebugLog(u"Status: %s", text);
    }
}

CMenuCommandIds& CMySystemSite::MenuCommandIds() {
    if (HaveUiServices()) {
        return UiServices().MenuCommandIds();
    }
    if (m_commandIds == nullptr) {
        m_commandIds = std::make_unique<CMenuCommandIds>();
    }
    return *m_commandIds;
}

CMyTree* CMySystemSite::WorldViewTree() {
    return nullptr;
}

void CMySystemSite::LaunchBrowser(const QString& url, const QString& title) {
    kDebugLog(u"SEAM CMySystemSite::LaunchBrowser(%s, %s): no browser windows yet", url, title);
}

void CMySystemSite::AddCURL(const QString& fullCurl) {
    kDebugLog(u"SEAM CMySystemSite::AddCURL(%s): no URL history yet", fullCurl);
}

void CMySystemSite::StartSmartCardThread(const CStringTriple&) {
    kDebugLog(
        u"SCThreadProc: no middleware dialogs to answer; the PIN and certificate were "
        u"asked for by the program\n");
}

bool CMySystemSite::PrepareSmartCardLogin(CMySystem&) {
    kWarningLog(u"Smart-card login: nothing here can ask for the card's PIN");
    return false;
}

void CMySystemSite::KeepMainGridHidden() {
    kDebugLog(u"SEAM CMySystemSite::KeepMainGridHidden: no main grid yet");
}
