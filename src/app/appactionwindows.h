#pragma once

// The program's windows as the action language drives them: the main frame's
// grid, navigator, tab strip, bars and browser pane, the World View pane,
// the prompt and file chooser dialogs, and the browser and help windows.

#include "app/actionwindows.h"

class CTheApp;

class CAppActionWindows : public CActionWindows {
public:
    explicit CAppActionWindows(CTheApp& app) : m_app(app) {}

    bool HasGrid() override;
    bool IsGridUsable() override;
    QString GridSelectedRowsByColName(const QString& column, const QString& separator) override;
    QString GridSelectedRowsByColProp(const QString& rowSeparator,
                                      const QString& keySeparator) override;
    int GridSelectRows(const QString& keys, const QString& rowSeparator,
                       const QString& keySeparator) override;
    bool GridSaveAsCSV(const QString& path, bool selectedOnly, bool modifierHeld) override;
    bool GridSortByColName(const QString& column, bool ascending) override;
    bool GridHasFieldChooser() override;
    void GridOpenFieldChooser() override;
    void GridSetRowsToReselect(const QString& keys) override;
    void GridSetReselectAfterLoad() override;
    void GridReload() override;
    bool GridIsLastRowEmpty() override;
    void GridDeleteLastRow() override;
    void GridNewRow() override;
    int GridRowCount() override;
    QString GridMenuName() override;
    QString GridPropertiesURL() override;
    bool GridUpdatePropertiesPanel(const QString& url) override;
    bool GridShowRowProperties() override;
    void GridEndLoad() override;

    bool HasNavigator() override;
    void Navigate(const QString& where) override;
    bool HasTabs() override;
    void SelectCurrentTab() override;
    bool SelectTabByLabel(const QString& labelOrNumber) override;
    void AddPart(QTreeWidgetItem* item, const QString& label, const QString& action) override;
    void BlankBrowserPane() override;

    void SetFilter(const QString& text) override;
    bool IsWizardVisible() override;
    void ToggleWizardBar() override;

    void NewFolder(const QString& label) override;
    void NewServer(QTreeWidgetItem* item, const QString& descriptor) override;
    void FetchAndExpand(QTreeWidgetItem* item) override;
    void RefreshDynamicParent(QTreeWidgetItem* item) override;

    bool Prompt(const QString& text, QString& answer) override;
    bool SelectFile(const QString& keyPrefix, const QString& folder, QString& chosen) override;

    void LaunchBrowser(const QString& url, const QString& title) override;
    void LaunchHelp(const QString& url) override;
    void WizardNavigate(const QString& url) override;
    void SetBigFormField(const QString& field, const QString& value) override;
    void NavigateAndWait(const QString& url) override;
    bool IsBrowserBusy() override;
    void StopBrowser() override;

private:
    CTheApp& m_app;
    // The "[PKEY]" values to select again after the next load.
    QString m_rowsToReselect;
};
