#pragma once

// The rows the data grid hands to the clipboard, gathered once for its two
// formats: which rows and which columns, nothing of the cells. A cell is
// read from the grid when a format asks for it, as a view of the grid's own
// text, so a large copy makes no second table of cells (whose first touch
// alone costs more than the text). Valid while the grid is unchanged,
// which the copy that gathers and uses it sees to.

#include "gridctrl/gridcellbase.h"
#include "gridctrl/gridctrl.h"

#include <QStringView>
#include <QtGlobal>

#include <vector>

// One cell handed out: its display text, its text format (0x1 centred, 0x2
// right) and whether its column holds text ("[S]") to be quoted. Neither
// format shows a cell's colours, so they are not read.
struct ExportCell {
    QStringView text;
    unsigned format = 0;
    bool quote = false;
};

class ExportRows {
public:
    struct Column {
        int col = 0;
        bool quote = false;
    };

    ExportRows() = default;
    ExportRows(const CGridCtrl& grid, std::vector<int> rows, std::vector<Column> columns)
        : m_grid(&grid), m_rows(std::move(rows)), m_columns(std::move(columns)) {}

    size_t size() const { return m_rows.size(); }
    size_t ColumnCount() const { return m_columns.size(); }
    // The cell of the row and column handed out at these places.
    ExportCell Cell(size_t row, size_t column) const {
        const Column& at = m_columns[column];
        ExportCell cell;
        cell.quote = at.quote;
        const CGridCellBase* object = m_grid->GetCell(m_rows[row], at.col);
        if (object != nullptr) {
            cell.text = object->GetTextView();
            cell.format = object->GetFormat();
        }
        return cell;
    }

private:
    const CGridCtrl* m_grid = nullptr;
    std::vector<int> m_rows;
    std::vector<Column> m_columns;
};
