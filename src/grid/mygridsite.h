#pragma once

// What a data grid needs of the windows around it: the view that holds it
// (its navigator, its choosers, the row counter timer of the main frame),
// the search bar, the status bar's progress and the application (the
// selected server, help, the properties panel). The right-hand view
// implements it for the main grid; a grid without a site of its own (the
// field chooser's) uses the default, which shows no navigator and logs a
// "SEAM" line for each part not built yet.

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
    virtual bool IsMainGrid(const CMyGrid& grid) const;
    // The server of the World View's selected item, null when none.
    virtual CMySystem* SelectedSystem();

    // The 50 ms row counter timer (1037) on the main frame.
    virtual void StartRowCounter();
    virtual void StopRowCounter();
    // The status-bar progress of grid loads.
    virtual CGridProgress& Progress();

    // The search bar's filter box goes back to its cue text.
    virtual void ResetFilterText();
    // Lets pending events run once (the grid is hidden at a load's start).
    virtual void PumpMessages();

    // The chunk navigator of the view, null when the view has none.
    virtual CGridNavigator* Navigator();
    // Shows or hides the view's navigator.
    virtual void ShowNavigator(bool show);
    // The element chooser's "disable_advanced_filters",
    // "enable_advanced_filters" and "unhide_advanced_filters" and the job
    // chooser's "disable_jobchooser_filters", with their texts, when the view
    // shows that chooser.
    virtual void ChooserFilterCommand(const QString& command, const QString& text);
    // The chooser panel that the navigator re-runs for another chunk, null
    // when the view shows none (the default: the navigator's own owner).
    virtual CNavigatorOwner* NavigatorOwner();

    // The properties panel under the main grid: whether it shows, a page
    // opened in it (1 when opened), closed, and replaced by a blank page.
    virtual bool IsPropertiesPanelVisible() const;
    virtual int OpenProperties(const QString& url);
    virtual int CloseProperties();
    virtual void BlankBrowserPane();
    // The field "DirtyBit" of the form "BigForm" of the page the panel
    // holds: non-zero while the page keeps edits not yet sent.
    virtual int PropertiesDirtyBit();
    // The application's properties page for the name/value list, in the
    // panel; its result, 0 when it could not be shown.
    virtual int ShowProperties(CMySystem* system, const KPROPS& properties);
    // The window the grid's server menu runs its items for.
    virtual QWidget* MenuOwner();
    // Whether the application is in context-help mode, and its help window.
    virtual bool IsContextHelpMode() const;
    virtual void LaunchHelp(const QString& url);

private:
    CGridProgress m_progress;
};
