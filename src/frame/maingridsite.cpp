#include "frame/maingridsite.h"

#include "frame/browserview.h"
#include "frame/framesite.h"
#include "frame/mainframe.h"
#include "frame/myview.h"
#include "frame/searchtoolbar.h"
#include "framework/kprops.h"
#include "server/mysystem.h"
#include "tree/mytree.h"

bool CMainGridSite::IsMainGrid(const CMyGrid& grid) const {
    return &grid == m_view.GetGrid();
}

CGridProgress& CMainGridSite::Progress() {
    return m_site.StatusBarProgress();
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

void CMainGridSite::ChooserFilterCommand(const QString& command, const QString& text) {
    CMyViewDlg* chooser =
        command == u"disable_jobchooser_filters" ? m_view.GetJobChooser() : m_view.GetElemChooser();
    if (chooser != nullptr) {
        chooser->GridFilterCommand(command, text);
    }
}

CNavigatorOwner* CMainGridSite::NavigatorOwner() {
    CMyViewDlg* chooser = m_view.GetElemChooser();
    return chooser != nullptr ? chooser : m_view.GetJobChooser();
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
    CBrowserView* browser = m_frame.GetBrowserView();
    return browser != nullptr
               ? browser->GetFormFieldValue(QStringLiteral("DirtyBit"), QStringLiteral("BigForm"))
                     .toInt()
               : 0;
}

int CMainGridSite::ShowProperties(CMySystem* system, const KPROPS& properties) {
    return m_site.ShowProperties(system, properties);
}

QWidget* CMainGridSite::MenuOwner() {
    return &m_view;
}

void CMainGridSite::ResetFilterText() {
    m_frame.FilterBar().ResetFilterText();
}
