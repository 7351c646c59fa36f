// CGridCtrl: sorting rows, sizing rows and columns to their contents and
// moving a column.

#include "gridctrl/gridctrl.h"

#include "gridctrl/gridcellbase.h"
#include "gridctrl/gridtextkey.h"
#include "ui/busycursor.h"

#include <algorithm>

bool CGridCtrl::beginSort(int col, bool ascending) {
    SetSortColumn(col);
    m_sortAscending = ascending;
    m_prevSelectedCellMap.clear();
    SetSelectedRange(-1, -1, -1, -1, false, true);
    SetFocusCell(-1, -1);
    return col >= 0 && col < m_nCols;
}

bool CGridCtrl::SortItems(GridCompareFunction compare, int col, bool ascending, qintptr data) {
    beginSort(col, ascending);
    return SortRowRange(compare, col, ascending, data, m_nFixedRows, -1);
}

bool CGridCtrl::SortItems(int col, bool ascending, qintptr data) {
    beginSort(col, ascending);
    return SortRowRange(m_compare != nullptr ? m_compare : &CGridCtrl::TextCompare, col, ascending,
                        data, m_nFixedRows, -1);
}

bool CGridCtrl::SortRowRange(GridCompareFunction compare, int col, bool ascending, qintptr data,
                             int low, int high) {
    if (col < 0 || col >= m_nCols || m_virtualMode || compare == nullptr) {
        return false;
    }
    if (high == -1) {
        high = m_nRows - 1;
    }
    low = qMax(low, 0);
    high = qMin(high, static_cast<int>(m_rowData.size()) - 1);
    if (low >= high) {
        return false;
    }
    if (compare == &CGridCtrl::TextCompare) {
        // The texts taken out once, as views: a compare touches two keys,
        // not two cells, and taking a key costs no reference count. The cells
        // stay as they are until the sort has ended. Texts such as
        // "element-1" and "element-2" differ only after what they share,
        // which the keys' heads skip.
        const auto textAt = [this, col](int row) {
            const CGridCellBase* cell =
                m_rowData[static_cast<size_t>(row)][static_cast<size_t>(col)];
            return cell != nullptr ? cell->GetTextView() : QStringView();
        };
        const QStringView first = textAt(low);
        qsizetype shared = first.size();
        for (int row = low + 1; row <= high && shared > 0; ++row) {
            shared = SharedTextPrefix(first, textAt(row), shared);
        }
        return sortRowsByKey(
            col, ascending, low, high,
            [shared](const CGridCellBase* cell) {
                return GridTextKey(cell != nullptr ? cell->GetTextView() : QStringView(), shared);
            },
            [](const GridTextKey& first, const GridTextKey& second) {
                return CompareGridTextKeys(first, second);
            });
    }
    return sortRowsByKey(
        col, ascending, low, high, [](const CGridCellBase* cell) { return cell; },
        [compare, data](const CGridCellBase* first, const CGridCellBase* second) {
            return compare(first, second, data);
        });
}

bool CGridCtrl::ApplySortedOrder(int col, bool ascending, const std::vector<int>& order,
                                 quint64 changes) {
    const int low = m_nFixedRows;
    if (changes != m_cellLayoutChanges || m_virtualMode ||
        order.size() != static_cast<size_t>(qMax(m_nRows - low, 0))) {
        return false;
    }
    std::vector<bool> seen(order.size());
    for (const int row : order) {
        const auto at = static_cast<size_t>(row - low);
        if (row < low || at >= seen.size() || seen[at]) {
            return false;
        }
        seen[at] = true;
    }
    beginSort(col, ascending);
    applyRowOrder(order, low);
    return true;
}

void CGridCtrl::applyRowOrder(const std::vector<int>& order, int low) {
    ++m_cellLayoutChanges;
    // Each cycle of the permutation moves its rows once, with one row aside.
    std::vector<bool> placed(order.size());
    for (size_t start = 0; start < order.size(); ++start) {
        if (placed[start]) {
            continue;
        }
        std::vector<CGridCellBase*> aside = std::move(m_rowData[low + start]);
        size_t at = start;
        for (;;) {
            placed[at] = true;
            const auto from = static_cast<size_t>(order[at] - low);
            if (from == start) {
                m_rowData[low + at] = std::move(aside);
                break;
            }
            m_rowData[low + at] = std::move(m_rowData[low + from]);
            at = from;
        }
    }
    m_rowHeights.Reorder(low, order);
    // The selection store and the focus are keyed on places: the ones in
    // the sorted rows follow their cells. Only they are visited, not the
    // cells of every row.
    const int high = low + static_cast<int>(order.size()) - 1;
    auto inRange = [low, high](int row) { return row >= low && row <= high; };
    std::vector<int> placeOf;
    auto newRow = [&](int row) {
        if (placeOf.empty()) {
            placeOf.resize(order.size());
            for (size_t at = 0; at < order.size(); ++at) {
                placeOf[static_cast<size_t>(order[at] - low)] = low + static_cast<int>(at);
            }
        }
        return placeOf[static_cast<size_t>(row - low)];
    };
    auto moveKeys = [&](QHash<quint64, CCellID>& map) {
        QHash<quint64, CCellID> remapped;
        for (const CCellID& cell : std::as_const(map)) {
            const CCellID place(inRange(cell.row) ? newRow(cell.row) : cell.row, cell.col);
            remapped.insert(SelectionKey(place.row, place.col), place);
        }
        map.swap(remapped);
    };
    if (!m_selectedCellMap.isEmpty()) {
        moveKeys(m_selectedCellMap);
    }
    if (!m_prevSelectedCellMap.isEmpty()) {
        moveKeys(m_prevSelectedCellMap);
    }
    if (inRange(m_idCurrentCell.row)) {
        m_idCurrentCell.row = newRow(m_idCurrentCell.row);
    }
    Refresh();
}

void CGridCtrl::OnHeaderRowClick(const CCellID& cell) {
    if (!IsValid(cell)) {
        return;
    }
    if (m_sortOnClick) {
        CBusyCursor busy;
        const bool ascending = cell.col == m_sortColumn ? !m_sortAscending : true;
        SortItems(cell.col, ascending, 0);
        Refresh();
        SendMessageToParent(0, cell.col, GVN_COLUMNSORTED);
    }
    if (m_fixedRowSelection) {
        m_mouseMode = cell.col < m_nFixedCols ? MOUSE_SELECT_ALL : MOUSE_SELECT_COL;
        SelectByMouseMode(cell);
    }
}

void CGridCtrl::OnHeaderColumnClick(const CCellID& cell) {
    if (!IsValid(cell) || !m_fixedColumnSelection) {
        return;
    }
    m_mouseMode = cell.row < m_nFixedRows ? MOUSE_SELECT_ALL : MOUSE_SELECT_ROW;
    SelectByMouseMode(cell);
}

bool CGridCtrl::AutoSizeColumn(int col, int style, bool resetScrollBars) {
    if (col < 0 || col >= m_nCols || GetColumnWidth(col) <= 0) {
        return false;
    }
    if (style == 0) {
        style = m_autoSizeStyle;
    }
    const int firstRow = (style & 0x1) != 0 ? 0 : m_nFixedRows;
    const int lastRow = (style & 0x2) != 0 ? m_nRows - 1 : m_nFixedRows - 1;
    const int largest =
        static_cast<int>(static_cast<double>(m_maxColumnWidthFraction) * viewport()->width());
    const int width = qMin(WidestExtent(col, firstRow, lastRow), largest);
    m_colWidths.Set(col, static_cast<unsigned>(qMax(width, 0)));
    if (resetScrollBars) {
        ResetScrollBars();
    }
    return true;
}

bool CGridCtrl::FitColumnToText(int col, int dataWidth, float dataFraction) {
    if (col < 0 || col >= m_nCols || GetColumnWidth(col) <= 0) {
        return false;
    }
    const double client = viewport()->width();
    const int headed =
        qMin(WidestExtent(col, 0, m_nFixedRows - 1),
             static_cast<int>(static_cast<double>(m_maxColumnWidthFraction) * client));
    const int filled =
        qMin(dataWidth, static_cast<int>(static_cast<double>(dataFraction) * client));
    m_colWidths.Set(col, static_cast<unsigned>(std::max({headed, filled, 1})));
    ResetScrollBars();
    return true;
}

int CGridCtrl::WidestExtent(int col, int firstRow, int lastRow) {
    if (m_virtualMode) {
        SendCacheHint(CCellRange(firstRow, col, lastRow, col));
    }
    int widest = 0;
    int extent = 0;
    for (int row = firstRow; row <= lastRow; ++row) {
        if (const CGridCellBase* cell = GetCell(row, col)) {
            extent = cell->GetCellExtent().width();
        }
        widest = qMax(widest, extent);
    }
    if (m_virtualMode) {
        SendCacheHint(CCellRange());
    }
    return widest;
}

bool CGridCtrl::AutoSizeRow(int row, bool resetScrollBars) {
    if (row < 0 || row >= m_nRows || GetRowHeight(row) <= 0) {
        return false;
    }
    if (m_virtualMode) {
        SendCacheHint(CCellRange(row, 0, row, m_nCols));
    }
    int height = 0;
    int extent = 0;
    for (int col = 0; col < m_nCols; ++col) {
        if (const CGridCellBase* cell = GetCell(row, col)) {
            extent = cell->GetCellExtent().height();
        }
        height = qMax(height, extent);
    }
    if (m_virtualMode) {
        SendCacheHint(CCellRange());
    }
    m_rowHeights.Set(row, static_cast<unsigned>(height));
    if (resetScrollBars) {
        ResetScrollBars();
    }
    return true;
}

void CGridCtrl::AutoSizeColumns(int style) {
    for (int col = 0; col < m_nCols; ++col) {
        if (GetColumnWidth(col) > 0) {
            AutoSizeColumn(col, style, false);
        }
    }
    ResetScrollBars();
}

int CGridCtrl::movedColumn(int col, int from, int to) {
    if (col == from) {
        return to;
    }
    if (from < to && col > from && col <= to) {
        return col - 1;
    }
    if (to < from && col >= to && col < from) {
        return col + 1;
    }
    return col;
}

void CGridCtrl::MoveColumn(int from, int to) {
    if (from == to || from < 0 || to < 0 || from >= m_nCols || to >= m_nCols) {
        return;
    }
    const int step = from < to ? 1 : -1;
    ++m_cellLayoutChanges;
    for (auto& cells : m_rowData) {
        if (static_cast<size_t>(qMax(from, to)) < cells.size()) {
            for (int col = from; col != to; col += step) {
                std::swap(cells[static_cast<size_t>(col)], cells[static_cast<size_t>(col + step)]);
            }
        }
    }
    for (int col = from; col != to; col += step) {
        const unsigned width = m_colWidths.Get(col);
        m_colWidths.Set(col, m_colWidths.Get(col + step));
        m_colWidths.Set(col + step, width);
    }
    // The selection, its previous copy and the focus go with their cells,
    // so that what is painted as selected can still be cleared.
    auto moveKeys = [&](QHash<quint64, CCellID>& map) {
        QHash<quint64, CCellID> moved;
        moved.reserve(map.size());
        for (const CCellID& cell : std::as_const(map)) {
            const CCellID place(cell.row, movedColumn(cell.col, from, to));
            moved.insert(SelectionKey(place.row, place.col), place);
        }
        map.swap(moved);
    };
    moveKeys(m_selectedCellMap);
    moveKeys(m_prevSelectedCellMap);
    if (m_idCurrentCell.col >= 0) {
        m_idCurrentCell.col = movedColumn(m_idCurrentCell.col, from, to);
    }
    if (m_selectionStartCell.col >= 0) {
        m_selectionStartCell.col = movedColumn(m_selectionStartCell.col, from, to);
    }
    if (m_sortColumn >= 0) {
        const int sortColumn = movedColumn(m_sortColumn, from, to);
        if (sortColumn != m_sortColumn) {
            SetSortColumn(sortColumn);
        }
    }
    OnColumnMoved(from, to);
    Refresh();
}
