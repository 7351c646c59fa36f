#include "app/appmysystemsite.h"
#include "frame/mainframe.h"
#include "frame/smartcardlogin.h"

#include "app/history.h"
#include "app/theapp.h"
#include "frame/mainframe.h"
#include "grid/mygrid.h"

CNetDispatcher& CAppMySystemSite::Dispatcher() {
    return m_app.Dispatcher();
}

CPreferences* CAppMySystemSite::Preferences() {
    return &m_app.Prefs();
}

CMyTree* CAppMySystemSite::WorldViewTree() {
    return &m_app.Tree();
}

void CAppMySystemSite::AddCURL(const QString& fullCurl) {
    m_app.History().AddCURL(fullCurl);
}

void CAppMySystemSite::KeepMainGridHidden() {
    const CMainFrame* frame = m_app.MainFrame();
    if (CMyGrid* grid = frame != nullptr ? frame->GetGrid() : nullptr) {
        grid->SetHoldHidden(true);
    }
}

bool CAppMySystemSite::PrepareSmartCardLogin(CMySystem& system) {
    CSmartCardLogin smartCard(m_app.Prefs(), m_app.MainFrame());
    return smartCard.PrepareLogin(system);
}

void CAppMySystemSite::LaunchBrowser(const QString& url, const QString& title) {
    m_app.LaunchBrowser(url, title);
}
