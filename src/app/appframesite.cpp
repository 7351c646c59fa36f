#include "app/appframesite.h"

#include "app/actions.h"
#include "app/actionwindows.h"
#include "app/appaboutsite.h"
#include "app/history.h"
#include "app/theapp.h"
#include "dialogs/aboutdialog.h"
#include "dialogs/progressbar.h"
#include "frame/mainframe.h"
#include "server/mysystem.h"

CPreferences& CAppFrameSite::Prefs() {
    return m_app.Prefs();
}

CMyTree& CAppFrameSite::Tree() {
    return m_app.Tree();
}

CPanelFactory& CAppFrameSite::Panels() {
    return m_app.Panels();
}

CWorldViewFile& CAppFrameSite::WorldViewFile() {
    return m_app.WorldViewFile();
}

void CAppFrameSite::RunActionScript(const QString& path) {
    m_app.RunActionScript(path);
}

int CAppFrameSite::DispatchCurl(const QString& action) {
    return m_app.Services().DispatchCurl(action);
}

bool CAppFrameSite::HasSelectedItem() {
    return m_app.Services().HasSelectedItem();
}

QString CAppFrameSite::SelectedServerBaseURL() {
    return m_app.Services().SelectedServerBaseURL();
}

bool CAppFrameSite::SelectedItemHasBrowserPart() {
    return m_app.Services().SelectedItemHasBrowserPart();
}

QString CAppFrameSite::SelectedItemFullCurl() {
    return m_app.Services().SelectedItemFullCurl();
}

bool CAppFrameSite::IsUp() {
    return m_app.IsUp();
}

bool CAppFrameSite::IsBusy() {
    return m_app.IsBusy(false);
}

void CAppFrameSite::ClearCancelFlag() {
    m_app.SetCancelFlag(0);
}

void CAppFrameSite::RaiseCancelFlag() {
    m_app.AddToCancelFlag();
}

void CAppFrameSite::PumpMessages(bool force) {
    m_app.PumpMessages(force);
}

void CAppFrameSite::AddHistory(const QString& fullCurl) {
    m_app.History().AddCURL(fullCurl);
}

int CAppFrameSite::HistoryPosition() {
    return m_app.History().Cursor();
}

int CAppFrameSite::HistoryCount() {
    return m_app.History().HistoryCount();
}

int CAppFrameSite::HistoryStep(bool forward) {
    return forward ? m_app.History().GotoNextCURL() : m_app.History().GotoPreviousCURL();
}

void CAppFrameSite::AbortActions() {
    m_app.Actions().Abort();
}

void CAppFrameSite::CancelAllRequests() {
    m_app.Dispatcher().CancelRequest(CNetDispatcher::kAllRequesters);
}

void CAppFrameSite::CancelServerProcesses() {
    if (CMySystem* system = m_app.GetSystem(nullptr)) {
        system->GetServerProcesses().CancelAll();
    }
}

bool CAppFrameSite::IsProgressRunning() {
    return m_app.Services().IsProgressActive();
}

bool CAppFrameSite::IsProgressCancelled() {
    const CProgressBar* bar = m_app.ProgressBar();
    return bar != nullptr && bar->GetState() == CProgressBar::Cancelled;
}

void CAppFrameSite::CancelProgress() {
    if (m_app.Services().IsProgressActive()) {
        m_app.Services().CancelProgress();
    }
}

CGridProgress& CAppFrameSite::StatusBarProgress() {
    CProgressBar* bar = m_app.ProgressBar();
    return bar != nullptr ? static_cast<CGridProgress&>(*bar) : m_beforeTheFrame;
}

int CAppFrameSite::RefreshItemKeepSelection(QTreeWidgetItem* item, bool collapse) {
    return m_app.RefreshItemKeepSelection(item, collapse);
}

void CAppFrameSite::LaunchHelp(const QString& url) {
    m_app.ActionWindows().LaunchHelp(url);
}

int CAppFrameSite::ShowProperties(CMySystem* system, const KPROPS& properties) {
    return m_app.ShowProperties(system, properties, false);
}

CLeftViewHost& CAppFrameSite::LeftViewHost() {
    return m_app.LeftViewHost();
}

void CAppFrameSite::TreePaneCommand(int commandId) {
    m_app.Services().TreePaneCommand(commandId);
}

void CAppFrameSite::ShowDialog(int commandId) {
    m_app.Services().ShowDialog(commandId);
}

void CAppFrameSite::ShowPreferencesPanel() {
    m_app.Services().ShowPreferencesPanel();
}

bool CAppFrameSite::HideFirstVisibleFloatingBrowser() {
    return m_app.Services().HideFirstVisibleFloatingBrowser();
}

bool CAppFrameSite::InContextHelpMode() {
    return m_app.InContextHelpMode();
}

void CAppFrameSite::SetContextHelpMode(bool on) {
    m_app.SetContextHelpMode(on);
}

void CAppFrameSite::NewServer(const QString& descriptor) {
    m_app.ActionWindows().NewServer(m_app.Tree().GetRootItem(), descriptor);
}

void CAppFrameSite::SetUp(bool up) {
    m_app.SetUp(up);
}

void CAppFrameSite::LogoutAllServers() {
    m_app.Services().LogoutAllServers();
}

void CAppFrameSite::SaveRebarLayout() {
    m_app.Services().SaveRebarLayout();
}

void CAppFrameSite::AskSaveWorldViewOnExit() {
    m_app.Services().AskSaveWorldViewOnExit();
}

void CAppFrameSite::SaveColumnPreferences() {
    m_app.Services().SaveColumnPreferences();
}

void CAppFrameSite::ShowDeveloperAbout() {
    CAppAboutSite site(m_app);
    CAboutDialog dialog(site, m_app.MainFrame());
    dialog.exec();
}
