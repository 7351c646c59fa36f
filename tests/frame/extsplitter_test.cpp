#include "frame/panelmanager.h"

#include <QLabel>
#include <QSplitterHandle>
#include <QTest>

#include <gtest/gtest.h>

namespace {

// A shown column of four rows, 400 pixels of panes and handles of 4.
class ExtSplitterTest : public ::testing::Test {
protected:
    void SetUp() override {
        splitter.setHandleWidth(4);
        ASSERT_TRUE(splitter.CreateStatic(4, 1));
        for (int row = 0; row < 4; ++row) {
            ASSERT_TRUE(splitter.CreateView(row, 0, new QLabel(QString::number(row)), 100));
        }
        splitter.resize(200, 400 + 3 * splitter.handleWidth());
        splitter.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&splitter));
        splitter.RecalcLayout();
    }

    int paneId(int row) const { return splitter.GetRowPane(row)->property("controlId").toInt(); }
    int currentHeight(int row) const { return splitter.GetRowInfo(row).current; }

    CPanelManager splitter;
};

TEST_F(ExtSplitterTest, HiddenRowsKeepTheirPanesAndFixedIndexes) {
    splitter.HideRow(1);
    splitter.HideRow(3);
    splitter.ShowRow(3);
    EXPECT_EQ(splitter.ShownRows(), (QList<int>{0, 2, 3}));
    EXPECT_EQ(splitter.HiddenRows(), (QList<int>{1}));
    EXPECT_EQ(paneId(0), 59648);
    EXPECT_EQ(paneId(2), 59664);
    EXPECT_EQ(paneId(3), 59680);
    EXPECT_FALSE(splitter.GetRowPane(1)->isVisible());
    EXPECT_NE(splitter.GetRowPane(1), nullptr) << "hiding never destroys a pane";
}

TEST_F(ExtSplitterTest, HiddenRowGetsItsHeightBackWhenShown) {
    splitter.SetRowInfo(1, 150, 0);
    splitter.RecalcLayout();
    ASSERT_EQ(currentHeight(1), 150);
    splitter.HideRow(1);
    EXPECT_EQ(splitter.GetRowInfo(1).current, 150) << "a hidden row answers with its saved size";
    EXPECT_FALSE(splitter.IsRowVisible(1));
    splitter.ShowRow(1);
    EXPECT_EQ(currentHeight(1), 150);
    splitter.ShowRow(1);
    EXPECT_EQ(splitter.ShownRows(), (QList<int>{0, 1, 2, 3})) << "showing a shown row does nothing";
}

TEST_F(ExtSplitterTest, LastShownRowTakesTheRest) {
    splitter.HideRow(3);
    EXPECT_EQ(currentHeight(0) + currentHeight(1) + currentHeight(2), splitter.PaneSpace());
    EXPECT_EQ(currentHeight(2), splitter.PaneSpace() - 200);
}

TEST_F(ExtSplitterTest, HidingTheActiveRowActivatesTheNextShownOneWrapping) {
    splitter.SetActivePane(2, 0);
    splitter.HideRow(2);
    EXPECT_EQ(splitter.ActiveSection(), 3);
    splitter.HideRow(3);
    EXPECT_EQ(splitter.ActiveSection(), 0) << "after the last shown row comes the first";
}

TEST_F(ExtSplitterTest, EveryRowHiddenLaysOutNothingAndShowsAgain) {
    for (int row = 0; row < 4; ++row) {
        splitter.HideRow(row);
    }
    EXPECT_TRUE(splitter.ShownRows().isEmpty());
    splitter.RecalcLayout();
    splitter.ShowRow(2);
    EXPECT_EQ(splitter.ShownRows(), (QList<int>{2}));
    EXPECT_EQ(currentHeight(2), splitter.PaneSpace());
}

TEST_F(ExtSplitterTest, TabsRowCannotBeDraggedWhileItShows) {
    splitter.SetTabsRowFixed(true);
    const int before = currentHeight(0);
    QSplitterHandle* below = splitter.handle(1);
    QTest::mousePress(below, Qt::LeftButton, {}, QPoint(5, 2));
    QTest::mouseMove(below, QPoint(5, 40));
    QTest::mouseRelease(below, Qt::LeftButton, {}, QPoint(5, 40));
    EXPECT_EQ(currentHeight(0), before);

    QSplitterHandle* lower = splitter.handle(2);
    QTest::mousePress(lower, Qt::LeftButton, {}, QPoint(5, 2));
    QTest::mouseMove(lower, QPoint(5, 30));
    QTest::mouseRelease(lower, Qt::LeftButton, {}, QPoint(5, 30));
    EXPECT_NE(currentHeight(1), 100) << "other rows still resize";
}

TEST(ExtSplitter, OnlyOneRowOrOneColumnIsAccepted) {
    CExtSplitter splitter;
    EXPECT_FALSE(splitter.CreateStatic(2, 2));
    EXPECT_FALSE(splitter.CreateStatic(0, 1));
    ASSERT_TRUE(splitter.CreateStatic(1, 2));
    EXPECT_FALSE(splitter.CreateStatic(1, 2)) << "made once";
    auto* outside = new QLabel;
    EXPECT_FALSE(splitter.CreateView(0, 2, outside, 10)) << "outside";
    delete outside;
    auto* pane = new QLabel;
    EXPECT_TRUE(splitter.CreateView(0, 1, pane, 10));
    auto* other = new QLabel;
    EXPECT_FALSE(splitter.CreateView(0, 1, other, 10)) << "taken";
    delete other;
    EXPECT_TRUE(splitter.CreateView(0, 0, new QLabel, 10));
    EXPECT_EQ(splitter.indexOf(pane), 1) << "panes keep their fixed order";
}

}  // namespace
