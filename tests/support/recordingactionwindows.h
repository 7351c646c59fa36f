#pragma once

// The action language's windows as a test sets them up: a grid, tabs, a
// prompt, browser windows and help that answer as the test says, each call
// to them recorded in `calls`. Every other call goes on to the program's own
// windows, which without a main frame find nothing to act on; a tab added
// with AddPart is recorded and added to the item's part list.

#include "app/appactionwindows.h"

#include <QStringList>
#include <QTreeWidgetItem>

#include <map>

class RecordingActionWindows : public CActionWindows {
public:
    explicit RecordingActionWindows(CTheApp& app) : m_program(app) {}

    bool HasGrid() override { return hasGrid; }
    bool IsGridUsable() override { return hasGrid; }
    QString GridSelectedRowsByColName(const QString& column, const QString&) override {
        record(u"GridSelectedRowsByColName", column);
        const auto found = columns.find(column);
        return found != columns.end() ? found->second : QString();
    }
    QString GridSelectedRowsByColProp(const QString&, const QString&) override {
        return selectedKeys;
    }
    int GridSelectRows(const QString& keys, const QString&, const QString&) override {
        record(u"GridSelectRows", keys);
        return rowsMatched;
    }
    bool GridSaveAsCSV(const QString& path, bool selectedOnly, bool) override {
        record(selectedOnly ? u"GridSaveSelected" : u"GridSaveAll", path);
        return csvWritten;
    }
    bool GridSortByColName(const QString& column, bool ascending) override {
        record(u"GridSort", column + (ascending ? QStringLiteral(",up") : QStringLiteral(",down")));
        return true;
    }
    bool GridHasFieldChooser() override { return false; }
    void GridOpenFieldChooser() override { m_program.GridOpenFieldChooser(); }
    void GridSetRowsToReselect(const QString& keys) override {
        m_program.GridSetRowsToReselect(keys);
    }
    void GridSetReselectAfterLoad() override { m_program.GridSetReselectAfterLoad(); }
    void GridReload() override { m_program.GridReload(); }
    bool GridIsLastRowEmpty() override { return m_program.GridIsLastRowEmpty(); }
    void GridDeleteLastRow() override { m_program.GridDeleteLastRow(); }
    void GridNewRow() override { m_program.GridNewRow(); }
    int GridRowCount() override { return m_program.GridRowCount(); }
    QString GridMenuName() override { return m_program.GridMenuName(); }
    QString GridPropertiesURL() override { return m_program.GridPropertiesURL(); }
    bool GridUpdatePropertiesPanel(const QString& url) override {
        return m_program.GridUpdatePropertiesPanel(url);
    }
    bool GridShowRowProperties() override { return m_program.GridShowRowProperties(); }
    void GridEndLoad() override { record(u"GridEndLoad"); }

    bool HasNavigator() override { return m_program.HasNavigator(); }
    void Navigate(const QString& where) override { m_program.Navigate(where); }
    bool HasTabs() override { return m_program.HasTabs(); }
    void SelectCurrentTab() override { m_program.SelectCurrentTab(); }
    bool SelectTabByLabel(const QString& label) override {
        record(u"SelectTab", label);
        return tabs.contains(label);
    }
    void AddPart(QTreeWidgetItem* item, const QString& label, const QString& action) override {
        record(u"AddPart", label + QStringLiteral(" -> ") + action);
        m_program.AddPart(item, label, action);
    }
    void BlankBrowserPane() override { m_program.BlankBrowserPane(); }

    void SetFilter(const QString& text) override { m_program.SetFilter(text); }
    bool IsWizardVisible() override { return m_program.IsWizardVisible(); }
    void ToggleWizardBar() override { m_program.ToggleWizardBar(); }

    void NewFolder(const QString& label) override { m_program.NewFolder(label); }
    void NewServer(QTreeWidgetItem* item, const QString& descriptor) override {
        m_program.NewServer(item, descriptor);
    }
    void FetchAndExpand(QTreeWidgetItem* item) override {
        record(u"FetchAndExpand", item != nullptr ? item->text(0) : QStringLiteral("-"));
    }
    void RefreshDynamicParent(QTreeWidgetItem* item) override {
        m_program.RefreshDynamicParent(item);
    }

    bool Prompt(const QString& text, QString& answer) override {
        record(u"Prompt", text);
        answer = promptAnswer;
        return promptAnswers;
    }
    bool SelectFile(const QString& keyPrefix, const QString& folder, QString& chosen) override {
        return m_program.SelectFile(keyPrefix, folder, chosen);
    }

    void LaunchBrowser(const QString& url, const QString& title) override {
        record(u"LaunchBrowser", url + QStringLiteral(" | ") + title);
    }
    void LaunchHelp(const QString& url) override { record(u"LaunchHelp", url); }
    void WizardNavigate(const QString& url) override { m_program.WizardNavigate(url); }
    void SetBigFormField(const QString& field, const QString& value) override {
        m_program.SetBigFormField(field, value);
    }
    void NavigateAndWait(const QString& url) override { m_program.NavigateAndWait(url); }
    bool IsBrowserBusy() override { return m_program.IsBrowserBusy(); }
    void StopBrowser() override { m_program.StopBrowser(); }

    bool hasGrid = false;
    std::map<QString, QString> columns;  // a column's selected values
    QString selectedKeys;                // the selected rows' keys
    int rowsMatched = 1;
    bool csvWritten = true;
    QStringList tabs;  // the labels SelectTabByLabel finds
    bool promptAnswers = true;
    QString promptAnswer;
    QStringList calls;  // "Name(argument)"

private:
    void record(const char16_t* name, const QString& argument = {}) {
        calls << QString::fromUtf16(name) + u'(' + argument + u')';
    }

    CAppActionWindows m_program;
};
