// Sorting 100,000 x 20 rows of the grid, by a text column and by numbers
// kept in the cells' data, against std::stable_sort of the same keys (copies
// of the same strings; the numbers in a vector) in the same run: the
// baseline does only the bare sort of keys already taken out. The grid
// takes each row's key out once into a packed array, sorts that and moves
// the rows and their heights once. Medians of the runs; every sorted grid is
// checked: its rows in order, each row's cells still together.

#include "gridctrl/gridcellbase.h"
#include "gridctrl/gridctrl.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QRandomGenerator>
#include <QThread>

#include <algorithm>
#include <cstdio>
#include <memory>
#include <vector>

namespace {

constexpr int kRows = 100000;
constexpr int kColumns = 20;
constexpr int kRuns = 7;
constexpr int kTextColumn = 3;
constexpr int kNumberColumn = 4;

struct Table {
    std::vector<QString> texts;
    std::vector<qintptr> numbers;
};

Table makeTable() {
    QRandomGenerator random(42);
    Table table;
    for (int row = 0; row < kRows; ++row) {
        table.texts.push_back(QStringLiteral("element-%1").arg(random.bounded(50000)));
        table.numbers.push_back(static_cast<qintptr>(random.bounded(1000000)));
    }
    return table;
}

// Each row's text, its number, and its index in the table in the data of
// another column, so that a check finds which row went where.
constexpr int kIndexColumn = 5;

std::unique_ptr<CGridCtrl> makeGrid(const Table& table) {
    auto grid = std::make_unique<CGridCtrl>(kRows + 1, kColumns, 1, 1);
    for (int row = 1; row <= kRows; ++row) {
        const auto at = static_cast<size_t>(row - 1);
        grid->SetItemText(row, kTextColumn, table.texts[at]);
        grid->SetItemData(row, kNumberColumn, table.numbers[at]);
        grid->SetItemData(row, kIndexColumn, static_cast<qintptr>(at));
    }
    return grid;
}

// The rows ascending by the column, each row's cells those of one table row,
// every table row once.
bool sortedWithRowsWhole(const CGridCtrl& grid, const Table& table, bool byText) {
    std::vector<bool> seen(table.texts.size());
    for (int row = 1; row <= kRows; ++row) {
        const auto at = static_cast<size_t>(grid.GetItemData(row, kIndexColumn));
        if (at >= seen.size() || seen[at] ||
            grid.GetItemText(row, kTextColumn) != table.texts[at] ||
            grid.GetItemData(row, kNumberColumn) != table.numbers[at]) {
            std::fprintf(stderr, "row %d is not a whole row of the table\n", row);
            return false;
        }
        seen[at] = true;
        const bool inOrder =
            row == 1 || (byText ? QString::compare(grid.GetItemText(row - 1, kTextColumn),
                                                   grid.GetItemText(row, kTextColumn)) <= 0
                                : grid.GetItemData(row - 1, kNumberColumn) <=
                                      grid.GetItemData(row, kNumberColumn));
        if (!inOrder) {
            std::fprintf(stderr, "rows %d and %d are out of order\n", row - 1, row);
            return false;
        }
    }
    return true;
}

double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

// The median of kRuns calls of `run`, which returns its own seconds.
template <typename Run>
double medianSeconds(Run run) {
    std::vector<double> seconds;
    for (int attempt = 0; attempt < kRuns; ++attempt) {
        seconds.push_back(run());
    }
    return median(seconds);
}

}  // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    const Table table = makeTable();
    bool ok = true;

    const double textBaseline = medianSeconds([&] {
        std::vector<QString> keys = table.texts;
        QElapsedTimer timer;
        timer.start();
        std::stable_sort(keys.begin(), keys.end(), [](const QString& a, const QString& b) {
            return QString::compare(a, b) < 0;
        });
        return timer.nsecsElapsed() / 1e9;
    });
    const double textGrid = medianSeconds([&] {
        auto grid = makeGrid(table);
        QElapsedTimer timer;
        timer.start();
        grid->SortItems(kTextColumn, true);
        const double seconds = timer.nsecsElapsed() / 1e9;
        ok = sortedWithRowsWhole(*grid, table, true) && ok;
        return seconds;
    });

    const double numberBaseline = medianSeconds([&] {
        std::vector<qintptr> keys = table.numbers;
        QElapsedTimer timer;
        timer.start();
        std::stable_sort(keys.begin(), keys.end());
        return timer.nsecsElapsed() / 1e9;
    });
    const double numberGrid = medianSeconds([&] {
        auto grid = makeGrid(table);
        QElapsedTimer timer;
        timer.start();
        grid->SortItemsByKey(
            kNumberColumn, true,
            [](const CGridCellBase* cell) { return cell != nullptr ? cell->GetData() : 0; },
            [](qintptr a, qintptr b) { return a < b ? -1 : (a > b ? 1 : 0); });
        const double seconds = timer.nsecsElapsed() / 1e9;
        ok = sortedWithRowsWhole(*grid, table, false) && ok;
        return seconds;
    });

    QFile loadFile(QStringLiteral("/proc/loadavg"));
    const QByteArray load =
        loadFile.open(QIODevice::ReadOnly) ? loadFile.readAll().split(' ').first() : "?";
    std::printf("machine load (1-minute average, %d cores): %s\n", QThread::idealThreadCount(),
                load.constData());
    std::printf("sort 100,000 x 20 by text: stable_sort %.4f s, grid %.4f s (medians of %d)%s\n",
                textBaseline, textGrid, kRuns, ok ? "" : ", CHECKS FAILED");
    std::printf("sort by text against stable_sort: %.2f (goal: <= 2)\n", textGrid / textBaseline);
    std::printf("sort 100,000 x 20 by number: stable_sort %.4f s, grid %.4f s (medians of %d)\n",
                numberBaseline, numberGrid, kRuns);
    std::printf("sort by number against stable_sort: %.2f (goal: <= 2)\n",
                numberGrid / numberBaseline);
    return ok ? 0 : 1;
}
