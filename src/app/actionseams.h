#pragma once

// What the action language asks of the windows: the main grid and its
// navigator, the tab strip and the properties browser, the bars above the
// grid, the World View pane's own commands, login to every server, the
// chooser, prompt and progress dialogs, browser windows and help, and the
// wizard bar's browser. The main grid (selection, keys, sorting, reloads,
// counts, new rows, its properties panel), its navigator, the tab strip, the
// browser pane and its page, browser windows, help, the wizard bar's
// browser, the World View pane, login to every server, the field chooser,
// the server file chooser, the prompt and the progress dialog are the real
// ones; every other default writes one "SEAM" debug line naming the call and
// does nothing else until its part is built: without a grid the grid
// commands report that it is not active, and questions answer "no". Tests
// install their own to watch the calls. Every call runs on the UI thread.

#include <QString>

#include <memory>

class CProgressBar;
class QTreeWidgetItem;

class CActionSeams {
public:
    CActionSeams();
    virtual ~CActionSeams();

    // ---- main grid ----
    // The right-hand view shows a data grid (it may still be hidden).
    virtual bool HasGrid();
    // The grid is a visible window that may be touched.
    virtual bool IsGridUsable();
    // The selected rows' values of a column, joined by the separator.
    virtual QString GridSelectedRowsByColName(const QString& column, const QString& separator);
    // The selected rows' "[PKEY]" values, rows joined by the first separator,
    // key columns by the second.
    virtual QString GridSelectedRowsByColProp(const QString& rowSeparator,
                                              const QString& keySeparator);
    // Selects the rows whose keys are listed; the number of rows selected.
    virtual int GridSelectRows(const QString& keys, const QString& rowSeparator,
                               const QString& keySeparator);
    // Writes the grid (or its selected rows) as CSV; false on failure.
    virtual bool GridSaveAsCSV(const QString& path, bool selectedOnly, bool modifierHeld);
    virtual bool GridSortByColName(const QString& column, bool ascending);
    virtual bool GridHasFieldChooser();
    virtual void GridOpenFieldChooser();
    virtual void GridSetRowsToReselect(const QString& keys);
    virtual void GridSetReselectAfterLoad();
    virtual void GridReload();
    virtual bool GridIsLastRowEmpty();
    virtual void GridDeleteLastRow();
    virtual void GridNewRow();
    virtual int GridRowCount();
    virtual QString GridMenuName();
    virtual QString GridPropertiesURL();
    virtual bool GridUpdatePropertiesPanel(const QString& url);
    virtual bool GridShowRowProperties();
    virtual void GridEndLoad();

    // ---- grid navigator, tab strip, properties browser ----
    virtual bool HasNavigator();
    virtual void Navigate(const QString& where);
    virtual bool HasTabs();
    virtual void SelectCurrentTab();
    virtual bool SelectTabByLabel(const QString& labelOrNumber);
    virtual void AddPart(QTreeWidgetItem* item, const QString& label, const QString& action);
    virtual void BlankBrowserPane();

    // ---- bars: quick filter and wizard bar ----
    virtual void SetFilter(const QString& text);
    virtual bool IsWizardVisible();
    virtual void ToggleWizardBar();

    // ---- World View pane ----
    virtual void NewFolder(const QString& label);
    virtual void NewServer(QTreeWidgetItem* item, const QString& descriptor);
    virtual void FetchAndExpand(QTreeWidgetItem* item);
    virtual void RefreshDynamicParent(QTreeWidgetItem* item);

    // ---- login to every server ----
    virtual int CountMatchingSystems(const QString& text);
    // The whole run with its progress; entries without a user name or
    // password log in with the default account given.
    virtual void LoginMatchingSystems(const QString& text, const QString& defaultUser,
                                      const QString& defaultPassword);

    // ---- prompt and progress ----
    // Asks for a value; false when cancelled. UI thread.
    virtual bool Prompt(const QString& text, QString& answer);
    // A progress dialog over the main window for a run of `count` steps,
    // its steps and action text, whether its Cancel was pressed, its end.
    virtual void StartProgress(const QString& title, int count);
    virtual void StepProgress();
    virtual void SetProgressText(const QString& text);
    virtual bool IsProgressCancelled();
    virtual void EndProgress();

    // ---- server-side file chooser ----
    // The file chooser on the selected item's server; false when cancelled.
    virtual bool SelectFile(const QString& keyPrefix, const QString& folder, QString& chosen);

    // ---- browser windows, help and the wizard bar's browser ----
    virtual void LaunchBrowser(const QString& url, const QString& title);
    virtual void LaunchHelp(const QString& url);
    virtual void WizardNavigate(const QString& url);
    // Writes a field of the properties page's form "BigForm".
    virtual void SetBigFormField(const QString& field, const QString& value);
    // Navigates the properties browser and waits until the page is loaded.
    virtual void NavigateAndWait(const QString& url);
    virtual bool IsBrowserBusy();
    virtual void StopBrowser();

protected:
    static void logSeam(const char16_t* name, const QString& argument = {});

private:
    // The "[PKEY]" values to select again after the next load.
    QString m_rowsToReselect;
    std::unique_ptr<CProgressBar> m_progress;
};
