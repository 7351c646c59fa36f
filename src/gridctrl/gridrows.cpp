// CGridCtrl: row, column and fixed counts, deleting rows and everything.

#include "gridctrl/gridctrl.h"

#include "framework/klog.h"
#include "gridctrl/gridcell.h"
#include "gridctrl/griddefaultcell.h"
#include "ui/popupmessages.h"
#include "ui/uiservices.h"

#include <new>
#include <span>

void CGridCtrl::reportOutOfMemory() {
    const QString text = QStringLiteral("Out of memory.");
    if (HaveUiServices()) {
        UiServices().Popups().ErrorBox(text);
    } else {
        kErrorLog(u"%s", text);
    }
}

void CGridCtrl::dropSelectionOutside(int rows, int cols) {
    // Virtual grids hold no cells to take their entries away with them.
    for (auto entry = m_selectedCellMap.begin(); entry != m_selectedCellMap.end();) {
        if (entry->row >= rows || entry->col >= cols) {
            entry = m_selectedCellMap.erase(entry);
        } else {
            ++entry;
        }
    }
    for (auto entry = m_prevSelectedCellMap.begin(); entry != m_prevSelectedCellMap.end();) {
        if (entry->row >= rows || entry->col >= cols) {
            entry = m_prevSelectedCellMap.erase(entry);
        } else {
            ++entry;
        }
    }
}

// A row of plain cells shares two states and formats (its fixed columns'
// and the others'): they are found once per row, not asked of every cell.
void CGridCtrl::makeRowCells(int row, std::vector<CGridCellBase*>& cells) {
    if (m_cellFactory) {
        for (int col = 0; col < m_nCols; ++col) {
            cells[static_cast<size_t>(col)] = CreateCell(row, col);
        }
        return;
    }
    const bool fixedRow = row < m_nFixedRows;
    const unsigned rowState = fixedRow ? CELL_FIXED | CELL_FIXEDROW : 0;
    const auto fixedCols = static_cast<size_t>(qBound(0, m_nFixedCols, m_nCols));
    const std::span<CGridCellBase*> all(cells);
    CGridCell::MakeMany(all.first(fixedCols), this, rowState | CELL_FIXED | CELL_FIXEDCOL,
                        GetDefaultCell(fixedRow, true)->GetFormat());
    CGridCell::MakeMany(all.subspan(fixedCols), this, rowState,
                        GetDefaultCell(fixedRow, false)->GetFormat());
}

bool CGridCtrl::growRows(int rows) {
    ++m_cellLayoutChanges;
    const unsigned height = static_cast<unsigned>(m_defaultCells[0]->GetHeight());
    try {
        m_rowHeights.Resize(rows, height);
        while (m_nRows < rows) {
            if (!m_virtualMode) {
                std::vector<CGridCellBase*> cells(static_cast<size_t>(m_nCols), nullptr);
                try {
                    makeRowCells(m_nRows, cells);
                    m_rowData.push_back(std::move(cells));
                } catch (const std::bad_alloc&) {
                    for (CGridCellBase* cell : cells) {
                        delete cell;
                    }
                    throw;
                }
            }
            ++m_nRows;
        }
    } catch (const std::bad_alloc&) {
        // Keep what was made: the arrays follow the rows that exist.
        m_rowHeights.Resize(m_nRows, height);
        if (!m_virtualMode) {
            m_rowData.resize(static_cast<size_t>(m_nRows));
        }
        reportOutOfMemory();
        return false;
    }
    return true;
}

bool CGridCtrl::SetRowCount(int rows) {
    if (rows == m_nRows) {
        return true;
    }
    rows = qMax(rows, 0);
    m_idTopLeftCell = CCellID();
    if (rows < m_nFixedRows) {
        m_nFixedRows = rows;
    }
    if (m_idCurrentCell.row >= rows) {
        SetFocusCell(-1, -1);
    }
    bool grown = true;
    ++m_cellLayoutChanges;
    if (rows < m_nRows) {
        if (m_virtualMode) {
            dropSelectionOutside(rows, m_nCols);
        } else {
            for (int row = rows; row < m_nRows; ++row) {
                for (int col = 0; col < m_nCols; ++col) {
                    DestroyCell(row, col);
                }
            }
            m_rowData.resize(static_cast<size_t>(rows));
        }
        m_nRows = rows;
        m_rowHeights.Resize(rows, 0);
    } else {
        grown = growRows(rows);
    }
    SetModified(true, -1, -1);
    ResetScrollBars();
    Refresh();
    return grown;
}

bool CGridCtrl::growColumns(int cols) {
    ++m_cellLayoutChanges;
    const unsigned width = static_cast<unsigned>(m_defaultCells[1]->GetWidth());
    try {
        m_colWidths.Resize(cols, width);
        if (!m_virtualMode) {
            for (size_t row = 0; row < m_rowData.size(); ++row) {
                auto& cells = m_rowData[row];
                cells.reserve(static_cast<size_t>(cols));
                while (cells.size() < static_cast<size_t>(cols)) {
                    cells.push_back(
                        CreateCell(static_cast<int>(row), static_cast<int>(cells.size())));
                }
            }
        }
        m_nCols = cols;
    } catch (const std::bad_alloc&) {
        // Back to the columns that every row has.
        for (auto& cells : m_rowData) {
            while (cells.size() > static_cast<size_t>(m_nCols)) {
                delete cells.back();
                cells.pop_back();
            }
        }
        m_colWidths.Resize(m_nCols, 0);
        reportOutOfMemory();
        return false;
    }
    return true;
}

bool CGridCtrl::SetColumnCount(int cols) {
    if (cols == m_nCols) {
        return true;
    }
    cols = qMax(cols, 0);
    m_idTopLeftCell = CCellID();
    if (cols < m_nFixedCols) {
        m_nFixedCols = cols;
    }
    if (m_idCurrentCell.col >= cols) {
        SetFocusCell(-1, -1);
    }
    bool grown = true;
    ++m_cellLayoutChanges;
    if (cols < m_nCols) {
        if (m_virtualMode) {
            dropSelectionOutside(m_nRows, cols);
        } else {
            for (int row = 0; row < m_nRows; ++row) {
                for (int col = cols; col < m_nCols; ++col) {
                    DestroyCell(row, col);
                }
                m_rowData[static_cast<size_t>(row)].resize(static_cast<size_t>(cols));
            }
        }
        m_colWidths.Resize(cols, 0);
        m_nCols = cols;
    } else {
        grown = growColumns(cols);
    }
    SetModified(true, -1, -1);
    ResetScrollBars();
    Refresh();
    return grown;
}

void CGridCtrl::setFixedState(int row, int col, unsigned add, unsigned remove) {
    CGridCellBase* cell = GetCell(row, col);
    if (cell == nullptr) {
        return;
    }
    cell->SetState((cell->GetState() & ~remove) | add);
    cell->SetBackColour(CLR_DEFAULT);
    cell->SetTextColour(CLR_DEFAULT);
}

bool CGridCtrl::SetFixedRowCount(int fixedRows) {
    if (fixedRows == m_nFixedRows) {
        return true;
    }
    m_prevSelectedCellMap.clear();
    SetSelectedRange(-1, -1, -1, -1, false, true);
    SetFocusCell(-1, -1);
    m_idTopLeftCell = CCellID();
    if (m_nRows < fixedRows && !SetRowCount(fixedRows)) {
        return false;
    }
    if (!m_virtualMode) {
        for (int row = m_nFixedRows; row < fixedRows; ++row) {
            for (int col = 0; col < m_nCols; ++col) {
                setFixedState(row, col, CELL_FIXED | CELL_FIXEDROW, 0);
            }
        }
        for (int row = fixedRows; row < m_nFixedRows; ++row) {
            for (int col = 0; col < m_nCols; ++col) {
                if (col < m_nFixedCols) {
                    setFixedState(row, col, 0, CELL_FIXEDROW);
                } else {
                    setFixedState(row, col, 0, CELL_FIXED | CELL_FIXEDROW);
                }
            }
        }
    }
    m_nFixedRows = fixedRows;
    Refresh();
    return true;
}

bool CGridCtrl::SetFixedColumnCount(int fixedCols) {
    if (fixedCols == m_nFixedCols) {
        return true;
    }
    if (m_nCols < fixedCols && !SetColumnCount(fixedCols)) {
        return false;
    }
    if (m_idCurrentCell.col < fixedCols) {
        SetFocusCell(-1, -1);
    }
    m_prevSelectedCellMap.clear();
    SetSelectedRange(-1, -1, -1, -1, false, true);
    SetFocusCell(-1, -1);
    m_idTopLeftCell = CCellID();
    if (!m_virtualMode) {
        for (int row = 0; row < m_nRows; ++row) {
            for (int col = m_nFixedCols; col < fixedCols; ++col) {
                setFixedState(row, col, CELL_FIXED | CELL_FIXEDCOL, 0);
            }
            for (int col = fixedCols; col < m_nFixedCols; ++col) {
                if (row < m_nFixedRows) {
                    setFixedState(row, col, 0, CELL_FIXEDCOL);
                } else {
                    setFixedState(row, col, 0, CELL_FIXED | CELL_FIXEDCOL);
                }
            }
        }
    }
    m_nFixedCols = fixedCols;
    Refresh();
    return true;
}

bool CGridCtrl::DeleteRow(int row) {
    if (row < 0 || row >= m_nRows) {
        return false;
    }
    // Only the selection goes: the focus cell below moves up with its row.
    m_prevSelectedCellMap.clear();
    SetSelectedRange(-1, -1, -1, -1, false, true);
    ++m_cellLayoutChanges;
    if (!m_virtualMode) {
        if (static_cast<size_t>(row) >= m_rowData.size()) {
            return false;
        }
        for (int col = 0; col < m_nCols; ++col) {
            DestroyCell(row, col);
        }
        m_rowData.erase(m_rowData.begin() + row);
    }
    m_rowHeights.Erase(row);
    --m_nRows;
    if (row < m_nFixedRows) {
        --m_nFixedRows;
    }
    if (m_idCurrentCell.row == row) {
        m_idCurrentCell = CCellID();
    } else if (m_idCurrentCell.row > row) {
        --m_idCurrentCell.row;
    }
    m_idTopLeftCell = CCellID();
    ResetScrollBars();
    SetModified(true, -1, -1);
    return true;
}

std::vector<std::vector<CGridCellBase*>> CGridCtrl::TakeAllCells() {
    StopEditing();
    std::vector<std::vector<CGridCellBase*>> cells;
    cells.swap(m_rowData);
    DeleteAllItems();
    return cells;
}

bool CGridCtrl::DeleteAllItems() {
    ++m_cellLayoutChanges;
    m_prevSelectedCellMap.clear();
    SetSelectedRange(-1, -1, -1, -1, false, true);
    SetFocusCell(-1, -1);
    m_colWidths.Clear();
    m_rowHeights.Clear();
    if (!m_virtualMode) {
        for (int row = 0; row < static_cast<int>(m_rowData.size()); ++row) {
            for (int col = 0; col < static_cast<int>(m_rowData[static_cast<size_t>(row)].size());
                 ++col) {
                DestroyCell(row, col);
            }
        }
        m_rowData.clear();
    }
    m_selectedCellMap.clear();
    m_nRows = m_nCols = m_nFixedRows = m_nFixedCols = 0;
    m_idTopLeftCell = CCellID();
    ResetScrollBars();
    SetModified(true, -1, -1);
    return true;
}
