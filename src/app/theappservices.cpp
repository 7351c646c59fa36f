#include "app/theappservices.h"

#include "app/actiondialog.h"
#include "app/actionrunner.h"
#include "app/appoptionssite.h"
#include "app/apprediscoversite.h"
#include "app/theapp.h"
#include "dialogs/optionsdialog.h"
#include "dialogs/progressbar.h"
#include "dialogs/rediscoverdialog.h"
#include "dialogs/splashabout.h"
#include "frame/iebar.h"
#include "frame/mainframe.h"
#include "frame/qvxrebar.h"
#include "framework/klog.h"
#include "grid/gridrequesters.h"
#include "grid/mygrid.h"
#include "server/loginall.h"
#include "server/mysystem.h"
#include "tree/leftview.h"

#include <memory>

void CTheAppServices::AddRootItem(const QString& label) {
    m_app.Tree().AddRootItem(label);
}

bool CTheAppServices::RestoreWorldView() {
    return m_app.WorldViewFile().RestoreWorldView() != 0;
}

bool CTheAppServices::OpenWorldView(const QString& path) {
    return m_app.WorldViewFile().OpenWorldView(path) != 0;
}

void CTheAppServices::NewWorldView() {
    if (CMainFrame* frame = m_app.MainFrame()) {
        frame->NewWorldView();
    }
}

void CTheAppServices::AskSaveWorldViewOnExit() {
    CWorldViewFile& worldView = m_app.WorldViewFile();
    // Dismissed boxes mean nobody is there to answer: the changes are kept
    // aside rather than lost or written over the user's file unasked.
    if (m_app.Popups().IsDismissed()) {
        worldView.KeepChangesForRecovery();
    } else {
        worldView.AskToSaveChanges();
    }
}

bool CTheAppServices::ShowCurl(const QString& locator) {
    CMainFrame* frame = m_app.MainFrame();
    return frame != nullptr && frame->ShowCurl(locator, false) != 0;
}

bool CTheAppServices::RunActionScript(const QString& path) {
    return m_app.Runner().RunActionScript(path);
}

int CTheAppServices::DispatchCurl(const QString& action) {
    return m_app.DispatchCurl(action);
}

QString CTheAppServices::SelectedItemFullCurl() {
    CMyTree& tree = m_app.Tree();
    QTreeWidgetItem* selected = tree.GetSelectedItem();
    return selected != nullptr ? tree.GetFullCurl(selected) : QString();
}

bool CTheAppServices::SelectedItemHasBrowserPart() {
    CMyTree& tree = m_app.Tree();
    QTreeWidgetItem* selected = tree.GetSelectedItem();
    const CMyItem* record = selected != nullptr ? tree.GetMyItem(selected) : nullptr;
    return record != nullptr && (record->PanelParts & kPanelBrowser) != 0;
}

quint64 CTheAppServices::SelectedServerId() {
    const CMySystem* system = m_app.GetSystem(nullptr);
    return system != nullptr ? system->GetServerId() : 0;
}

bool CTheAppServices::HasSelectedItem() {
    return m_app.Tree().GetSelectedItem() != nullptr;
}

QString CTheAppServices::SelectedServerBaseURL() {
    const CMySystem* system = m_app.GetSystem(nullptr);
    return system != nullptr ? system->GetBaseURL(false) : QString();
}

void CTheAppServices::GridDataReady(quint16 requesterId, CNamedPipe clientEnd) {
    RouteGridData(requesterId, std::move(clientEnd));
}

void CTheAppServices::TreeDataReady(quint16, CNamedPipe clientEnd) {
    if (CMainFrame* frame = m_app.MainFrame()) {
        frame->ReadTreeReply(std::move(clientEnd));
    }
}

int CTheAppServices::RefreshItemKeepSelection(const void* which, bool collapse) {
    CMyTree& tree = m_app.Tree();
    if (tree.IsBuilding()) {
        return 0;
    }
    auto* item = const_cast<QTreeWidgetItem*>(static_cast<const QTreeWidgetItem*>(which));
    item = item != nullptr ? item : tree.GetSelectedItem();
    const CMyItem* record = tree.GetMyItem(item);
    if (record == nullptr || !record->HasContent()) {
        return 0;
    }
    if (collapse && record->ItemType != kKindSystem) {
        tree.CollapseItem(item);
        tree.DeleteChildren(item);
    }
    const CMainFrame* frame = m_app.MainFrame();
    CMyGrid* grid = frame != nullptr ? frame->GetGrid() : nullptr;
    const QString keys =
        grid != nullptr ? grid->GetSelectedRowsByColProp(QStringLiteral("[PKEY]"), -1,
                                                         QStringLiteral(","), QStringLiteral("@"))
                        : QString();
    // The grid loads after the selection returns: its rows are chosen again
    // when the load ends.
    if (grid != nullptr && !keys.isEmpty()) {
        grid->SetReselectAfterLoad(true, keys);
    }
    if (tree.SelectItem(item, true) == 0 && grid != nullptr) {
        grid->SetReselectAfterLoad(false);
    }
    return 1;
}

void CTheAppServices::LogoutAllServers() {
    m_app.Tree().LogoutAll(nullptr);
}

namespace {

// The login to every server shows its progress in a progress dialog over the
// main window; its Cancel or Stop (the global cancel flag) cancels the run.
class CLoginAllProgress : public CLoginProgress {
public:
    explicit CLoginAllProgress(CTheApp& app) : m_app(app) {}

    void Start(const QString& title, int estimate) override {
        m_bar = std::make_unique<CProgressBar>(m_app.ProgressSite(), m_app.MainFrame());
        m_bar->Start(title, QString(), estimate, true, nullptr);
    }
    void Step() override {
        if (m_bar != nullptr) {
            m_bar->Step(qint64{1});
        }
    }
    void SetActionText(const QString& text) override {
        if (m_bar != nullptr) {
            m_bar->SetAction(text);
        }
    }
    bool IsCancelled() override {
        return (m_bar != nullptr && m_bar->IsCancelled()) || m_app.CancelFlag() != 0;
    }
    void End() override { m_bar.reset(); }

private:
    CTheApp& m_app;
    std::unique_ptr<CProgressBar> m_bar;
};

}  // namespace

void CTheAppServices::LoginAllMatching(const QString& text) {
    CLoginAllProgress progress(m_app);
    CLoginAll run(m_app.Tree(), progress);
    run.LoginAllMatching(text, CLoginAll::DefaultUser(), CLoginAll::DefaultPassword());
}

void CTheAppServices::SaveColumnPreferences() {
    const CMainFrame* frame = m_app.MainFrame();
    if (CMyGrid* grid = frame != nullptr ? frame->GetGrid() : nullptr) {
        grid->SaveColumnPrefs();
    }
}

void CTheAppServices::SaveRebarLayout() {
    if (CMainFrame* frame = m_app.MainFrame()) {
        frame->ReBar().SaveBandLayout();
    }
}

void CTheAppServices::NextPane() {
    if (CMainFrame* frame = m_app.MainFrame()) {
        frame->FocusNextPane(frame->GetFocusPane());
    }
}

void CTheAppServices::TreePaneCommand(int commandId) {
    const CMainFrame* frame = m_app.MainFrame();
    if (CLeftView* pane = frame != nullptr ? frame->GetLeftView() : nullptr) {
        pane->OnCommand(commandId);
    }
}

void CTheAppServices::ShowDialog(int commandId) {
    switch (commandId) {
        case kAboutCommand:
            CSplashAbout::SetSplashMode(0);
            CSplashAbout::ShowSplashAbout(m_app.MainFrame());
            return;
        case kOptionsCommand:
            ShowOptions(COptionsDialog::kStoredPage);
            return;
        case kActionScriptCommand: {
            CActionDialog dialog(m_app, m_app.MainFrame());
            dialog.exec();
            return;
        }
        default:
            // The main frame routes only the three commands above here.
            kWarningLog(u"ShowDialog(%d): no dialog for this command: a wiring fault.\n",
                        commandId);
    }
}

void CTheAppServices::ShowOptions(int startPage) {
    CAppOptionsSite site(m_app);
    COptionsDialog dialog(site, m_app.MainFrame(), startPage);
    dialog.exec();
}

bool CTheAppServices::HideFirstVisibleFloatingBrowser() {
    IEBar_Manager* bars = m_app.FloatingBars();
    return bars != nullptr && bars->HideFirstVisible() != 0;
}

void CTheAppServices::ShowPreferencesPanel() {
    CMySystem* system = m_app.GetSystem(nullptr);
    if (system == nullptr) {
        m_app.ErrorBox(QStringLiteral(
            "Cannot show INI parms: need to be attached to a server (for style sheets)."));
        return;
    }
    m_app.ShowProperties(system, m_app.Prefs().Settings(), false,
                         QStringLiteral("Current Preferences (in memory):"));
}

int CTheAppServices::ReDiscover(const QString& requestUrl, const QString& resultsUrl) {
    CAppReDiscoverSite site(m_app);
    CReDiscoverDialog dialog(requestUrl, resultsUrl, site, m_app.MainFrame());
    return dialog.exec();
}

bool CTheAppServices::IsProgressActive() {
    const CProgressBar* bar = m_app.ProgressBar();
    return bar != nullptr && bar->GetState() == CProgressBar::Running;
}

void CTheAppServices::CancelProgress() {
    if (CProgressBar* bar = m_app.ProgressBar()) {
        bar->OnCancelButton();
    }
}
