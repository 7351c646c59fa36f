#pragma once

// What the preferences store asks of the windows and services around it: the
// main window and its splitter, the folder-contents list, the rebar, the
// language pack and the warning box. The application installs its site on
// its store; a store without one stands alone (see CPreferences::SetSite).

#include <QString>

#include <optional>

class QWidget;

class CPreferencesSite {
public:
    virtual ~CPreferencesSite() = default;

    // The main window, or null while it does not exist.
    virtual QWidget* MainFrameWindow() = 0;
    // The width of column 0 of the main splitter; none while there is no splitter.
    virtual std::optional<int> MainSplitterColumnWidth() = 0;
    // Sets column 0 of the main splitter and lays the splitter out again.
    virtual void SetMainSplitterColumn(int width, int minimum) = 0;
    // Adds the style bits to the folder-contents list, when the list exists
    // and the application is up.
    virtual void ApplyListViewMode(int styleBits) = 0;
    // Lets the rebar put its bands back as the preferences describe them.
    virtual void RestoreRebarLayout() = 0;
    // Fills the language pack from its built-in table.
    virtual void LoadBuiltInLanguagePack() = 0;
    // Loads a language pack file on top of the current pack.
    virtual void LoadLanguagePack(const QString& path) = 0;
    // Shows a box with an exclamation icon.
    virtual void WarningBox(const QString& text) = 0;
};
