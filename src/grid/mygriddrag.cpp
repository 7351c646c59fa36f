// CMyGrid: its selection dragged to the World View as a grid record, the
// server's context menu of the grid and the menu's commands.

#include "framework/kformat.h"
#include "framework/klog.h"
#include "grid/mygrid.h"
#include "grid/mygridsite.h"
#include "server/mysystem.h"
#include "server/mysystemsite.h"
#include "settings/preferences.h"
#include "tree/contextmenu.h"
#include "tree/clipboarditem.h"
#include "tree/menubusymarker.h"
#include "ui/popupmessages.h"
#include "ui/uiservices.h"

#include <QContextMenuEvent>
#include <QMenu>
#include <QMimeData>

namespace {

constexpr int kFirstCustomCommand = 40000;
constexpr int kLastCustomCommand = 50000;
constexpr int kDebugGridCommand = 486;

bool contextDebugging() {
    const CPreferences* prefs = MySystemSite().Preferences();
    return prefs != nullptr && prefs->GetString(QStringLiteral("ContextDebugging")).toInt() != 0;
}

}  // namespace

QMimeData* CMyGrid::CopySelection() {
    const CCellRange range = GetSelectedCellRange();
    if (!IsValid(range)) {
        return nullptr;
    }
    // The record names no cells: a drop target of this process reads the
    // selection from the grid itself.
    auto* data = new QMimeData;
    SetClipboardRecord(*data, GridSelectionRecord({range.maxRow - range.minRow + 1,
                                                   range.maxCol - range.minCol + 1}));
    return data;
}

void CMyGrid::OnBeginDrag() {
    CMySystem* system = m_site->SelectedSystem();
    if (!GetDragAndDrop() || system == nullptr) {
        return;
    }
    if (!system->GetDropRules().Find(m_strDragType).IsDraggable()) {
        kDebugLog(u"MyGrid: %s is not draggable.\n", m_strDragType);
        return;
    }
    kDebugLog(u"MyGrid: BeginDrag (%s)...\n", m_strDragType);
    CGridCtrl::OnBeginDrag();
}

void CMyGrid::contextMenuEvent(QContextMenuEvent* event) {
    kDebugLog(u"CMyGrid::OnContextMenu()...\n");
    // While a menu command runs, a right click is dropped, not queued.
    if (!CMenuBusyMarker::IsFree()) {
        event->accept();
        return;
    }
    kDebugLog(u"CM - SEMAPHORE 3 - DOWN - OnCM");
    kDebugLog(u"CM - SEMAPHORE 3 -  UP - OnCM");
    CGridCtrl::contextMenuEvent(event);
}

CContextMenu* CMyGrid::serverMenu(CMySystem* system) const {
    return system != nullptr ? system->GetMenuSet().Find(m_strMenuName) : nullptr;
}

int CMyGrid::BuildContextMenu(QMenu& popup, QWidget* owner) {
    CContextMenu* menu = serverMenu(m_site->SelectedSystem());
    if (menu == nullptr) {
        return 0;
    }
    menu->AddXmlDrivenMenuItems(popup, this, owner);
    if (contextDebugging()) {
        if (!popup.actions().isEmpty()) {
            popup.addSeparator();
        }
        popup.addAction(QStringLiteral("Debug Grid..."))->setData(kDebugGridCommand);
    }
    return 1;
}

int CMyGrid::OnCustomCmd(int commandId, int commandCode, qintptr extra) {
    if (commandId < kFirstCustomCommand || commandId > kLastCustomCommand) {
        return 0;
    }
    CMySystem* system = m_site->SelectedSystem();
    if (system == nullptr) {
        kDebugLog(
            u"CMyGrid::OnCustomCmd(): no context menu, since no system is selected in the "
            u"tree.\n");
        return 0;
    }
    if (CContextMenu* menu = serverMenu(system)) {
        kDebugLog(u"CMyGrid::OnCustomCmd(): displaying context menu: %s\n", m_strMenuName);
        return menu->RunItem(commandId, commandCode, extra);
    }
    if (m_strMenuName.isEmpty()) {
        kDebugLog(u"CMyGrid::OnCustomCmd(): no context menu defined for this grid.\n");
    } else if (HaveUiServices()) {
        UiServices().Popups().ErrorBox(
            kFormat(u"CMI from host '%s' has not defined a context menu called '%s'.", system->Host,
                    m_strMenuName));
    }
    return 0;
}
