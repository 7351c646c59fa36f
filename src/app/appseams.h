#pragma once

// What start-up, the exit sequence and the application's services call of
// other parts: the World View model and its pane, locator rendering, action
// scripts, server connections and the progress dialog. The World View root,
// restore and save question, the selected item's queries, action scripts,
// the action dispatcher, the About window and the action-script pad reach the
// application's own parts; every
// other default writes one "SEAM" debug line naming the call and does nothing
// else until its part arrives. Tests install their own to watch the order of calls.

#include "net/namedpipe.h"

#include <QString>

class CAppSeams {
public:
    virtual ~CAppSeams() = default;

    // World View: the tree root, restoring the last World View (with its
    // server, automatic login and current locator), and its save question.
    virtual void AddRootItem(const QString& label);
    // True when a World View was restored.
    virtual bool RestoreWorldView();
    // Opens the World View at the path and makes it the current one; a
    // failure is shown in the World View's warning box. True when opened.
    virtual bool OpenWorldView(const QString& path);
    virtual void SetCurrentWorldView(const QString& path);
    virtual void NewWorldView();
    virtual void AskSaveWorldViewOnExit();

    // Renders a curl locator into the right-hand panes; false when it
    // could not be rendered.
    virtual bool ShowCurl(const QString& locator);
    // Runs an action script file; the action queue carries it out. True
    // when it was read and ran without errors.
    virtual bool RunActionScript(const QString& path);
    // Runs one action of the action language.
    virtual int DispatchCurl(const QString& action);

    // The selected item: its full curl, whether it has the browser part, and
    // the identifier of its server (0 without one).
    virtual QString SelectedItemFullCurl();
    virtual bool SelectedItemHasBrowserPart();
    virtual quint64 SelectedServerId();
    // Whether an item is selected, and the base URL of its server.
    virtual bool HasSelectedItem();
    virtual QString SelectedServerBaseURL();
    // A grid reply goes to the data grid of its requester (closed unread
    // when none waits); a tree reply waits in the pipe whose client end is
    // handed over, and the default closes it unread.
    virtual void GridDataReady(quint16 requesterId, CNamedPipe clientEnd);
    virtual void TreeDataReady(quint16 requesterId, CNamedPipe clientEnd);
    // Fetches the item again, keeping the grid's selected rows.
    virtual int RefreshItemKeepSelection(const void* item, bool collapse);
    // Client-side logout of every server of the World View.
    virtual void LogoutAllServers();
    // Logs in to every server entry whose label or host contains the text
    // (all of them for an empty text), with the progress dialog.
    virtual void LoginAllMatching(const QString& text);
    // The grid column preferences and the bars' layout, written at exit.
    virtual void SaveColumnPreferences();
    virtual void SaveRebarLayout();
    // Keyboard focus to the next pane (Ctrl+Tab).
    virtual void NextPane();
    // A command of the World View pane (new, rename, delete, refresh...).
    virtual void TreePaneCommand(int commandId);
    // The options (32810), about (57664) and action-script (32851) dialogs.
    static constexpr int kAboutCommand = 57664;
    static constexpr int kActionScriptCommand = 32851;
    virtual void ShowDialog(int commandId);
    // Hides the first visible floating browser; false when none is shown.
    virtual bool HideFirstVisibleFloatingBrowser();
    // The properties panel with the preferences in memory (Alt+I).
    virtual void ShowPreferencesPanel();

    // The rediscover dialog of a context-menu item, with its request and
    // results URLs, on the selected item's server; the dialog's result.
    virtual int ReDiscover(const QString& requestUrl, const QString& resultsUrl);

    // The server-driven progress dialog: active and not cancelled, and its
    // Cancel button.
    virtual bool IsProgressActive();
    virtual void CancelProgress();

protected:
    static void logSeam(const char16_t* name, const QString& argument = {});
};
