// The hover tooltip: delayed show at the place given, timed hide, the two
// edge cases of its text and window, the width it wraps at, the screen's
// edge and the popup menus it gives way to.

#include "tree/tooltip.h"

#include <QMenu>
#include <QScreen>
#include <QTest>
#include <QWidget>

#include <functional>

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

TEST(TooltipTest, TextWrapsAtHalfTheScreenHowNarrowSoEverThePlace) {
    QWidget parent;
    parent.show();
    const QRect screen = parent.screen()->geometry();
    const int half = screen.width() / 2;
    const struct {
        const char* name;
        QString text;
        int placeWidth;
        bool wraps;
    } cases[] = {
        {"a sentence below a short label stays on one line",
         QStringLiteral("All elements known to the server, by kind and by place"), 30, false},
        {"a text wider than half the screen wraps there", QStringLiteral("word ").repeated(60), 30,
         true},
        {"a place wider than half the screen is the limit", QStringLiteral("word ").repeated(90),
         half + 100, true},
    };
    for (const auto& c : cases) {
        Tooltip tip;
        tip.Create(&parent);
        tip.SetText(c.text);
        tip.ShowAt(QRect(screen.topLeft() + QPoint(10, 50), QSize(c.placeWidth, 20)));
        ASSERT_TRUE(tip.IsShown()) << c.name;
        const QFontMetrics metrics = parent.fontMetrics();
        const int lines = tip.Geometry().height() / metrics.lineSpacing();
        EXPECT_EQ(lines > 1, c.wraps) << c.name << ": " << lines << " lines";
        EXPECT_LE(tip.Geometry().width(), qMax(half, c.placeWidth)) << c.name;
        if (c.wraps) {
            EXPECT_GT(tip.Geometry().width(), qMax(half, c.placeWidth) * 3 / 4)
                << c.name << ": lines as long as the limit lets them";
        }
    }
}

TEST(TooltipTest, ATipNearTheScreensRightEdgeStaysWholeOnTheScreen) {
    QWidget parent;
    parent.show();
    const QRect screen = parent.screen()->availableGeometry();
    Tooltip tip;
    tip.Create(&parent);
    tip.SetText(QStringLiteral("A tip of some length near the edge"));
    tip.ShowAt(QRect(QPoint(screen.right() - 10, screen.top() + 50), QSize(40, 20)));
    ASSERT_TRUE(tip.IsShown());
    EXPECT_EQ(tip.Geometry().right(), screen.right());
    EXPECT_EQ(tip.Geometry().top(), screen.top() + 50);
}

TEST(TooltipTest, APopupMenuThatOpensHidesTheTipShownOrToCome) {
    QWidget parent;
    parent.show();
    // Tips at the pointer: no pointer watch hides them before the menu does.
    const struct {
        const char* name;
        std::function<void(Tooltip&)> show;
    } cases[] = {
        {"shown", [](Tooltip& tip) { tip.ShowAtCursor(); }},
        {"to come", [](Tooltip& tip) { tip.ShowLater(100, true); }},
    };
    for (const auto& c : cases) {
        Tooltip tip;
        tip.Create(&parent);
        tip.SetText(QStringLiteral("tip"));
        c.show(tip);
        QMenu menu;
        menu.addAction(QStringLiteral("entry"));
        menu.popup(parent.mapToGlobal(QPoint(10, 10)));
        QTest::qWait(300);
        EXPECT_FALSE(tip.IsShown()) << c.name;
        menu.hide();
    }
}
