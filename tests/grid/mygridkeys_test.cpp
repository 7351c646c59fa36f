// Row keys and selection, column placement and lookups of a loaded grid.

#include "mygridfixture.h"
#include "settings/preferences.h"

TEST_F(MyGridTest, SelectRowsSkipsEmptyPartsOfTheKeyList) {
    ASSERT_TRUE(load(GridXml({{"a", "A", "[PKEY]"}}, {{"x"}, {""}, {"y"}})));
    EXPECT_EQ(grid->SelectRows(QStringLiteral(",x,"), u"[PKEY]"_qs, u","_qs, u"@"_qs), 1);
    EXPECT_EQ(grid->SelectRows(QString(), u"[PKEY]"_qs, u","_qs, u"@"_qs), 0);
    EXPECT_EQ(grid->GetSelectedRowCount(), 0);
    // Without key columns every key is empty: an empty list selects nothing.
    ASSERT_TRUE(load(GridXml({{"a", "A", ""}}, {{"x"}, {"y"}})));
    EXPECT_EQ(grid->SelectRows(QStringLiteral(","), u"[PKEY]"_qs, u","_qs, u"@"_qs), 0);
}

TEST_F(MyGridTest, KeysOfMovedKeyColumnsReadAndMatchInXmlOrder) {
    ASSERT_TRUE(load(GridXml({{"k1", "K1", "[PKEY]"}, {"mid", "M", ""}, {"k2", "K2", "[PKEY]"}},
                             {{"a", "m1", "b"}, {"c", "m2", "d"}, {"a", "m3", "b"}})));
    grid->MoveColumn(2, 0);  // the second key column now comes first
    const int row = [&] {
        for (int r = 1; r < grid->GetRowCount(); ++r) {
            if (grid->GetItemText(r, 1) == u"c") {
                return r;
            }
        }
        return -1;
    }();
    ASSERT_GT(row, 0);
    grid->SetSelectedRange(row, 0, row, grid->GetColumnCount() - 1);
    const QString keys = grid->GetSelectedRowsByColProp(u"[PKEY]"_qs, 0, u","_qs, u"@"_qs);
    EXPECT_EQ(keys, u",c@d");
    grid->ClearSelectedRange();
    EXPECT_EQ(grid->SelectRows(keys, u"[PKEY]"_qs, u","_qs, u"@"_qs), 1);
    EXPECT_TRUE(grid->IsRowSelected(row));
    // Duplicate keys appear once; most = 1 gives one key.
    grid->SelectAllCells();
    EXPECT_EQ(grid->GetSelectedRowsByColProp(u"[PKEY]"_qs, 0, u","_qs, u"@"_qs).count(u','), 2);
    EXPECT_EQ(grid->GetSelectedRowsByColProp(u"[PKEY]"_qs, 1, u","_qs, u"@"_qs).count(u','), 1);
    int count = 0;
    EXPECT_FALSE(grid->GetSelectedRowsByColName(u"MID"_qs, count, 0).isEmpty());
    EXPECT_EQ(count, 3);
}

// Locked columns take the first place and push only the columns before the
// first free place; a hidden column placed last stays inside the grid.
TEST_F(MyGridTest, LockedColumnsShiftOnlyTheOccupiedRun) {
    ASSERT_TRUE(load(GridXml({{"hid", "H", "[H]"},
                              {"one", "1", ""},
                              {"lock1", "L1", "[LOCKED]"},
                              {"lock2", "L2", "[LOCKED]"}},
                             {{"h", "o", "l1", "l2"}})));
    EXPECT_EQ(grid->XmlColToGridCol(1), 4);  // still the last column
    EXPECT_EQ(grid->XmlColToGridCol(4), 1);
    EXPECT_EQ(grid->XmlColToGridCol(3), 2);
    EXPECT_EQ(grid->XmlColToGridCol(2), 3);
    EXPECT_EQ(grid->GetFixedColumnCount(), 2);
    EXPECT_EQ(grid->GetItemText(1, 3), u"h");
    EXPECT_EQ(grid->GetItemText(1, 0), u"l2");
}

TEST_F(MyGridTest, HiddenColumnsFillFromTheRightAndNamesAreFound) {
    ASSERT_TRUE(load(GridXml({{"h1", "H1", "[H]"}, {"Name ", "N", ""}, {"h2", "H2", "[H]"}},
                             {{"1", "n", "2"}})));
    EXPECT_EQ(grid->XmlColToGridCol(1), 3);
    EXPECT_EQ(grid->XmlColToGridCol(3), 2);
    EXPECT_EQ(grid->FindColumnByName(u" NAME"_qs), 0);
    EXPECT_EQ(grid->FindColumnByName(u"nothing"_qs), -1);
    EXPECT_EQ(grid->SortByColName(u"nothing"_qs, true), 0);
    EXPECT_EQ(grid->GridColToXmlCol(1), 3);
    EXPECT_EQ(grid->GridColToXmlCol(2), 1);
}

TEST_F(MyGridTest, WindowMessagesAsMethods) {
    ASSERT_TRUE(load(GridXml({{"a", "A", ""}, {"b", "B", ""}}, {{"1", "2"}, {"3", "4"}})));
    QString text;
    EXPECT_EQ(grid->GetFocusedRowText(999 - 1000, text), -1);
    EXPECT_EQ(grid->GetFocusedRowText(0, text), -2);
    grid->SetFocusCell(1, 1);
    EXPECT_EQ(grid->GetFocusedRowText(1, text), 1);
    EXPECT_EQ(text, grid->GetItemText(1, 1));
    EXPECT_EQ(grid->GetVisibleRowCount(), 2);
    EXPECT_EQ(grid->GetVisibleColumnCount(), 2);
    EXPECT_EQ(grid->SelectRowRange(1, 2), 2);
    EXPECT_EQ(grid->GetFirstSelectedRow(), 1);
    EXPECT_EQ(grid->SelectRowRange(2, 1), 0);
    EXPECT_EQ(grid->SelectRowRange(1, 3), 0);
}

TEST_F(MyGridTest, DeleteLastRowKeepsTheSelection) {
    ASSERT_TRUE(load(GridXml({{"a", "A", "[PKEY]"}}, {{"x"}, {"y"}, {"z"}})));
    grid->SelectRows(u",z,y"_qs, u"[PKEY]"_qs, u","_qs, u"@"_qs);
    EXPECT_EQ(grid->DeleteLastRow(), 1);
    EXPECT_EQ(grid->GetRowCount(), 3);
    EXPECT_EQ(grid->GetSelectedRowCount(), 2);
}
