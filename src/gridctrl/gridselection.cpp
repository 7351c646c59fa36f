// CGridCtrl: the focus cell and the selection store.

#include "gridctrl/gridctrl.h"

#include "ui/busycursor.h"

#include <QSet>

#include <algorithm>

bool CGridCtrl::SetItemState(int row, int col, unsigned state) {
    const bool selected = IsCellSelected(row, col);
    const quint64 key = SelectionKey(row, col);
    if (selected && (state & CELL_SELECTED) == 0) {
        m_selectedCellMap.remove(key);
    } else if (!selected && (state & CELL_SELECTED) != 0) {
        m_selectedCellMap.insert(key, CCellID(row, col));
    }
    if (m_virtualMode) {
        return false;
    }
    CGridCellBase* cell = GetCell(row, col);
    if (cell == nullptr) {
        return false;
    }
    cell->SetState(state);
    return true;
}

void CGridCtrl::redrawFixedCellsOf(const CCellID& cell, const CCellID& other) {
    if (!m_trackFocusCell) {
        return;
    }
    if (cell.col != other.col) {
        for (int row = 0; row < m_nFixedRows; ++row) {
            RedrawCell(row, cell.col);
        }
    }
    if (cell.row != other.row) {
        for (int col = 0; col < m_nFixedCols; ++col) {
            RedrawCell(cell.row, col);
        }
    }
}

CCellID CGridCtrl::SetFocusCell(int row, int col) {
    const CCellID previous = m_idCurrentCell;
    if (CCellID(row, col) == previous) {
        return previous;
    }
    if (row != -1) {
        row = qMax(row, m_nFixedRows);
    }
    if (col != -1) {
        col = qMax(col, m_nFixedCols);
    }
    m_idCurrentCell = CCellID(row, col);
    if (IsValid(previous)) {
        SetItemState(previous.row, previous.col,
                     GetItemState(previous.row, previous.col) & ~CELL_FOCUSED);
        RedrawCell(previous);
        redrawFixedCellsOf(previous, m_idCurrentCell);
    }
    if (IsValid(m_idCurrentCell)) {
        SetItemState(row, col, GetItemState(row, col) | CELL_FOCUSED);
        RedrawCell(m_idCurrentCell);
        redrawFixedCellsOf(m_idCurrentCell, previous);
    }
    return previous;
}

void CGridCtrl::SetSelectedRange(const CCellRange& range, bool forceRepaint, bool selectCells) {
    SetSelectedRange(range.minRow, range.minCol, range.maxRow, range.maxCol, forceRepaint,
                     selectCells);
}

void CGridCtrl::SetSelectedRange(int minRow, int minCol, int maxRow, int maxCol, bool forceRepaint,
                                 bool selectCells) {
    if (!m_enableSelection) {
        return;
    }
    CBusyCursor busy;
    // Cells are repainted through the viewport either way; `forceRepaint`
    // only asked for it sooner.
    (void)forceRepaint;
    const CCellRange visible = GetVisibleScrollableRange();
    auto repaintIfVisible = [&](int row, int col) {
        if (visible.InRange(row, col)) {
            InvalidateCellRect(row, col);
        }
    };
    if (minRow >= 0) {
        minRow = qMax(minRow, m_nFixedRows);
    }
    if (maxRow >= 0) {
        maxRow = qMax(maxRow, m_nFixedRows);
    }
    if (minCol >= 0) {
        minCol = qMax(minCol, m_nFixedCols);
    }
    if (maxCol >= 0) {
        maxCol = qMax(maxCol, m_nFixedCols);
    }
    const CCellRange range(minRow, minCol, maxRow, maxCol);

    if (selectCells) {
        const QList<CCellID> selected = m_selectedCellMap.values();
        for (const CCellID& cell : selected) {
            if (IsValid(cell)) {
                SetItemState(cell.row, cell.col, GetItemState(cell.row, cell.col) & ~CELL_SELECTED);
                if (!range.InRange(cell)) {
                    repaintIfVisible(cell.row, cell.col);
                }
            }
            m_selectedCellMap.remove(SelectionKey(cell.row, cell.col));
        }
        if (!(m_listMode && m_singleRowSelection)) {
            if (minRow < 0) {
                return;
            }
            if (minCol >= 0 && maxRow >= 0 && maxCol >= 0) {
                for (const CCellID& cell : std::as_const(m_prevSelectedCellMap)) {
                    if (IsValid(cell)) {
                        SetItemState(cell.row, cell.col,
                                     GetItemState(cell.row, cell.col) | CELL_SELECTED);
                        repaintIfVisible(cell.row, cell.col);
                    }
                }
            }
        }
    }

    if (minRow >= 0 && minCol >= 0 && maxRow >= 0 && maxCol >= 0 && maxRow < m_nRows &&
        maxCol < m_nCols && minRow <= maxRow && minCol <= maxCol) {
        for (int row = minRow; row <= maxRow; ++row) {
            // Hidden rows are never selected.
            if (selectCells && GetRowHeight(row) == 0) {
                continue;
            }
            for (int col = minCol; col <= maxCol; ++col) {
                const unsigned state = GetItemState(row, col);
                if (IsCellSelected(row, col) == selectCells) {
                    continue;
                }
                SetItemState(row, col,
                             selectCells ? (state | CELL_SELECTED) : (state & ~CELL_SELECTED));
                repaintIfVisible(row, col);
            }
        }
    }
}

void CGridCtrl::ResetSelectedRange() {
    m_prevSelectedCellMap.clear();
    SetSelectedRange(-1, -1, -1, -1, false, true);
    SetFocusCell(-1, -1);
}

void CGridCtrl::ClearSelectedRange() {
    SetSelectedRange(-1, -1, -1, -1, false, true);
}

void CGridCtrl::SelectAllCells() {
    if (m_enableSelection) {
        SetSelectedRange(m_nFixedRows, m_nFixedCols, m_nRows - 1, m_nCols - 1, false, true);
    }
}

void CGridCtrl::SetListMode(bool listMode) {
    m_prevSelectedCellMap.clear();
    SetSelectedRange(-1, -1, -1, -1, false, true);
    SetFocusCell(-1, -1);
    SetSortColumn(-1);
    m_listMode = listMode;
    m_fixedColumnSelection = false;
    Refresh();
}

bool CGridCtrl::SelectColumns(CCellID cell, bool forceRepaint, bool selectCells) {
    if (!m_enableSelection || !IsValid(cell) || cell.col < m_nFixedCols) {
        return false;
    }
    const int start = m_singleColSelection ? cell.col : m_selectionStartCell.col;
    SetSelectedRange(m_nFixedRows, qMin(start, cell.col), m_nRows - 1, qMax(start, cell.col),
                     forceRepaint, selectCells);
    return true;
}

bool CGridCtrl::SelectRows(CCellID cell, bool forceRepaint, bool selectCells) {
    if (!m_enableSelection || !IsValid(cell) || cell.row < m_nFixedRows) {
        return false;
    }
    const int start = m_singleRowSelection && m_listMode ? cell.row : m_selectionStartCell.row;
    SetSelectedRange(qMin(start, cell.row), m_nFixedCols, qMax(start, cell.row), m_nCols - 1,
                     forceRepaint, selectCells);
    return true;
}

bool CGridCtrl::SelectCells(CCellID cell, bool forceRepaint, bool selectCells) {
    if (!m_enableSelection || !IsValid(cell) || IsCellFixed(cell.row, cell.col)) {
        return false;
    }
    const CCellID start = m_selectionStartCell;
    SetSelectedRange(qMin(start.row, cell.row), qMin(start.col, cell.col),
                     qMax(start.row, cell.row), qMax(start.col, cell.col), forceRepaint,
                     selectCells);
    return true;
}

void CGridCtrl::SelectByMouseMode(CCellID cell) {
    if (!m_enableSelection) {
        return;
    }
    switch (m_mouseMode) {
        case MOUSE_SELECT_ALL:
            SelectAllCells();
            break;
        case MOUSE_SELECT_COL:
            SelectColumns(cell, false, true);
            break;
        case MOUSE_SELECT_ROW:
            SelectRows(cell, false, true);
            break;
        case MOUSE_SELECT_CELLS:
            SelectCells(cell, false, true);
            break;
        default:
            break;
    }
}

void CGridCtrl::SelectRow(int row) {
    if (row < m_nFixedRows || row >= m_nRows) {
        return;
    }
    m_prevSelectedCellMap.clear();
    SetSelectedRange(row, m_nFixedCols, row, m_nCols - 1, false, true);
    EnsureVisible(row, IsValid(m_idCurrentCell) ? m_idCurrentCell.col : m_nFixedCols);
}

namespace {

// The first selected cell in reading order and the rows below it whose cell
// in its column is selected, from the selection store alone.
struct SelectedRowScan {
    CCellID first;
    std::vector<int> rows;
};

SelectedRowScan scanSelectedRows(const QHash<quint64, CCellID>& selection) {
    SelectedRowScan scan;
    for (const CCellID& cell : selection) {
        if (!scan.first.IsValid() || cell.row < scan.first.row ||
            (cell.row == scan.first.row && cell.col < scan.first.col)) {
            scan.first = cell;
        }
    }
    for (const CCellID& cell : selection) {
        if (cell.col == scan.first.col && cell.row >= scan.first.row) {
            scan.rows.push_back(cell.row);
        }
    }
    std::sort(scan.rows.begin(), scan.rows.end());
    return scan;
}

}  // namespace

int CGridCtrl::GetSelectedRowCount() const {
    return static_cast<int>(scanSelectedRows(m_selectedCellMap).rows.size());
}

bool CGridCtrl::IsRowSelected(int row) const {
    const SelectedRowScan scan = scanSelectedRows(m_selectedCellMap);
    return std::binary_search(scan.rows.begin(), scan.rows.end(), row);
}

QString CGridCtrl::GetSelectedValuesOfColumn(int col, int& count, int limit) const {
    count = 0;
    QString values;
    QSet<QString> seen;
    for (const int row : scanSelectedRows(m_selectedCellMap).rows) {
        const QString text = GetItemText(row, col);
        if (seen.contains(text)) {
            continue;
        }
        seen.insert(text);
        values += u',';
        values += text;
        ++count;
        if (limit > 0 && count >= limit) {
            break;
        }
    }
    return values;
}
