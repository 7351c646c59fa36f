#include "app/appcontextmenuhost.h"

#include "app/actionrunner.h"
#include "app/actionwindows.h"
#include "app/appservices.h"
#include "app/theapp.h"
#include "frame/mainframe.h"
#include "frame/myview.h"
#include "grid/mygrid.h"
#include "settings/datetimeformat.h"
#include "tree/contextmenuitem.h"
#include "tree/leftview.h"

const CMyItem* CAppContextMenuHost::SelectedWorldViewItem() const {
    CMyTree& tree = m_app.Tree();
    return tree.GetMyItem(tree.GetSelectedItem());
}

void CAppContextMenuHost::RouteCommand(int commandId) {
    if (CMainFrame* frame = m_app.MainFrame()) {
        frame->OnCommand(commandId);
    }
}

int CAppContextMenuHost::InvokeItem(const CContextMenuItem& item, int commandCode, qintptr extra,
                                    CMenuGridRows* grid, QWidget* owner) {
    return item.Invoke(item.GetCommandId(), commandCode, extra, grid, owner);
}

char16_t CAppContextMenuHost::ContextOf(const QWidget* owner) const {
    const CMainFrame* frame = m_app.MainFrame();
    if (frame == nullptr || owner == nullptr) {
        return 0;
    }
    if (owner == frame->GetLeftView()) {
        return u'T';
    }
    // The grid's menus belong to the right-hand view that holds the grid.
    const CMyView* view = frame->GetMyView();
    if (view != nullptr && (owner == view || view->isAncestorOf(owner))) {
        return u'G';
    }
    return 0;
}

CMenuGridRows* CAppContextMenuHost::MainGrid() const {
    const CMainFrame* frame = m_app.MainFrame();
    return frame != nullptr ? frame->GetGrid() : nullptr;
}

bool CAppContextMenuHost::IsPropertiesPaneShown() const {
    const CMainFrame* frame = m_app.MainFrame();
    return frame != nullptr && frame->PropertiesOpen();
}

void CAppContextMenuHost::CloseProperties() {
    if (CMainFrame* frame = m_app.MainFrame()) {
        frame->CloseProperties();
    }
}

int CAppContextMenuHost::RunActions(const KPROPS& actions, char16_t context) {
    return m_app.Runner().RunActions(actions, context);
}

bool CAppContextMenuHost::SelectFile(const QString& keyPrefix, const QString& folder,
                                     QString& chosen) {
    return m_app.ActionWindows().SelectFile(keyPrefix, folder, chosen);
}

void CAppContextMenuHost::RunReDiscoverDialog(const QString& requestsUrl,
                                              const QString& actionUrl) {
    m_app.Services().ReDiscover(requestsUrl, actionUrl);
}

void CAppContextMenuHost::SetStatusText(const QString& text) {
    m_app.SetStatusText(text);
}

void CAppContextMenuHost::AddDateTimeParams(QString& text) {
    ::AddDateTimeParams(m_app.Prefs(), text);
}
