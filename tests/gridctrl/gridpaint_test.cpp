// Painting into an image: which cells are drawn where, in which colours.

#include "gridfixture.h"

namespace {

// The colours met inside a rectangle of the image.
QSet<QRgb> coloursIn(const QImage& image, const QRect& area) {
    QSet<QRgb> colours;
    const QRect inside = area.intersected(image.rect());
    for (int y = inside.top(); y <= inside.bottom(); ++y) {
        for (int x = inside.left(); x <= inside.right(); ++x) {
            colours.insert(image.pixel(x, y) & 0xFFFFFF);
        }
    }
    return colours;
}

QRect cellRect(CGridCtrl& grid, int row, int col) {
    QRect rect;
    EXPECT_TRUE(grid.GetCellRect(row, col, rect));
    return rect;
}

TEST_F(GridTest, NothingIsPaintedWhileRedrawIsOff) {
    make(5, 5, 1, 1);
    grid->SetRedraw(false);
    EXPECT_EQ(coloursIn(paint(), grid->viewport()->rect()), QSet<QRgb>{qRgb(1, 2, 3) & 0xFFFFFF});
    EXPECT_FALSE(grid->RedrawCell(2, 2));
    grid->SetRedraw(true);
    EXPECT_GT(coloursIn(paint(), grid->viewport()->rect()).size(), 1);
}

TEST_F(GridTest, AGridWithoutRowsShowsItsBackground) {
    make(0, 0);
    grid->SetBkColor(GridColour::FromRgb(10, 20, 30));
    EXPECT_EQ(coloursIn(paint(), grid->viewport()->rect()),
              QSet<QRgb>{qRgb(10, 20, 30) & 0xFFFFFF});
}

TEST_F(GridTest, CellColoursAreTheSystemsForm) {
    make(3, 3, 1, 1);
    grid->SetItemBkColour(1, 1, GridColour(0x000000));
    grid->SetItemBkColour(1, 2, GridColour(0x0000FF));
    grid->SetItemBkColour(2, 1, CLR_DEFAULT);
    const QImage image = paint();
    EXPECT_EQ(pixel(image, cellRect(*grid, 1, 1).center()), QColor(0, 0, 0));
    EXPECT_EQ(pixel(image, cellRect(*grid, 1, 2).center()), QColor(255, 0, 0));
    EXPECT_EQ(pixel(image, cellRect(*grid, 2, 1).center()), paletteColour(QPalette::Base));
}

TEST_F(GridTest, AHiddenRowTakesNoSpaceAndNoLine) {
    make(6, 2, 1, 1);
    const QRect second = cellRect(*grid, 2, 1);
    for (int row = 1; row < 6; ++row) {
        grid->SetItemBkColour(row, 1, GridColour::FromRgb(0, 0, 40 * row));
    }
    grid->SetRowHeight(2, 0);
    const QImage image = paint();
    // Row 3 starts where row 2 did.
    EXPECT_EQ(pixel(image, second.center()), QColor(0, 0, 120));
    EXPECT_FALSE(coloursIn(image, grid->viewport()->rect()).contains(qRgb(0, 0, 80) & 0xFFFFFF));
    // One grid line under row 1 and one under row 3, which took row 2's place.
    const int x = second.center().x();
    int lines = 0;
    for (int y = cellRect(*grid, 1, 1).top(); y <= second.bottom(); ++y) {
        lines += pixel(image, QPoint(x, y)) == QColor(0xC0, 0xC0, 0xC0) ? 1 : 0;
    }
    EXPECT_EQ(lines, 2);
}

TEST_F(GridTest, TheSelectionIsPaleWithoutTheFocus) {
    make(4, 4, 1, 1);
    grid->SetSelectedRange(2, 2, 2, 2);
    const QPoint inside = cellRect(*grid, 2, 2).topLeft() + QPoint(2, 2);
    EXPECT_EQ(pixel(paint(), inside), paletteColour(QPalette::Highlight));
    grid->clearFocus();
    ASSERT_FALSE(grid->hasFocus());
    EXPECT_EQ(pixel(paint(), inside), paletteColour(QPalette::Button));
}

TEST_F(GridTest, TheSortMarkShowsInTheHeaderOfTheSortColumnOnly) {
    make(3, 3, 1, 1);
    const QImage plain = paint();
    grid->SetSortColumn(1);
    const QImage sorted = paint();
    EXPECT_NE(sorted.copy(cellRect(*grid, 0, 1)), plain.copy(cellRect(*grid, 0, 1)));
    for (const CCellID cell : {CCellID(0, 2), CCellID(1, 1), CCellID(2, 1), CCellID(0, 0)}) {
        EXPECT_EQ(sorted.copy(cellRect(*grid, cell.row, cell.col)),
                  plain.copy(cellRect(*grid, cell.row, cell.col)))
            << cell.row << "," << cell.col;
    }
    // Too narrow for the mark: the header is drawn as without a sort.
    grid->SetColumnWidth(1, 6);
    const QImage narrow = paint();
    grid->SetSortColumn(-1);
    EXPECT_EQ(narrow.copy(cellRect(*grid, 0, 1)), paint().copy(cellRect(*grid, 0, 1)));
}

TEST_F(GridTest, AnImageIsDrawnOnlyWhenItFits) {
    make(3, 3, 1, 1);
    QPixmap red(12, 12);
    red.fill(QColor(250, 0, 0));
    const QList<QPixmap> images{red};
    grid->SetImageList(&images);
    grid->SetItemImage(1, 1, 0);
    grid->SetRowHeight(1, 30);
    const QRgb redPixel = qRgb(250, 0, 0) & 0xFFFFFF;
    EXPECT_TRUE(coloursIn(paint(), cellRect(*grid, 1, 1)).contains(redPixel));
    grid->SetRowHeight(1, 10);
    EXPECT_FALSE(coloursIn(paint(), cellRect(*grid, 1, 1)).contains(redPixel));
}

TEST_F(GridTest, RightAlignedTextEndsAtTheRightMargin) {
    make(2, 2, 0, 0);
    grid->SetItemText(0, 0, QStringLiteral("1234"));
    grid->SetItemFormat(0, 0, DT_RIGHT | DT_SINGLELINE | DT_VCENTER);
    grid->SetItemText(1, 0, QStringLiteral("1234"));
    const QImage image = paint();
    auto inkColumns = [&](int row) {
        const QRect rect = cellRect(*grid, row, 0);
        int first = -1;
        int last = -1;
        for (int x = rect.left(); x < rect.right(); ++x) {
            for (int y = rect.top(); y < rect.bottom(); ++y) {
                if (qGray(image.pixel(x, y)) < 100) {
                    first = first < 0 ? x : first;
                    last = x;
                }
            }
        }
        return std::pair(first, last);
    };
    const auto right = inkColumns(0);
    const auto left = inkColumns(1);
    ASSERT_GE(left.first, 0);
    EXPECT_GT(right.first, left.first + 10);
    EXPECT_GT(right.second, left.second + 10);
}

TEST_F(GridTest, ACutTextEndsInAnEllipsis) {
    make(1, 1, 0, 0);
    const QString text = QStringLiteral("a long text that cannot fit in its cell at all");
    grid->SetItemText(0, 0, text);
    QImage image = paint();
    const QImage cut = image.copy(cellRect(*grid, 0, 0));
    grid->GetCell(0, 0)->SetFormat(DT_SINGLELINE | DT_VCENTER);
    EXPECT_NE(paint().copy(cellRect(*grid, 0, 0)), cut);
}

}  // namespace
