#pragma once

// What the World View pane needs of the windows and the application around
// it: the running script and the Stop command, the main window's command
// route and right-hand side, help, the grid its menus act on, the login
// panel, the name dialog of server files, requests to the server's
// services, the start of another instance, and for drops the action runner,
// the data grid's drag type and the question about unsaved changes. The
// application fills it in.

#include "framework/kprops.h"

#include <QString>

class CMenuGridRows;
class CMyItem;
class QTreeWidgetItem;
class QWidget;

class CLeftViewHost {
public:
    virtual ~CLeftViewHost() = default;

    // The program is up (start-up has ended, exit has not begun).
    virtual bool IsAppUp() const = 0;
    // An abort of the action script is in progress.
    virtual bool IsAborting() const = 0;
    // The calling thread is the one being aborted.
    virtual bool OnAbortedThread() const = 0;
    // Aborts the running action script (a click does, before it acts).
    virtual void AbortActions() = 0;
    // The main window's Stop.
    virtual void StopRunningWork() = 0;
    // Sends a command to the main window, as a chosen menu item does.
    virtual void SendCommand(int commandId) = 0;
    // Builds the right-hand side again for the selected item.
    virtual int RebuildRHS() = 0;
    // The main window waits for a click to show that item's help.
    virtual bool InContextHelpMode() const = 0;
    // Opens the help page at the URL (the help's start page when empty).
    virtual void LaunchHelp(const QString& url) = 0;
    // Fetches the item again keeping the grid's selected rows.
    virtual int RefreshItemKeepSelection(QTreeWidgetItem* item, bool collapse) = 0;
    // The main data grid, null when none is shown.
    virtual CMenuGridRows* MainGrid() = 0;
    // The right-hand view shows the login panel.
    virtual bool IsLoginPanelShown() = 0;
    // Runs the login panel's OK.
    virtual void RunLoginPanelOK() = 0;
    // Asks the name of a new server folder or file; false when cancelled.
    virtual bool AskObjectName(bool folder, QString& name) = 0;
    // Posts the query to the services of the selected item's server.
    virtual int PostToServices(const QString& query) = 0;
    // Saves the World View to its file; false when it was not written.
    virtual bool SaveWorldView() = 0;
    // Writes the preferences to their file.
    virtual void SavePreferences() = 0;
    // The program's own path, for a new instance.
    virtual QString ModulePath() const = 0;
    // The preference "ContextDebugging" is set: menus offer the debugger.
    virtual bool IsContextDebugging() const = 0;
    // Translates a menu's texts when a language pack is active.
    virtual void TranslateMenu(QWidget* menu) = 0;
    // The right-hand folder list shows the record with a new image.
    virtual void UpdateListImage(const CMyItem* record, int image) = 0;
    // Runs the actions of a drop, context 'G' for grid rows and 0 otherwise.
    virtual void RunActions(const KPROPS& actions, int context) = 0;
    // The drag type of the main data grid's rows, empty without a grid.
    virtual QString GridDragType() const = 0;
    // Offers to save the World View's unsaved changes; false when the user
    // cancels.
    virtual bool AskToSaveChanges() = 0;
};
