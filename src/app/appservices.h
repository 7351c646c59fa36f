#pragma once

// What start-up, the exit sequence and the application's services ask of
// the program's parts: the World View and its pane, locator rendering,
// action scripts, the selected item and its server, replies from servers,
// login and logout of every server, the dialogs of the main window's
// commands and the progress dialog. Every call runs on the UI thread.

#include "net/namedpipe.h"

#include <QString>

class CAppServices {
public:
    virtual ~CAppServices() = default;

    // ---- World View ----
    // Makes the tree's root item with the label.
    virtual void AddRootItem(const QString& label) = 0;
    // Restores the last World View with its server, automatic login and
    // current locator; true when one was restored.
    virtual bool RestoreWorldView() = 0;
    // Opens the World View at the path and makes it the current one; a
    // failure is shown in the World View's warning box. True when opened.
    virtual bool OpenWorldView(const QString& path) = 0;
    // Starts an empty World View in place of the current one.
    virtual void NewWorldView() = 0;
    // Asks whether to save a changed World View before the program ends;
    // with the boxes dismissed (nobody to ask) keeps the changes in the
    // recovery file instead.
    virtual void AskSaveWorldViewOnExit() = 0;

    // ---- locators, scripts and actions ----
    // Renders a curl locator into the right-hand panes; false when it
    // could not be rendered.
    virtual bool ShowCurl(const QString& locator) = 0;
    // Runs an action script file; the action queue carries it out. True
    // when it was read and ran without errors.
    virtual bool RunActionScript(const QString& path) = 0;
    // Runs one action of the action language; its result code.
    virtual int DispatchCurl(const QString& action) = 0;

    // ---- the selected item ----
    // Its full curl path, empty without a selection.
    virtual QString SelectedItemFullCurl() = 0;
    // Whether it shows a browser pane.
    virtual bool SelectedItemHasBrowserPart() = 0;
    // The identifier of its server, 0 without one.
    virtual quint64 SelectedServerId() = 0;
    // Whether an item is selected.
    virtual bool HasSelectedItem() = 0;
    // The base URL of its server, empty without one.
    virtual QString SelectedServerBaseURL() = 0;
    // Fetches the item (null: the selected one) again, keeping the grid's
    // selected rows; with `collapse` its children go first. 1 when fetched.
    virtual int RefreshItemKeepSelection(const void* item, bool collapse) = 0;

    // ---- replies from servers ----
    // A grid reply goes to the data grid of its requester (closed unread
    // when none waits).
    virtual void GridDataReady(quint16 requesterId, CNamedPipe clientEnd) = 0;
    // A tree reply is read into the World View from the pipe whose client
    // end is handed over (closed unread without a main window).
    virtual void TreeDataReady(quint16 requesterId, CNamedPipe clientEnd) = 0;

    // ---- servers ----
    // Client-side logout of every server of the World View.
    virtual void LogoutAllServers() = 0;
    // Logs in to every server entry whose label or host contains the text
    // (all of them for an empty text), with the progress dialog.
    virtual void LoginAllMatching(const QString& text) = 0;

    // ---- the main window ----
    // Writes the grid column preferences, at exit.
    virtual void SaveColumnPreferences() = 0;
    // Writes the bars' layout, at exit.
    virtual void SaveRebarLayout() = 0;
    // Keyboard focus to the next pane (Ctrl+Tab).
    virtual void NextPane() = 0;
    // A command of the World View pane (new, rename, delete, refresh...).
    virtual void TreePaneCommand(int commandId) = 0;
    // The modal dialog of a main-window command: options, about or the
    // action-script pad.
    virtual void ShowDialog(int commandId) = 0;
    // The options dialog at a page (-1: the one shown last time).
    virtual void ShowOptions(int startPage) = 0;
    // Hides the first visible floating browser; false when none is shown.
    virtual bool HideFirstVisibleFloatingBrowser() = 0;
    // The properties panel with the preferences in memory (Alt+I).
    virtual void ShowPreferencesPanel() = 0;
    // The rediscover dialog of a context-menu item, with its request and
    // results URLs, on the selected item's server; the dialog's result.
    virtual int ReDiscover(const QString& requestUrl, const QString& resultsUrl) = 0;

    // ---- the server-driven progress dialog ----
    // Whether it runs and is not cancelled, and its Cancel button.
    virtual bool IsProgressActive() = 0;
    virtual void CancelProgress() = 0;
};
