#pragma once

// What a server menu item asks of the grid it acts on: how many rows are
// selected and the selected rows' values of a column. The data grid answers
// it; a menu of the World View pane has no grid.

#include <QString>

class CMenuGridRows {
public:
    virtual ~CMenuGridRows() = default;

    virtual int GetSelectedRowCount() const = 0;
    // The distinct texts of the column (named by its colname, else by its
    // heading, either ignoring case) in the selected rows, each preceded by
    // ",", at most `most` texts when `most` is above 0; `count` receives
    // their number. Empty when nothing is selected or there is no such column.
    virtual QString GetSelectedRowsByColName(const QString& column, int& count, int most) const = 0;
};
