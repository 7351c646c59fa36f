#include "app/appseams.h"

#include "app/actiondialog.h"
#include "app/actionrunner.h"
#include "app/actionseams.h"
#include "app/apprediscoversite.h"
#include "app/theapp.h"
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

void CAppSeams::logSeam(const char16_t* name, const QString& argument) {
    kDebugLog(u"SEAM %s(%s): not built yet.\n", name, argument);
}

void CAppSeams::AddRootItem(const QString& label) {
    theApp().Tree().AddRootItem(label);
}

bool CAppSeams::RestoreWorldView() {
    return theApp().WorldViewFile().RestoreWorldView() != 0;
}

bool CAppSeams::OpenWorldView(const QString& path) {
    return theApp().WorldViewFile().OpenWorldView(path) != 0;
}

void CAppSeams::SetCurrentWorldView(const QString& path) {
    logSeam(u"SetCurrentWorldView", path);
}

void CAppSeams::NewWorldView() {
    if (CMainFrame* frame = theApp().MainFrame()) {
        frame->NewWorldView();
    }
}

void CAppSeams::AskSaveWorldViewOnExit() {
    theApp().WorldViewFile().AskToSaveChanges();
}

bool CAppSeams::ShowCurl(const QString& locator) {
    CMainFrame* frame = theApp().MainFrame();
    return frame != nullptr && frame->ShowCurl(locator, false) != 0;
}

bool CAppSeams::RunActionScript(const QString& path) {
    return theApp().Runner().RunActionScript(path);
}

int CAppSeams::DispatchCurl(const QString& action) {
    return theApp().DispatchCurl(action);
}

QString CAppSeams::SelectedItemFullCurl() {
    CMyTree& tree = theApp().Tree();
    QTreeWidgetItem* selected = tree.GetSelectedItem();
    return selected != nullptr ? tree.GetFullCurl(selected) : QString();
}

bool CAppSeams::SelectedItemHasBrowserPart() {
    CMyTree& tree = theApp().Tree();
    QTreeWidgetItem* selected = tree.GetSelectedItem();
    const CMyItem* record = selected != nullptr ? tree.GetMyItem(selected) : nullptr;
    return record != nullptr && (record->PanelParts & kPanelBrowser) != 0;
}

quint64 CAppSeams::SelectedServerId() {
    const CMySystem* system = theApp().GetSystem(nullptr);
    return system != nullptr ? system->GetServerId() : 0;
}

bool CAppSeams::HasSelectedItem() {
    return theApp().Tree().GetSelectedItem() != nullptr;
}

QString CAppSeams::SelectedServerBaseURL() {
    const CMySystem* system = theApp().GetSystem(nullptr);
    return system != nullptr ? system->GetBaseURL(false) : QString();
}

void CAppSeams::GridDataReady(quint16 requesterId, CNamedPipe clientEnd) {
    RouteGridData(requesterId, std::move(clientEnd));
}

void CAppSeams::TreeDataReady(quint16, CNamedPipe clientEnd) {
    if (CMainFrame* frame = theApp().MainFrame()) {
        frame->ReadTreeReply(std::move(clientEnd));
    }
}

int CAppSeams::RefreshItemKeepSelection(const void* which, bool collapse) {
    CMyTree& tree = theApp().Tree();
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
    const CMainFrame* frame = theApp().MainFrame();
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

void CAppSeams::LogoutAllServers() {
    theApp().Tree().LogoutAll(nullptr);
}

void CAppSeams::LoginAllMatching(const QString& text) {
    theApp().ActionSeams().LoginMatchingSystems(text, CLoginAll::DefaultUser(),
                                                CLoginAll::DefaultPassword());
}

void CAppSeams::SaveColumnPreferences() {
    const CMainFrame* frame = theApp().MainFrame();
    if (CMyGrid* grid = frame != nullptr ? frame->GetGrid() : nullptr) {
        grid->SaveColumnPrefs();
    }
}

void CAppSeams::SaveRebarLayout() {
    if (CMainFrame* frame = theApp().MainFrame()) {
        frame->ReBar().SaveBandLayout();
    }
}

void CAppSeams::NextPane() {
    if (CMainFrame* frame = theApp().MainFrame()) {
        frame->FocusNextPane(frame->GetFocusPane());
    }
}

void CAppSeams::TreePaneCommand(int commandId) {
    const CMainFrame* frame = theApp().MainFrame();
    if (CLeftView* pane = frame != nullptr ? frame->GetLeftView() : nullptr) {
        pane->OnCommand(commandId);
    }
}

void CAppSeams::ShowDialog(int commandId) {
    CTheApp& app = theApp();
    switch (commandId) {
        case kAboutCommand:
            CSplashAbout::SetSplashMode(0);
            CSplashAbout::ShowSplashAbout(app.MainFrame());
            return;
        case kActionScriptCommand: {
            CActionDialog dialog(app, app.MainFrame());
            dialog.exec();
            return;
        }
        default:
            logSeam(u"ShowDialog", QString::number(commandId));
    }
}

bool CAppSeams::HideFirstVisibleFloatingBrowser() {
    IEBar_Manager* bars = theApp().FloatingBars();
    return bars != nullptr && bars->HideFirstVisible() != 0;
}

void CAppSeams::ShowPreferencesPanel() {
    CTheApp& app = theApp();
    CMySystem* system = app.GetSystem(nullptr);
    if (system == nullptr) {
        app.ErrorBox(QStringLiteral(
            "Cannot show INI parms: need to be attached to a server (for style sheets)."));
        return;
    }
    app.ShowProperties(system, app.Prefs().Settings(), false,
                       QStringLiteral("Current Preferences (in memory):"));
}

int CAppSeams::ReDiscover(const QString& requestUrl, const QString& resultsUrl) {
    CTheApp& app = theApp();
    CAppReDiscoverSite site(app);
    CReDiscoverDialog dialog(requestUrl, resultsUrl, site, app.MainFrame());
    return dialog.exec();
}

bool CAppSeams::IsProgressActive() {
    const CProgressBar* bar = HaveTheApp() ? theApp().ProgressBar() : nullptr;
    return bar != nullptr && bar->GetState() == CProgressBar::Running;
}

void CAppSeams::CancelProgress() {
    if (CProgressBar* bar = HaveTheApp() ? theApp().ProgressBar() : nullptr) {
        bar->OnCancelButton();
    }
}
