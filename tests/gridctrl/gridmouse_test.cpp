// Selection with the mouse and navigation with the keys, through real
// QTest input on the shown, active grid.

#include "gridfixture.h"

#include <QLineEdit>

namespace {

class GridMouseTest : public GridTest {
protected:
    QPoint centre(int row, int col) {
        QRect rect;
        EXPECT_TRUE(grid->GetCellRect(row, col, rect)) << row << "," << col;
        return rect.center();
    }
    void click(int row, int col, Qt::KeyboardModifiers keys = Qt::NoModifier) {
        QTest::mouseClick(grid->viewport(), Qt::LeftButton, keys, centre(row, col));
    }
    void key(int key, Qt::KeyboardModifiers keys = Qt::NoModifier) {
        QTest::keyClick(grid, static_cast<Qt::Key>(key), keys);
    }
    // The selected cells, as a set of (row, col), read through the grid.
    std::vector<CCellID> selected() const {
        std::vector<CCellID> cells;
        for (int row = 0; row < grid->GetRowCount(); ++row) {
            for (int col = 0; col < grid->GetColumnCount(); ++col) {
                if (grid->IsCellSelected(row, col)) {
                    cells.emplace_back(row, col);
                }
            }
        }
        return cells;
    }
    static std::vector<CCellID> block(int minRow, int minCol, int maxRow, int maxCol) {
        std::vector<CCellID> cells;
        for (int row = minRow; row <= maxRow; ++row) {
            for (int col = minCol; col <= maxCol; ++col) {
                cells.emplace_back(row, col);
            }
        }
        return cells;
    }
};

TEST_F(GridMouseTest, ShiftAndControlClicksExtendAddAndRemove) {
    make(10, 6, 1, 1);
    click(2, 2);
    EXPECT_EQ(selected(), block(2, 2, 2, 2));
    EXPECT_EQ(grid->GetFocusCell(), CCellID(2, 2));
    click(4, 3, Qt::ShiftModifier);
    EXPECT_EQ(selected(), block(2, 2, 4, 3));
    // Ctrl adds a cell and the earlier selection survives.
    click(6, 5, Qt::ControlModifier);
    auto expected = block(2, 2, 4, 3);
    expected.emplace_back(6, 5);
    EXPECT_EQ(selected(), expected);
    // Ctrl on a selected cell removes just that cell.
    click(3, 3, Qt::ControlModifier);
    expected = block(2, 2, 4, 3);
    std::erase(expected, CCellID(3, 3));
    expected.emplace_back(6, 5);
    EXPECT_EQ(selected(), expected);
}

TEST_F(GridMouseTest, ListModeSelectsRowsAndSingleRowKeepsOne) {
    make(10, 4, 1, 1);
    grid->SetListMode(true);
    click(2, 2);
    EXPECT_EQ(selected(), block(2, 1, 2, 3));
    click(4, 1, Qt::ControlModifier);
    auto both = block(2, 1, 2, 3);
    const auto fourth = block(4, 1, 4, 3);
    both.insert(both.end(), fourth.begin(), fourth.end());
    EXPECT_EQ(selected(), both);
    // Ctrl on a selected row removes the whole row.
    click(2, 3, Qt::ControlModifier);
    EXPECT_EQ(selected(), fourth);
    grid->SetSingleRowSelection(true);
    click(6, 2, Qt::ControlModifier);
    EXPECT_EQ(selected(), block(6, 1, 6, 3));
    EXPECT_EQ(grid->GetSelectedRowCount(), 1);
    EXPECT_TRUE(grid->IsRowSelected(6));
    EXPECT_FALSE(grid->IsRowSelected(4));
}

TEST_F(GridMouseTest, HeaderClicksSelectColumnsRowsOrAll) {
    make(6, 5, 1, 1);
    grid->EnableColumnReorder(false);
    struct Case {
        CCellID clicked;
        std::vector<CCellID> selection;
    };
    const Case cases[] = {
        {{0, 2}, block(1, 2, 5, 2)},
        {{3, 0}, block(3, 1, 3, 4)},
        {{0, 0}, block(1, 1, 5, 4)},
    };
    for (const Case& item : cases) {
        click(item.clicked.row, item.clicked.col);
        EXPECT_EQ(selected(), item.selection) << item.clicked.row << "," << item.clicked.col;
        EXPECT_EQ(grid->GetFocusCell(), CCellID()) << "a header click leaves no focus cell";
    }
}

TEST_F(GridMouseTest, DraggingSelectsAndSkipsHiddenRows) {
    make(10, 6, 1, 1);
    grid->SetRowHeight(3, 0);
    QTest::mousePress(grid->viewport(), Qt::LeftButton, {}, centre(2, 1));
    QTest::mouseMove(grid->viewport(), centre(4, 3));
    QTest::mouseRelease(grid->viewport(), Qt::LeftButton, {}, centre(4, 3));
    auto expected = block(2, 1, 4, 3);
    std::erase_if(expected, [](const CCellID& cell) { return cell.row == 3; });
    EXPECT_EQ(selected(), expected);
    EXPECT_EQ(grid->GetFocusCell(), CCellID(4, 3));
}

TEST_F(GridMouseTest, HoldingTheButtonBelowTheGridGrowsTheSelection) {
    make(200, 4, 1, 1, QSize(300, 200));
    const CCellRange visible = grid->GetVisibleScrollableRange();
    const QPoint below(centre(2, 1).x(), grid->viewport()->height() + 20);
    QTest::mousePress(grid->viewport(), Qt::LeftButton, {}, centre(2, 1));
    QTest::mouseMove(grid->viewport(), below);
    ASSERT_TRUE(QTest::qWaitFor(
        [&] { return grid->GetSelectedCellRange().maxRow > visible.maxRow + 3; }, 5000));
    QTest::mouseRelease(grid->viewport(), Qt::LeftButton, {}, below);
    EXPECT_EQ(grid->GetSelectedCellRange().minRow, 2);
    EXPECT_GT(grid->GetScrollPos(Qt::Vertical), 0);
}

TEST_F(GridMouseTest, AMultiRowSelectionCollapsesOnlyOnAStillRelease) {
    make(10, 4, 1, 1);
    auto* other = new CGridCtrl(5, 3, 1, 1, &owner);
    other->SetSelectedRange(1, 1, 3, 2);
    grid->EnableDragAndDrop(true);
    grid->SetListMode(true);
    grid->SetSelectedRange(2, 1, 5, 3);
    grid->SetFocusCell(3, 1);
    // A press and a move would drag the selection: it stays whole.
    QTest::mousePress(grid->viewport(), Qt::LeftButton, {}, centre(4, 2));
    QTest::mouseMove(grid->viewport(), centre(4, 2) + QPoint(12, 0));
    QTest::mouseRelease(grid->viewport(), Qt::LeftButton, {}, centre(4, 2) + QPoint(12, 0));
    EXPECT_EQ(selected(), block(2, 1, 5, 3));
    // A still click keeps just its row, in this grid only.
    owner.notifications.clear();
    click(3, 2);
    EXPECT_EQ(selected(), block(3, 1, 3, 3));
    EXPECT_EQ(owner.codes(GVN_SELCHANGED).size(), 1u);
    EXPECT_EQ(other->GetSelectedCellRange(), CCellRange(1, 1, 3, 2));
}

TEST_F(GridMouseTest, AShownPropertiesPaneHoldsBackTheChangeOfAStillClick) {
    make(6, 4, 1, 1);
    grid->EnableDragAndDrop(true);
    grid->SetListMode(true);
    for (const bool paneShown : {false, true}) {
        grid->SetPropertiesPaneShown([paneShown] { return paneShown; });
        click(4, 2);
        grid->SetSelectedRange(2, 1, 2, 3);
        grid->SetFocusCell(2, 1);
        owner.notifications.clear();
        click(2, 3);
        EXPECT_EQ(owner.codes(GVN_SELCHANGED).size(), paneShown ? 0u : 1u) << paneShown;
        EXPECT_EQ(selected(), block(2, 1, 2, 3));
    }
}

TEST_F(GridMouseTest, AClickPostsTheGridsCommandAfterTheRelease) {
    struct CommandOwner : RecordingOwner {
        void OnGridCommand(CGridCtrl*, int controlId) override { commands.push_back(controlId); }
        std::vector<int> commands;
    } commandOwner;
    grid = new CGridCtrl(5, 3, 1, 1, &owner);
    grid->SetOwner(&commandOwner);
    grid->SetDlgCtrlID(77);
    grid->setGeometry(0, 0, 300, 200);
    grid->show();
    grid->setFocus();
    grid->ResetScrollBars();
    click(2, 1);
    EXPECT_TRUE(commandOwner.commands.empty()) << "the command comes after the release";
    ASSERT_TRUE(QTest::qWaitFor([&] { return !commandOwner.commands.empty(); }, 2000));
    EXPECT_EQ(commandOwner.commands.size(), 1u);
    EXPECT_EQ(commandOwner.commands.front(), 77);
}

// Counts the context-menu events that reach a window.
class ContextMenuCounter : public QObject {
public:
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::ContextMenu) {
            ++menus;
        }
        return false;
    }
    int menus = 0;
};

TEST_F(GridMouseTest, ARightClickMovesTheFocusAndOffersOneMenuOnRelease) {
    make(6, 4, 1, 1);
    grid->SetSelectedRange(1, 1, 2, 2);
    ContextMenuCounter counter;
    owner.installEventFilter(&counter);
    QTest::mousePress(grid->viewport(), Qt::RightButton, {}, centre(4, 0));
    EXPECT_EQ(counter.menus, 0) << "no menu on the press";
    QTest::mouseRelease(grid->viewport(), Qt::RightButton, {}, centre(4, 0));
    EXPECT_EQ(counter.menus, 1);
    EXPECT_EQ(grid->GetFocusCell(), CCellID(4, 1)) << "raised to the first non-fixed column";
    ASSERT_EQ(owner.codes(NM_RCLICK).size(), 1u);
    EXPECT_EQ(owner.codes(NM_RCLICK)[0].row, 4);
    EXPECT_EQ(grid->GetSelectedCellRange(), CCellRange(1, 1, 2, 2)) << "the selection stays";
}

TEST_F(GridMouseTest, ArrowsSkipHiddenRowsAndColumnsAndStopAtTheEnds) {
    make(6, 6, 1, 1);
    grid->SetRowHeight(2, 0);
    grid->SetColumnWidth(3, 0);
    grid->SetFocusCell(1, 2);
    struct Step {
        int key;
        CCellID focus;
    };
    const Step steps[] = {
        {Qt::Key_Down, {3, 2}},  {Qt::Key_Up, {1, 2}},   {Qt::Key_Up, {1, 2}},
        {Qt::Key_Right, {1, 4}}, {Qt::Key_Left, {1, 2}}, {Qt::Key_Left, {1, 1}},
        {Qt::Key_Left, {1, 1}},  {Qt::Key_End, {1, 5}},  {Qt::Key_Home, {1, 1}},
    };
    for (const Step& step : steps) {
        key(step.key);
        EXPECT_EQ(grid->GetFocusCell(), step.focus)
            << QKeySequence(step.key).toString().toStdString();
    }
    grid->SetFocusCell(5, 1);
    key(Qt::Key_Down);
    EXPECT_EQ(grid->GetFocusCell(), CCellID(5, 1)) << "Down on the last row stays";
}

TEST_F(GridMouseTest, TabWrapsAndLeavesAtTheLastCell) {
    make(4, 4, 1, 1);
    auto* next = new QLineEdit(&owner);
    next->setGeometry(0, 250, 100, 20);
    next->show();
    grid->setFocus();
    grid->SetFocusCell(1, 3);
    key(Qt::Key_Tab);
    EXPECT_EQ(grid->GetFocusCell(), CCellID(2, 1));
    key(Qt::Key_Tab, Qt::ShiftModifier);
    EXPECT_EQ(grid->GetFocusCell(), CCellID(1, 3));
    EXPECT_TRUE(grid->hasFocus());
    grid->SetFocusCell(3, 3);
    key(Qt::Key_Tab);
    EXPECT_EQ(grid->GetFocusCell(), CCellID(3, 3));
    EXPECT_TRUE(QTest::qWaitFor([&] { return next->hasFocus(); }, 2000));
}

TEST_F(GridMouseTest, PageHomeAndEndWithAndWithoutControl) {
    make(100, 8, 1, 1, QSize(300, 200));
    grid->SetFocusCell(5, 3);
    key(Qt::Key_End, Qt::ControlModifier);
    EXPECT_EQ(grid->GetFocusCell(), CCellID(99, 7));
    EXPECT_TRUE(grid->IsCellVisible(99, 7));
    key(Qt::Key_Home, Qt::ControlModifier);
    EXPECT_EQ(grid->GetFocusCell(), CCellID(1, 1));
    EXPECT_EQ(grid->GetScrollPos(Qt::Vertical), 0);
    key(Qt::Key_PageDown);
    const int paged = grid->GetFocusCell().row;
    EXPECT_GT(paged, 1);
    EXPECT_EQ(grid->GetFocusCell().row - 1, grid->GetFirstScrollableCell().row - 1);
    key(Qt::Key_PageUp);
    EXPECT_EQ(grid->GetFocusCell().row, 1);
    key(Qt::Key_End);
    EXPECT_EQ(grid->GetFocusCell(), CCellID(1, 7));
}

TEST_F(GridMouseTest, KeysSelectAndReportChangingBeforeChanged) {
    make(6, 6, 1, 1);
    grid->SetFocusCell(2, 2);
    owner.notifications.clear();
    key(Qt::Key_Right);
    ASSERT_EQ(owner.notifications.size(), 2u);
    EXPECT_EQ(owner.notifications[0].code, GVN_SELCHANGING);
    EXPECT_EQ(owner.notifications[1].code, GVN_SELCHANGED);
    EXPECT_EQ(selected(), block(2, 3, 2, 3));
    key(Qt::Key_Down, Qt::ShiftModifier);
    EXPECT_EQ(selected(), block(2, 3, 3, 3));
    key(Qt::Key_A, Qt::ControlModifier);
    EXPECT_EQ(selected(), block(1, 1, 5, 5));
}

TEST_F(GridMouseTest, SelectedValuesOfAColumnAreDistinctAndLimited) {
    make(6, 3, 1, 1);
    const QStringList texts{"", "b", "a", "b", "c", "a"};
    for (int row = 1; row < 6; ++row) {
        grid->SetItemText(row, 2, texts[row]);
    }
    grid->SetSelectedRange(1, 1, 5, 2);
    int count = 0;
    EXPECT_EQ(grid->GetSelectedValuesOfColumn(2, count), u",b,a,c");
    EXPECT_EQ(count, 3);
    EXPECT_EQ(grid->GetSelectedValuesOfColumn(2, count, 1), u",b");
    EXPECT_EQ(count, 1);
    EXPECT_EQ(grid->GetSelectedRowCount(), 5);
    grid->SelectRow(3);
    EXPECT_EQ(grid->GetSelectedRowCount(), 1);
    EXPECT_EQ(grid->GetSelectedValuesOfColumn(2, count), u",b");
}

}  // namespace
