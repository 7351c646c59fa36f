// Cell text dragged between two grid windows with the real pointer
// (xdotool): a plain drag moves the text, Ctrl held copies it.

#include "gridfixture.h"

#include <QGuiApplication>
#include <QProcess>
#include <QStandardPaths>

#include <memory>

namespace {

class GridDragXTest : public GridTest {
protected:
    void SetUp() override {
        if (QGuiApplication::platformName() != u"xcb") {
            GTEST_SKIP() << "needs an X server (run under xvfb-run)";
        }
        if (QStandardPaths::findExecutable(QStringLiteral("xdotool")).isEmpty()) {
            GTEST_SKIP() << "needs xdotool";
        }
    }

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

    // Presses on `from`, drags to `to` in steps and releases there, with the
    // key held throughout when one is named. The pointer runs in a process of
    // its own: the drag's loop holds this thread until the button is up.
    bool drag(QPoint from, QPoint to, const QString& key = {}) {
        QStringList arguments;
        const auto move = [&arguments](QPoint at) {
            arguments << u"mousemove"_qs << QString::number(at.x()) << QString::number(at.y())
                      << u"sleep"_qs << u"0.15"_qs;
        };
        move(from);
        arguments << u"mousedown"_qs << u"1"_qs;
        for (int step = 1; step <= 4; ++step) {
            move(from + QPoint(6 * step, 3 * step));
        }
        if (!key.isEmpty()) {
            arguments << u"keydown"_qs << key;
        }
        for (int step = 1; step <= 4; ++step) {
            move(from + (to - from) * step / 4);
        }
        arguments << u"mouseup"_qs << u"1"_qs;
        if (!key.isEmpty()) {
            arguments << u"keyup"_qs << key;
        }
        QProcess pointer;
        pointer.start(u"xdotool"_qs, arguments);
        return QTest::qWaitFor([&] { return pointer.state() == QProcess::NotRunning; }, 20000) &&
               pointer.exitCode() == 0;
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
