#include "frame/sizingcontrolbar.h"

#include <QAbstractButton>
#include <QLabel>
#include <QMainWindow>
#include <QTest>

#include <gtest/gtest.h>

namespace {

using Placement = CSizingControlBar::Placement;

// A shown frame with a text edit in the middle and one bar docked at the left.
class SizingControlBarTest : public ::testing::Test {
protected:
    void SetUp() override {
        frame.setCentralWidget(new QLabel(QStringLiteral("client")));
        bar->setWidget(new QLabel(QStringLiteral("child")));
        frame.addDockWidget(Qt::LeftDockWidgetArea, bar);
        frame.resize(800, 600);
        frame.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&frame));
        settle();
    }

    void settle() {
        QCoreApplication::processEvents();
        QCoreApplication::sendPostedEvents();
    }

    void floatBar() {
        bar->setFloating(true);
        settle();
    }

    void dockAt(Qt::DockWidgetArea area) {
        bar->setFloating(false);
        frame.addDockWidget(area, bar);
        settle();
    }

    QMainWindow frame;
    CSizingControlBarG* bar = new CSizingControlBarG(QStringLiteral("Wizard"), &frame, 123);
};

TEST_F(SizingControlBarTest, StartsWithTheGivenSizeEverywhere) {
    CSizingControlBar fresh(QStringLiteral("Bar"), nullptr, 7, QSize(150, 90));
    for (Placement placement : {Placement::Horizontal, Placement::Vertical, Placement::Floating}) {
        EXPECT_EQ(fresh.StoredSize(placement), QSize(150, 90));
    }
    EXPECT_EQ(fresh.property("controlId").toInt(), 7);
    EXPECT_EQ(bar->StoredSize(Placement::Floating), QSize(200, 200));
}

TEST_F(SizingControlBarTest, EachPlacementTakesBackItsOwnSize) {
    ASSERT_EQ(bar->CurrentPlacement(), Placement::Vertical);
    EXPECT_EQ(bar->width(), 200);
    frame.resizeDocks({bar}, {260}, Qt::Horizontal);
    settle();
    EXPECT_EQ(bar->StoredSize(Placement::Vertical).width(), 260);

    floatBar();
    ASSERT_EQ(bar->CurrentPlacement(), Placement::Floating);
    EXPECT_EQ(bar->size(), QSize(200, 200));
    bar->resize(310, 170);
    settle();

    dockAt(Qt::TopDockWidgetArea);
    ASSERT_EQ(bar->CurrentPlacement(), Placement::Horizontal);
    EXPECT_EQ(bar->height(), 200);
    frame.resizeDocks({bar}, {120}, Qt::Vertical);
    settle();

    dockAt(Qt::RightDockWidgetArea);
    EXPECT_EQ(bar->width(), 260);
    floatBar();
    EXPECT_EQ(bar->size(), QSize(310, 170));
    dockAt(Qt::BottomDockWidgetArea);
    EXPECT_EQ(bar->height(), 120);
}

TEST_F(SizingControlBarTest, SizesNeverFallBelowThePlacementMinimum) {
    struct Case {
        Placement placement;
        QSize minimum;
    };
    for (const Case& c :
         {Case{Placement::Horizontal, {33, 32}}, Case{Placement::Vertical, {33, 32}},
          Case{Placement::Floating, {37, 32}}}) {
        EXPECT_EQ(bar->MinimumSizeOf(c.placement), c.minimum);
        bar->SetStoredSize(c.placement, QSize(1, 1));
        EXPECT_EQ(bar->StoredSize(c.placement), c.minimum);
    }
    floatBar();
    EXPECT_EQ(bar->minimumSize(), QSize(37, 32));
    EXPECT_EQ(bar->size(), QSize(37, 32));
    dockAt(Qt::LeftDockWidgetArea);
    EXPECT_EQ(bar->minimumSize(), QSize(33, 32));
}

TEST_F(SizingControlBarTest, TheChildFillsTheBar) {
    floatBar();
    bar->resize(300, 250);
    settle();
    const QWidget* child = bar->widget();
    EXPECT_GE(child->width(), 300 - 2 * bar->style()->pixelMetric(QStyle::PM_DockWidgetFrameWidth));
    EXPECT_GT(child->height(), 200);
}

TEST_F(SizingControlBarTest, GripperOnlyWhileDockedAndItsCloseButtonHidesTheBar) {
    EXPECT_TRUE(bar->HasGripper());
    floatBar();
    EXPECT_FALSE(bar->HasGripper());
    dockAt(Qt::LeftDockWidgetArea);
    auto* close = bar->findChild<QAbstractButton*>(QStringLiteral("qt_dockwidget_closebutton"));
    ASSERT_NE(close, nullptr);
    ASSERT_TRUE(close->isVisible());
    QTest::mouseClick(close, Qt::LeftButton);
    settle();
    EXPECT_FALSE(bar->isVisible());
    EXPECT_FALSE(bar->toggleViewAction()->isChecked());

    CSizingControlBar plain(QStringLiteral("Plain"), &frame, 8);
    EXPECT_FALSE(plain.features().testFlag(QDockWidget::DockWidgetClosable));
}

TEST_F(SizingControlBarTest, ABarsOwnMinimumHoldsForItsPlacementOnly) {
    bar->SetStoredSize(Placement::Floating, QSize(50, 50));
    bar->SetMinimumSizeOf(Placement::Floating, QSize(80, 80));
    EXPECT_EQ(bar->StoredSize(Placement::Floating), QSize(80, 80));
    bar->SetStoredSize(Placement::Floating, QSize(60, 200));
    EXPECT_EQ(bar->StoredSize(Placement::Floating), QSize(80, 200));
    floatBar();
    EXPECT_EQ(bar->minimumSize(), QSize(80, 80));
    dockAt(Qt::LeftDockWidgetArea);
    EXPECT_EQ(bar->minimumSize(), QSize(33, 32)) << "docked, the default minimum is back";
}

}  // namespace
