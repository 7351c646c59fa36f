#include "frame/maingridsite.h"

#include "frame/framesite.h"
#include "frame/mainframe.h"
#include "frame/myview.h"
#include "framework/klog.h"
#include "framework/kprops.h"
#include "frame/searchtoolbar.h"
#include "server/mysystem.h"
#include "tree/mytree.h"

bool CMainGridSite::IsMainGrid(const CMyGrid& grid) const {
    return &grid == m_view.GetGrid();
}

CMySystem* CMainGridSite::SelectedSystem() {
    CMyTree& tree = m_site.Tree();
    return dynamic_cast<CMySystem*>(tree.GetSystem(tree.GetSelectedItem()));
}

void CMainGridSite::StartRowCounter() {
    m_frame.StartRowCounter();
}

void CMainGridSite::StopRowCounter() {
    m_frame.StopRowCounter();
}

void CMainGridSite::PumpMessages() {
    m_site.PumpMessages(false);
}

CGridNavigator* CMainGridSite::Navigator() {
    return m_view.Navigator();
}

void CMainGridSite::ShowNavigator(bool show) {
    m_view.ShowNavigator(show);
}

bool CMainGridSite::IsContextHelpMode() const {
    return m_site.InContextHelpMode();
}

void CMainGridSite::LaunchHelp(const QString& url) {
    m_site.LaunchHelp(url);
}

bool CMainGridSite::IsPropertiesPanelVisible() const {
    return m_frame.PropertiesOpen();
}

int CMainGridSite::OpenProperties(const QString& url) {
    return m_frame.OpenProperties(url);
}

int CMainGridSite::CloseProperties() {
    return m_frame.CloseProperties();
}

void CMainGridSite::BlankBrowserPane() {
    m_frame.BlankBrowserPane();
}

int CMainGridSite::PropertiesDirtyBit() {
    kDebugLog(u"SEAM CBrowserView::GetFormFieldValue(BigForm, DirtyBit): not built yet.\n");
    return 0;
}

int CMainGridSite::ShowProperties(CMySystem*, const KPROPS& properties) {
    kDebugLog(u"SEAM CTheApp::ShowProperties(%d entries): not built yet.\n", properties.Count());
    return 0;
}

QWidget* CMainGridSite::MenuOwner() {
    return &m_view;
}

void CMainGridSite::ResetFilterText() {
    m_frame.FilterBar().ResetFilterText();
}
