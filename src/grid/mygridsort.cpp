// Sorting the data grid's rows: at the end of a load (a large grid's keys on a
// worker), by a column's name, and by a header click unless it asks for help.

#include "grid/gridnavigator.h"
#include "grid/mygrid.h"
#include "grid/mygriddetail.h"
#include "grid/mygridsite.h"
#include "settings/preferences.h"
#include "tree/tooltip.h"
#include "ui/busycursor.h"
#include "ui/uibridge.h"
#include "ui/uiservices.h"

#include <QCoreApplication>

#include <future>
#include <vector>

using mygrid_detail::gridPrefs;

// The keys of a large grid are taken a slice at a time and sorted on a
// worker while the UI thread goes on with its other events (input excepted);
// the rows then take the order found in one move, unless cells were added,
// removed or moved meanwhile. No turn of the UI thread walks the whole grid.
void CMyGrid::sortRows(int col, bool ascending) {
    const int first = GetFixedRowCount();
    const int rows = GetRowCount() - first;
    const bool onUi = !HaveUiServices() || UiServices().Bridge().onUiThread();
    if (rows < kWorkerSortRows || !onUi || col < 0 || col >= GetColumnCount()) {
        SortItemsByKey(col, ascending, &MakeCellSortKey, &CompareCellSortKeys);
        return;
    }
    const quint64 layout = GetCellLayoutChanges();
    auto otherEvents = [] {
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents, 2);
    };
    std::vector<GridSortEntry<CellSortKey>> entries;
    entries.reserve(static_cast<size_t>(rows));
    for (int row = first; row < first + rows; ++row) {
        entries.push_back({MakeCellSortKey(GetCell(row, col)), row});
        if ((row - first + 1) % kSortKeySliceRows == 0) {
            otherEvents();
            if (GetCellLayoutChanges() != layout) {
                return;
            }
        }
    }
    auto sorted =
        std::async(std::launch::async, [entries = std::move(entries), ascending]() mutable {
            GridQuickSort(entries, ascending, &CompareCellSortKeys);
            return GridSortedRows(entries);
        });
    while (sorted.wait_for(std::chrono::milliseconds(2)) != std::future_status::ready) {
        otherEvents();
    }
    ApplySortedOrder(col, ascending, sorted.get(), layout);
}

// A sort starts with an empty selection: the rows selected before it are
// found again by their keys.
void CMyGrid::sortKeepingSelection(const std::function<void()>& sort) {
    const QString keys =
        GetSelectedRowCount() > 0
            ? GetSelectedRowsByColProp(QStringLiteral("[PKEY]"), 0, QStringLiteral(","), u"@"_qs)
            : QString();
    sort();
    if (!keys.isEmpty()) {
        SelectRows(keys, QStringLiteral("[PKEY]"), QStringLiteral(","), u"@"_qs);
    }
}

void CMyGrid::OnHeaderRowClick(const CCellID& cell) {
    const int xmlCol = GridColToXmlCol(cell.col);
    if (xmlCol < 1 || !IsValid(cell)) {
        return;
    }
    const GridColumn& column = m_Columns[static_cast<size_t>(xmlCol)];
    if (m_site->IsContextHelpMode()) {
        if (!column.helpUrl.isEmpty()) {
            m_site->LaunchHelp(column.helpUrl);
        } else if (!column.hovertext.isEmpty()) {
            QRect rect;
            if (GetCellRect(0, cell.col, rect)) {
                m_tooltip->SetText(column.hovertext);
                m_tooltip->ShowAt(QRect(viewport()->mapToGlobal(rect.topLeft()), rect.size()));
            }
        }
        return;
    }
    if (column.Has(kTokenNoSort)) {
        return;
    }
    CGridNavigator* navigator = m_site->Navigator();
    if (navigator != nullptr && navigator->GetOwner() != nullptr) {
        const bool ascending = cell.col != GetSortColumn() || !GetSortAscending();
        navigator->SetGrid(this);
        navigator->SetSort(cell.col, ascending);
        if (CPreferences* prefs = gridPrefs()) {
            prefs->SetInt(m_strPrefKeyBase + QStringLiteral("/_ascend"), ascending ? 1 : 0);
            prefs->SetInt(m_strPrefKeyBase + QStringLiteral("/_sort"), cell.col);
        }
        SetSortColumn(cell.col);
        SetSortAscending(ascending);
        m_fSortAscending = ascending;
        return;
    }
    if (GetHeaderSort() && m_fReading) {
        // The rows still arrive: sorting those in now would cost a pass over
        // them for every click, and the end of the load sorts anyway.
        const bool again = cell.col == m_iSortChosenDuringLoad;
        m_fSortChosenAscending = again ? !m_fSortChosenAscending : true;
        m_iSortChosenDuringLoad = cell.col;
        SetSortColumn(cell.col);
        SetSortAscending(m_fSortChosenAscending);
        Refresh();
    } else if (GetHeaderSort()) {
        const CBusyCursor busy;
        const bool ascending = cell.col == GetSortColumn() ? !GetSortAscending() : true;
        SortItemsByKey(cell.col, ascending, &MakeCellSortKey, &CompareCellSortKeys);
        Refresh();
        SendMessageToParent(0, cell.col, GVN_COLUMNSORTED);
    }
    // The control's own click does the rest (the column's selection).
    const bool sorts = GetHeaderSort();
    SetHeaderSort(false);
    CGridCtrl::OnHeaderRowClick(cell);
    SetHeaderSort(sorts);
}

QString CMyGrid::MakeAddressSortKey(const QString& text) {
    return ::MakeAddressSortKey(text);
}

int CMyGrid::SortByColName(const QString& name, bool ascending) {
    const int col = FindColumnByName(name);
    if (col < 0) {
        return 0;
    }
    sortKeepingSelection([&] { SortItems(col, ascending); });
    viewport()->update();
    return 1;
}
