#include "app/appchoosersite.h"

#include "app/appservices.h"
#include "app/theapp.h"
#include "frame/mainframe.h"

CMyTree& CAppChooserSite::Tree() {
    return m_app.Tree();
}

CPreferences& CAppChooserSite::Prefs() {
    return m_app.Prefs();
}

void CAppChooserSite::CloseProperties() {
    if (CMainFrame* frame = m_app.MainFrame()) {
        frame->CloseProperties();
    }
}

void CAppChooserSite::ShowOptionsDialog(int page) {
    m_app.Services().ShowOptions(page);
}
