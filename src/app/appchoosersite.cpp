#include "app/appchoosersite.h"

#include "app/theapp.h"
#include "frame/mainframe.h"
#include "framework/klog.h"

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
    kDebugLog(u"SEAM Options dialog (page %d): not built yet", page);
}
