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
#include <unordered_map>
#include <vector>

using mygrid_detail::gridPrefs;

// The keys of a large grid are sorted on a worker while the UI thread goes
// on with its other events (input excepted); the rows then take the order
// found, unless the grid changed meanwhile.
void CMyGrid::sortRows(int col, bool ascending) {
    const int first = GetFixedRowCount();
    const int rows = GetRowCount() - first;
    const bool onUi = !HaveUiServices() || UiServices().Bridge().onUiThread();
    if (rows < kWorkerSortRows || !onUi || col < 0 || col >= GetColumnCount()) {
        SortItemsByKey(col, ascending, &MakeCellSortKey, &CompareCellSortKeys);
        return;
    }
    std::vector<GridSortEntry<CellSortKey>> entries;
    std::vector<const CGridCellBase*> cells;
    entries.reserve(static_cast<size_t>(rows));
    cells.reserve(static_cast<size_t>(rows));
    for (int row = first; row < first + rows; ++row) {
        const CGridCellBase* cell = GetCell(row, col);
        entries.push_back({MakeCellSortKey(cell), row});
        cells.push_back(cell);
    }
    auto sorted =
        std::async(std::launch::async, [entries = std::move(entries), ascending]() mutable {
            GridQuickSort(entries, ascending, &CompareCellSortKeys);
            return GridSortedRows(entries);
        });
    const quint64 generation = ++m_sortGeneration;
    while (sorted.wait_for(std::chrono::milliseconds(2)) != std::future_status::ready) {
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents, 2);
    }
    const std::vector<int> order = sorted.get();
    if (generation != m_sortGeneration || GetRowCount() - first != rows ||
        static_cast<int>(order.size()) != rows) {
        return;
    }
    std::unordered_map<const CGridCellBase*, int> place;
    place.reserve(static_cast<size_t>(rows));
    for (int position = 0; position < rows; ++position) {
        const int row = order[static_cast<size_t>(position)];
        if (GetCell(row, col) != cells[static_cast<size_t>(row - first)]) {
            return;
        }
        place.emplace(cells[static_cast<size_t>(row - first)], ascending ? position : -position);
    }
    SortItemsByKey(
        col, ascending,
        [&place](const CGridCellBase* cell) {
            const auto found = place.find(cell);
            return found != place.end() ? found->second : 0;
        },
        [](int firstPlace, int secondPlace) {
            return firstPlace < secondPlace ? -1 : firstPlace > secondPlace ? 1 : 0;
        });
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
    if (GetHeaderSort()) {
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
