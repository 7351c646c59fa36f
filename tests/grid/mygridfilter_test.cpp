// The row filter and the lookups by text of a loaded grid.

#include "mygridfixture.h"

namespace {

constexpr int kRowCountPane = 32811;

// The texts of column `col` in the rows still shown, in grid order.
QStringList shownTexts(const CMyGrid& grid, int col) {
    QStringList texts;
    for (int row = grid.GetFixedRowCount(); row < grid.GetRowCount(); ++row) {
        if (grid.GetRowHeight(row) > 0) {
            texts << grid.GetItemText(row, col);
        }
    }
    texts.sort();
    return texts;
}

}  // namespace

// Typing narrows, deleting widens, clearing shows all; a hidden column never
// makes a row match, and capitals match any case.
TEST_F(MyGridTest, TheFilterNarrowsWidensAndClears) {
    ASSERT_TRUE(load(GridXml({{"name", "Name", ""}, {"secret", "S", "[H]"}},
                             {{"alpha", "zzz"}, {"Alpine", "x"}, {"beta", "alp"}})));
    const int nameCol = grid->FindColumnByName(u"name"_qs);
    ASSERT_GE(nameCol, 0);
    const int rowHeight = grid->GetRowHeight(1);

    const struct {
        const char16_t* text;
        int result;
        QStringList shown;
        const char16_t* label;
    } steps[] = {
        {u"AL", 1, {"Alpine", "alpha"}, u"Rows: 2"},
        {u"alph", 1, {"alpha"}, u""},   // one row shows no count
        {u"alpi", 1, {"Alpine"}, u""},  // not an extension: every row is tested again
        {u"zzz", 0, {}, u"No Rows"},    // only the hidden column holds it
        {u"", 1, {"Alpine", "alpha", "beta"}, u"Rows: 3"},
    };
    for (const auto& step : steps) {
        const QString text = QString::fromUtf16(step.text);
        EXPECT_EQ(grid->FilterRows(text, CMyGrid::kFilterHide), step.result) << text.toStdString();
        EXPECT_EQ(shownTexts(*grid, nameCol), step.shown) << text.toStdString();
        EXPECT_EQ(ui.panes[kRowCountPane], QString::fromUtf16(step.label)) << text.toStdString();
        EXPECT_GT(grid->GetRowHeight(0), 0) << "the header stays";
    }
    for (int row = 1; row < grid->GetRowCount(); ++row) {
        EXPECT_EQ(grid->GetRowHeight(row), rowHeight) << "restored rows take their height back";
    }
    EXPECT_EQ(grid->ShowAllRows(), 0) << "nothing was hidden any more";
}

// Extending the text does not test again the rows the shorter text hid, and
// testing without the hide flag changes nothing.
TEST_F(MyGridTest, AnExtendedFilterLeavesTheRowsItHidAlone) {
    ASSERT_TRUE(load(GridXml({{"name", "Name", ""}}, {{"ab"}, {"abc"}, {"xabc"}})));
    ASSERT_EQ(grid->FilterRows(u"ab"_qs, CMyGrid::kFilterHide), 1);
    ASSERT_EQ(shownTexts(*grid, 0).size(), 3);
    // A row hidden by hand stands for one the shorter text hid.
    for (int row = 1; row < grid->GetRowCount(); ++row) {
        if (grid->GetItemText(row, 0) == u"xabc") {
            grid->SetRowHeight(row, 0);
        }
    }
    EXPECT_EQ(grid->FilterRows(u"abc"_qs, CMyGrid::kFilterHide), 1);
    EXPECT_EQ(shownTexts(*grid, 0), (QStringList{"abc"}));
    EXPECT_EQ(grid->FilterRows(u"nothing"_qs, 0), 0);
    EXPECT_EQ(shownTexts(*grid, 0), (QStringList{"abc"})) << "testing hides nothing";
    EXPECT_EQ(grid->SetTextQuery(2, QString()), 1);
    EXPECT_EQ(shownTexts(*grid, 0).size(), 3);
}

TEST_F(MyGridTest, LookupsByTextSkipFixedAndHiddenCells) {
    ASSERT_TRUE(load(GridXml({{"name", "Name", ""}, {"kind", "Kind", ""}, {"h", "H", "[H]"}},
                             {{"one", "Disk", "x"}, {"two", "Fan", "y"}})));
    const int nameCol = grid->FindColumnByName(u"name"_qs);
    const int row = grid->FindRowByText(nameCol, u"TWO"_qs);
    ASSERT_GT(row, 0);
    EXPECT_EQ(grid->GetItemText(row, nameCol), u"two");
    EXPECT_EQ(grid->FindRowByText(nameCol, u"Name"_qs), 0) << "never the header row";
    EXPECT_EQ(grid->FindRowByText(nameCol, u"tw"_qs), 0) << "the whole text must match";
    EXPECT_EQ(grid->FindRowByText(99, u"two"_qs), 0);
    grid->SetRowHeight(row, 0);
    EXPECT_EQ(grid->FindRowByText(nameCol, u"two"_qs), 0) << "hidden rows are skipped";

    const int kindCol = grid->FindColumnByName(u"kind"_qs);
    const int diskRow = grid->FindRowByText(nameCol, u"one"_qs);
    EXPECT_EQ(grid->FindColumnByText(diskRow, u"disk"_qs), kindCol);
    EXPECT_EQ(grid->FindColumnByText(diskRow, u"x"_qs), 0) << "hidden columns are skipped";
    EXPECT_EQ(grid->FindColumnByText(-1, u"disk"_qs), 0);
}
