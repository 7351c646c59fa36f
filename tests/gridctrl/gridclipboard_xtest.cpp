// Cell text dragged between two grid windows with the real pointer
// (xdotool): a plain drag moves the text, Ctrl held copies it.

#include "gridfixture.h"
#include "support/xinput.h"

#include <QGuiApplication>
#include <QStandardPaths>

#include <memory>

namespace {

class GridDragXTest : public GridTest {
protected:
    void SetUp() override { QUILLEX_SKIP_WITHOUT_DESKTOP(true); }

    // A second grid in a window of its own beside the first.
    CGridCtrl& makeOther() {
        otherOwner = std::make_unique<RecordingOwner>();
        other = new CGridCtrl(4, 4, 1, 1, otherOwner.get());
        other->setFrameShape(QFrame::NoFrame);
        otherOwner->setGeometry(owner.geometry().translated(owner.width() + 40, 0));
        other->setGeometry(QRect(QPoint(0, 0), owner.size()));
        other->EnableDragAndDrop(true);
        otherOwner->show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(otherOwner.get()));
        return *other;
    }

    QPoint centreOf(CGridCtrl& in, int row, int col) {
        QRect rect;
        EXPECT_TRUE(in.GetCellRect(row, col, rect));
        return in.viewport()->mapToGlobal(rect.center());
    }

    // A few small steps start the drag; Ctrl, when named, is held for the
    // way to the target.
    static bool drag(QPoint from, QPoint to, const QString& key = {}) {
        QList<QPoint> path{from};
        for (int step = 1; step <= 4; ++step) {
            path << from + QPoint(6 * step, 3 * step);
        }
        for (int step = 1; step <= 4; ++step) {
            path << from + (to - from) * step / 4;
        }
        return pointerDrag(path, key, 5);
    }

    std::unique_ptr<RecordingOwner> otherOwner;
    CGridCtrl* other = nullptr;
};

TEST_F(GridDragXTest, CellTextMovesBetweenGridsAndCtrlCopies) {
    make(4, 4, 1, 1, QSize(320, 200));
    grid->EnableDragAndDrop(true);
    grid->SetItemText(1, 1, u"moved"_qs);
    grid->SetItemText(2, 1, u"copied"_qs);
    makeOther();

    grid->SetFocusCell(1, 1);
    grid->SetSelectedRange(1, 1, 1, 1);
    ASSERT_TRUE(drag(centreOf(*grid, 1, 1), centreOf(*other, 2, 2)));
    ASSERT_TRUE(QTest::qWaitFor([&] { return other->GetItemText(2, 2) == u"moved"; }, 5000));
    EXPECT_TRUE(QTest::qWaitFor([&] { return grid->GetItemText(1, 1).isEmpty(); }, 5000))
        << "a move empties the dragged cell";

    grid->SetFocusCell(2, 1);
    grid->SetSelectedRange(2, 1, 2, 1);
    ASSERT_TRUE(drag(centreOf(*grid, 2, 1), centreOf(*other, 3, 1), u"ctrl"_qs));
    ASSERT_TRUE(QTest::qWaitFor([&] { return other->GetItemText(3, 1) == u"copied"; }, 5000));
    QTest::qWait(100);
    EXPECT_EQ(grid->GetItemText(2, 1), u"copied") << "Ctrl copies";
}

TEST_F(GridDragXTest, AMoveWithinOneGridEmptiesOnlyWhatThePasteDidNotFill) {
    make(5, 4, 1, 1, QSize(320, 220));
    grid->EnableDragAndDrop(true);
    grid->SetItemText(1, 1, u"a"_qs);
    grid->SetItemText(1, 2, u"b"_qs);
    grid->SetFocusCell(1, 1);
    grid->SetSelectedRange(1, 1, 1, 2);
    // Onto (1, 2): "a" lands there and "b" in (1, 3); only (1, 1) empties.
    ASSERT_TRUE(drag(centreOf(*grid, 1, 1), centreOf(*grid, 1, 2)));
    ASSERT_TRUE(QTest::qWaitFor([&] { return grid->GetItemText(1, 3) == u"b"; }, 5000));
    EXPECT_EQ(grid->GetItemText(1, 2), u"a");
    EXPECT_TRUE(QTest::qWaitFor([&] { return grid->GetItemText(1, 1).isEmpty(); }, 5000));
}

}  // namespace
