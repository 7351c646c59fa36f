#pragma once

// The application's answers to what the main frame asks: its settings, the
// World View model, panels, actions and history, the flags that stop work,
// and the selection and exit steps of its services.

#include "frame/framesite.h"
#include "grid/gridprogress.h"

class CTheApp;

class CAppFrameSite : public CFrameSite {
public:
    explicit CAppFrameSite(CTheApp& app) : m_app(app) {}

    CPreferences& Prefs() override;
    CMyTree& Tree() override;
    CPanelFactory& Panels() override;
    CLeftViewHost& LeftViewHost() override;
    CWorldViewFile& WorldViewFile() override;
    void RunActionScript(const QString& path) override;
    int DispatchCurl(const QString& action) override;
    bool HasSelectedItem() override;
    QString SelectedServerBaseURL() override;
    bool SelectedItemHasBrowserPart() override;
    QString SelectedItemFullCurl() override;
    bool IsUp() override;
    bool IsBusy() override;
    void ClearCancelFlag() override;
    void RaiseCancelFlag() override;
    void PumpMessages(bool force) override;
    void AddHistory(const QString& fullCurl) override;
    int HistoryPosition() override;
    int HistoryCount() override;
    int HistoryStep(bool forward) override;
    void AbortActions() override;
    void CancelAllRequests() override;
    void CancelServerProcesses() override;
    bool IsProgressRunning() override;
    bool IsProgressCancelled() override;
    void CancelProgress() override;
    CGridProgress& StatusBarProgress() override;
    int RefreshItemKeepSelection(QTreeWidgetItem* item, bool collapse) override;
    void LaunchHelp(const QString& url) override;
    int ShowProperties(CMySystem* system, const KPROPS& properties) override;
    void TreePaneCommand(int commandId) override;
    void ShowDialog(int commandId) override;
    void ShowPreferencesPanel() override;
    bool HideFirstVisibleFloatingBrowser() override;
    bool InContextHelpMode() override;
    void SetContextHelpMode(bool on) override;
    void NewServer(const QString& descriptor) override;
    void SetUp(bool up) override;
    void LogoutAllServers() override;
    void SaveRebarLayout() override;
    void AskSaveWorldViewOnExit() override;
    void SaveColumnPreferences() override;
    void ShowDeveloperAbout() override;

private:
    CTheApp& m_app;
    // Counts a grid load that would come before the main frame's display.
    CGridProgress m_beforeTheFrame;
};
