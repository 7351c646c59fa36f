#pragma once

// The program's own answers to start-up, the exit sequence and the
// application's services: the World View file and tree, the main frame and
// its panes, the action runner and dispatcher, and the dialogs.

#include "app/appservices.h"

class CTheApp;

class CTheAppServices : public CAppServices {
public:
    // The main-window commands whose dialogs ShowDialog opens.
    static constexpr int kOptionsCommand = 32810;
    static constexpr int kAboutCommand = 57664;
    static constexpr int kActionScriptCommand = 32851;

    explicit CTheAppServices(CTheApp& app) : m_app(app) {}

    void AddRootItem(const QString& label) override;
    bool RestoreWorldView() override;
    bool OpenWorldView(const QString& path) override;
    void NewWorldView() override;
    void AskSaveWorldViewOnExit() override;
    bool ShowCurl(const QString& locator) override;
    bool RunActionScript(const QString& path) override;
    int DispatchCurl(const QString& action) override;
    QString SelectedItemFullCurl() override;
    bool SelectedItemHasBrowserPart() override;
    quint64 SelectedServerId() override;
    bool HasSelectedItem() override;
    QString SelectedServerBaseURL() override;
    int RefreshItemKeepSelection(const void* item, bool collapse) override;
    void GridDataReady(quint16 requesterId, CNamedPipe clientEnd) override;
    void TreeDataReady(quint16 requesterId, CNamedPipe clientEnd) override;
    void LogoutAllServers() override;
    void LoginAllMatching(const QString& text) override;
    void SaveColumnPreferences() override;
    void SaveRebarLayout() override;
    void NextPane() override;
    void TreePaneCommand(int commandId) override;
    void ShowDialog(int commandId) override;
    void ShowOptions(int startPage) override;
    bool HideFirstVisibleFloatingBrowser() override;
    void ShowPreferencesPanel() override;
    int ReDiscover(const QString& requestUrl, const QString& resultsUrl) override;
    bool IsProgressActive() override;
    void CancelProgress() override;

private:
    CTheApp& m_app;
};
