#pragma once

// What a data grid needs of the windows around it: the view that holds it
// (its navigator, its choosers, the row counter timer of the main frame),
// the search bar, the status bar's progress and the application (the
// selected server, help, the properties panel). The right-hand view
// implements it for the main grid (CMainGridSite), a dialog for the grid it
// holds (CDialogGridSite).

#include "grid/gridprogress.h"

#include <QString>

class CGridNavigator;
class KPROPS;
class QWidget;
class CMyGrid;
class CNavigatorOwner;
class CMySystem;

class CMyGridSite {
public:
    virtual ~CMyGridSite() = default;

    // Whether the grid is the main window's grid: only that one writes the
    // status panes, drives the row counter and the progress, and owns the
    // grid pipe of the synchronous path.
    virtual bool IsMainGrid(const CMyGrid& grid) const = 0;
    // The server of the World View's selected item, null when none.
    virtual CMySystem* SelectedSystem() = 0;

    // Starts and stops the 50 ms row counter timer (1037) on the main frame.
    virtual void StartRowCounter() = 0;
    virtual void StopRowCounter() = 0;
    // The progress display of grid loads.
    virtual CGridProgress& Progress() = 0;

    // The search bar's filter box goes back to its cue text.
    virtual void ResetFilterText() = 0;
    // Lets pending events run once (the grid is hidden at a load's start).
    virtual void PumpMessages() = 0;

    // The chunk navigator of the view, null when the view has none.
    virtual CGridNavigator* Navigator() = 0;
    // Shows or hides the view's navigator.
    virtual void ShowNavigator(bool show) = 0;
    // Passes the element chooser's "disable_advanced_filters",
    // "enable_advanced_filters" and "unhide_advanced_filters" and the job
    // chooser's "disable_jobchooser_filters", with their texts, to that
    // chooser when the view shows it.
    virtual void ChooserFilterCommand(const QString& command, const QString& text) = 0;
    // The chooser panel that the navigator re-runs for another chunk, null
    // when the view shows none.
    virtual CNavigatorOwner* NavigatorOwner() = 0;

    // Whether the properties panel under the main grid shows.
    virtual bool IsPropertiesPanelVisible() const = 0;
    // Opens a page in the properties panel; 1 when opened.
    virtual int OpenProperties(const QString& url) = 0;
    // Closes the properties panel; 1 when closed.
    virtual int CloseProperties() = 0;
    // Replaces the properties panel's page by a blank one.
    virtual void BlankBrowserPane() = 0;
    // The field "DirtyBit" of the form "BigForm" of the page the panel
    // holds: non-zero while the page keeps edits not yet sent.
    virtual int PropertiesDirtyBit() = 0;
    // Shows the application's properties page for the name/value list in
    // the panel; its result, 0 when it could not be shown.
    virtual int ShowProperties(CMySystem* system, const KPROPS& properties) = 0;
    // The window the grid's server menu runs its items for.
    virtual QWidget* MenuOwner() = 0;
    // Whether the application is in context-help mode.
    virtual bool IsContextHelpMode() const = 0;
    // Opens the help window at the URL.
    virtual void LaunchHelp(const QString& url) = 0;
};
