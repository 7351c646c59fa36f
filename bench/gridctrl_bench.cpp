// The grid control at scale, each figure against a baseline of the same run:
// (1) painting a 1200 x 800 view and scrolling it a page each way at the
// top, middle and end of a 1,000,000-row grid against a 1,000-row one (the
// cost must not grow with the rows); (2) filling 100,000 x 20 cells the
// data grid's way against pushing the same texts into a vector, the bare
// work of holding them, every filled cell checked afterwards; (3) the heap
// each cell takes beyond that vector's. Figures are medians of 5 runs.
//
// The painted grids run in virtual mode, so a million rows need no million
// cell objects; the geometry and painting paths are the same.

#include "gridctrl/gridctrl.h"

#include "benchtools.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QImage>
#include <QPainter>

#include <malloc.h>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

constexpr int kColumns = 20;
constexpr int kScrollRounds = 10;
constexpr int kRuns = 5;
constexpr int kFillRows = 100000;

bool answerDisplay(GridDisplayInfo* info, qintptr) {
    info->item.strText =
        QString::number(info->item.row) + QLatin1Char('/') + QString::number(info->item.col);
    return true;
}

// Seconds to paint the view and scroll a page down and back up, ten times,
// at the top, the middle and the end of a grid of `rows` rows.
double paintAndScroll(int rows) {
    CGridCtrl grid;
    grid.setFrameShape(QFrame::NoFrame);
    grid.resize(1200, 800);
    grid.SetVirtualMode(true);
    grid.SetCallbackFunc(answerDisplay, 0);
    grid.SetRowCount(rows);
    grid.SetColumnCount(kColumns);
    grid.SetFixedRowCount(1);
    grid.SetFixedColumnCount(1);
    grid.show();
    grid.ResetScrollBars();
    QImage image(grid.viewport()->size(), QImage::Format_RGB32);
    auto paint = [&] {
        QPainter painter(&image);
        grid.OnDraw(painter, image.rect());
    };
    QElapsedTimer timer;
    timer.start();
    for (const int position : {0, grid.GetVScrollMax() / 2, grid.GetVScrollMax()}) {
        grid.SetScrollPos(Qt::Vertical, position);
        for (int round = 0; round < kScrollRounds; ++round) {
            paint();
            grid.OnVScroll(SB_PAGEDOWN);
            paint();
            grid.OnVScroll(SB_PAGEUP);
            paint();
        }
    }
    return timer.nsecsElapsed() / 1e9;
}

QString cellText(int row, int col) {
    return QStringLiteral("v") + QString::number(row) + QLatin1Char('-') + QString::number(col);
}

// Heap in use, the large blocks malloc maps on their own included.
size_t heapInUse() {
    const struct mallinfo2 info = mallinfo2();
    return info.uordblks + info.hblkhd;
}

struct Fill {
    double seconds = 0;
    size_t heap = 0;
};

// The texts pushed into a plain vector: the baseline of time and memory.
Fill fillVector(std::vector<QString>& texts) {
    Fill fill;
    const size_t before = heapInUse();
    QElapsedTimer timer;
    timer.start();
    // Room for every text up front: the baseline holds the texts and nothing more.
    texts.reserve(static_cast<size_t>(kFillRows) * kColumns);
    for (int row = 0; row < kFillRows; ++row) {
        for (int col = 0; col < kColumns; ++col) {
            texts.push_back(cellText(row, col));
        }
    }
    fill.seconds = timer.nsecsElapsed() / 1e9;
    fill.heap = heapInUse() - before;
    return fill;
}

// The data grid's way: redraw off, the row count grown by one per row, and
// every text set on its own.
Fill fillGrid(CGridCtrl& grid) {
    Fill fill;
    const size_t before = heapInUse();
    QElapsedTimer timer;
    timer.start();
    grid.SetRedraw(false);
    grid.SetColumnCount(kColumns);
    for (int row = 0; row < kFillRows; ++row) {
        grid.SetRowCount(row + 1);
        for (int col = 0; col < kColumns; ++col) {
            grid.SetItemText(row, col, cellText(row, col));
        }
    }
    grid.SetRedraw(true);
    fill.seconds = timer.nsecsElapsed() / 1e9;
    fill.heap = heapInUse() - before;
    return fill;
}

// Whether every cell holds the text it was filled with.
bool holdsEveryText(const CGridCtrl& grid) {
    if (grid.GetRowCount() != kFillRows || grid.GetColumnCount() != kColumns) {
        std::fprintf(stderr, "the grid has %d x %d cells\n", grid.GetRowCount(),
                     grid.GetColumnCount());
        return false;
    }
    for (int row = 0; row < kFillRows; ++row) {
        for (int col = 0; col < kColumns; ++col) {
            if (grid.GetItemTextView(row, col) != cellText(row, col)) {
                std::fprintf(stderr, "cell %d/%d holds %s\n", row, col,
                             qPrintable(grid.GetItemText(row, col)));
                return false;
            }
        }
    }
    return true;
}

double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

}  // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);

    std::vector<double> small;
    std::vector<double> large;
    for (int run = 0; run < kRuns; ++run) {
        small.push_back(paintAndScroll(1000));
        large.push_back(paintAndScroll(1000000));
    }
    printMachineLoad();
    std::printf("paint and page scrolls, 1,000 x 20:     %.3f s (median of %d)\n", median(small),
                kRuns);
    std::printf("paint and page scrolls, 1,000,000 x 20: %.3f s (median of %d)\n", median(large),
                kRuns);
    std::printf("paint and scroll at 1,000,000 rows against 1,000: %.2f (goal: <= 1.2)\n",
                median(large) / median(small));

    std::vector<double> vectorSeconds;
    std::vector<double> gridSeconds;
    std::vector<double> perCell;
    bool whole = true;
    for (int run = 0; run < kRuns; ++run) {
        std::vector<QString> texts;
        const Fill vector = fillVector(texts);
        auto* grid = new CGridCtrl;
        const Fill filled = fillGrid(*grid);
        whole = whole && holdsEveryText(*grid);
        vectorSeconds.push_back(vector.seconds);
        gridSeconds.push_back(filled.seconds);
        perCell.push_back((static_cast<double>(filled.heap) - static_cast<double>(vector.heap)) /
                          (static_cast<double>(kFillRows) * kColumns));
        delete grid;
    }
    std::printf("fill 100,000 x 20, vector of texts: %.3f s; grid: %.3f s (median of %d)%s\n",
                median(vectorSeconds), median(gridSeconds), kRuns,
                whole ? ", every cell checked" : "; THE CELLS ARE WRONG");
    std::printf("fill against the vector: %.2f (goal: <= 3)\n",
                median(gridSeconds) / median(vectorSeconds));
    std::printf("heap per cell beyond the vector's: %.1f bytes (goal: <= 64)\n", median(perCell));
    return whole ? 0 : 1;
}
