#include "app/actionseams.h"

#include "app/theapp.h"
#include "dialogs/selectfile.h"
#include "frame/dialogview.h"
#include "frame/mainframe.h"
#include "framework/klog.h"

void CActionSeams::logSeam(const char16_t* name, const QString& argument) {
    kDebugLog(u"SEAM %s(%s): not built yet.\n", name, argument);
}

bool CActionSeams::HasGrid() {
    logSeam(u"HasGrid");
    return false;
}

bool CActionSeams::IsGridUsable() {
    logSeam(u"IsGridUsable");
    return false;
}

QString CActionSeams::GridSelectedRowsByColName(const QString& column, const QString&) {
    logSeam(u"GridSelectedRowsByColName", column);
    return {};
}

QString CActionSeams::GridSelectedRowsByColProp(const QString& rowSeparator, const QString&) {
    logSeam(u"GridSelectedRowsByColProp", rowSeparator);
    return {};
}

int CActionSeams::GridSelectRows(const QString& keys, const QString&, const QString&) {
    logSeam(u"GridSelectRows", keys);
    return 0;
}

bool CActionSeams::GridSaveAsCSV(const QString& path, bool, bool) {
    logSeam(u"GridSaveAsCSV", path);
    return false;
}

bool CActionSeams::GridSortByColName(const QString& column, bool) {
    logSeam(u"GridSortByColName", column);
    return false;
}

bool CActionSeams::GridHasFieldChooser() {
    logSeam(u"GridHasFieldChooser");
    return false;
}

void CActionSeams::GridOpenFieldChooser() {
    logSeam(u"GridOpenFieldChooser");
}

void CActionSeams::GridSetRowsToReselect(const QString& keys) {
    logSeam(u"GridSetRowsToReselect", keys);
}

void CActionSeams::GridSetReselectAfterLoad() {
    logSeam(u"GridSetReselectAfterLoad");
}

void CActionSeams::GridReload() {
    logSeam(u"GridReload");
}

bool CActionSeams::GridIsLastRowEmpty() {
    logSeam(u"GridIsLastRowEmpty");
    return false;
}

void CActionSeams::GridDeleteLastRow() {
    logSeam(u"GridDeleteLastRow");
}

void CActionSeams::GridNewRow() {
    logSeam(u"GridNewRow");
}

int CActionSeams::GridRowCount() {
    logSeam(u"GridRowCount");
    return 0;
}

QString CActionSeams::GridMenuName() {
    logSeam(u"GridMenuName");
    return {};
}

QString CActionSeams::GridPropertiesURL() {
    logSeam(u"GridPropertiesURL");
    return {};
}

bool CActionSeams::GridUpdatePropertiesPanel(const QString& url) {
    logSeam(u"GridUpdatePropertiesPanel", url);
    return false;
}

bool CActionSeams::GridShowRowProperties() {
    logSeam(u"GridShowRowProperties");
    return false;
}

void CActionSeams::GridEndLoad() {
    logSeam(u"GridEndLoad");
}

bool CActionSeams::HasNavigator() {
    logSeam(u"HasNavigator");
    return false;
}

void CActionSeams::Navigate(const QString& where) {
    logSeam(u"Navigate", where);
}

namespace {

// The tab strip of the right-hand side while the program has one.
CTabs* currentTabs() {
    const CMainFrame* frame = HaveTheApp() ? theApp().MainFrame() : nullptr;
    const CDialogView* view = frame != nullptr ? frame->GetDialogView() : nullptr;
    return view != nullptr ? view->Tabs() : nullptr;
}

}  // namespace

bool CActionSeams::HasTabs() {
    return currentTabs() != nullptr;
}

void CActionSeams::SelectCurrentTab() {
    if (CTabs* tabs = currentTabs()) {
        tabs->SelectTab(0);
    }
}

bool CActionSeams::SelectTabByLabel(const QString& labelOrNumber) {
    CTabs* tabs = currentTabs();
    return tabs != nullptr && tabs->SelectTabByLabel(labelOrNumber) != 0;
}

void CActionSeams::AddPart(QTreeWidgetItem*, const QString& label, const QString&) {
    logSeam(u"AddPart", label);
}

void CActionSeams::BlankBrowserPane() {
    if (CMainFrame* frame = HaveTheApp() ? theApp().MainFrame() : nullptr) {
        frame->BlankBrowserPane();
    }
}

void CActionSeams::SetFilter(const QString& text) {
    logSeam(u"SetFilter", text);
}

bool CActionSeams::IsWizardVisible() {
    logSeam(u"IsWizardVisible");
    return false;
}

void CActionSeams::ToggleWizardBar() {
    logSeam(u"ToggleWizardBar");
}

void CActionSeams::NewFolder(const QString& label) {
    logSeam(u"NewFolder", label);
}

void CActionSeams::NewServer(QTreeWidgetItem*, const QString& descriptor) {
    logSeam(u"NewServer", descriptor);
}

void CActionSeams::FetchAndExpand(QTreeWidgetItem*) {
    logSeam(u"FetchAndExpand");
}

void CActionSeams::RefreshDynamicParent(QTreeWidgetItem*) {
    logSeam(u"RefreshDynamicParent");
}

int CActionSeams::CountMatchingSystems(const QString& text) {
    logSeam(u"CountMatchingSystems", text);
    return 0;
}

void CActionSeams::LoginMatchingSystems(const QString& text, const QString&, const QString&) {
    logSeam(u"LoginMatchingSystems", text);
}

bool CActionSeams::Prompt(const QString& text, QString&) {
    logSeam(u"Prompt", text);
    return false;
}

void CActionSeams::StartProgress(const QString& title, int) {
    logSeam(u"StartProgress", title);
}

void CActionSeams::EndProgress() {
    logSeam(u"EndProgress");
}

bool CActionSeams::SelectFile(const QString& keyPrefix, const QString& folder, QString& chosen) {
    CTheApp& app = theApp();
    CSelectFile dialog(app.Prefs(), app.Tree(), keyPrefix, folder, app.MainFrame());
    if (dialog.exec() != QDialog::Accepted) {
        return false;
    }
    chosen = dialog.ChosenFile();
    return true;
}

void CActionSeams::LaunchBrowser(const QString& url, const QString&) {
    logSeam(u"LaunchBrowser", url);
}

void CActionSeams::LaunchHelp(const QString& url) {
    logSeam(u"LaunchHelp", url);
}

void CActionSeams::WizardNavigate(const QString& url) {
    logSeam(u"WizardNavigate", url);
}

void CActionSeams::SetBigFormField(const QString& field, const QString&) {
    logSeam(u"SetBigFormField", field);
}

void CActionSeams::NavigateAndWait(const QString& url) {
    logSeam(u"NavigateAndWait", url);
}

bool CActionSeams::IsBrowserBusy() {
    logSeam(u"IsBrowserBusy");
    return false;
}

void CActionSeams::StopBrowser() {
    logSeam(u"StopBrowser");
}
