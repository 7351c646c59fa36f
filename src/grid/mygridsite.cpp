#include "grid/mygridsite.h"

#include "framework/klog.h"

bool CMyGridSite::IsMainGrid(const CMyGrid&) const {
    return false;
}

CMySystem* CMyGridSite::SelectedSystem() {
    return nullptr;
}

void CMyGridSite::StartRowCounter() {
    kDebugLog(u"SEAM CMyGridSite::StartRowCounter: no main frame row counter yet");
}

void CMyGridSite::StopRowCounter() {
    kDebugLog(u"SEAM CMyGridSite::StopRowCounter: no main frame row counter yet");
}

CGridProgress& CMyGridSite::Progress() {
    return m_progress;
}

void CMyGridSite::ResetFilterText() {
    kDebugLog(u"SEAM CMyGridSite::ResetFilterText: no search bar yet");
}

void CMyGridSite::PumpMessages() {}

CGridNavigator* CMyGridSite::Navigator() {
    return nullptr;
}

void CMyGridSite::ShowNavigator(bool show) {
    kDebugLog(u"SEAM CMyGridSite::ShowNavigator(%d): no view yet", show ? 1 : 0);
}

void CMyGridSite::ChooserFilterCommand(const QString& command, const QString& text) {
    kDebugLog(u"SEAM CMyGridSite::ChooserFilterCommand(%s, %s): no chooser panels yet", command,
              text);
}

int CMyGridSite::RefreshProperties(CMyGrid&) {
    kDebugLog(u"SEAM CMyGridSite::RefreshProperties: no properties panel yet");
    return 0;
}

bool CMyGridSite::IsContextHelpMode() const {
    return false;
}

void CMyGridSite::LaunchHelp(const QString& url) {
    kDebugLog(u"SEAM CMyGridSite::LaunchHelp(%s): no help window yet", url);
}
