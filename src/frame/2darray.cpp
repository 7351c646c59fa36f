#include "frame/2darray.h"

void C2DArray::SetSize(int rows, int cols) {
    m_rows = rows > 0 ? rows : 0;
    m_cols = cols > 0 ? cols : 0;
    m_slots.assign(static_cast<size_t>(m_rows) * static_cast<size_t>(m_cols), nullptr);
}

bool C2DArray::contains(int row, int col) const {
    return row >= 0 && row < m_rows && col >= 0 && col < m_cols;
}

QWidget* C2DArray::At(int row, int col) const {
    return contains(row, col) ? m_slots[static_cast<size_t>(row * m_cols + col)] : nullptr;
}

bool C2DArray::Set(int row, int col, QWidget* pane) {
    if (!contains(row, col)) {
        return false;
    }
    m_slots[static_cast<size_t>(row * m_cols + col)] = pane;
    return true;
}
