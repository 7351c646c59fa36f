#pragma once

// A table of pane widgets by (row, column), which the splitters keep so that
// a hidden pane can still be found by its fixed row and column.

#include <vector>

class QWidget;

class C2DArray {
public:
    virtual ~C2DArray() = default;

    // Records both counts; every slot is empty afterwards.
    void SetSize(int rows, int cols);
    int Rows() const { return m_rows; }
    int Cols() const { return m_cols; }

    // Null outside the table.
    QWidget* At(int row, int col) const;
    // False (nothing stored) outside the table.
    bool Set(int row, int col, QWidget* pane);

private:
    bool contains(int row, int col) const;

    std::vector<QWidget*> m_slots;
    int m_rows = 0;
    int m_cols = 0;
};
