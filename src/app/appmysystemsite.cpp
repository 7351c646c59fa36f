#include "app/appmysystemsite.h"

#include "app/history.h"
#include "app/theapp.h"
#include "frame/mainframe.h"
#include "frame/smartcardlogin.h"
#include "framework/klog.h"
#include "grid/mygrid.h"

CNetDispatcher& CAppMySystemSite::Dispatcher() {
    return m_app.Dispatcher();
}

CPreferences* CAppMySystemSite::Preferences() {
    return &m_app.Prefs();
}

void CAppMySystemSite::SetStatusText(const QString& text) {
    m_app.SetStatusText(text);
}

CMenuCommandIds& CAppMySystemSite::MenuCommandIds() {
    return m_app.MenuCommandIds();
}

CMyTree* CAppMySystemSite::WorldViewTree() {
    return &m_app.Tree();
}

void CAppMySystemSite::LaunchBrowser(const QString& url, const QString& title) {
    m_app.LaunchBrowser(url, title);
}

void CAppMySystemSite::AddCURL(const QString& fullCurl) {
    m_app.History().AddCURL(fullCurl);
}

// Middleware that opens dialogs of its own needs a helper to answer them;
// this program asks for the PIN and certificate itself, so there is nothing
// to answer.
void CAppMySystemSite::StartSmartCardThread(const CStringTriple&) {
    kDebugLog(
        u"SCThreadProc: no middleware dialogs to answer; the PIN and certificate were "
        u"asked for by the program\n");
}

bool CAppMySystemSite::PrepareSmartCardLogin(CMySystem& system) {
    CSmartCardLogin smartCard(m_app.Prefs(), m_app.MainFrame());
    return smartCard.PrepareLogin(system);
}

void CAppMySystemSite::KeepMainGridHidden() {
    const CMainFrame* frame = m_app.MainFrame();
    if (CMyGrid* grid = frame != nullptr ? frame->GetGrid() : nullptr) {
        grid->SetHoldHidden(true);
    }
}
