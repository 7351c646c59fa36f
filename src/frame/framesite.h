#pragma once

// What the main frame needs of the application that owns it: the settings,
// the World View model and the panels, the running of actions and scripts,
// the back/forward history, the flags that stop work, the progress display
// and the steps of the exit sequence that belong to other parts. The
// application implements it; tests pass their own.

#include <QString>

class CMySystem;
class CGridProgress;
class CLeftViewHost;
class CMyTree;
class KPROPS;
class CPanelFactory;
class CPreferences;
class CWorldViewFile;
class QTreeWidgetItem;

class CFrameSite {
public:
    virtual ~CFrameSite() = default;

    virtual CPreferences& Prefs() = 0;
    virtual CMyTree& Tree() = 0;
    virtual CPanelFactory& Panels() = 0;
    // What the World View pane needs of the application.
    virtual CLeftViewHost& LeftViewHost() = 0;
    virtual CWorldViewFile& WorldViewFile() = 0;
    // Runs an action script file handed to the window by another start.
    virtual void RunActionScript(const QString& path) = 0;
    // Runs one action of the action language; its result.
    virtual int DispatchCurl(const QString& action) = 0;

    // The selected item: whether there is one, the base URL of its server,
    // whether it has the browser part, and its full curl.
    virtual bool HasSelectedItem() = 0;
    virtual QString SelectedServerBaseURL() = 0;
    virtual bool SelectedItemHasBrowserPart() = 0;
    virtual QString SelectedItemFullCurl() = 0;

    // The app-is-up flag, the busy counter and the global cancel flag.
    virtual bool IsUp() = 0;
    virtual bool IsBusy() = 0;
    virtual void ClearCancelFlag() = 0;
    virtual void RaiseCancelFlag() = 0;
    virtual void PumpMessages(bool force) = 0;

    // The back/forward history: a new entry, the position (1-based) and
    // count, and one step back or forward with its entry run.
    virtual void AddHistory(const QString& fullCurl) = 0;
    virtual int HistoryPosition() = 0;
    virtual int HistoryCount() = 0;
    virtual int HistoryStep(bool forward) = 0;

    // Stop: the action queue aborts; every request of every session is
    // cancelled; the current server's server processes are cancelled.
    virtual void AbortActions() = 0;
    virtual void CancelAllRequests() = 0;
    virtual void CancelServerProcesses() = 0;
    // The server-driven progress display runs and is not cancelled; or was
    // cancelled (tree replies are then ignored).
    virtual bool IsProgressRunning() = 0;
    virtual bool IsProgressCancelled() = 0;
    // Cancels the running progress display as its Cancel button does: the
    // server that named the job's cancel request gets it.
    virtual void CancelProgress() = 0;
    // The status bar's progress display, which the main grid's loads drive.
    virtual CGridProgress& StatusBarProgress() = 0;

    // Fetches the item again (null: the selected one), the grid's selected
    // rows selected again once it has loaded; 0 when it has nothing to fetch.
    virtual int RefreshItemKeepSelection(QTreeWidgetItem* item, bool collapse) = 0;
    // Help pages through the application's help launcher.
    virtual void LaunchHelp(const QString& url) = 0;
    // The properties page for the name/value list in the properties pane;
    // 0 when it could not be shown.
    virtual int ShowProperties(CMySystem* system, const KPROPS& properties) = 0;
    // Commands the World View pane carries out (new, rename, delete...).
    virtual void TreePaneCommand(int commandId) = 0;
    // The modal dialogs of the options (32810), about (57664) and action
    // script (32851) commands.
    virtual void ShowDialog(int commandId) = 0;
    // The properties panel listing the preferences in memory.
    virtual void ShowPreferencesPanel() = 0;
    // Hides the first visible floating browser window; false when none is.
    virtual bool HideFirstVisibleFloatingBrowser() = 0;
    // Context-help mode (Shift+F1).
    virtual bool InContextHelpMode() = 0;
    virtual void SetContextHelpMode(bool on) = 0;
    // Puts a server under the root from a "name/scheme/host[/port]" text;
    // an empty one asks the user as New Server does.
    virtual void NewServer(const QString& descriptor) = 0;

    // The exit sequence: the program stops being up, every server is logged
    // out, and the bars' layout, the World View (after asking) and the grid
    // column preferences are saved.
    virtual void SetUp(bool up) = 0;
    virtual void LogoutAllServers() = 0;
    virtual void SaveRebarLayout() = 0;
    virtual void AskSaveWorldViewOnExit() = 0;
    virtual void SaveColumnPreferences() = 0;

    // The developer About box, modal (a right double-click on the busy
    // animation opens it).
    virtual void ShowDeveloperAbout() = 0;
};
