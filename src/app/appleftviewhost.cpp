#include "app/appleftviewhost.h"

#include "app/actionrunner.h"
#include "app/actions.h"
#include "app/actionwindows.h"
#include "app/theapp.h"
#include "frame/folderlist.h"
#include "frame/folderproperties.h"
#include "frame/logindialog.h"
#include "frame/mainframe.h"
#include "frame/myview.h"
#include "grid/mygrid.h"
#include "server/mysystem.h"
#include "tree/treeimages.h"
#include "tree/treenode.h"

#include <QStandardItem>

namespace {

CLoginDialog* loginPanel(const CTheApp& app) {
    const CMainFrame* frame = app.MainFrame();
    const CMyView* view = frame != nullptr ? frame->GetMyView() : nullptr;
    return view != nullptr ? qobject_cast<CLoginDialog*>(view->Panel()) : nullptr;
}

}  // namespace

bool CAppLeftViewHost::IsAppUp() const {
    return m_app.IsUp() && !m_app.IsRestoring();
}

bool CAppLeftViewHost::IsAborting() const {
    return m_app.IsAbortingWorker();
}

bool CAppLeftViewHost::OnAbortedThread() const {
    return m_app.IsAbortedThread();
}

void CAppLeftViewHost::AbortActions() {
    m_app.Actions().Abort();
}

void CAppLeftViewHost::StopRunningWork() {
    if (CMainFrame* frame = m_app.MainFrame()) {
        frame->OnStop();
    }
}

void CAppLeftViewHost::SendCommand(int commandId) {
    if (CMainFrame* frame = m_app.MainFrame()) {
        frame->OnCommand(commandId);
    }
}

int CAppLeftViewHost::RebuildRHS() {
    CMainFrame* frame = m_app.MainFrame();
    return frame != nullptr ? frame->RebuildRHS() : 0;
}

bool CAppLeftViewHost::InContextHelpMode() const {
    return m_app.InContextHelpMode();
}

void CAppLeftViewHost::LaunchHelp(const QString& url) {
    m_app.ActionWindows().LaunchHelp(url);
}

int CAppLeftViewHost::RefreshItemKeepSelection(QTreeWidgetItem* item, bool collapse) {
    return m_app.RefreshItemKeepSelection(item, collapse);
}

CMenuGridRows* CAppLeftViewHost::MainGrid() {
    const CMainFrame* frame = m_app.MainFrame();
    return frame != nullptr ? frame->GetGrid() : nullptr;
}

bool CAppLeftViewHost::IsLoginPanelShown() {
    const CLoginDialog* panel = loginPanel(m_app);
    return panel != nullptr && panel->isVisible();
}

void CAppLeftViewHost::RunLoginPanelOK() {
    if (CLoginDialog* panel = loginPanel(m_app)) {
        panel->OnOK();
    }
}

bool CAppLeftViewHost::AskObjectName(bool folder, QString& name) {
    CFolderProperties dialog(m_app.MainFrame(), folder ? 1 : 0);
    if (dialog.DoModal() != 1) {
        return false;
    }
    name = dialog.GetName();
    return true;
}

int CAppLeftViewHost::PostToServices(const QString& query) {
    CMySystem* system = m_app.GetSystem(nullptr);
    if (system == nullptr) {
        return 0;
    }
    return system->FetchData(QStringLiteral("/cmi/Services"), query, false) ? 1 : 0;
}

bool CAppLeftViewHost::SaveWorldView() {
    return m_app.WorldViewFile().SaveWorldView(false) != 0;
}

void CAppLeftViewHost::SavePreferences() {
    m_app.Prefs().SavePrefs(1);
}

QString CAppLeftViewHost::ModulePath() const {
    return m_app.ModulePath();
}

bool CAppLeftViewHost::IsContextDebugging() const {
    return m_app.Prefs().GetInt(QStringLiteral("ContextDebugging"), 0) != 0;
}

void CAppLeftViewHost::TranslateMenu(QWidget* menu) {
    if (m_app.IsLanguagePackActive()) {
        m_app.LangPack().TranslateMenu(menu);
    }
}

void CAppLeftViewHost::UpdateListImage(const CMyItem* record, int image) {
    const CMainFrame* frame = m_app.MainFrame();
    CFolderList* list = frame != nullptr ? frame->GetFolderList() : nullptr;
    if (list == nullptr) {
        return;
    }
    for (int row = 0; row < list->RowCount(); ++row) {
        if (CTreeNode::RecordOf(list->ItemOfRow(row)) == record) {
            list->Model().item(row, 0)->setIcon(TreeImageIcon(image));
        }
    }
}

void CAppLeftViewHost::RunActions(const KPROPS& actions, int context) {
    m_app.Runner().RunActions(actions, static_cast<char16_t>(context));
}

QString CAppLeftViewHost::GridDragType() const {
    const CMainFrame* frame = m_app.MainFrame();
    const CMyGrid* grid = frame != nullptr ? frame->GetGrid() : nullptr;
    return grid != nullptr ? grid->GetDragType() : QString();
}

bool CAppLeftViewHost::AskToSaveChanges() {
    // The question is Yes or No: either answer lets the drop go on.
    m_app.WorldViewFile().AskToSaveChanges();
    return true;
}
