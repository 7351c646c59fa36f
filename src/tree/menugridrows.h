#pragma once

// What a server menu and its entries ask of the grid they act on: how many
// rows are selected and the selected rows' values of a column, the grid's
// row count, and the grid's side of the properties pane (the entry that
// opened it, the detail-hidden flag, the column preferences saved before a
// rediscover). The data grid answers it; a menu of the World View pane has
// no grid.

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
    // The selected rows' values of the columns whose properties hold the
    // text, rows joined by the separator.
    virtual QString GetSelectedRowsByColProp(const QString& property,
                                             const QString& separator) const = 0;
    // The rows of the whole cell range, the heading row included.
    virtual int GetCellRangeRowCount() const = 0;

    // The command id of the server menu entry whose page the properties pane
    // shows, 0 for none; the entry that opens it sets it.
    virtual int GetPropertiesMenuItem() const = 0;
    virtual void SetPropertiesMenuItem(int commandId) = 0;
    // HideDetail's flag, and whether the grid is itself opening a row's
    // properties right now.
    virtual bool IsDetailHidden() const = 0;
    virtual void ClearDetailHidden() = 0;
    virtual bool IsOpeningProperties() const = 0;
    virtual void SaveColumnPrefs() = 0;
};
