#pragma once

// What the action language asks of the windows: the main grid and its
// navigator, the tab strip and the properties browser, the bars above the
// grid, the World View pane's own commands, the prompt and the server file
// chooser, browser windows and help, and the wizard bar's browser. Without a
// main window the grid commands find no grid and questions answer "no".
// Every call runs on the UI thread.

#include <QString>

class QTreeWidgetItem;

class CActionWindows {
public:
    virtual ~CActionWindows() = default;

    // ---- main grid ----
    // The right-hand view shows a data grid (it may still be hidden).
    virtual bool HasGrid() = 0;
    // The grid is a visible window that may be touched.
    virtual bool IsGridUsable() = 0;
    // The selected rows' values of a column, joined by the separator.
    virtual QString GridSelectedRowsByColName(const QString& column, const QString& separator) = 0;
    // The selected rows' "[PKEY]" values, rows joined by the first separator,
    // key columns by the second.
    virtual QString GridSelectedRowsByColProp(const QString& rowSeparator,
                                              const QString& keySeparator) = 0;
    // Selects the rows whose keys are listed; the number of rows selected.
    virtual int GridSelectRows(const QString& keys, const QString& rowSeparator,
                               const QString& keySeparator) = 0;
    // Writes the grid (or its selected rows) as CSV; false on failure.
    virtual bool GridSaveAsCSV(const QString& path, bool selectedOnly, bool modifierHeld) = 0;
    // Sorts by the named column; false when the grid has no such column.
    virtual bool GridSortByColName(const QString& column, bool ascending) = 0;
    // Whether the grid names a field chooser, and opens it.
    virtual bool GridHasFieldChooser() = 0;
    virtual void GridOpenFieldChooser() = 0;
    // Remembers the "[PKEY]" values to select again, and arms the grid to
    // select them when its next load ends.
    virtual void GridSetRowsToReselect(const QString& keys) = 0;
    virtual void GridSetReselectAfterLoad() = 0;
    // Loads the grid again from its server.
    virtual void GridReload() = 0;
    // Whether the last row is an empty new row, and deletes it.
    virtual bool GridIsLastRowEmpty() = 0;
    virtual void GridDeleteLastRow() = 0;
    // Appends an empty row for the user to fill.
    virtual void GridNewRow() = 0;
    // The number of data rows, headers not counted.
    virtual int GridRowCount() = 0;
    // The name of the grid's server menu.
    virtual QString GridMenuName() = 0;
    // The URL of the selected row's properties page.
    virtual QString GridPropertiesURL() = 0;
    // Shows the page at the URL in the properties panel; false when it cannot.
    virtual bool GridUpdatePropertiesPanel(const QString& url) = 0;
    // Shows the selected row's properties; false when it cannot.
    virtual bool GridShowRowProperties() = 0;
    // Ends a load in progress, keeping the rows that arrived; a grid at
    // rest keeps its rows, counts and texts.
    virtual void GridEndLoad() = 0;

    // ---- grid navigator, tab strip, properties browser ----
    // Whether the grid has a navigator, and moves it a chunk ("first",
    // "prior", "next" or "last").
    virtual bool HasNavigator() = 0;
    virtual void Navigate(const QString& where) = 0;
    // Whether the right-hand side shows a tab strip, and selects its first tab.
    virtual bool HasTabs() = 0;
    virtual void SelectCurrentTab() = 0;
    // Selects the tab with the label, else the one with that one-based
    // number; false when there is none.
    virtual bool SelectTabByLabel(const QString& labelOrNumber) = 0;
    // Adds a tab with the label and action to the item's part list.
    virtual void AddPart(QTreeWidgetItem* item, const QString& label, const QString& action) = 0;
    // Shows a blank page in the browser pane.
    virtual void BlankBrowserPane() = 0;

    // ---- bars: quick filter and wizard bar ----
    // Puts the text into the quick filter, which filters the grid.
    virtual void SetFilter(const QString& text) = 0;
    // Whether the wizard bar is shown, and shows or hides it.
    virtual bool IsWizardVisible() = 0;
    virtual void ToggleWizardBar() = 0;

    // ---- World View pane ----
    // A new folder with the label beside or below the selected item, as the
    // pane's own New Folder command places it.
    virtual void NewFolder(const QString& label) = 0;
    // A new server entry under the item from a "name/protocol/host/..."
    // descriptor.
    virtual void NewServer(QTreeWidgetItem* item, const QString& descriptor) = 0;
    // Fetches the item's children from its server and expands it.
    virtual void FetchAndExpand(QTreeWidgetItem* item) = 0;
    // Refreshes the item's nearest dynamic ancestor and opens it.
    virtual void RefreshDynamicParent(QTreeWidgetItem* item) = 0;

    // ---- prompt and server-side file chooser ----
    // Asks for a value; false when cancelled.
    virtual bool Prompt(const QString& text, QString& answer) = 0;
    // The file chooser on the selected item's server; false when cancelled.
    virtual bool SelectFile(const QString& keyPrefix, const QString& folder, QString& chosen) = 0;

    // ---- browser windows, help and the wizard bar's browser ----
    // Opens the URL in a floating browser window with the title.
    virtual void LaunchBrowser(const QString& url, const QString& title) = 0;
    // Opens the help page at the URL (the selected server's help for none).
    virtual void LaunchHelp(const QString& url) = 0;
    // Opens the URL in the wizard bar.
    virtual void WizardNavigate(const QString& url) = 0;
    // Writes a field of the properties page's form "BigForm".
    virtual void SetBigFormField(const QString& field, const QString& value) = 0;
    // Navigates the properties browser and waits until the page is loaded.
    virtual void NavigateAndWait(const QString& url) = 0;
    // Whether the properties browser is loading, and stops it.
    virtual bool IsBrowserBusy() = 0;
    virtual void StopBrowser() = 0;
};
