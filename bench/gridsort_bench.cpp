// Sorting 100,000 x 20 rows of the grid, by a text column and by numbers
// kept in the cells' data, against std::stable_sort of the same keys (copies
// of the same strings; the numbers in a vector) in the same run. The grid
// takes each row's key out once into a packed array, sorts that and moves
// the rows and their heights once.

#include "gridctrl/gridcellbase.h"
#include "gridctrl/gridctrl.h"

#include "benchtools.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QRandomGenerator>

#include <algorithm>
#include <cstdio>
#include <memory>
#include <vector>

namespace {

constexpr int kRows = 100000;
constexpr int kColumns = 20;
constexpr int kRuns = 3;
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

std::unique_ptr<CGridCtrl> makeGrid(const Table& table) {
    auto grid = std::make_unique<CGridCtrl>(kRows + 1, kColumns, 1, 1);
    for (int row = 1; row <= kRows; ++row) {
        const auto at = static_cast<size_t>(row - 1);
        grid->SetItemText(row, kTextColumn, table.texts[at]);
        grid->SetItemData(row, kNumberColumn, table.numbers[at]);
    }
    return grid;
}

}  // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    const Table table = makeTable();

    const double textBaseline = bestSeconds(kRuns, [&] {
        std::vector<QString> keys = table.texts;
        QElapsedTimer timer;
        timer.start();
        std::stable_sort(keys.begin(), keys.end(), [](const QString& a, const QString& b) {
            return QString::compare(a, b) < 0;
        });
        return timer.nsecsElapsed() / 1e9;
    });
    const double textGrid = bestSeconds(kRuns, [&] {
        auto grid = makeGrid(table);
        QElapsedTimer timer;
        timer.start();
        grid->SortItems(kTextColumn, true);
        return timer.nsecsElapsed() / 1e9;
    });

    const double numberBaseline = bestSeconds(kRuns, [&] {
        std::vector<qintptr> keys = table.numbers;
        QElapsedTimer timer;
        timer.start();
        std::stable_sort(keys.begin(), keys.end());
        return timer.nsecsElapsed() / 1e9;
    });
    const double numberGrid = bestSeconds(kRuns, [&] {
        auto grid = makeGrid(table);
        QElapsedTimer timer;
        timer.start();
        grid->SortItemsByKey(
            kNumberColumn, true,
            [](const CGridCellBase* cell) { return cell != nullptr ? cell->GetData() : 0; },
            [](qintptr a, qintptr b) { return a < b ? -1 : (a > b ? 1 : 0); });
        return timer.nsecsElapsed() / 1e9;
    });

    std::printf("sort 100,000 x 20 by text: stable_sort %.4f s, grid %.4f s (best of %d)\n",
                textBaseline, textGrid, kRuns);
    std::printf("sort by text against stable_sort: %.2f (goal: <= 2)\n", textGrid / textBaseline);
    std::printf("sort 100,000 x 20 by number: stable_sort %.4f s, grid %.4f s (best of %d)\n",
                numberBaseline, numberGrid, kRuns);
    std::printf("sort by number against stable_sort: %.2f (goal: <= 2)\n",
                numberGrid / numberBaseline);
    return 0;
}
