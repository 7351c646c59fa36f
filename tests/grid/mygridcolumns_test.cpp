// Column widths of data grids loaded from the server: columns without a
// width of their own show their header and their texts whole.

#include "mygridfixture.h"
#include "settings/preferences.h"

#include <QFontMetrics>

namespace {

// The texts of the reply: short heads over long values, a long head over
// short values, a value longer than half the view, a column the server
// gives a width, and one the user has given a width before.
const QByteArray kColumnsReply =
    "<grid><grid-props><num-cols>6</num-cols><field-chooser>cols</field-chooser></grid-props>"
    "<headers>"
    "<col><colname>name</colname><colhead>Name</colhead><colprops></colprops></col>"
    "<col><colname>ip</colname><colhead>IP</colhead><colprops></colprops></col>"
    "<col><colname>kind</colname><colhead>Element Type Of The Device</colhead>"
    "<colprops></colprops></col>"
    "<col><colname>note</colname><colhead>Note</colhead><colprops></colprops></col>"
    "<col><colname>fixed</colname><colhead>Fixed</colhead><colprops></colprops>"
    "<colwidth>77</colwidth></col>"
    "<col><colname>kept</colname><colhead>Kept</colhead><colprops></colprops>"
    "<colwidth>77</colwidth></col>"
    "</headers><data>"
    "<r><c>core-router-01.example.net</c><c>192.168.100.200</c><c>ro</c>"
    "<c>short</c><c>a</c><c>k</c></r>"
    "<r><c>sw2</c><c>10.0.0.1</c><c>switch</c>"
    "<c>" +
    QByteArray(400, 'W') +
    "</c><c>b</c><c>k</c></r>"
    "</data></grid>";

class MyGridColumnsTest : public MyGridTest {
protected:
    void SetUp() override {
        MyGridTest::SetUp();
        prefs.SetInt(u"grid:cols/kept/w"_qs, 300);
        systemSite.prefs = &prefs;
    }
    void TearDown() override {
        systemSite.prefs = nullptr;
        MyGridTest::TearDown();
    }

    // The room a cell's text has when painted: its column less the margins,
    // the grid line and, in the sorted column's header, the sort mark.
    int textRoom(int row, int col) const {
        const CGridCellBase* cell = grid->GetCell(row, col);
        int room = grid->GetColumnWidth(col) - 2 * static_cast<int>(cell->GetMargin()) - 1;
        if (row == 0 && col == grid->GetSortColumn()) {
            room -= QFontMetrics(cell->GetFont()->font).height() - 4;
        }
        return room;
    }

    bool drawnWhole(int row, int col) const {
        const CGridCellBase* cell = grid->GetCell(row, col);
        const QString text = cell->GetText().simplified();
        const QFontMetrics metrics(cell->GetFont()->font);
        return metrics.elidedText(text, Qt::ElideRight, textRoom(row, col)) == text;
    }

    CPreferences prefs;
};

TEST_F(MyGridColumnsTest, ColumnsWithoutAWidthShowTheirHeadersAndTextsWhole) {
    ASSERT_TRUE(load(kColumnsReply));
    ASSERT_EQ(grid->GetRowCount(), 3);
    const int client = grid->viewport()->width();
    for (int col = 0; col < 3; ++col) {
        for (int row = 0; row < grid->GetRowCount(); ++row) {
            EXPECT_TRUE(drawnWhole(row, col))
                << "cell " << row << "," << col << " " << grid->GetItemText(row, col).toStdString()
                << " in " << grid->GetColumnWidth(col) << " px";
        }
    }
    // A text longer than half the view takes half the view, its head whole.
    EXPECT_EQ(grid->GetColumnWidth(3), static_cast<int>(CMyGrid::kFittedShare * client));
    EXPECT_TRUE(drawnWhole(0, 3));
    EXPECT_EQ(grid->GetColumnWidth(4), 77) << "the server's width";
    EXPECT_EQ(grid->GetColumnWidth(5), 300) << "the user's width";
}

// The fit measures the first rows as they arrive: a long load's last rows
// and a previous load's texts do not widen a column, and the rows the end
// sort moves down still show whole.
TEST_F(MyGridColumnsTest, ColumnsFitTheFirstRowsOfTheirOwnLoad) {
    auto reply = [](const QByteArray& first, int rows, const QByteArray& late) {
        std::vector<QByteArray> texts{first};
        for (int row = 1; row < rows; ++row) {
            texts.push_back(row + 1 == rows ? late : "n" + QByteArray::number(row % 10));
        }
        std::vector<std::vector<const char*>> cells;
        for (const QByteArray& text : texts) {
            cells.push_back({text.constData()});
        }
        return GridXml({{"name", "Name", ""}}, cells);
    };
    const int rows = CMyGrid::kFittedRows + 50;
    // Sorted last to first at the end: the long first text ends far down.
    ASSERT_TRUE(load(reply("a long first text of the load", rows, QByteArray(200, 'W'))));
    const int wide = grid->GetColumnWidth(0);
    EXPECT_EQ(grid->GetItemText(rows, 0), u"a long first text of the load");
    EXPECT_TRUE(drawnWhole(rows, 0));
    // The late text would have taken the most a fitted column may take.
    EXPECT_LT(wide, static_cast<int>(CMyGrid::kFittedShare * grid->viewport()->width()));

    ASSERT_TRUE(load(reply("b", rows, "c")));
    EXPECT_LT(grid->GetColumnWidth(0), wide);
    for (int row = 0; row <= rows; ++row) {
        ASSERT_TRUE(drawnWhole(row, 0)) << row;
    }
}

}  // namespace
