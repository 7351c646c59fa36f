// What the user does in a data grid: the control's notifications, the keys
// after the control's own handling, the left button's release over the
// header, and the column layout kept in the preferences.

#include "framework/kformat.h"
#include "framework/klog.h"
#include "framework/kprops.h"
#include "grid/mygrid.h"
#include "grid/mygridsite.h"
#include "gridctrl/gridowner.h"
#include "server/mysystem.h"
#include "server/mysystemsite.h"
#include "settings/preferences.h"
#include "tree/mytree.h"

#include <QGuiApplication>
#include <QKeyEvent>

namespace {

const QString kLayoutKeyProperty = QStringLiteral("[PKEY]");

const char16_t* notificationName(int code) {
    switch (code) {
        case NM_CLICK:
            return u"NM_CLICK";
        case NM_DBLCLK:
            return u"NM_DBLCLK";
        case NM_RETURN:
            return u"NM_RETURN";
        case NM_RCLICK:
            return u"NM_RCLICK";
        case NM_RDBLCLK:
            return u"NM_RDBLCLK";
        case NM_SETFOCUS:
            return u"NM_SETFOCUS";
        case NM_KILLFOCUS:
            return u"NM_KILLFOCUS";
        case GVN_SELCHANGING:
            return u"GVN_SELCHANGING";
        case GVN_SELCHANGED:
            return u"GVN_SELCHANGED";
        case GVN_DELETEITEM:
            return u"GVN_DELETEITEM";
        case GVN_COLUMNCLICK:
            return u"GVN_COLUMNCLICK";
        case GVN_BEGINDRAG:
            return u"GVN_BEGINDRAG";
        case GVN_BEGINRDRAG:
            return u"GVN_BEGINRDRAG";
        case GVN_ODCACHEHINT:
            return u"GVN_ODCACHEHINT";
        case GVN_COLUMNSORTED:
            return u"GVN_COLUMNSORTED";
        case GVN_COLUMNRESIZED:
            return u"GVN_COLUMNRESIZED";
        case GVN_ENDDRAG:
            return u"GVN_ENDDRAG";
        case GVN_BEGINLABELEDIT:
            return u"GVN_BEGINLABELEDIT";
        case GVN_ENDLABELEDIT:
            return u"GVN_ENDLABELEDIT";
        case GVN_GETDISPINFO:
            return u"GVN_GETDISPINFO";
        default:
            return u"BUG";
    }
}

bool layoutCode(int code) {
    return code == GVN_COLUMNSORTED || code == GVN_COLUMNRESIZED || code == GVN_ENDDRAG;
}

const char16_t* shiftText(Qt::KeyboardModifiers keys) {
    return (keys & Qt::ShiftModifier) != 0 ? u"[Shift]" : u"";
}
const char16_t* ctrlText(Qt::KeyboardModifiers keys) {
    return (keys & Qt::ControlModifier) != 0 ? u"[Ctrl]" : u"";
}
const char16_t* altText(Qt::KeyboardModifiers keys) {
    return (keys & Qt::AltModifier) != 0 ? u"[Alt]" : u"";
}

// The system's key codes of the keys acted on here.
constexpr int kKeyEnter = 13;
constexpr int kKeyEscape = 27;
constexpr int kKeyDelete = 46;

int systemKeyCode(int qtKey) {
    switch (qtKey) {
        case Qt::Key_Return:
        case Qt::Key_Enter:
            return kKeyEnter;
        case Qt::Key_Escape:
            return kKeyEscape;
        case Qt::Key_Delete:
            return kKeyDelete;
        default:
            return qtKey;
    }
}

}  // namespace

void CMyGrid::logNotification(const GridNotifyInfo& info, const char16_t* name,
                              const QString& outcome) const {
    kDebugLog(u"| Grid[col=%d,row=%d]::OnNotify(%-18s): %s\n", info.iColumn, info.iRow, name,
              outcome);
    kDebugLog(u"+----\n");
}

qintptr CMyGrid::OnNotify(GridNotifyHeader* header) {
    const int code = header->code;
    // Those two records carry no cell: they go on unlogged (a virtual grid
    // asks for every cell it paints).
    if (code == GVN_GETDISPINFO || code == GVN_ODCACHEHINT) {
        return CGridCtrl::OnNotify(header);
    }
    const auto& info = *reinterpret_cast<const GridNotifyInfo*>(header);
    const char16_t* name = notificationName(code);
    const Qt::KeyboardModifiers keys = QGuiApplication::keyboardModifiers();
    kDebugLog(u"+----\n");
    kDebugLog(u"| Grid[col=%d,row=%d]::OnNotify(%-18s) %s %s %s\n", info.iColumn, info.iRow, name,
              shiftText(keys), ctrlText(keys), altText(keys));
    if (info.iRow < 0 && info.iColumn < 0) {
        kDebugLog(u"Note: row and col are out of range\n");
    } else if (info.iRow < 0) {
        kDebugLog(u"Note: row is out of range\n");
    } else if (info.iColumn < 0) {
        kDebugLog(u"Note: col is out of range\n");
    }
    // A load's own sizing and sorting is not the user's layout.
    const bool userLayout = layoutCode(code) && !loadingOrReplaying();
    // A width given to a column, by the user or the program, is the
    // column's own: the load no longer fits it to its texts.
    if (const int xmlCol = GridColToXmlCol(info.iColumn);
        code == GVN_COLUMNRESIZED && xmlCol >= 1) {
        m_Columns[static_cast<size_t>(xmlCol)].fitsText = false;
    }
    // A window that drives the grid itself (a chooser dialog) takes every
    // notification; the layout is still the user's to keep.
    if (GetOwner() != nullptr) {
        if (userLayout) {
            saveLayout();
        }
        const qintptr result = CGridCtrl::OnNotify(header);
        logNotification(info, name, QStringLiteral("passed to CGridCtrl"));
        return result;
    }
    QString outcome = QStringLiteral("ignored event");
    switch (code) {
        case NM_CLICK: {
            kDebugLog(u"CMyGrid::OnNotify() -- passing message on to CGridCtrl::OnNotify()...\n");
            const qintptr result = CGridCtrl::OnNotify(header);
            logNotification(info, name, QStringLiteral("let CGridCtrl handle the click event"));
            return result;
        }
        case NM_DBLCLK:
            if (info.iRow <= 0) {
                // A header double-click saves the layout even of an empty grid.
                m_fNoRows = false;
                saveLayout();
                outcome = QStringLiteral("ignored 2clk on col header");
                break;
            }
            if (GetSelectedRowCount() == 0) {
                SelectRow(info.iRow);
                outcome = QStringLiteral("forced single-row selection");
            }
            HideDetail(info.iRow);
            break;
        case GVN_SELCHANGING:
            outcome = QStringLiteral("sel changing: no action taken (TODO: check dirty bit?)");
            break;
        case GVN_SELCHANGED:
            if (!m_site->IsPropertiesPanelVisible()) {
                outcome = QStringLiteral("properties panel is closed (nothing to refresh)");
            } else if (info.iRow <= 0) {
                m_site->CloseProperties();
                outcome = QStringLiteral("no row selected - hide properties panel");
            } else if (loadingOrReplaying()) {
                // The refresh would cancel the request whose rows still
                // arrive: the panel follows once the load ends.
                m_fPropertiesPending = true;
                outcome = QStringLiteral("load running - properties panel follows at its end");
            } else {
                RefreshProperties();
                outcome = QStringLiteral("forced refresh of properties panel");
            }
            break;
        case GVN_COLUMNCLICK:
            ClearSelectedRange();
            m_site->CloseProperties();
            outcome = QStringLiteral("forced de-selection and hid details");
            break;
        case GVN_COLUMNSORTED:
        case GVN_COLUMNRESIZED:
        case GVN_ENDDRAG:
            if (userLayout) {
                saveLayout();
            }
            break;
        default: {
            const qintptr result = CGridCtrl::OnNotify(header);
            logNotification(info, name, QStringLiteral("passed to CGridCtrl"));
            return result;
        }
    }
    logNotification(info, name, outcome);
    return 1;
}

void CMyGrid::saveLayout() {
    SaveColumnPrefs();
    if (CPreferences* prefs = MySystemSite().Preferences()) {
        prefs->SavePrefs(0);
    }
}

int CMyGrid::HideDetail(int row) {
    CMySystem* system = m_site->SelectedSystem();
    if (system != nullptr) {
        bindServerMenu(*system);
    }
    if (m_fDirlist && IsDirectoryRow(row)) {
        const int nameCol = XmlColToGridCol(m_iXmlColDirlistName) - 1;
        QString name = nameCol >= 0 ? GetItemText(row, nameCol) : QString();
        while (name.endsWith(u'/')) {
            name.chop(1);
        }
        CMyTree* tree = MySystemSite().WorldViewTree();
        QTreeWidgetItem* selected = tree != nullptr ? tree->GetSelectedItem() : nullptr;
        QTreeWidgetItem* child =
            selected != nullptr ? tree->FindChildByLabel(name, selected) : nullptr;
        if (child == nullptr) {
            return 0;
        }
        tree->SelectItem(child, false);
        return 1;
    }
    const CCellRange range = GetSelectedCellRange();
    const bool panelShown = m_site->IsPropertiesPanelVisible();
    if (range.IsValid() && range.minRow == range.maxRow) {
        if (row == GetLastClickedRow() && GetPreviousClickedRow() == row && panelShown) {
            kDebugLog(u"-----HideDetail() is called");
            m_site->CloseProperties();
            m_fDetailHidden = true;
            return 0;
        }
    } else if (range.IsValid() && row == GetFocusCell().row && panelShown) {
        SelectRow(row);
    }
    return RunDoubleClickItem();
}

// A column name or key base with a line break or "=" makes a key the
// settings file cannot hold; an empty name would share its key with others.
bool CMyGrid::storablePrefKey(const QString& key) const {
    if (KPROPS::IsStorableName(key)) {
        return true;
    }
    kDebugLog(u"SaveColumnPrefs: '%s' cannot be a preference key; left out\n", key);
    return false;
}

void CMyGrid::SaveColumnPrefs() {
    if (m_strPrefKeyBase.isEmpty() || m_fNoRows) {
        return;
    }
    CPreferences* prefs = MySystemSite().Preferences();
    if (prefs == nullptr || !storablePrefKey(m_strPrefKeyBase)) {
        return;
    }
    // The control's own sort: a header click sorts there.
    prefs->SetInt(m_strPrefKeyBase + QStringLiteral("/_sort"), GetSortColumn());
    prefs->SetInt(m_strPrefKeyBase + QStringLiteral("/_ascend"), GetSortAscending() ? 1 : 0);
    for (int col = 0; col < GetColumnCount(); ++col) {
        const GridColumn* column = GetGridColumnEntry(col);
        if (column == nullptr || column->Has(kTokenHidden)) {
            continue;
        }
        const QString key = kFormat(u"%s/%s", m_strPrefKeyBase, column->colname);
        if (column->colname.isEmpty()) {
            kDebugLog(u"SaveColumnPrefs: column %d has no name; left out\n", col);
            continue;
        }
        if (!storablePrefKey(key)) {
            continue;
        }
        prefs->SetInt(key, col + 1);
        prefs->SetInt(key + QStringLiteral("/w"), GetColumnWidth(col));
    }
}

void CMyGrid::keyPressEvent(QKeyEvent* event) {
    CGridCtrl::keyPressEvent(event);
    const int key = systemKeyCode(event->key());
    const Qt::KeyboardModifiers keys = event->modifiers();
    if ((keys & Qt::AltModifier) == 0) {
        OnKeyDown(key, keys);
    } else if (OnSysKeyDown(key, keys)) {
        // The view around the grid must not run Alt+Enter again.
        event->accept();
    }
}

void CMyGrid::OnKeyDown(int key, Qt::KeyboardModifiers keys) {
    kDebugLog(u"CMyGrid::OnKeyDown nChar=%u, nRepCnt=%u, nFlags=%u %s%s%s\n",
              static_cast<unsigned>(key), 1U, 0U, shiftText(keys), ctrlText(keys), altText(keys));
    const bool rowsSelected = isVisible() && GetSelectedRowCount() > 0;
    switch (key) {
        case kKeyEnter:
            if ((keys & (Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier)) == 0 &&
                rowsSelected) {
                kDebugLog(u"CMyGrid::OnKeyDown(): [Enter] treating like a double-click...");
                RunDoubleClickItem();
            }
            break;
        case kKeyEscape:
            if (m_site->IsPropertiesPanelVisible() && m_pPropertiesPanelMenuItem == 0 &&
                !m_fRefreshingProperties) {
                kDebugLog(u"CMyGrid::OnKeyDown(): [ESC] key: hiding properties panel...");
                m_site->CloseProperties();
                m_pPropertiesPanelMenuItem = 0;
            } else {
                kDebugLog(u"CMyGrid::OnKeyDown(): [ESC] key: ignoring...");
            }
            break;
        case kKeyDelete:
            if (rowsSelected) {
                OnDeleteKey();
            }
            break;
        default:
            break;
    }
}

bool CMyGrid::OnSysKeyDown(int key, Qt::KeyboardModifiers keys) {
    kDebugLog(u"CMyGrid::OnKeyDown nChar=%u, nRepCnt=%u, nFlags=%u %s%s%s\n",
              static_cast<unsigned>(key), 1U, 0U, shiftText(keys), ctrlText(keys), altText(keys));
    if (key != kKeyEnter || (keys & (Qt::ShiftModifier | Qt::ControlModifier)) != 0 ||
        !isVisible() || GetSelectedRowCount() == 0) {
        return false;
    }
    OnAltEnter();
    return true;
}

void CMyGrid::OnLButtonUp(Qt::KeyboardModifiers keys, QPoint point) {
    if (GetMouseMode() != MOUSE_PRESSED_HEADER) {
        // A column dragged to its place moves the column map with it
        // (OnColumnMoved), every mapped column however the XML numbers run.
        CGridCtrl::OnLButtonUp(keys, point);
        return;
    }
    const QString selected =
        GetSelectedRowsByColProp(kLayoutKeyProperty, 0, QStringLiteral(","), QStringLiteral("@"));
    CGridCtrl::OnLButtonUp(keys, point);
    SelectRows(selected, kLayoutKeyProperty, QStringLiteral(","), QStringLiteral("@"));
}
