#include "app/appmysystemsite.h"

#include "app/history.h"
#include "app/theapp.h"

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
