// Geometry against the plain walks over the sizes that the running sums
// replace, and the scroll bars, column widths, borders and the wheel.

#include "gridfixture.h"

#include <QScrollBar>
#include <QStyle>
#include <QWheelEvent>

#include <random>

namespace {

// The walks over the sizes, step by step, as the grid once did them.
struct ReferenceWalks {
    std::vector<int> sizes;
    int fixed = 0;

    int count() const { return static_cast<int>(sizes.size()); }
    int fixedSize() const {
        int sum = 0;
        for (int i = 0; i < fixed; ++i) {
            sum += sizes[static_cast<size_t>(i)];
        }
        return sum;
    }
    int firstScrollable(int position) const {
        int index = fixed;
        if (position <= 0) {
            return index;
        }
        int sum = 0;
        while (index < count() - 1) {
            sum += sizes[static_cast<size_t>(index)];
            ++index;
            if (sum >= position) {
                break;
            }
        }
        return index;
    }
    int maxVisible(int first, int limit, int& extent) const {
        extent = fixedSize();
        int index = first;
        for (; index < count(); ++index) {
            extent += sizes[static_cast<size_t>(index)];
            if (extent >= limit) {
                extent = limit;
                break;
            }
        }
        return std::min(index, count() - 1);
    }
    // -1 for no origin.
    int origin(int index, int first) const {
        if (index >= fixed && index < first) {
            return -1;
        }
        int sum = 0;
        if (index < fixed) {
            for (int i = 0; i < index; ++i) {
                sum += sizes[static_cast<size_t>(i)];
            }
            return sum;
        }
        sum = fixedSize();
        for (int i = first; i < index; ++i) {
            sum += sizes[static_cast<size_t>(i)];
        }
        return sum;
    }
    int fromOffset(int offset, int first) const {
        if (offset < 0) {
            return -1;
        }
        int sum = 0;
        if (offset < fixedSize()) {
            for (int i = 0; i < fixed; ++i) {
                sum += sizes[static_cast<size_t>(i)];
                if (offset < sum) {
                    return i;
                }
            }
        }
        sum = fixedSize();
        for (int i = first; i < count(); ++i) {
            sum += sizes[static_cast<size_t>(i)];
            if (offset < sum) {
                return i;
            }
        }
        return -1;
    }
};

TEST_F(GridTest, GeometryMatchesTheWalksOverTheSizes) {
    std::mt19937 random(14);
    for (int round = 0; round < 12; ++round) {
        const int rows = 1 + static_cast<int>(random() % 60);
        const int cols = 1 + static_cast<int>(random() % 12);
        const int fixedRows = static_cast<int>(random() % std::min(rows, 3));
        const int fixedCols = static_cast<int>(random() % std::min(cols, 3));
        delete grid;
        make(rows, cols, fixedRows, fixedCols, QSize(320, 240));
        ReferenceWalks rowWalk{{}, fixedRows};
        ReferenceWalks colWalk{{}, fixedCols};
        for (int row = 0; row < rows; ++row) {
            const int height = random() % 4 == 0 ? 0 : 1 + static_cast<int>(random() % 40);
            grid->SetRowHeight(row, height);
            rowWalk.sizes.push_back(height);
        }
        for (int col = 0; col < cols; ++col) {
            const int width = random() % 4 == 0 ? 0 : 1 + static_cast<int>(random() % 90);
            grid->SetColumnWidth(col, width);
            colWalk.sizes.push_back(grid->GetColumnWidth(col));
        }
        for (int position = 0; position < 8; ++position) {
            grid->SetScrollPos(Qt::Vertical, static_cast<int>(random() % 700));
            grid->SetScrollPos(Qt::Horizontal, static_cast<int>(random() % 700));
            const int v = grid->GetScrollPos(Qt::Vertical);
            const int h = grid->GetScrollPos(Qt::Horizontal);
            const CCellID topLeft(rowWalk.firstScrollable(v), colWalk.firstScrollable(h));
            ASSERT_EQ(grid->GetFirstScrollableCell(), topLeft) << "v " << v << " h " << h;
            int bottom = 0;
            int right = 0;
            const int maxRow = rowWalk.maxVisible(topLeft.row, grid->viewport()->height(), bottom);
            const int maxCol = colWalk.maxVisible(topLeft.col, grid->viewport()->width(), right);
            QRect visible;
            ASSERT_EQ(grid->GetVisibleScrollableRange(&visible),
                      CCellRange(topLeft.row, topLeft.col, maxRow, maxCol));
            ASSERT_EQ(visible, QRect(0, 0, right, bottom));
            for (int row = 0; row < rows; ++row) {
                for (int col = 0; col < cols; ++col) {
                    const int x = colWalk.origin(col, topLeft.col);
                    const int y = rowWalk.origin(row, topLeft.row);
                    QPoint origin;
                    const bool has = grid->GetCellOrigin(row, col, origin);
                    ASSERT_EQ(has, x >= 0 && y >= 0) << row << "," << col;
                    if (has) {
                        ASSERT_EQ(origin, QPoint(x, y));
                    }
                    const bool visibleCell =
                        has && x < grid->viewport()->width() && y < grid->viewport()->height();
                    ASSERT_EQ(grid->IsCellVisible(row, col), visibleCell);
                }
            }
            for (int probe = 0; probe < 40; ++probe) {
                const QPoint point(static_cast<int>(random() % 340) - 10,
                                   static_cast<int>(random() % 260) - 10);
                const CCellID expected(rowWalk.fromOffset(point.y(), topLeft.row),
                                       colWalk.fromOffset(point.x(), topLeft.col));
                ASSERT_EQ(grid->GetCellFromPt(point), expected) << point.x() << "," << point.y();
            }
        }
    }
}

TEST_F(GridTest, AColumnIsNeverWiderThanItsShareOfTheWindow) {
    const int bar = QApplication::style()->pixelMetric(QStyle::PM_ScrollBarExtent);
    make(3, 3, 1, 1, QSize(500 + bar, 200));
    struct Case {
        float fraction;
        int columns;
        int expected;
    };
    const Case cases[] = {{1.0f, 3, 500}, {0.95f, 3, 474}, {0.95f, 1, 10000}};
    for (const Case& item : cases) {
        grid->SetColumnCount(item.columns);
        grid->SetMaxColumnWidthFraction(item.fraction);
        grid->SetColumnWidth(0, 30);
        owner.notifications.clear();
        ASSERT_TRUE(grid->SetColumnWidth(0, 10000));
        EXPECT_EQ(grid->GetColumnWidth(0), item.expected) << item.fraction << " " << item.columns;
        const auto resized = owner.codes(GVN_COLUMNRESIZED);
        ASSERT_EQ(resized.size(), 1u);
        EXPECT_EQ(CCellID(resized[0].row, resized[0].col), CCellID(0, 0));
    }
    // The same width again changes nothing and tells nobody.
    owner.notifications.clear();
    EXPECT_TRUE(grid->SetColumnWidth(0, 10000));
    EXPECT_TRUE(owner.codes(GVN_COLUMNRESIZED).empty());
    EXPECT_FALSE(grid->SetColumnWidth(0, -1));
    EXPECT_FALSE(grid->SetColumnWidth(5, 10));
}

TEST_F(GridTest, RowsThatFitNeedNoScrollBar) {
    make(3, 2, 1, 1, QSize(400, 300));
    EXPECT_EQ(grid->GetVScrollMax(), 0);
    EXPECT_EQ(grid->GetVScrollPage(), 0);
    EXPECT_EQ(grid->GetScrollBarState() & GVSB_VERT, 0u);
    grid->SetRowCount(300);
    EXPECT_NE(grid->GetScrollBarState() & GVSB_VERT, 0u);
    const int scrollable = static_cast<int>(grid->GetVirtualHeight()) - grid->GetFixedRowHeight();
    EXPECT_EQ(grid->GetVScrollMax(), scrollable - 1);
    EXPECT_EQ(grid->GetVScrollPage(), grid->viewport()->height() - grid->GetFixedRowHeight());
    EXPECT_EQ(grid->verticalScrollBar()->maximum(),
              grid->GetVScrollMax() - grid->GetVScrollPage() + 1);
}

TEST_F(GridTest, TheFirstRowAndColumnHaveNoLeadingBorder) {
    make(3, 3, 1, 1);
    const int height = grid->GetRowHeight(0);
    const int width = grid->GetColumnWidth(0);
    struct Case {
        QPoint point;
        bool rowBorder;
        bool columnBorder;
    };
    const Case cases[] = {
        {{2, 1}, false, false},         {{2, height - 1}, true, false},
        {{2, height + 1}, true, false}, {{2, height + height / 2}, false, false},
        {{1, 1}, false, false},         {{width - 1, 2}, false, true},
        {{width + 1, 2}, false, true},  {{width + width / 2, 2}, false, false},
    };
    for (const Case& item : cases) {
        EXPECT_EQ(grid->IsOverRowBorder(item.point), item.rowBorder)
            << item.point.x() << "," << item.point.y();
        EXPECT_EQ(grid->IsOverColumnBorder(item.point), item.columnBorder)
            << item.point.x() << "," << item.point.y();
    }
}

class GridWheelTest : public GridTest {
protected:
    void wheel(int delta) {
        QWheelEvent event(QPointF(50, 50), grid->mapToGlobal(QPointF(50, 50)), QPoint(),
                          QPoint(0, delta), Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(grid->viewport(), &event);
        QCoreApplication::processEvents();
    }
    int topRow() { return grid->GetFirstScrollableCell().row; }
};

TEST_F(GridWheelTest, TheWheelScrollsLinesOrPages) {
    make(200, 3, 1, 1, QSize(300, 200));
    const int row = grid->GetRowHeight(1);
    grid->SetScrollPos(Qt::Vertical, 20 * row);
    ASSERT_EQ(topRow(), 21);

    grid->SetWheelScrollLines(3);
    wheel(120);
    EXPECT_EQ(topRow(), 18);
    wheel(-240);
    EXPECT_EQ(topRow(), 24);

    // Parts of a notch add up: two parts of 15 are less than a line at
    // three lines a notch, eight make the notch.
    wheel(15);
    wheel(15);
    EXPECT_EQ(topRow(), 24);
    for (int part = 2; part < 8; ++part) {
        wheel(15);
    }
    EXPECT_EQ(topRow(), 21);

    grid->SetWheelScrollLines(-1);
    const int before = grid->GetScrollPos(Qt::Vertical);
    wheel(-120);
    EXPECT_EQ(grid->GetScrollPos(Qt::Vertical),
              before + grid->viewport()->height() - grid->GetFixedRowHeight());
}

TEST_F(GridTest, LineScrollsSkipHiddenRows) {
    make(100, 3, 1, 1, QSize(300, 200));
    const int row = grid->GetRowHeight(1);
    grid->SetRowHeight(2, 0);
    grid->SetRowHeight(3, 0);
    // The view starts at the first row whose sum reaches the position, a
    // hidden one too; the next step goes past the hidden rows.
    const int expected[][2] = {{SB_LINEDOWN, 2}, {SB_LINEDOWN, 5}, {SB_LINEUP, 2}, {SB_LINEUP, 1}};
    const int positions[] = {row, 2 * row, row, 0};
    for (size_t step = 0; step < std::size(expected); ++step) {
        grid->OnVScroll(expected[step][0]);
        EXPECT_EQ(grid->GetFirstScrollableCell().row, expected[step][1]) << step;
        EXPECT_EQ(grid->GetScrollPos(Qt::Vertical), positions[step]) << step;
    }
}

TEST_F(GridTest, EnsureVisibleBringsTheCellIntoView) {
    make(1000, 30, 1, 1, QSize(300, 200));
    grid->SetRowHeight(500, 0);
    grid->SetRowHeight(600, 37);
    for (const CCellID cell :
         {CCellID(900, 25), CCellID(600, 3), CCellID(2, 1), CCellID(999, 29)}) {
        grid->EnsureVisible(cell);
        QRect rect;
        ASSERT_TRUE(grid->GetCellRect(cell.row, cell.col, rect)) << cell.row;
        EXPECT_TRUE(grid->IsCellVisible(cell));
        EXPECT_LE(rect.bottom(), grid->viewport()->height()) << cell.row;
        EXPECT_LE(rect.right(), grid->viewport()->width()) << cell.col;
    }
    // From a position between rows the steps keep their offset.
    grid->SetScrollPos(Qt::Vertical, 5);
    grid->EnsureRowVisible(300);
    EXPECT_TRUE(grid->IsCellVisible(300, 0));
}

}  // namespace
