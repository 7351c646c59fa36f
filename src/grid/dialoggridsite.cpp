#include "grid/dialoggridsite.h"

bool CDialogGridSite::IsMainGrid(const CMyGrid&) const {
    return false;
}

CMySystem* CDialogGridSite::SelectedSystem() {
    return nullptr;
}

void CDialogGridSite::StartRowCounter() {}

void CDialogGridSite::StopRowCounter() {}

CGridProgress& CDialogGridSite::Progress() {
    return m_progress;
}

void CDialogGridSite::ResetFilterText() {}

// The dialog's own event loop runs its events.
void CDialogGridSite::PumpMessages() {}

CGridNavigator* CDialogGridSite::Navigator() {
    return nullptr;
}

void CDialogGridSite::ShowNavigator(bool) {}

void CDialogGridSite::ChooserFilterCommand(const QString&, const QString&) {}

CNavigatorOwner* CDialogGridSite::NavigatorOwner() {
    return nullptr;
}

bool CDialogGridSite::IsPropertiesPanelVisible() const {
    return false;
}

int CDialogGridSite::OpenProperties(const QString&) {
    return 0;
}

int CDialogGridSite::CloseProperties() {
    return 0;
}

void CDialogGridSite::BlankBrowserPane() {}

int CDialogGridSite::PropertiesDirtyBit() {
    return 0;
}

int CDialogGridSite::ShowProperties(CMySystem*, const KPROPS&) {
    return 0;
}

QWidget* CDialogGridSite::MenuOwner() {
    return nullptr;
}

bool CDialogGridSite::IsContextHelpMode() const {
    return false;
}

void CDialogGridSite::LaunchHelp(const QString&) {}
