// The chunk navigator: ranges, paging words, the chunk query, the links and
// the owning panel's re-runs.

#include "mygridfixture.h"

#include <QLineEdit>

struct CountingNavigatorOwner : CNavigatorOwner {
    void OnPanelShown() override { ++reruns; }
    int reruns = 0;
};

class GridNavigatorTest : public MyGridTest {
protected:
    CountingNavigatorOwner owner;
    CGridNavigator navigator{&host, 1, QStringLiteral("name"), true, &site};
};

TEST_F(GridNavigatorTest, SetRangeFillsTheRangesAndTheTotal) {
    struct Case {
        int total;
        int chunk;
        int perChunk;
        int chunks;
        const char16_t* range;
        const char16_t* totalText;
        int entries;
    };
    const std::vector<Case> cases = {
        {1000, 2, 500, 2, u" 501 - 1,000 ", u"1,000", 2},
        {0, 1, 500, 1, u" 1 - 0 ", u"0", 0},
        {1234567, 0, 500000, 3, u" 1 - 500,000 ", u"1,234,567", 3},
        // No entries per chunk from the server: the preference's 500.
        {1200, 3, 0, 3, u" 1,001 - 1,200 ", u"1,200", 3},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.total);
        navigator.SetRange(c.total, &owner, c.chunk, c.perChunk);
        EXPECT_EQ(navigator.GetChunkCount(), c.chunks);
        EXPECT_EQ(navigator.GetRangeText(), QStringView(c.range));
        EXPECT_EQ(navigator.GetTotalText(), QStringView(c.totalText));
        EXPECT_EQ(navigator.RangeCombo().count(), c.entries);
        EXPECT_EQ(navigator.GetChunk(), qMax(1, c.chunk));
    }
    EXPECT_EQ(owner.reruns, 0);
    EXPECT_EQ(site.navigatorShown.back(), true);
    navigator.SetRange(10, nullptr, 1, 5);
    EXPECT_EQ(site.navigatorShown.back(), false);
}

TEST_F(GridNavigatorTest, NavigateMovesWithinTheChunksAndRerunsTheOwner) {
    struct Step {
        const char* word;
        int chunk;
        bool moved;
    };
    navigator.SetRange(1000, &owner, 1, 500);
    const std::vector<Step> steps = {
        {"prior", 1, false}, {"next", 2, true},   {"next", 2, false}, {"first", 1, true},
        {"last", 2, true},   {"bogus", 2, false}, {"prior", 1, true},
    };
    int reruns = 0;
    for (const Step& step : steps) {
        SCOPED_TRACE(step.word);
        EXPECT_EQ(navigator.Navigate(QString::fromUtf8(step.word)), step.moved);
        EXPECT_EQ(navigator.GetChunk(), step.chunk);
        reruns += step.moved ? 1 : 0;
        EXPECT_EQ(owner.reruns, reruns);
    }
}

TEST_F(GridNavigatorTest, TheChunkQueryEncodesTheSortColumn) {
    navigator.SetRange(1000, &owner, 0, 500);
    EXPECT_EQ(navigator.GetChunkQuery(),
              u"&chunk=1&numberOfElementsPerChunk=500&sort=name&reverse=no");
    ASSERT_TRUE(load(GridXml({{"a&amp;b c", "A", ""}, {"z", "Z", ""}}, {{"1", "2"}})));
    navigator.SetGrid(grid);
    navigator.SetSort(0, false);
    EXPECT_EQ(owner.reruns, 1);
    EXPECT_EQ(navigator.GetChunk(), 1);
    EXPECT_EQ(navigator.GetChunkQuery().section(u'&', 3), u"sort=a%26b+c&reverse=yes");
}

TEST_F(GridNavigatorTest, LinksAndTheDropDownPageTheGrid) {
    navigator.resize(600, 30);
    navigator.SetRange(1500, &owner, 1, 500);
    navigator.show();
    QTest::mouseClick(navigator.Link(CGridNavigator::kIdNext), Qt::LeftButton);
    EXPECT_EQ(navigator.GetChunk(), 2);
    QTest::mouseClick(navigator.Link(CGridNavigator::kIdLast), Qt::LeftButton);
    EXPECT_EQ(navigator.GetChunk(), 3);
    QTest::mouseClick(navigator.Link(CGridNavigator::kIdFirst), Qt::LeftButton);
    EXPECT_EQ(navigator.GetChunk(), 1);
    EXPECT_EQ(owner.reruns, 3);
    navigator.RangeCombo().activated(1);
    EXPECT_EQ(navigator.GetChunk(), 2);
    EXPECT_EQ(owner.reruns, 4);
    navigator.RangeCombo().lineEdit()->setText(QStringLiteral("12a3"));
    EXPECT_EQ(navigator.GetRangeText(), u"123");
    // The controls sit right to left, the total last at the right.
    EXPECT_LT(navigator.Link(CGridNavigator::kIdFirst)->x(),
              navigator.Link(CGridNavigator::kIdTotal)->x());
}

TEST_F(GridNavigatorTest, ChunksElementsReachTheNavigatorOfTheView) {
    site.navigator = &navigator;
    navigator.SetRange(0, &owner, 1, 500);
    ASSERT_TRUE(load(GridXml({{"a", "A", ""}}, {{"1"}},
                             "<chunks numberofentries=\"900\" selectedchunk=\"2\"/>")));
    EXPECT_EQ(navigator.GetChunk(), 2);
    EXPECT_EQ(navigator.GetChunkCount(), 2);
    EXPECT_EQ(navigator.RangeCombo().count(), 2);
}
