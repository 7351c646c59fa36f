#include "frame/maingridsite.h"

#include "frame/framesite.h"
#include "frame/mainframe.h"
#include "frame/myview.h"
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

void CMainGridSite::ResetFilterText() {
    m_frame.FilterBar().ResetFilterText();
}
