// The data grid's columns and their cells: the map from XML columns to grid
// columns, the columns' places, widths and key base, and the cells stored.

#include "framework/kformat.h"
#include "framework/klog.h"
#include "grid/mygrid.h"
#include "grid/mygriddetail.h"
#include "server/mysystemsite.h"
#include "settings/langpack.h"
#include "tree/mytree.h"

#include <vector>

using mygrid_detail::menuNameOf;
using mygrid_detail::prefInt;

void CMyGrid::clearColumnMap() {
    m_xmlToGridCol.fill(0);
}

int CMyGrid::placeColumn(int xmlCol, const GridColumn& column) {
    int& mapped = m_xmlToGridCol[static_cast<size_t>(xmlCol)];
    if (mapped != 0) {
        return mapped;
    }
    std::vector<bool> taken(static_cast<size_t>(GetColumnCount()), false);
    for (int n = 1; n <= kMaxXmlColumns; ++n) {
        const int gridCol = m_xmlToGridCol[static_cast<size_t>(n)] - 1;
        if (gridCol >= 0 && gridCol < GetColumnCount()) {
            taken[static_cast<size_t>(gridCol)] = true;
        }
    }
    if (column.Has(kTokenHidden)) {
        for (int col = GetColumnCount() - 1; col >= 0; --col) {
            if (!taken[static_cast<size_t>(col)]) {
                return mapped = col + 1;
            }
        }
    } else {
        for (int col = 0; col < GetColumnCount(); ++col) {
            if (!taken[static_cast<size_t>(col)]) {
                return mapped = col + 1;
            }
        }
    }
    return 0;
}

void CMyGrid::SetupColumn(int xmlCol) {
    if (xmlCol < 1 || xmlCol > kMaxXmlColumns) {
        return;
    }
    GridColumn& column = m_Columns[static_cast<size_t>(xmlCol)];
    const int gridCol = placeColumn(xmlCol, column) - 1;
    if (gridCol < 0) {
        return;
    }
    GridItemInfo item;
    item.row = 0;
    item.col = gridCol;
    QString head = column.colhead;
    if (FormatCell(column, item, head, m_style, 0, this) != 0) {
        SetItem(&item);
    }
    // A width the user left wins over the server's.
    if (const int remembered = prefInt(kFormat(u"%s/%s/w", m_strPrefKeyBase, column.colname), -1);
        remembered >= 1) {
        column.width = remembered;
    }
    if (m_created) {
        FitRowHeight(0, gridCol);
        if (column.Has(kTokenHidden)) {
            SetColumnWidth(gridCol, 0);
        } else if (column.width < 1) {
            SetColumnWidth(gridCol, 1);
            AutoSizeColumn(gridCol, 0, false);
        } else {
            SetColumnWidth(gridCol, column.width);
        }
    }
    // After the widths set above, which notify as widths given to the column.
    column.fitsText = column.width < 1;
}

// Each placed column that is fitted to its texts, with its widest extent.
template <class Visit>
void CMyGrid::forEachFittedColumn(Visit visit) {
    for (size_t xmlCol = 1; xmlCol <= kMaxXmlColumns; ++xmlCol) {
        const int gridCol = m_xmlToGridCol[xmlCol] - 1;
        if (gridCol >= 0 && gridCol < GetColumnCount() && m_Columns[xmlCol].fitsText) {
            visit(gridCol, m_fittedWidths[xmlCol]);
        }
    }
}

void CMyGrid::FitColumnsToText() {
    if (!m_created) {
        return;
    }
    measureFittedRows();
    forEachFittedColumn([this](int gridCol, int& widest) {
        FitColumnToText(gridCol, widest, kFittedShare);
    });
}

// Text extents cost a text layout each: the first rows of a load are
// measured once, as they come, so that no fit walks them again.
void CMyGrid::measureFittedRows() {
    const int first = GetFixedRowCount();
    const int end = qMin(GetRowCount(), first + kFittedRows);
    if (!m_created || first + m_fittedRows >= end) {
        return;
    }
    forEachFittedColumn([&](int gridCol, int& widest) {
        widest = qMax(widest, WidestExtent(gridCol, first + m_fittedRows, end - 1));
    });
    m_fittedRows = end - first;
}

void CMyGrid::forgetFittedRows() {
    m_fittedRows = 0;
    m_fittedWidths.fill(0);
}

bool CMyGrid::SetCellText(int row, int xmlCol, const QString& text) {
    if (xmlCol >= 1 && xmlCol <= kMaxXmlColumns) {
        const int gridCol = m_xmlToGridCol[static_cast<size_t>(xmlCol)] - 1;
        if (gridCol >= 0) {
            QString copy = text;
            storeCell(row, gridCol, m_Columns[static_cast<size_t>(xmlCol)], copy);
            return true;
        }
    }
    kDebugLog(u"row[%d], col[%d] -- no column mapping (have to throw the data away)\n", row,
              xmlCol);
    return false;
}

// Default colours stay with the default cell, so that a plain cell stores
// no colours of its own. A received cell is stored into the cell object
// straight: it is no user edit, so none of SetItem's edit marks apply.
void CMyGrid::storeCell(int row, int gridCol, const GridColumn& column, QString& text) {
    CGridCellBase* cell = GetCell(row, gridCol);
    if (cell == nullptr) {
        return;
    }
    GridItemInfo item;
    item.row = row;
    item.col = gridCol;
    if (FormatCell(column, item, text, m_style, m_dwRowProperty, this) == 0) {
        return;
    }
    delete reinterpret_cast<CellValue*>(cell->GetData());
    cell->SetText(item.strText);
    cell->SetData(item.lParam);
    cell->SetFormat(item.nFormat);
    if ((item.mask & GVIF_IMAGE) != 0) {
        cell->SetImage(item.iImage);
    }
    if (row == 0 || item.crBkClr != m_style.cellBack) {
        cell->SetBackColour(item.crBkClr);
    }
    if (row == 0 || item.crFgClr != m_style.cellFore) {
        cell->SetTextColour(item.crFgClr);
    }
    if ((item.nFormat & DT_WORDBREAK) != 0 || (item.mask & GVIF_IMAGE) != 0) {
        FitRowHeight(row, gridCol);
    }
}

void CMyGrid::FreeCellData(int row, int col) {
    CGridCellBase* cell = GetCell(row, col);
    if (cell == nullptr) {
        return;
    }
    delete reinterpret_cast<CellValue*>(cell->GetData());
    cell->SetData(0);
}

void CMyGrid::FreeRowData(int row) {
    for (int col = 0; col < GetColumnCount(); ++col) {
        FreeCellData(row, col);
    }
}

void CMyGrid::EqualizeHeaderLines() {
    if (GetRowCount() < 1) {
        return;
    }
    int most = 1;
    for (int col = 0; col < GetColumnCount(); ++col) {
        most = qMax(most, 1 + static_cast<int>(GetItemText(0, col).count(u'\n')));
    }
    for (int col = 0; col < GetColumnCount(); ++col) {
        const QString text = GetItemText(0, col);
        const int lines = 1 + static_cast<int>(text.count(u'\n'));
        if (lines < most) {
            QString padded;
            for (int missing = lines; missing < most; ++missing) {
                padded += QStringLiteral("\n\r");
            }
            SetItemText(0, col, padded + text);
            RedrawCell(0, col);
        }
    }
}

void CMyGrid::FitRowHeight(int row, int col) {
    CGridCellBase* cell = GetCell(row, col);
    if (cell == nullptr) {
        return;
    }
    const int lines = 1 + static_cast<int>(cell->GetText().count(u'\n'));
    const CGridDefaultCell* defaults = GetDefaultCell(row < GetFixedRowCount(), false);
    const int margin = static_cast<int>(cell->GetMargin());
    int needed = (defaults->GetHeight() - 2 * margin) * lines + 2 * margin + 2;
    const QList<QPixmap>* images = GetImageList();
    const int image = cell->GetImage();
    if (images != nullptr && image >= 0 && image < images->size()) {
        needed = qMax(needed, images->at(image).height() + 2 * margin + 2);
    }
    if (GetRowHeight(row) < needed) {
        SetRowHeight(row, needed);
    }
}

QString CMyGrid::GetColumnHeaderTip(int col) const {
    const int xmlCol = GridColToXmlCol(col);
    if (xmlCol < 1 || xmlCol > kMaxXmlColumns) {
        return {};
    }
    const GridColumn& column = m_Columns[static_cast<size_t>(xmlCol)];
    QString tip = column.hovertext;
    if (!column.helpUrl.isEmpty()) {
        tip += LangLookup(QStringLiteral("\n Hit [F1] for Help..."));
    }
    return tip;
}

// The map names grid columns: it moves with them.
void CMyGrid::OnColumnMoved(int from, int to) {
    for (int& mapped : m_xmlToGridCol) {
        if (mapped > 0) {
            mapped = movedColumn(mapped - 1, from, to) + 1;
        }
    }
}

const GridColumn* CMyGrid::GetColumn(int xmlCol) const {
    return xmlCol >= 1 && xmlCol <= kMaxXmlColumns ? &m_Columns[static_cast<size_t>(xmlCol)]
                                                   : nullptr;
}

const GridColumn* CMyGrid::GetGridColumnEntry(int gridCol) const {
    return GetColumn(GridColToXmlCol(gridCol));
}

int CMyGrid::XmlColToGridCol(int xmlCol) const {
    return xmlCol >= 1 && xmlCol <= kMaxXmlColumns ? m_xmlToGridCol[static_cast<size_t>(xmlCol)]
                                                   : 0;
}

int CMyGrid::GridColToXmlCol(int gridCol) const {
    for (int n = 1; n <= kMaxXmlColumns; ++n) {
        if (m_xmlToGridCol[static_cast<size_t>(n)] == gridCol + 1) {
            return n;
        }
    }
    return 0;
}

// A locked column takes grid column 1 (index 0); the columns already placed
// from there up to the first free place move one to the right, so a column
// placed last (a hidden one) stays inside the grid.
int CMyGrid::SetXmlToGridColMap(int xmlCol, const QString& colname) {
    if (xmlCol < 1 || xmlCol > kMaxXmlColumns) {
        return 0;
    }
    const GridColumn& column = m_Columns[static_cast<size_t>(xmlCol)];
    const int count = GetColumnCount();
    auto occupant = [this](int place) {
        for (int n = 1; n <= kMaxXmlColumns; ++n) {
            if (m_xmlToGridCol[static_cast<size_t>(n)] == place) {
                return n;
            }
        }
        return 0;
    };
    int place = 0;
    QString reason;
    if (column.Has(kTokenLocked)) {
        int freePlace = 1;
        while (freePlace <= count && occupant(freePlace) != 0) {
            ++freePlace;
        }
        if (freePlace > count) {
            return 0;
        }
        for (int n = 1; n <= kMaxXmlColumns; ++n) {
            int& mapped = m_xmlToGridCol[static_cast<size_t>(n)];
            if (mapped >= 1 && mapped < freePlace) {
                ++mapped;
            }
        }
        place = 1;
        SetFixedColumnCount(GetFixedColumnCount() + 1);
        reason = QStringLiteral("[LOCKED]");
    } else if (column.Has(kTokenHidden)) {
        for (int candidate = count; candidate >= 1 && place == 0; --candidate) {
            if (occupant(candidate) == 0) {
                place = candidate;
            }
        }
    } else {
        const int remembered = prefInt(kFormat(u"%s/%s", m_strPrefKeyBase, colname), 0);
        if (remembered >= 1 && remembered <= count && occupant(remembered) == 0) {
            place = remembered;
            reason = QStringLiteral("off preferences");
        } else {
            for (int candidate = 1; candidate <= count && place == 0; ++candidate) {
                if (occupant(candidate) == 0) {
                    place = candidate;
                }
            }
        }
    }
    m_xmlToGridCol[static_cast<size_t>(xmlCol)] = place;
    kDebugLog(u"SetXmlToGridColMap (iXmlCol=%d) --%s--> iGridCol=%d\n", xmlCol, reason, place);
    return place;
}

int CMyGrid::FindColumnByName(const QString& name) const {
    const QString wanted = name.toLower().trimmed();
    for (int col = 0; col < GetColumnCount(); ++col) {
        const GridColumn* column = GetGridColumnEntry(col);
        if (column != nullptr && column->colname.trimmed() == wanted) {
            return col;
        }
    }
    return -1;
}

bool CMyGrid::ComputePrefKeyBase() {
    if (!m_strPrefKeyBase.isEmpty()) {
        return true;
    }
    if (m_fDirlist || m_dwPropertiesMode == kPropertiesDirList) {
        m_strPrefKeyBase = QStringLiteral("grid:dirlist");
    } else if (const QString chooser = m_GridProperties.GetValue(QStringLiteral("field-chooser"));
               !chooser.isEmpty()) {
        m_strPrefKeyBase = kFormat(u"grid:%s", chooser);
    } else if (m_strMenuName = menuNameOf(m_strMenuName); !m_strMenuName.isEmpty()) {
        m_strPrefKeyBase = kFormat(u"grid:%s", m_strMenuName);
    } else if (CMyTree* tree = MySystemSite().WorldViewTree()) {
        for (QTreeWidgetItem* item = tree->GetSelectedItem(); item != nullptr;
             item = tree->GetParentItem(item)) {
            const CMyItem* record = tree->GetMyItem(item);
            if (record != nullptr && record->HasContent() && !record->ID.isEmpty()) {
                m_strPrefKeyBase = kFormat(u"grid:%s", record->ID);
                break;
            }
        }
    }
    kDebugLog(u"GRID: PrefKeyBase = %s\n", m_strPrefKeyBase);
    return !m_strPrefKeyBase.isEmpty();
}

// "[JOBTIME]": a weekday list moves to the previous day of each day in it;
// a later local date moves it forward instead, so that the list names the
// same days in both directions. A monthly day moves by the direction.
void CMyGrid::RewriteDaysCell(int row, int direction) {
    const int col = FindColumnByName(QStringLiteral("Days"));
    if (col < 0 || row < 1 || row >= GetRowCount()) {
        return;
    }
    const QString text = GetItemText(row, col);
    const bool schedule = text.contains(u"Daily") || text.contains(u"Every") ||
                          text.contains(u"Monthly") || text.contains(u"Hour") ||
                          text.contains(u"Once");
    if (schedule) {
        if (!text.contains(u"Monthly")) {
            return;
        }
        const qsizetype at = text.indexOf(u"Day");
        if (at < 0) {
            return;
        }
        int day = text.mid(at + 4).toInt() + direction;
        if (day >= 31) {
            day = 1;
        } else if (day <= 0) {
            day = 30;
        }
        SetItemText(row, col, kFormat(u"Monthly on Day %u", day));
        return;
    }
    static constexpr std::array<QStringView, 7> kDays = {u"Sa", u"Su", u"M", u"Tu",
                                                         u"W",  u"Th", u"F"};
    QString rebuilt;
    for (size_t i = 0; i < kDays.size(); ++i) {
        if (text.contains(kDays[i])) {
            const size_t moved = (i + (direction < 0 ? kDays.size() - 1 : 1)) % kDays.size();
            rebuilt += kDays[moved];
            rebuilt += u',';
        }
    }
    if (!rebuilt.isEmpty()) {
        rebuilt[rebuilt.size() - 1] = u' ';
    }
    SetItemText(row, col, rebuilt);
}
