#include "app/actionseams.h"

#include "app/theapp.h"
#include "dialogs/progressbar.h"
#include "dialogs/promptdialog.h"
#include "dialogs/selectfile.h"
#include "frame/browserview.h"
#include "frame/dialogview.h"
#include "frame/iebar.h"
#include "frame/mainframe.h"
#include "frame/myview.h"
#include "frame/searchtoolbar.h"
#include "framework/klog.h"
#include "grid/fieldchooserdialog.h"
#include "grid/gridnavigator.h"
#include "grid/mygrid.h"
#include "server/loginall.h"
#include "tree/leftview.h"

void CActionSeams::logSeam(const char16_t* name, const QString& argument) {
    kDebugLog(u"SEAM %s(%s): not built yet.\n", name, argument);
}

namespace {

// The main frame's view and its grid, while the program has them.
CMyView* mainView() {
    const CMainFrame* frame = HaveTheApp() ? theApp().MainFrame() : nullptr;
    return frame != nullptr ? frame->GetMyView() : nullptr;
}

CMyGrid* mainGrid() {
    const CMyView* view = mainView();
    return view != nullptr ? view->GetGrid() : nullptr;
}

const QString kKeyProperty = QStringLiteral("[PKEY]");

}  // namespace

bool CActionSeams::HasGrid() {
    const CMyView* view = mainView();
    return view != nullptr && view->IsGridShown();
}

bool CActionSeams::IsGridUsable() {
    const CMyView* view = mainView();
    return view != nullptr && view->IsGridUsable();
}

QString CActionSeams::GridSelectedRowsByColName(const QString& column, const QString& separator) {
    const CMyGrid* grid = mainGrid();
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

QString CActionSeams::GridSelectedRowsByColProp(const QString& rowSeparator,
                                                const QString& keySeparator) {
    const CMyGrid* grid = mainGrid();
    return grid != nullptr
               ? grid->GetSelectedRowsByColProp(kKeyProperty, -1, rowSeparator, keySeparator)
               : QString();
}

int CActionSeams::GridSelectRows(const QString& keys, const QString& rowSeparator,
                                 const QString& keySeparator) {
    CMyGrid* grid = mainGrid();
    return grid != nullptr ? grid->SelectRows(keys, kKeyProperty, rowSeparator, keySeparator) : 0;
}

bool CActionSeams::GridSaveAsCSV(const QString& path, bool selectedOnly, bool modifierHeld) {
    CMyGrid* grid = mainGrid();
    return grid != nullptr && grid->SaveAsCSV(selectedOnly, modifierHeld, path) != 0;
}

bool CActionSeams::GridSortByColName(const QString& column, bool ascending) {
    CMyGrid* grid = mainGrid();
    return grid != nullptr && grid->SortByColName(column, ascending) != 0;
}

bool CActionSeams::GridHasFieldChooser() {
    const CMyGrid* grid = mainGrid();
    return grid != nullptr && !GridFieldChooserList(*grid).isEmpty();
}

void CActionSeams::GridOpenFieldChooser() {
    if (CMyGrid* grid = mainGrid()) {
        RunFieldChooser(*grid, mainView());
    }
}

void CActionSeams::GridSetRowsToReselect(const QString& keys) {
    if (CMyGrid* grid = mainGrid()) {
        grid->SetReselectAfterLoad(false, QString());
        m_rowsToReselect = keys;
    }
}

void CActionSeams::GridSetReselectAfterLoad() {
    if (CMyGrid* grid = mainGrid()) {
        grid->SetReselectAfterLoad(true, m_rowsToReselect);
    }
}

void CActionSeams::GridReload() {
    if (CMyGrid* grid = mainGrid()) {
        grid->Reload();
    }
}

bool CActionSeams::GridIsLastRowEmpty() {
    const CMyGrid* grid = mainGrid();
    return grid != nullptr && grid->IsLastRowEmpty();
}

void CActionSeams::GridDeleteLastRow() {
    if (CMyGrid* grid = mainGrid()) {
        grid->DeleteLastRow();
    }
}

void CActionSeams::GridNewRow() {
    if (CMyGrid* grid = mainGrid()) {
        grid->NewRow();
    }
}

int CActionSeams::GridRowCount() {
    const CMyGrid* grid = mainGrid();
    return grid != nullptr ? grid->GetRowCount() - grid->GetFixedRowCount() : 0;
}

QString CActionSeams::GridMenuName() {
    const CMyGrid* grid = mainGrid();
    return grid != nullptr ? grid->GetMenuName() : QString();
}

QString CActionSeams::GridPropertiesURL() {
    const CMyGrid* grid = mainGrid();
    return grid != nullptr ? grid->GetPropertiesURL() : QString();
}

bool CActionSeams::GridUpdatePropertiesPanel(const QString& url) {
    CMyGrid* grid = mainGrid();
    return grid != nullptr && grid->UpdatePropertiesPanel(url) != 0;
}

bool CActionSeams::GridShowRowProperties() {
    CMyGrid* grid = mainGrid();
    return grid != nullptr && grid->ShowRowProperties() != 0;
}

void CActionSeams::GridEndLoad() {
    if (CMyGrid* grid = mainGrid()) {
        grid->EndLoad();
    }
}

bool CActionSeams::HasNavigator() {
    const CMyView* view = mainView();
    return view != nullptr && view->Navigator() != nullptr;
}

void CActionSeams::Navigate(const QString& where) {
    const CMyView* view = mainView();
    if (CGridNavigator* navigator = view != nullptr ? view->Navigator() : nullptr) {
        navigator->Navigate(where);
    }
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
    if (CMainFrame* frame = HaveTheApp() ? theApp().MainFrame() : nullptr) {
        frame->FilterBar().Field().SetFilter(text);
    }
}

bool CActionSeams::IsWizardVisible() {
    CMainFrame* frame = HaveTheApp() ? theApp().MainFrame() : nullptr;
    return frame != nullptr && !frame->WizardBar().isHidden();
}

void CActionSeams::ToggleWizardBar() {
    if (CMainFrame* frame = HaveTheApp() ? theApp().MainFrame() : nullptr) {
        frame->OnToggleWizardBar();
    }
}

namespace {

CLeftView* worldViewPane() {
    const CMainFrame* frame = theApp().MainFrame();
    return frame != nullptr ? frame->GetLeftView() : nullptr;
}

}  // namespace

void CActionSeams::NewFolder(const QString& label) {
    if (CLeftView* pane = worldViewPane()) {
        pane->NewFolder(nullptr, label);
    }
}

void CActionSeams::NewServer(QTreeWidgetItem* item, const QString& descriptor) {
    if (CLeftView* pane = worldViewPane()) {
        pane->NewServer(item, descriptor);
    }
}

void CActionSeams::FetchAndExpand(QTreeWidgetItem* item) {
    theApp().Tree().FetchAndExpand(item);
}

void CActionSeams::RefreshDynamicParent(QTreeWidgetItem* item) {
    theApp().Tree().RefreshDynamicParent(item);
}

int CActionSeams::CountMatchingSystems(const QString& text) {
    return HaveTheApp() ? CLoginAll::CountMatchingSystems(theApp().Tree(), text, nullptr) : 0;
}

namespace {

// The login to all servers shows its progress in the progress display;
// Stop (the global cancel flag) cancels it.
class CActionLoginProgress : public CLoginProgress {
public:
    explicit CActionLoginProgress(CActionSeams& seams) : m_seams(seams) {}
    void Start(const QString& title, int estimate) override {
        m_seams.StartProgress(title, estimate);
    }
    void Step() override { m_seams.StepProgress(); }
    void SetActionText(const QString& text) override { m_seams.SetProgressText(text); }
    bool IsCancelled() override {
        return m_seams.IsProgressCancelled() || (HaveTheApp() && theApp().CancelFlag() != 0);
    }
    void End() override { m_seams.EndProgress(); }

private:
    CActionSeams& m_seams;
};

}  // namespace

void CActionSeams::LoginMatchingSystems(const QString& text, const QString& defaultUser,
                                        const QString& defaultPassword) {
    if (!HaveTheApp()) {
        return;
    }
    CActionLoginProgress progress(*this);
    CLoginAll run(theApp().Tree(), progress);
    run.LoginAllMatching(text, defaultUser, defaultPassword);
}

CActionSeams::CActionSeams() = default;
CActionSeams::~CActionSeams() = default;

bool CActionSeams::Prompt(const QString& text, QString& answer) {
    CPromptDialog dialog(theApp().MainFrame());
    dialog.m_strPromptText = text;
    if (dialog.exec() != QDialog::Accepted) {
        return false;
    }
    answer = dialog.m_strResultText;
    return true;
}

void CActionSeams::StartProgress(const QString& title, int count) {
    CTheApp& app = theApp();
    m_progress = std::make_unique<CProgressBar>(app.ProgressSite(), app.MainFrame());
    m_progress->Start(title, QString(), count, true, nullptr);
}

void CActionSeams::StepProgress() {
    if (m_progress != nullptr) {
        m_progress->Step(qint64{1});
    }
}

void CActionSeams::SetProgressText(const QString& text) {
    if (m_progress != nullptr) {
        m_progress->SetAction(text);
    }
}

bool CActionSeams::IsProgressCancelled() {
    return m_progress != nullptr && m_progress->IsCancelled();
}

void CActionSeams::EndProgress() {
    m_progress.reset();
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

void CActionSeams::LaunchBrowser(const QString& url, const QString& title) {
    theApp().LaunchBrowser(url, title);
}

void CActionSeams::LaunchHelp(const QString& url) {
    theApp().LaunchHelp(url);
}

namespace {

CBrowserView* browserPane() {
    const CMainFrame* frame = HaveTheApp() ? theApp().MainFrame() : nullptr;
    return frame != nullptr ? frame->GetBrowserView() : nullptr;
}

}  // namespace

void CActionSeams::WizardNavigate(const QString& url) {
    CMainFrame* frame = HaveTheApp() ? theApp().MainFrame() : nullptr;
    if (frame != nullptr) {
        frame->WizardBar().Open(url);
    }
}

void CActionSeams::SetBigFormField(const QString& field, const QString& value) {
    if (CBrowserView* browser = browserPane()) {
        browser->SetFormFieldValue(field, value, QStringLiteral("BigForm"));
    }
}

void CActionSeams::NavigateAndWait(const QString& url) {
    if (CBrowserView* browser = browserPane()) {
        browser->NavigateAndWait(url);
    }
}

bool CActionSeams::IsBrowserBusy() {
    const CBrowserView* browser = browserPane();
    return browser != nullptr && browser->IsBusy();
}

void CActionSeams::StopBrowser() {
    if (CBrowserView* browser = browserPane()) {
        browser->Stop();
    }
}
