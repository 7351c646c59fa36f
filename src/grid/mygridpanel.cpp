// The data grid's properties panel and row commands: the browser pane under
// the main grid follows the selected row, and the server menu's
// "double-click", "alt-enter" and "delete" items run for the selected rows.

#include "framework/kformat.h"
#include "framework/klog.h"
#include "framework/kprops.h"
#include "grid/mygrid.h"
#include "grid/mygridsite.h"
#include "resources/strings.h"
#include "server/mysystem.h"
#include "settings/langpack.h"
#include "tree/contextmenu.h"
#include "tree/myitem.h"

namespace {

const QString kPanelKeyProperty = QStringLiteral("[PKEY]");
const QString kPanelKeySeparator = QStringLiteral(",");
const QString kPanelKeyJoiner = QStringLiteral("@");

// Characters that would change the meaning of a query value.
bool changesQuery(QChar character) {
    return character == u'#' || character == u'&' || character == u'+' || character == u'%' ||
           character.isSpace() || character.unicode() < 0x20;
}

QString withoutLeadingCommas(QString text) {
    qsizetype commas = 0;
    while (commas < text.size() && text.at(commas) == u',') {
        ++commas;
    }
    text.remove(0, commas);
    return text;
}

}  // namespace

QString CMyGrid::EncodeKeysForURL(const QString& keys) {
    QString encoded;
    encoded.reserve(keys.size());
    for (const QChar character : keys) {
        if (!changesQuery(character)) {
            encoded += character;
            continue;
        }
        for (const char byte : QString(character).toUtf8()) {
            encoded += kFormat(u"%%%02X", static_cast<unsigned>(static_cast<unsigned char>(byte)));
        }
    }
    return encoded;
}

QString CMyGrid::EscapeForPropertiesPage(const QString& text) {
    QString escaped = text;
    escaped.replace(u'&', QStringLiteral("&amp;"));
    escaped.replace(u'<', QStringLiteral("&lt;"));
    escaped.replace(u'>', QStringLiteral("&gt;"));
    return escaped;
}

// The lowest selected row that is shown comes into view.
void CMyGrid::scrollToLowestSelectedRow() {
    const CCellRange range = GetSelectedCellRange();
    for (int row = range.maxRow; row >= range.minRow && row >= GetFixedRowCount(); --row) {
        if (IsRowSelected(row) && GetRowHeight(row) > 0) {
            EnsureVisible(row, qMax(range.minCol, 0));
            return;
        }
    }
}

int CMyGrid::UpdatePropertiesPanel(const QString& url) {
    if (!mainGrid()) {
        return 0;
    }
    const bool singleOnly =
        m_GridProperties.GetValue(QStringLiteral("properties-single-row-only")).toInt() != 0;
    const CCellRange range = GetSelectedCellRange();
    const bool multi = range.IsValid() && range.maxRow > range.minRow;
    if (!range.IsValid() || range.minRow < GetFixedRowCount() || (multi && singleOnly)) {
        m_site->CloseProperties();
        return 1;
    }
    const QString pageUrl = !url.isEmpty() ? url : m_strPropertiesURL;
    if (!pageUrl.isEmpty()) {
        m_site->BlankBrowserPane();
        if (m_site->PropertiesDirtyBit() != 0) {
            // The page kept edits the user has not sent: it stays, and so
            // does the row it belongs to.
            if (GetLastClickedRow() >= GetFixedRowCount()) {
                SelectRow(GetLastClickedRow());
            }
            return 1;
        }
        const QString keys =
            GetSelectedRowsByColProp(kPanelKeyProperty, 0, kPanelKeySeparator, kPanelKeyJoiner);
        m_site->OpenProperties(pageUrl + QStringLiteral("&Selected=") + EncodeKeysForURL(keys));
        scrollToLowestSelectedRow();
        return 1;
    }
    if (multi) {
        m_site->CloseProperties();
        return 1;
    }
    int count = 0;
    if ((m_dwPropertiesMode & 0x1) != 0) {
        const QString value =
            withoutLeadingCommas(GetSelectedRowsByColName(QStringLiteral("URL"), count, 1));
        if (value.size() > 2 && !value.contains(u"GetDirectory") && !value.contains(u".pdf")) {
            m_site->OpenProperties(value);
            scrollToLowestSelectedRow();
            return 1;
        }
    }
    if ((m_dwPropertiesMode & 0x10) != 0) {
        // An empty path names no file to fetch.
        const QString value =
            withoutLeadingCommas(GetSelectedRowsByColName(QStringLiteral("Full Path"), count, 1));
        if (!value.isEmpty()) {
            m_site->OpenProperties(
                kFormat(u"/cmi/Services?Action=GetFile&File=%s", EncodeKeysForURL(value)));
            scrollToLowestSelectedRow();
            return 1;
        }
    }
    const int shown = ShowRowProperties();
    if (shown != 0) {
        scrollToLowestSelectedRow();
    }
    return shown;
}

int CMyGrid::RefreshProperties() {
    CMySystem* system = m_site->SelectedSystem();
    if (system == nullptr) {
        return 0;
    }
    system->GetServerProcesses().RemovePid(static_cast<CGridCtrl*>(this),
                                           ServerProcesses::kAllRequests);
    if (GetRowCount() - GetFixedRowCount() == 1) {
        SelectRow(GetFixedRowCount());
    }
    m_fRefreshingProperties = true;
    int result = 0;
    if (m_pPropertiesPanelMenuItem != 0) {
        bindServerMenu(*system);
        result = system->InvokeContextMenuItem(m_strMenuName, m_pPropertiesPanelMenuItem);
    }
    if (result == 0) {
        result = ShowRowProperties();
    }
    m_fRefreshingProperties = false;
    return result;
}

void CMyGrid::bindServerMenu(CMySystem& system) {
    if (CContextMenu* menu = system.GetMenuSet().Find(m_strMenuName)) {
        menu->SetOwners(this, m_site->MenuOwner());
    }
}

// The named item of the grid's server menu runs; without one the row's own
// properties show when asked.
int CMyGrid::runMenuItem(const QString& name, bool rowPropertiesOtherwise) {
    CMySystem* system = m_site->SelectedSystem();
    if (system == nullptr) {
        return 0;
    }
    const int commandId = system->FindContextMenuItemId(m_strMenuName, name);
    if (commandId == 0) {
        return rowPropertiesOtherwise ? ShowRowProperties() : 0;
    }
    bindServerMenu(*system);
    return system->InvokeContextMenuItem(m_strMenuName, commandId);
}

int CMyGrid::RunDoubleClickItem() {
    return runMenuItem(QStringLiteral("double-click"), true);
}

int CMyGrid::OnAltEnter() {
    return runMenuItem(QStringLiteral("alt-enter"), true);
}

int CMyGrid::OnDeleteKey() {
    return runMenuItem(QStringLiteral("delete"), false);
}

int CMyGrid::AppendBlankRow() {
    if (!IsLastRowEmpty()) {
        const int row = GetRowCount();
        SetRowCount(row + 1);
        for (int xmlCol = 1; xmlCol <= GetColumnCount() && xmlCol <= kMaxXmlColumns; ++xmlCol) {
            SetCellText(row, xmlCol, QString());
        }
    }
    const int last = GetRowCount() - 1;
    SetSelectedRange(last, 0, last, GetColumnCount() - 1, true);
    EnsureVisible(last, 0);
    return 1;
}

int CMyGrid::NewRow() {
    if (m_site->SelectedSystem() == nullptr) {
        return 0;
    }
    AppendBlankRow();
    return runMenuItem(QStringLiteral("alt-enter"), false);
}

bool CMyGrid::IsLastRowEmpty() const {
    const int last = GetRowCount() - 1;
    if (last < GetFixedRowCount()) {
        return false;
    }
    for (int col = 0; col < GetColumnCount(); ++col) {
        if (!GetItemText(last, col).isEmpty()) {
            return false;
        }
    }
    return true;
}

bool CMyGrid::IsDirectoryRow(int row) const {
    if (!m_fDirlist || row < GetFixedRowCount() || row >= GetRowCount()) {
        return false;
    }
    const QString mode = LangLookup(LoadResourceString(510));
    for (int col = 0; col < GetColumnCount(); ++col) {
        if (GetItemText(0, col) != mode) {
            continue;
        }
        const CGridCellBase* cell = GetCell(row, col);
        const auto* value =
            cell != nullptr ? reinterpret_cast<const CellValue*>(cell->GetData()) : nullptr;
        return value != nullptr && (value->integer & FileEntry::kDirectoryMode) != 0;
    }
    return false;
}

int CMyGrid::ShowRowProperties() {
    if (GetSelectedRowCount() != 1) {
        m_site->CloseProperties();
        return 0;
    }
    KPROPS properties(100, 10);
    for (int col = 0; col < GetColumnCount(); ++col) {
        if (GetColumnWidth(col) <= 0) {
            continue;
        }
        int count = 0;
        const QString value = withoutLeadingCommas(GetSelectedValuesOfColumn(col, count, 1));
        // The head's leading line breaks only align it with taller heads.
        properties.Add(EscapeForPropertiesPage(GetItemText(0, col).trimmed()),
                       EscapeForPropertiesPage(value));
    }
    return m_site->ShowProperties(m_site->SelectedSystem(), properties);
}

int CMyGrid::ShowColumnHelp() {
    if (!IsTitleTipShown()) {
        return 0;
    }
    const CCellID cell = GetTitleTipCell();
    if (cell.row < 0 || cell.row >= GetFixedRowCount() || cell.col < 0 ||
        cell.col > kMaxXmlColumns) {
        return 0;
    }
    const GridColumn* column = GetGridColumnEntry(cell.col);
    if (column == nullptr || column->helpUrl.isEmpty()) {
        return 0;
    }
    m_site->LaunchHelp(column->helpUrl);
    return 1;
}
