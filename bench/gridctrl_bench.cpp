// The grid control at scale, each figure against a baseline of the same run:
// (1) painting a 1200 x 800 view and scrolling it a page each way at the
// top, middle and end of a 1,000,000-row grid against a 1,000-row one (the
// cost must not grow with the rows); (2) filling 100,000 x 20 cells the
// data grid's way against pushing the same texts into a vector; (3) the
// heap each cell takes beyond that vector's.
//
// The painted grids run in virtual mode, so a million rows need no million
// cell objects; the geometry and painting paths are the same.

#include "gridctrl/gridctrl.h"

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
constexpr int kRuns = 3;
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

}  // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);

    double small = 1e9;
    double large = 1e9;
    for (int run = 0; run < kRuns; ++run) {
        small = std::min(small, paintAndScroll(1000));
        large = std::min(large, paintAndScroll(1000000));
    }
    std::printf("paint and page scrolls, 1,000 x 20:     %.3f s (best of %d)\n", small, kRuns);
    std::printf("paint and page scrolls, 1,000,000 x 20: %.3f s (best of %d)\n", large, kRuns);
    std::printf("paint and scroll at 1,000,000 rows against 1,000: %.2f (goal: <= 1.2)\n",
                large / small);

    double vectorSeconds = 1e9;
    double gridSeconds = 1e9;
    double perCell = 0;
    for (int run = 0; run < kRuns; ++run) {
        std::vector<QString> texts;
        const Fill vector = fillVector(texts);
        auto* grid = new CGridCtrl;
        const Fill filled = fillGrid(*grid);
        vectorSeconds = std::min(vectorSeconds, vector.seconds);
        gridSeconds = std::min(gridSeconds, filled.seconds);
        perCell = (static_cast<double>(filled.heap) - static_cast<double>(vector.heap)) /
                  (static_cast<double>(kFillRows) * kColumns);
        delete grid;
    }
    std::printf("fill 100,000 x 20, vector of texts: %.3f s; grid: %.3f s (best of %d)\n",
                vectorSeconds, gridSeconds, kRuns);
    std::printf("fill against the vector: %.2f (goal: <= 3)\n", gridSeconds / vectorSeconds);
    std::printf("heap per cell beyond the vector's: %.1f bytes (goal: <= 64)\n", perCell);
    return 0;
}
