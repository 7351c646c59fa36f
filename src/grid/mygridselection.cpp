// The data grid's rows selected by their keys, the keys of the selected rows
// handed out, and the selection a load restores.

#include "framework/klog.h"
#include "framework/ktext.h"
#include "grid/mygrid.h"
#include "grid/mygridsite.h"

#include <vector>

void CMyGrid::SetReselectAfterLoad(bool reselect, const QString& keys) {
    m_fReselectAfterLoad = reselect;
    if (reselect) {
        m_strReselectKeys = keys;
    }
}

// The panel follows the selection the load restored, or the one the user
// made while the rows arrived.
void CMyGrid::reselectAfterLoad() {
    const bool pending = std::exchange(m_fPropertiesPending, false);
    if (m_fReselectAfterLoad) {
        SelectRows(m_strReselectKeys, QStringLiteral("[PKEY]"), QStringLiteral(","), u"@"_qs);
        RefreshProperties();
        m_fReselectAfterLoad = false;
    } else if (pending && m_site->IsPropertiesPanelVisible()) {
        RefreshProperties();
    }
}

std::vector<int> CMyGrid::keyColumnsInXmlOrder(const QString& property) const {
    const std::uint32_t flag = GridColumnTokenFlag(property);
    std::vector<int> keyColumns;
    for (int n = 1; n <= kMaxXmlColumns; ++n) {
        const GridColumn& column = m_Columns[static_cast<size_t>(n)];
        const int gridCol = m_xmlToGridCol[static_cast<size_t>(n)] - 1;
        if (gridCol >= 0 && gridCol < GetColumnCount() &&
            (flag != 0 ? column.Has(flag) : column.colprops.contains(property))) {
            keyColumns.push_back(gridCol);
        }
    }
    return keyColumns;
}

// The parts of a key list: empty parts name no row (a grid without key
// columns would otherwise match every row).
int CMyGrid::SelectRows(const QString& keys, const QString& property, const QString& separator,
                        const QString& joiner) {
    const QChar split = separator.isEmpty() ? u',' : separator.at(0);
    QStringList parts = keys.mid(1).split(split);
    parts.removeAll(QString());
    ClearSelectedRange();
    // Key columns in XML order, the order GetSelectedRowsByColProp uses, so
    // that moved key columns keep the selection.
    const std::vector<int> keyColumns = keyColumnsInXmlOrder(property);
    int selected = 0;
    for (int row = 1; row < GetRowCount(); ++row) {
        QString key;
        for (size_t i = 0; i < keyColumns.size(); ++i) {
            if (i > 0) {
                key += joiner;
            }
            key += GetItemText(row, keyColumns[i]);
        }
        const bool match = !parts.isEmpty() && parts.contains(key);
        for (int col = 0; col < GetColumnCount(); ++col) {
            const unsigned state = GetItemState(row, col);
            const unsigned wanted = match ? (state | GVIS_SELECTED) : (state & ~GVIS_SELECTED);
            if (wanted != state) {
                SetItemState(row, col, wanted);
                RedrawCell(row, col);
            }
        }
        if (match) {
            ++selected;
        }
    }
    return selected;
}

QString CMyGrid::GetSelectedRowsByColProp(const QString& property, int most,
                                          const QString& separator, const QString& joiner) const {
    const QChar split = separator.isEmpty() ? u',' : separator.at(0);
    const std::vector<int> keyColumns = keyColumnsInXmlOrder(property);
    QString result;
    int count = 0;
    std::vector<bool> seenRow(static_cast<size_t>(GetRowCount()), false);
    for (CCellID cell = GetNextItem(CCellID(-1, -1), GVNI_ALL | GVNI_SELECTED); IsValid(cell);
         cell = GetNextItem(cell, GVNI_BELOW | GVNI_SELECTED)) {
        if (seenRow[static_cast<size_t>(cell.row)]) {
            continue;
        }
        seenRow[static_cast<size_t>(cell.row)] = true;
        QString key;
        bool taken = false;
        for (const int gridCol : keyColumns) {
            const QString text = GetItemText(cell.row, gridCol);
            if (taken) {
                key += joiner;
            }
            key += text;
            taken = taken || !text.isEmpty();
        }
        if (!key.isEmpty() && kInDelimitedList(key, result, split) == 0) {
            result += split;
            result += key;
            ++count;
            if (most > 0 && count >= most) {
                break;
            }
        }
    }
    kDebugLog(u"GetSelectedRowsByColProp(%s) -- returned %d rows.\n", property, count);
    return result;
}

QString CMyGrid::GetSelectedRowsByColName(const QString& name, int& count, int most) const {
    count = 0;
    if (GetSelectedCellRange().minRow < 0) {
        return {};
    }
    int gridCol = -1;
    for (int n = 1; n <= kMaxXmlColumns && gridCol < 0; ++n) {
        if (m_Columns[static_cast<size_t>(n)].colname.compare(name, Qt::CaseInsensitive) == 0 &&
            m_xmlToGridCol[static_cast<size_t>(n)] > 0) {
            gridCol = m_xmlToGridCol[static_cast<size_t>(n)] - 1;
        }
    }
    if (gridCol < 0) {
        kDebugLog(
            u"GetSelectedRowsByColName(%s) -- no ColName with that name (now trying ColHeads).\n",
            name);
        for (int col = 0; col < GetColumnCount() && gridCol < 0; ++col) {
            if (GetItemText(0, col).compare(name, Qt::CaseInsensitive) == 0) {
                gridCol = col;
            }
        }
    }
    if (gridCol < 0) {
        kDebugLog(u"GetSelectedRowsByColName(%s) -- no ColName nor ColHead with that name!\n",
                  name);
        return {};
    }
    return GetSelectedValuesOfColumn(gridCol, count, most);
}

int CMyGrid::GetFirstSelectedRow() const {
    const CCellRange range = GetSelectedCellRange();
    return range.minRow >= 0 ? range.minRow : 0;
}

int CMyGrid::SelectRowRange(int first, int last) {
    if (first < 0 || first > last || last >= GetRowCount()) {
        return 0;
    }
    SetSelectedRange(first, 0, last, GetColumnCount() - 1, true);
    return last;
}
