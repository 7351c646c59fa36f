// The hover tooltip: delayed show at the place given, timed hide, and the
// two edge cases of its text and window.

#include "tree/tooltip.h"

#include <QTest>
#include <QWidget>

#include <gtest/gtest.h>

TEST(TooltipTest, ShowsAfterItsDelayAtThePlaceGivenAndHidesAfterItsTime) {
    QWidget parent;
    parent.resize(200, 100);
    parent.show();
    Tooltip tip;
    tip.Create(&parent);
    tip.SetText(QStringLiteral("hover text"));
    const QRect place(QPoint(40, 50), QSize(150, 20));
    tip.ShowLater(50, false, &place);
    EXPECT_FALSE(tip.IsShown());
    ASSERT_TRUE(QTest::qWaitFor([&] { return tip.IsShown(); }, 5000));
    EXPECT_EQ(tip.Geometry().topLeft(), place.topLeft());
    EXPECT_LE(tip.Geometry().width(), place.width());
    tip.HideLater(50);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !tip.IsShown(); }, 5000));
}

TEST(TooltipTest, AnEmptyTextLeavesAnEmptyTipAndASecondCreateForgetsTheText) {
    QWidget parent;
    Tooltip tip;
    tip.Create(&parent);
    tip.SetText(QStringLiteral("first"));
    tip.SetText({});
    EXPECT_TRUE(tip.Text().isEmpty());
    tip.ShowAtCursor();
    EXPECT_TRUE(tip.IsShown());
    tip.SetText(QStringLiteral("kept?"));
    tip.Create(&parent);
    EXPECT_TRUE(tip.Text().isEmpty());
    EXPECT_FALSE(tip.IsShown());
}

TEST(TooltipTest, MouseEventsOverTheTipReachTheRelayWindow) {
    struct Relay : QWidget {
        void mouseMoveEvent(QMouseEvent*) override { ++moves; }
        int moves = 0;
    } relay;
    relay.setMouseTracking(true);
    relay.resize(100, 100);
    relay.show();
    Tooltip tip;
    tip.Create(&relay, &relay);
    tip.SetText(QStringLiteral("tip"));
    tip.ShowAt(QRect(relay.mapToGlobal(QPoint(10, 10)), QSize(80, 20)));
    ASSERT_TRUE(tip.IsShown());
    QWidget* window = QApplication::topLevelAt(tip.Geometry().center());
    ASSERT_NE(window, nullptr);
    QTest::mouseMove(window, QPoint(2, 2));
    EXPECT_GT(relay.moves, 0);
}
