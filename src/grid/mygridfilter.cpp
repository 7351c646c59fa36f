// The rows the data grid shows: the row filter that hides rows, text found in
// the shown ones, and their count in the status bar.

#include "framework/kformat.h"
#include "grid/mygrid.h"
#include "grid/mygriddetail.h"
#include "settings/langpack.h"

#include <algorithm>
#include <vector>

using mygrid_detail::kRowCountPane;

// A keystroke in the filter box runs this over every row: the cells are
// searched ignoring case without a lower-cased copy of each, only rows that
// change get a new height, and the grid is laid out once at the end.
int CMyGrid::FilterRows(const QString& text, unsigned flags) {
    const QString filter = text.toLower();
    if (filter.isEmpty()) {
        ShowAllRows();
        return 1;
    }
    const bool extending = !m_strFilter.isEmpty() && m_strFilter.size() < filter.size() &&
                           filter.startsWith(m_strFilter);
    m_strFilter = filter;
    const bool hide = (flags & kFilterHide) != 0;
    std::vector<int> shownColumns;
    for (int col = 0; col < GetColumnCount(); ++col) {
        if (GetColumnWidth(col) > 0) {
            shownColumns.push_back(col);
        }
    }
    const bool relayout = hide && IsRedrawAllowed();
    if (relayout) {
        SetRedraw(false);
    }
    bool anyMatched = false;
    for (int row = GetFixedRowCount(); row < GetRowCount(); ++row) {
        const bool hidden = GetRowHeight(row) == 0;
        if (extending && hidden) {
            continue;  // the shorter text hid it, and the longer one cannot match it
        }
        const bool matches = std::any_of(shownColumns.begin(), shownColumns.end(), [&](int col) {
            return GetItemText(row, col).contains(filter, Qt::CaseInsensitive);
        });
        anyMatched = anyMatched || matches;
        if (!hide || matches == !hidden) {
            continue;
        }
        if (matches) {
            RestoreRow(row);
        } else {
            SetRowHeight(row, 0);
            m_fHiddenRows = true;
        }
    }
    if (relayout) {
        SetRedraw(true, true);
    }
    if (hide) {
        Refresh();
    }
    UpdateRowCountLabel();
    return anyMatched ? 1 : 0;
}

int CMyGrid::ShowAllRows() {
    if (!m_fHiddenRows) {
        return 0;
    }
    const bool relayout = IsRedrawAllowed();
    if (relayout) {
        SetRedraw(false);
    }
    bool shown = false;
    for (int row = 0; row < GetRowCount(); ++row) {
        if (GetRowHeight(row) == 0) {
            RestoreRow(row);
            shown = true;
        }
    }
    m_fHiddenRows = false;
    m_strFilter.clear();
    if (relayout) {
        SetRedraw(true, true);
    }
    if (shown) {
        Refresh();
    }
    UpdateRowCountLabel();
    return shown ? 1 : 0;
}

void CMyGrid::RestoreRow(int row) {
    // The height the load gave it: the default, grown only for cells that
    // break lines or show an image ("[ICON]" folders and files).
    SetRowHeight(row, GetDefaultCell(row < GetFixedRowCount(), false)->GetHeight());
    for (int col = 0; col < GetColumnCount(); ++col) {
        const CGridCellBase* cell = GetCell(row, col);
        if (cell != nullptr && GetColumnWidth(col) > 0 &&
            ((cell->GetFormat() & DT_WORDBREAK) != 0 || cell->GetImage() >= 0)) {
            FitRowHeight(row, col);
        }
    }
}

int CMyGrid::FindRowByText(int col, const QString& text) {
    if (col < 0 || col >= GetColumnCount()) {
        return 0;
    }
    for (int row = GetFixedRowCount(); row < GetRowCount(); ++row) {
        if (GetRowHeight(row) > 0 &&
            GetItemText(row, col).compare(text, Qt::CaseInsensitive) == 0) {
            return row;
        }
    }
    return 0;
}

int CMyGrid::FindColumnByText(int row, const QString& text) {
    if (row < 0 || row >= GetRowCount()) {
        return 0;
    }
    for (int col = GetFixedColumnCount(); col < GetColumnCount(); ++col) {
        if (GetColumnWidth(col) > 0 &&
            GetItemText(row, col).compare(text, Qt::CaseInsensitive) == 0) {
            return col;
        }
    }
    return 0;
}

void CMyGrid::UpdateRowCountLabel() {
    const int shown = GetVisibleRowCount();
    QString label;
    if (shown == 0) {
        label = LangLookup(QStringLiteral("No Rows"));
    } else if (shown > 1) {
        label = kFormat(u"Rows: %d", shown);
    }
    setStatus(kRowCountPane, label);
}

int CMyGrid::GetVisibleRowCount() const {
    int visible = 0;
    int fixedVisible = 0;
    for (int row = 0; row < GetRowCount(); ++row) {
        if (GetRowHeight(row) > 0) {
            ++visible;
            if (row < GetFixedRowCount()) {
                ++fixedVisible;
            }
        }
    }
    return visible - fixedVisible;
}

int CMyGrid::GetVisibleColumnCount() const {
    int visible = 0;
    for (int col = 0; col < GetColumnCount(); ++col) {
        if (GetColumnWidth(col) > 0) {
            ++visible;
        }
    }
    return visible;
}
