// The grid under real X input (xdotool): a column border dragged wider, a
// cut cell hovered until its title tip shows over it (a screenshot is kept
// beside the test), a tip that stays while the pointer rests on it and goes
// when the pointer leaves the grid, and a double click through the tip that
// reaches the grid.

#include "gridfixture.h"

#include "gridctrl/titletip.h"
#include "support/xinput.h"

#include <QGuiApplication>
#include <QScreen>
#include <QStandardPaths>

namespace {

TEST_F(GridTest, RealPointerDragsABorderShowsATipAndDoubleClicksThroughIt) {
    QUILLEX_SKIP_WITHOUT_DESKTOP(true);
    make(6, 4, 1, 1, QSize(420, 220));
    for (int col = 0; col < 4; ++col) {
        grid->SetItemText(0, col, QStringLiteral("Head %1").arg(col));
    }
    grid->SetItemText(2, 2, QStringLiteral("a comment far too long for its narrow column"));
    grid->Refresh();
    auto global = [&](QPoint local) { return grid->viewport()->mapToGlobal(local); };
    QRect header;
    ASSERT_TRUE(grid->GetCellRect(0, 1, header));
    const int before = grid->GetColumnWidth(1);

    // The border between columns 1 and 2, dragged 40 pixels right.
    const QPoint border = global(QPoint(header.right(), header.center().y()));
    ASSERT_TRUE(moveTo(border));
    ASSERT_TRUE(
        QTest::qWaitFor([&] { return grid->GetMouseMode() == MOUSE_OVER_COL_DIVIDE; }, 5000));
    ASSERT_TRUE(xdotool({QStringLiteral("mousedown"), QStringLiteral("1")}));
    for (int step = 10; step <= 40; step += 10) {
        ASSERT_TRUE(moveTo(border + QPoint(step, 0)));
        QTest::qWait(0);
    }
    ASSERT_TRUE(xdotool({QStringLiteral("mouseup"), QStringLiteral("1")}));
    ASSERT_TRUE(QTest::qWaitFor([&] { return !owner.codes(GVN_COLUMNRESIZED).empty(); }, 5000));
    EXPECT_NEAR(grid->GetColumnWidth(1), before + 40, 1);
    EXPECT_EQ(owner.codes(GVN_COLUMNRESIZED).back().col, 1);

    // Hovering the cut cell shows the tip over it.
    QRect cell;
    ASSERT_TRUE(grid->GetCellRect(2, 2, cell));
    const QPoint inside = global(cell.center());
    ASSERT_TRUE(moveTo(inside));
    ASSERT_TRUE(QTest::qWaitFor([&] { return grid->IsTitleTipShown(); }, 5000));
    const CTitleTip* tip = grid->GetTitleTip();
    EXPECT_EQ(tip->geometry().topLeft(), global(cell.topLeft()));
    QImage shot;
    const bool painted = QTest::qWaitFor(
        [&] {
            shot = owner.screen()->grabWindow(0).toImage();
            // Inside the tip, past the cell's right edge.
            const QPoint inTip = tip->geometry().topLeft() + QPoint(cell.width() + 20, 2);
            return !shot.isNull() &&
                   shot.pixelColor(inTip) == tip->palette().color(QPalette::ToolTipBase);
        },
        5000);
    const QString path = QCoreApplication::applicationDirPath() + "/gridtitletip.png";
    EXPECT_TRUE(shot.save(path)) << path.toStdString();
    EXPECT_TRUE(painted) << "the tip's face never showed past the cell's edge";

    // A double click on the tip lands on the grid below it and edits.
    owner.notifications.clear();
    ASSERT_TRUE(xdotool({QStringLiteral("click"), QStringLiteral("--repeat"), QStringLiteral("2"),
                         QStringLiteral("--delay"), QStringLiteral("80"), QStringLiteral("1")}));
    ASSERT_TRUE(QTest::qWaitFor([&] { return !owner.codes(NM_DBLCLK).empty(); }, 5000));
    EXPECT_EQ(owner.codes(NM_DBLCLK).back().row, 2);
    EXPECT_EQ(owner.codes(NM_DBLCLK).back().col, 2);
    EXPECT_TRUE(QTest::qWaitFor([&] { return grid->GetInPlaceEdit() != nullptr; }, 2000));
}

TEST_F(GridTest, RealPointerRestingOverACutCellKeepsItsTipUntilItLeavesTheGrid) {
    QUILLEX_SKIP_WITHOUT_DESKTOP(true);
    make(4, 3, 1, 1, QSize(420, 220));
    grid->SetItemText(2, 1, QStringLiteral("a comment far too long for its narrow column"));
    grid->Refresh();
    QRect cell;
    ASSERT_TRUE(grid->GetCellRect(2, 1, cell));
    auto global = [&](QPoint local) { return grid->viewport()->mapToGlobal(local); };

    ASSERT_TRUE(moveTo(global(cell.center())));
    ASSERT_TRUE(QTest::qWaitFor([&] { return grid->IsTitleTipShown(); }, 5000));
    // The tip covers the cell: resting there, or moving within the cell
    // under the tip, must not count as leaving the grid.
    const QPoint within[] = {cell.center(), cell.center() + QPoint(cell.width() / 4, 0),
                             cell.topLeft() + QPoint(3, 3)};
    for (const QPoint& at : within) {
        ASSERT_TRUE(moveTo(global(at)));
        EXPECT_FALSE(QTest::qWaitFor([&] { return !grid->IsTitleTipShown(); }, 1000))
            << "the tip went with the pointer at " << at.x() << "," << at.y();
    }

    ASSERT_TRUE(moveTo(owner.frameGeometry().bottomRight() + QPoint(60, 60)));
    EXPECT_TRUE(QTest::qWaitFor([&] { return !grid->IsTitleTipShown(); }, 5000))
        << "the pointer left the grid and the tip stayed";
}

}  // namespace
