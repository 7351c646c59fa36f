#include "grid/mygridsite.h"

#include "framework/klog.h"
#include "framework/kprops.h"
#include "grid/gridnavigator.h"
#include "grid/mygrid.h"

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

// A grid outside the view has no chooser above it.
void CMyGridSite::ChooserFilterCommand(const QString&, const QString&) {}

// Without a view to ask, the navigator keeps the owner it was given.
CNavigatorOwner* CMyGridSite::NavigatorOwner() {
    const CGridNavigator* navigator = Navigator();
    return navigator != nullptr ? navigator->GetOwner() : nullptr;
}

bool CMyGridSite::IsPropertiesPanelVisible() const {
    return false;
}

int CMyGridSite::OpenProperties(const QString& url) {
    kDebugLog(u"SEAM CMyGridSite::OpenProperties(%s): no properties panel here", url);
    return 0;
}

int CMyGridSite::CloseProperties() {
    kDebugLog(u"SEAM CMyGridSite::CloseProperties: no properties panel here");
    return 0;
}

void CMyGridSite::BlankBrowserPane() {
    kDebugLog(u"SEAM CMyGridSite::BlankBrowserPane: no browser pane here");
}

int CMyGridSite::PropertiesDirtyBit() {
    return 0;
}

int CMyGridSite::ShowProperties(CMySystem*, const KPROPS& properties) {
    kDebugLog(u"SEAM CMyGridSite::ShowProperties(%d entries): no properties page here",
              properties.Count());
    return 0;
}

QWidget* CMyGridSite::MenuOwner() {
    return nullptr;
}

bool CMyGridSite::IsContextHelpMode() const {
    return false;
}

void CMyGridSite::LaunchHelp(const QString& url) {
    kDebugLog(u"SEAM CMyGridSite::LaunchHelp(%s): no help window yet", url);
}
