#pragma once

// What the main frame needs of the application that owns it: the settings,
// the running of a handed-over action script, the selected World View item,
// and the steps of the exit sequence that belong to other parts. The
// application implements it; tests pass their own.

#include <QString>

class CPreferences;

class CFrameSite {
public:
    virtual ~CFrameSite() = default;

    virtual CPreferences& Prefs() = 0;
    // Runs an action script file handed to the window by another start.
    virtual void RunActionScript(const QString& path) = 0;

    // The selected item: whether there is one, the base URL of its server,
    // whether it has the browser part, and its full curl.
    virtual bool HasSelectedItem() = 0;
    virtual QString SelectedServerBaseURL() = 0;
    virtual bool SelectedItemHasBrowserPart() = 0;
    virtual QString SelectedItemFullCurl() = 0;

    // The exit sequence: the program stops being up, every server is logged
    // out, and the bars' layout, the World View (after asking) and the grid
    // column preferences are saved.
    virtual void SetUp(bool up) = 0;
    virtual void LogoutAllServers() = 0;
    virtual void SaveRebarLayout() = 0;
    virtual void AskSaveWorldViewOnExit() = 0;
    virtual void SaveColumnPreferences() = 0;

    // The windows of the frame's commands that belong to the application:
    // the About window of the Help menu, the developer About box (a right
    // double-click on the busy animation) and the action-script pad (Ctrl+G).
    virtual void ShowAboutWindow() = 0;
    virtual void ShowDeveloperAbout() = 0;
    virtual void ShowActionScriptDialog() = 0;
};
