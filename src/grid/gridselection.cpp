// CGridCtrl: the focus cell and the selection store.

#include "grid/gridctrl.h"

#include "ui/busycursor.h"

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
