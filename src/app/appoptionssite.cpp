#include "app/appoptionssite.h"

#include "app/appprogressbarsite.h"
#include "app/theapp.h"
#include "frame/mainframe.h"
#include "frame/myview.h"
#include "settings/promptforfile.h"
#include "tree/myitem.h"
#include "tree/mytree.h"
#include "tree/worldviewfile.h"
#include "ui/popupmessages.h"

namespace {
constexpr int kRefreshCommand = 32769;
}

CPreferences& CAppOptionsSite::Prefs() {
    return m_app.Prefs();
}

CLangPack& CAppOptionsSite::LangPack() {
    return m_app.LangPack();
}

bool CAppOptionsSite::IsWorldViewModified() {
    return m_app.Tree().IsModified();
}

bool CAppOptionsSite::SaveWorldView() {
    return m_app.WorldViewFile().SaveWorldView(false) != 0;
}

bool CAppOptionsSite::LoadWorldView(const QString& address) {
    CMyTree& tree = m_app.Tree();
    if (m_app.WorldViewFile().LoadWorldView(address) == 0) {
        return false;
    }
    if (QTreeWidgetItem* root = tree.GetRootItem()) {
        tree.SelectItem(root, true);
    }
    return true;
}

bool CAppOptionsSite::IsSmartTreeFolderSelected() {
    CMyTree& tree = m_app.Tree();
    const CMyItem* record = tree.GetMyItem(tree.GetSelectedItem());
    return record != nullptr && record->ItemType == kKindComponent;
}

bool CAppOptionsSite::RebuildRightHandSide() {
    CMainFrame* frame = m_app.MainFrame();
    return frame != nullptr && frame->RebuildRHS() != 0;
}

bool CAppOptionsSite::IsChunkNavigatorShown() {
    const CMainFrame* frame = m_app.MainFrame();
    const CMyView* view = frame != nullptr ? frame->GetMyView() : nullptr;
    return view != nullptr && view->IsNavigatorShown();
}

void CAppOptionsSite::Refresh() {
    if (CMainFrame* frame = m_app.MainFrame()) {
        frame->OnCommand(kRefreshCommand);
    }
}

void CAppOptionsSite::SetStatusText(const QString& text) {
    m_app.SetStatusText(text, 0);
}

int CAppOptionsSite::MessageBox(const QString& text, int type) {
    return m_app.Popups().PopupMessage(text, type);
}

int CAppOptionsSite::CancelFlag() {
    return m_app.CancelFlag();
}

bool CAppOptionsSite::PromptForFile(bool open, QString& path, const QString& initialName,
                                    const QString& defaultExtension, const QString& filter,
                                    QWidget* parent) {
    return ::PromptForFile(open, path, initialName, defaultExtension, filter, parent);
}

CProgressBarSite& CAppOptionsSite::ProgressSite() {
    return m_app.ProgressSite();
}
