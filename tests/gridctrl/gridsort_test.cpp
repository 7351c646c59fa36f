// Sorting by header clicks and by compare functions, checked against the
// grid's quicksort written out plainly on an array; border drags,
// auto-size and column moves through real mouse input.

#include "gridfixture.h"

#include "gridctrl/gridcellbase.h"

#include <QRandomGenerator>

#include <functional>

namespace {

class GridSortTest : public GridTest {
protected:
    QPoint centre(int row, int col) {
        QRect rect;
        EXPECT_TRUE(grid->GetCellRect(row, col, rect));
        return rect.center();
    }
    QRect cellRect(int row, int col) {
        QRect rect;
        EXPECT_TRUE(grid->GetCellRect(row, col, rect));
        return rect;
    }
    void drag(QPoint from, QPoint to) {
        QTest::mousePress(grid->viewport(), Qt::LeftButton, {}, from);
        QTest::mouseMove(grid->viewport(), (from + to) / 2);
        QTest::mouseMove(grid->viewport(), to);
        QTest::mouseRelease(grid->viewport(), Qt::LeftButton, {}, to);
    }
};

// The sort as first written: recursion into both parts, whole rows swapped.
struct PlainRow {
    QString key;
    int id = 0;
};

void plainQuickSort(std::vector<PlainRow>& rows, int low, int high, bool ascending) {
    if (low >= high) {
        return;
    }
    auto compare = [](const QString& a, const QString& b) {
        const int result = QString::compare(a, b);
        return result < 0 ? -1 : (result > 0 ? 1 : 0);
    };
    const QString pivot = rows[static_cast<size_t>((low + high) / 2)].key;
    int lo = low;
    int hi = high;
    while (lo <= hi) {
        const int sign = ascending ? 1 : -1;
        while (lo < high && sign * compare(rows[static_cast<size_t>(lo)].key, pivot) < 0) {
            ++lo;
        }
        while (hi > low && sign * compare(rows[static_cast<size_t>(hi)].key, pivot) > 0) {
            --hi;
        }
        if (hi < lo) {
            break;
        }
        if (compare(rows[static_cast<size_t>(lo)].key, rows[static_cast<size_t>(hi)].key) != 0) {
            std::swap(rows[static_cast<size_t>(lo)], rows[static_cast<size_t>(hi)]);
        }
        ++lo;
        --hi;
    }
    if (low < hi) {
        plainQuickSort(rows, low, hi, ascending);
    }
    if (lo < high) {
        plainQuickSort(rows, lo, high, ascending);
    }
}

// The text sort packs the first units past the start all keys share: keys
// differing only beyond them, keys ending inside them, a NUL, and a
// character of two units against a high one of a single unit all order as
// the texts compare.
TEST_F(GridSortTest, TheOrderIsThePlainQuicksortsWithTies) {
    const QString odd[] = {u""_qs,           u"a"_qs,      QStringView(u"a\0", 2).toString(),
                           u"\U00010000"_qs, u"\uE000"_qs, u"\uFFFF"_qs,
                           u"abcd"_qs,       u"abcde"_qs,  QStringView(u"abcd\0", 5).toString()};
    const std::function<QString(quint32)> keySets[] = {
        [](quint32 n) { return QString::number(n); },
        [](quint32 n) { return u"element-"_qs + QString::number(n); },
        [&odd](quint32 n) { return odd[n % 9] + (n % 2 != 0 ? QString::number(n / 18) : u""_qs); },
        [&odd](quint32 n) { return u"same"_qs + odd[n % 9] + QString::number(n % 4); },
    };
    make(10001, 3, 1, 1);
    for (size_t set = 0; set < std::size(keySets); ++set) {
        std::vector<PlainRow> plain;
        QRandomGenerator random(17);
        for (int row = 1; row <= 10000; ++row) {
            const QString key = keySets[set](random.bounded(300U));
            grid->SetItemText(row, 2, key);
            grid->SetItemData(row, 1, row);
            grid->SetRowHeight(row, 10 + row % 7);
            plain.push_back({key, row});
        }
        for (const bool ascending : {true, false}) {
            ASSERT_TRUE(grid->SortItems(2, ascending));
            plainQuickSort(plain, 0, static_cast<int>(plain.size()) - 1, ascending);
            for (int row = 1; row <= 10000; ++row) {
                const PlainRow& expected = plain[static_cast<size_t>(row - 1)];
                ASSERT_EQ(grid->GetItemData(row, 1), expected.id)
                    << "set " << set << " row " << row;
                ASSERT_EQ(grid->GetItemText(row, 2), expected.key);
                ASSERT_EQ(grid->GetRowHeight(row), 10 + expected.id % 7)
                    << "heights move with rows";
            }
        }
    }
}

// McIlroy's adversary: values are fixed only as the sort asks about them,
// always so that the pivot candidate ends up near one end.
struct Adversary {
    std::vector<int> value;
    int gas = 0;
    int solid = 0;
    int candidate = 0;
    char* deepest = nullptr;

    explicit Adversary(int count) : value(static_cast<size_t>(count), count), gas(count) {}
    int freeze(int id) { return value[static_cast<size_t>(id)] = solid++; }
    static int compare(const CGridCellBase* first, const CGridCellBase* second, qintptr data) {
        auto* self = reinterpret_cast<Adversary*>(data);
        auto* frame = static_cast<char*>(__builtin_frame_address(0));
        if (self->deepest == nullptr || frame < self->deepest) {
            self->deepest = frame;
        }
        const int x = static_cast<int>(first->GetData());
        const int y = static_cast<int>(second->GetData());
        auto& values = self->value;
        if (values[static_cast<size_t>(x)] == self->gas &&
            values[static_cast<size_t>(y)] == self->gas) {
            self->freeze(x == self->candidate ? x : y);
        }
        if (values[static_cast<size_t>(x)] == self->gas) {
            self->candidate = x;
        } else if (values[static_cast<size_t>(y)] == self->gas) {
            self->candidate = y;
        }
        return values[static_cast<size_t>(x)] - values[static_cast<size_t>(y)];
    }
};

TEST_F(GridSortTest, AnAdversaryCompareKeepsTheStackShallow) {
    constexpr int kRows = 5000;
    make(kRows + 1, 2, 1, 1);
    for (int row = 1; row <= kRows; ++row) {
        grid->SetItemData(row, 1, row - 1);
    }
    Adversary adversary(kRows);
    auto* top = static_cast<char*>(__builtin_frame_address(0));
    ASSERT_TRUE(
        grid->SortItems(&Adversary::compare, 1, true, reinterpret_cast<qintptr>(&adversary)));
    // Logarithmic depth is a few dozen frames; the depth of the row count
    // would be hundreds of kilobytes.
    EXPECT_LT(top - adversary.deepest, 32 * 1024);
    for (int row = 2; row <= kRows; ++row) {
        const auto previous = static_cast<size_t>(grid->GetItemData(row - 1, 1));
        const auto current = static_cast<size_t>(grid->GetItemData(row, 1));
        ASSERT_LE(adversary.value[previous], adversary.value[current]) << "row " << row;
    }
}

TEST_F(GridSortTest, AHeaderClickedTwiceSortsUpThenDownAndClearsTheSelection) {
    make(6, 3, 1, 1);
    grid->SetHeaderSort(true);
    grid->SetFixedRowSelection(false);
    const QStringList texts{"", "d", "b", "e", "a", "c"};
    for (int row = 1; row < 6; ++row) {
        grid->SetItemText(row, 2, texts[row]);
    }
    auto column = [&] {
        QString letters;
        for (int row = 1; row < 6; ++row) {
            letters += grid->GetItemText(row, 2);
        }
        return letters;
    };
    for (const QString& expected : {QStringLiteral("abcde"), QStringLiteral("edcba")}) {
        grid->SetSelectedRange(2, 1, 3, 2);
        grid->SetFocusCell(2, 2);
        owner.notifications.clear();
        QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, centre(0, 2));
        EXPECT_EQ(column(), expected);
        ASSERT_EQ(owner.codes(GVN_COLUMNSORTED).size(), 1u);
        EXPECT_EQ(owner.codes(GVN_COLUMNSORTED)[0].col, 2);
        EXPECT_FALSE(grid->GetSelectedCellRange().IsValid());
        EXPECT_EQ(grid->GetFocusCell(), CCellID());
    }
    EXPECT_FALSE(grid->GetSortAscending());
}

TEST_F(GridSortTest, KeysTheCallerGivesSortWithItsCompare) {
    make(5, 2, 1, 1);
    const double numbers[] = {0, 2.5, -1, 10, 2.5};
    for (int row = 1; row < 5; ++row) {
        grid->SetItemData(row, 1, row);
    }
    auto keyOf = [&numbers](const CGridCellBase* cell) {
        return numbers[static_cast<size_t>(cell->GetData())];
    };
    auto compare = [](double a, double b) { return a < b ? -1 : (a > b ? 1 : 0); };
    ASSERT_TRUE(grid->SortItemsByKey(1, true, keyOf, compare));
    std::vector<qintptr> rows;
    for (int row = 1; row < 5; ++row) {
        rows.push_back(grid->GetItemData(row, 1));
    }
    EXPECT_EQ(rows, (std::vector<qintptr>{2, 1, 4, 3}));
    EXPECT_EQ(grid->GetSortColumn(), 1);
    EXPECT_FALSE(grid->SortItemsByKey(7, true, keyOf, compare)) << "no such column";
}

// An order found on a worker is applied only to the cells it was found
// for: rows added, removed or moved since, or an order that is no
// permutation of the rows, leave the rows where they are.
TEST_F(GridSortTest, AnOrderFoundElsewhereMovesTheRowsOnlyWhileItStillFits) {
    const std::vector<int> reversed = {4, 3, 2, 1};
    auto rowData = [this] {
        std::vector<qintptr> rows;
        for (int row = 1; row < grid->GetRowCount(); ++row) {
            rows.push_back(grid->GetItemData(row, 0));
        }
        return rows;
    };
    const struct {
        const char* what;
        std::function<void(CGridCtrl&)> meanwhile;
        std::vector<int> order;
        bool applied;
    } cases[] = {
        {"nothing changed", [](CGridCtrl&) {}, reversed, true},
        {"a text edited", [](CGridCtrl& g) { g.SetItemText(2, 0, u"x"_qs); }, reversed, true},
        {"a row deleted and one added",
         [](CGridCtrl& g) {
             g.DeleteRow(4);
             g.SetRowCount(5);
         },
         reversed, false},
        {"a column moved", [](CGridCtrl& g) { g.MoveColumn(0, 1); }, reversed, false},
        {"sorted meanwhile", [](CGridCtrl& g) { g.SortItems(1, true); }, reversed, false},
        {"a row twice", [](CGridCtrl&) {}, {4, 3, 3, 1}, false},
        {"a fixed row", [](CGridCtrl&) {}, {0, 3, 2, 1}, false},
        {"too few rows", [](CGridCtrl&) {}, {3, 2, 1}, false},
    };
    for (const auto& test : cases) {
        make(5, 2, 1, 0);
        for (int row = 1; row < 5; ++row) {
            grid->SetItemData(row, 0, row);
        }
        grid->SetSelectedRange(2, 0, 2, 1);
        const quint64 changes = grid->GetCellLayoutChanges();
        test.meanwhile(*grid);
        const std::vector<qintptr> before = rowData();
        EXPECT_EQ(grid->ApplySortedOrder(1, false, test.order, changes), test.applied) << test.what;
        if (test.applied) {
            EXPECT_EQ(rowData(), (std::vector<qintptr>{4, 3, 2, 1})) << test.what;
            EXPECT_EQ(grid->GetSortColumn(), 1) << test.what;
            EXPECT_FALSE(grid->GetSortAscending()) << test.what;
            EXPECT_EQ(grid->GetSelectedRowCount(), 0) << test.what;
        } else {
            EXPECT_EQ(rowData(), before) << test.what;
        }
    }
}

TEST_F(GridSortTest, BorderDragsClampToTheirSmallestSizes) {
    make(6, 4, 1, 1);
    const QRect header = cellRect(0, 2);
    owner.notifications.clear();
    drag(QPoint(header.right(), header.center().y()), QPoint(2, header.center().y()));
    EXPECT_EQ(grid->GetColumnWidth(2), 8);
    ASSERT_EQ(owner.codes(GVN_COLUMNRESIZED).size(), 1u);
    EXPECT_EQ(owner.codes(GVN_COLUMNRESIZED)[0].col, 2);
    for (const bool zeroAllowed : {true, false}) {
        grid->SetRowsSizeToZero(zeroAllowed);
        grid->SetRowHeight(3, 20);
        const QRect rowHead = cellRect(3, 0);
        drag(QPoint(rowHead.center().x(), rowHead.bottom()), QPoint(rowHead.center().x(), 1));
        EXPECT_EQ(grid->GetRowHeight(3), zeroAllowed ? 0 : 1);
    }
}

TEST_F(GridSortTest, ADoubleClickOnABorderAutoSizesWithinTheFraction) {
    make(4, 3, 1, 1, QSize(500, 200));
    grid->SetMaxColumnWidthFraction(0.95f);
    for (int row = 0; row < 4; ++row) {
        grid->SetItemText(row, 1, QString(400, u'W'));
    }
    const QRect header = cellRect(0, 1);
    const QPoint border(header.right(), header.center().y());
    QTest::mouseMove(grid->viewport(), border);
    EXPECT_EQ(grid->GetMouseMode(), MOUSE_OVER_COL_DIVIDE);
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, border);
    EXPECT_EQ(grid->GetMouseMode(), MOUSE_OVER_COL_DIVIDE) << "the hover runs after the release";
    QTest::mouseDClick(grid->viewport(), Qt::LeftButton, {}, border);
    // The single-precision fraction times the width, truncated: 474 of 500.
    EXPECT_EQ(grid->GetColumnWidth(1),
              static_cast<int>(static_cast<double>(0.95f) * grid->viewport()->width()));
}

TEST_F(GridSortTest, AHeaderPressThatStaysInItsSquareIsAClick) {
    make(5, 6, 1, 1);
    grid->SetHeaderSort(true);
    grid->SetItemText(0, 3, QStringLiteral("three"));
    const QPoint press = centre(0, 3);
    drag(press, press + QPoint(3, 3));
    EXPECT_EQ(grid->GetItemText(0, 3), u"three");
    EXPECT_EQ(owner.codes(GVN_COLUMNSORTED).size(), 1u);
    EXPECT_TRUE(owner.codes(GVN_ENDDRAG).empty());
}

TEST_F(GridSortTest, MovingAColumnTakesItsSortFocusAndSelection) {
    make(5, 7, 1, 1, QSize(600, 200));
    for (int col = 0; col < 7; ++col) {
        grid->SetItemText(0, col, QStringLiteral("c%1").arg(col));
        grid->SetColumnWidth(col, 60 + col);
    }
    grid->SetSortColumn(5);
    grid->SetSelectedRange(2, 2, 3, 2);
    grid->SetFocusCell(2, 2);
    owner.notifications.clear();
    drag(centre(0, 2), centre(0, 5));
    QStringList heads;
    for (int col = 0; col < 7; ++col) {
        heads << grid->GetItemText(0, col);
    }
    EXPECT_EQ(heads.join(u' '), u"c0 c1 c3 c4 c5 c2 c6");
    EXPECT_EQ(grid->GetColumnWidth(5), 62);
    EXPECT_EQ(grid->GetSortColumn(), 4);
    ASSERT_EQ(owner.codes(GVN_ENDDRAG).size(), 1u);
    EXPECT_EQ(owner.codes(GVN_ENDDRAG)[0].col, 2);
    EXPECT_EQ(grid->GetSelectedCellRange(), CCellRange(2, 5, 3, 5));
    // The header press cleared the focus; moved back, the focus goes along.
    grid->SetFocusCell(2, 5);
    grid->MoveColumn(5, 2);
    EXPECT_EQ(grid->GetItemText(0, 2), u"c2");
    EXPECT_EQ(grid->GetFocusCell(), CCellID(2, 2));
    EXPECT_EQ(grid->GetSelectedCellRange(), CCellRange(2, 2, 3, 2));
    EXPECT_TRUE(grid->GetItemState(2, 2) & CELL_FOCUSED);
    // What shows as selected can be cleared.
    grid->ResetSelectedRange();
    for (int row = 0; row < 5; ++row) {
        for (int col = 0; col < 7; ++col) {
            EXPECT_FALSE(grid->GetItemState(row, col) & (CELL_SELECTED | CELL_FOCUSED))
                << row << "," << col;
        }
    }
}

TEST_F(GridSortTest, AHeaderDropOnAFixedColumnOrOutsideMovesNothing) {
    make(5, 5, 1, 1);
    for (int col = 0; col < 5; ++col) {
        grid->SetItemText(0, col, QStringLiteral("c%1").arg(col));
    }
    drag(centre(0, 3), centre(0, 0));
    drag(centre(0, 3), QPoint(centre(0, 1).x(), grid->viewport()->height() + 40));
    for (int col = 0; col < 5; ++col) {
        EXPECT_EQ(grid->GetItemText(0, col), QStringLiteral("c%1").arg(col));
    }
    EXPECT_TRUE(owner.codes(GVN_ENDDRAG).empty());
}

}  // namespace
