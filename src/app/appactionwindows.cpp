#include "app/appactionwindows.h"

#include "app/theapp.h"
#include "dialogs/promptdialog.h"
#include "dialogs/selectfile.h"
#include "frame/browserview.h"
#include "frame/dialogview.h"
#include "frame/iebar.h"
#include "frame/mainframe.h"
#include "frame/myview.h"
#include "frame/searchtoolbar.h"
#include "grid/fieldchooserdialog.h"
#include "grid/gridnavigator.h"
#include "grid/mygrid.h"
#include "tree/leftview.h"
#include "tree/myitem.h"

namespace {

// The main frame's panes, while the program has a main frame: each is null
// without one.
CMyView* mainView(const CMainFrame* frame) {
    return frame != nullptr ? frame->GetMyView() : nullptr;
}

CMyGrid* mainGrid(const CMainFrame* frame) {
    const CMyView* view = mainView(frame);
    return view != nullptr ? view->GetGrid() : nullptr;
}

CTabs* currentTabs(const CMainFrame* frame) {
    const CDialogView* view = frame != nullptr ? frame->GetDialogView() : nullptr;
    return view != nullptr ? view->Tabs() : nullptr;
}

CLeftView* worldViewPane(const CMainFrame* frame) {
    return frame != nullptr ? frame->GetLeftView() : nullptr;
}

CBrowserView* browserPane(const CMainFrame* frame) {
    return frame != nullptr ? frame->GetBrowserView() : nullptr;
}

const QString kKeyProperty = QStringLiteral("[PKEY]");

}  // namespace

bool CAppActionWindows::HasGrid() {
    const CMyView* view = mainView(m_app.MainFrame());
    return view != nullptr && view->IsGridShown();
}

bool CAppActionWindows::IsGridUsable() {
    const CMyView* view = mainView(m_app.MainFrame());
    return view != nullptr && view->IsGridUsable();
}

QString CAppActionWindows::GridSelectedRowsByColName(const QString& column,
                                                     const QString& separator) {
    const CMyGrid* grid = mainGrid(m_app.MainFrame());
    if (grid == nullptr) {
        return {};
    }
    int count = 0;
    QString values = grid->GetSelectedRowsByColName(column, count, 0);
    // The grid joins with commas; another separator takes their place.
    if (separator != u",") {
        values.replace(u',', separator);
    }
    return values;
}

QString CAppActionWindows::GridSelectedRowsByColProp(const QString& rowSeparator,
                                                     const QString& keySeparator) {
    const CMyGrid* grid = mainGrid(m_app.MainFrame());
    return grid != nullptr
               ? grid->GetSelectedRowsByColProp(kKeyProperty, -1, rowSeparator, keySeparator)
               : QString();
}

int CAppActionWindows::GridSelectRows(const QString& keys, const QString& rowSeparator,
                                      const QString& keySeparator) {
    CMyGrid* grid = mainGrid(m_app.MainFrame());
    return grid != nullptr ? grid->SelectRows(keys, kKeyProperty, rowSeparator, keySeparator) : 0;
}

bool CAppActionWindows::GridSaveAsCSV(const QString& path, bool selectedOnly, bool modifierHeld) {
    CMyGrid* grid = mainGrid(m_app.MainFrame());
    return grid != nullptr && grid->SaveAsCSV(selectedOnly, modifierHeld, path) != 0;
}

bool CAppActionWindows::GridSortByColName(const QString& column, bool ascending) {
    CMyGrid* grid = mainGrid(m_app.MainFrame());
    return grid != nullptr && grid->SortByColName(column, ascending) != 0;
}

bool CAppActionWindows::GridHasFieldChooser() {
    const CMyGrid* grid = mainGrid(m_app.MainFrame());
    return grid != nullptr && !GridFieldChooserList(*grid).isEmpty();
}

void CAppActionWindows::GridOpenFieldChooser() {
    const CMainFrame* frame = m_app.MainFrame();
    if (CMyGrid* grid = mainGrid(frame)) {
        RunFieldChooser(*grid, mainView(frame));
    }
}

void CAppActionWindows::GridSetRowsToReselect(const QString& keys) {
    if (CMyGrid* grid = mainGrid(m_app.MainFrame())) {
        grid->SetReselectAfterLoad(false, QString());
        m_rowsToReselect = keys;
    }
}

void CAppActionWindows::GridSetReselectAfterLoad() {
    if (CMyGrid* grid = mainGrid(m_app.MainFrame())) {
        grid->SetReselectAfterLoad(true, m_rowsToReselect);
    }
}

void CAppActionWindows::GridReload() {
    if (CMyGrid* grid = mainGrid(m_app.MainFrame())) {
        grid->Reload();
    }
}

bool CAppActionWindows::GridIsLastRowEmpty() {
    const CMyGrid* grid = mainGrid(m_app.MainFrame());
    return grid != nullptr && grid->IsLastRowEmpty();
}

void CAppActionWindows::GridDeleteLastRow() {
    if (CMyGrid* grid = mainGrid(m_app.MainFrame())) {
        grid->DeleteLastRow();
    }
}

void CAppActionWindows::GridNewRow() {
    if (CMyGrid* grid = mainGrid(m_app.MainFrame())) {
        grid->NewRow();
    }
}

int CAppActionWindows::GridRowCount() {
    const CMyGrid* grid = mainGrid(m_app.MainFrame());
    return grid != nullptr ? grid->GetRowCount() - grid->GetFixedRowCount() : 0;
}

QString CAppActionWindows::GridMenuName() {
    const CMyGrid* grid = mainGrid(m_app.MainFrame());
    return grid != nullptr ? grid->GetMenuName() : QString();
}

QString CAppActionWindows::GridPropertiesURL() {
    const CMyGrid* grid = mainGrid(m_app.MainFrame());
    return grid != nullptr ? grid->GetPropertiesURL() : QString();
}

bool CAppActionWindows::GridUpdatePropertiesPanel(const QString& url) {
    CMyGrid* grid = mainGrid(m_app.MainFrame());
    return grid != nullptr && grid->UpdatePropertiesPanel(url) != 0;
}

bool CAppActionWindows::GridShowRowProperties() {
    CMyGrid* grid = mainGrid(m_app.MainFrame());
    return grid != nullptr && grid->ShowRowProperties() != 0;
}

void CAppActionWindows::GridEndLoad() {
    if (CMyGrid* grid = mainGrid(m_app.MainFrame())) {
        grid->StopLoad();
    }
}

bool CAppActionWindows::HasNavigator() {
    const CMyView* view = mainView(m_app.MainFrame());
    return view != nullptr && view->Navigator() != nullptr;
}

void CAppActionWindows::Navigate(const QString& where) {
    const CMyView* view = mainView(m_app.MainFrame());
    if (CGridNavigator* navigator = view != nullptr ? view->Navigator() : nullptr) {
        navigator->Navigate(where);
    }
}

bool CAppActionWindows::HasTabs() {
    return currentTabs(m_app.MainFrame()) != nullptr;
}

void CAppActionWindows::SelectCurrentTab() {
    if (CTabs* tabs = currentTabs(m_app.MainFrame())) {
        tabs->SelectTab(0);
    }
}

bool CAppActionWindows::SelectTabByLabel(const QString& labelOrNumber) {
    CTabs* tabs = currentTabs(m_app.MainFrame());
    return tabs != nullptr && tabs->SelectTabByLabel(labelOrNumber) != 0;
}

void CAppActionWindows::AddPart(QTreeWidgetItem* item, const QString& label,
                                const QString& action) {
    if (CMyItem* record = m_app.Tree().GetMyItem(item)) {
        record->Parts.AddPart(action, label);
    }
}

void CAppActionWindows::BlankBrowserPane() {
    if (CMainFrame* frame = m_app.MainFrame()) {
        frame->BlankBrowserPane();
    }
}

void CAppActionWindows::SetFilter(const QString& text) {
    if (CMainFrame* frame = m_app.MainFrame()) {
        frame->FilterBar().Field().SetFilter(text);
    }
}

bool CAppActionWindows::IsWizardVisible() {
    CMainFrame* frame = m_app.MainFrame();
    return frame != nullptr && !frame->WizardBar().isHidden();
}

void CAppActionWindows::ToggleWizardBar() {
    if (CMainFrame* frame = m_app.MainFrame()) {
        frame->OnToggleWizardBar();
    }
}

void CAppActionWindows::NewFolder(const QString& label) {
    if (CLeftView* pane = worldViewPane(m_app.MainFrame())) {
        pane->NewFolder(nullptr, label);
    }
}

void CAppActionWindows::NewServer(QTreeWidgetItem* item, const QString& descriptor) {
    if (CLeftView* pane = worldViewPane(m_app.MainFrame())) {
        pane->NewServer(item, descriptor);
    }
}

void CAppActionWindows::FetchAndExpand(QTreeWidgetItem* item) {
    m_app.Tree().FetchAndExpand(item);
}

void CAppActionWindows::RefreshDynamicParent(QTreeWidgetItem* item) {
    m_app.Tree().RefreshDynamicParent(item);
}

bool CAppActionWindows::Prompt(const QString& text, QString& answer) {
    CPromptDialog dialog(m_app.MainFrame());
    dialog.m_strPromptText = text;
    if (dialog.exec() != QDialog::Accepted) {
        return false;
    }
    answer = dialog.m_strResultText;
    return true;
}

bool CAppActionWindows::SelectFile(const QString& keyPrefix, const QString& folder,
                                   QString& chosen) {
    CSelectFile dialog(m_app.Prefs(), m_app.Tree(), keyPrefix, folder, m_app.MainFrame());
    if (dialog.exec() != QDialog::Accepted) {
        return false;
    }
    chosen = dialog.ChosenFile();
    return true;
}

void CAppActionWindows::LaunchBrowser(const QString& url, const QString& title) {
    m_app.LaunchBrowser(url, title);
}

void CAppActionWindows::LaunchHelp(const QString& url) {
    m_app.LaunchHelp(url);
}

void CAppActionWindows::WizardNavigate(const QString& url) {
    if (CMainFrame* frame = m_app.MainFrame()) {
        frame->WizardBar().Open(url);
    }
}

void CAppActionWindows::SetBigFormField(const QString& field, const QString& value) {
    if (CBrowserView* browser = browserPane(m_app.MainFrame())) {
        browser->SetFormFieldValue(field, value, QStringLiteral("BigForm"));
    }
}

void CAppActionWindows::NavigateAndWait(const QString& url) {
    if (CBrowserView* browser = browserPane(m_app.MainFrame())) {
        browser->NavigateAndWait(url);
    }
}

bool CAppActionWindows::IsBrowserBusy() {
    const CBrowserView* browser = browserPane(m_app.MainFrame());
    return browser != nullptr && browser->IsBusy();
}

void CAppActionWindows::StopBrowser() {
    if (CBrowserView* browser = browserPane(m_app.MainFrame())) {
        browser->Stop();
    }
}
