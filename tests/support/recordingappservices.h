#pragma once

// The application's services as a test sets them up. Start-up, the World
// View, scripts, rendering, the selected item, logins and the exit steps
// answer as the test says and are recorded in `calls` (the selected item's
// questions are not recorded: the program asks them all the time). The
// calls that reach the windows (replies, dialogs, panes, the progress
// dialog) go on to the program's own services unless the test takes them
// over, so tests that drive the main frame see them work.

#include "app/theappservices.h"

#include <QStringList>

#include <functional>
#include <optional>

class RecordingAppServices : public CAppServices {
public:
    explicit RecordingAppServices(CTheApp& app) : m_program(app) {}

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

    // The answers the double gives.
    bool restores = false;            // RestoreWorldView
    std::function<void()> onRestore;  // runs inside RestoreWorldView
    bool rendersCurl = true;          // ShowCurl
    QString fullCurl;                 // the selected item's
    quint64 serverId = 0;             // the selected item's server's
    bool hasSelectedItem = false;
    QString baseUrl;                                        // the selected item's server's
    std::function<void(const QString&)> onRunActionScript;  // runs before the call is recorded
    // True: the calls answered above go on to the program's own services and
    // answer with them (still recorded), for tests that start the real
    // program on its World View and take over only a call or two below.
    bool passesThrough = false;

    // Calls a test takes over from the program's own services; unset, they
    // go on to them.
    std::optional<int> dispatchResult;       // DispatchCurl answers it and runs nothing
    std::optional<bool> progressActive;      // IsProgressActive
    std::optional<int> floatingBrowsers;     // shown, one hidden per call
    std::function<void(int)> onPaneCommand;  // the World View pane's commands
    std::function<void()> onPreferencesPanel;

    QStringList calls;       // "Name" or "Name(argument)", in order
    QStringList dispatched;  // every action given to DispatchCurl

private:
    void record(const char16_t* name, const QString& argument = {});

    CTheAppServices m_program;
};
