#pragma once

// The rows the data grid hands to the clipboard, gathered once for its two
// formats. Every row has the same columns, so the cells lie in one block,
// row after row, and a cell's text is a view of the grid's own: gathering
// copies no text and makes no block per row. The views hold while the grid
// is unchanged, which the copy that gathers and uses them sees to.

#include <QStringView>
#include <QtGlobal>

#include <span>
#include <vector>

// One cell handed out: its display text, its background colour (0xFFFFFF
// when it has none), its text format (0x1 centred, 0x2 right) and whether
// its column holds text ("[S]") to be quoted.
struct ExportCell {
    QStringView text;
    quint32 background = 0xFFFFFF;
    unsigned format = 0;
    int quote = 0;
};

class ExportRows {
public:
    ExportRows() = default;
    // Rows of `columns` cells each, from the cells in row order.
    ExportRows(size_t columns, std::vector<ExportCell> cells)
        : m_columns(columns), m_cells(std::move(cells)) {}

    // Empties the rows and makes room for `rows` rows of `columns` cells.
    void Reset(size_t columns, size_t rows) {
        m_columns = columns;
        m_cells.clear();
        m_cells.reserve(columns * rows);
    }
    // The next cell, filling the rows in order.
    ExportCell& Add() { return m_cells.emplace_back(); }

    size_t size() const { return m_columns == 0 ? 0 : m_cells.size() / m_columns; }
    std::span<const ExportCell> operator[](size_t row) const {
        return std::span<const ExportCell>(m_cells).subspan(row * m_columns, m_columns);
    }

private:
    size_t m_columns = 0;
    std::vector<ExportCell> m_cells;
};
