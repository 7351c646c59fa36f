// A long grid reply on a real X server while it arrives: with the rest of
// the reply held back after many turns of the replay, the header and the
// first rows are on the screen (not an empty grey area until the end), and
// the grid answers a real click.

#include "mygridfixture.h"
#include "support/xinput.h"

#include <QImage>
#include <QScreen>

namespace {

QByteArray rowsOf(int first, int last) {
    QByteArray xml;
    for (int row = first; row <= last; ++row) {
        xml += "<r><c>row " + QByteArray::number(row) + "</c><c>" + QByteArray::number(row) +
               "</c></r>";
    }
    return xml;
}

// Pixels of the screen area that text could be drawn in: darker than any
// background the grid paints.
int darkPixels(const QImage& shot, const QRect& area) {
    int dark = 0;
    for (int y = area.top(); y <= area.bottom(); ++y) {
        for (int x = area.left(); x <= area.right(); ++x) {
            if (shot.valid(x, y) && qGray(shot.pixel(x, y)) < 96) {
                ++dark;
            }
        }
    }
    return dark;
}

// A shown grid whose load has its first rows in and the last ones held
// back until the server releases them.
class HeldGridLoadTest : public MyGridTest {
protected:
    void startHeldLoad(int firstRows, int heldRows) {
        FakeVelnixServer::Reply held;
        held.chunks = {
            "<grid><grid-props><num-cols>2</num-cols></grid-props><headers>"
            "<col><colname>name</colname><colhead>Name</colhead><colprops>[L]</colprops>"
            "<colwidth>200</colwidth></col>"
            "<col><colname>n</colname><colhead>Number</colhead><colprops>[N]</colprops>"
            "<colwidth>120</colwidth></col></headers><data>" +
                rowsOf(1, firstRows) + kHeldPadding,
            rowsOf(firstRows + 1, firstRows + heldRows) + "</data></grid>"};
        held.holdChunks = true;
        serve("Action=Grid", held);
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&host));
        ASSERT_EQ(grid->GetData(url(QStringLiteral("Action=Grid")), nullptr, false), 1);
        ASSERT_TRUE(
            QTest::qWaitFor([&] { return grid->GetRowCount() == firstRows + 1; }, kWaitMs));
        ASSERT_TRUE(grid->IsReading());
    }
};

TEST_F(HeldGridLoadTest, AHalfDeliveredReplyShowsItsHeaderAndFirstRowsAndTakesAClick) {
    QUILLEX_SKIP_WITHOUT_DESKTOP(true);
    // Enough rows for many turns of the replay before the held chunk.
    constexpr int kFirstRows = 30000;
    QSignalSpy ended(grid, &CMyGrid::LoadEnded);
    ASSERT_NO_FATAL_FAILURE(startHeldLoad(kFirstRows, 5));

    QRect header;
    QRect firstRow;
    ASSERT_TRUE(grid->GetCellRect(0, 0, header));
    ASSERT_TRUE(grid->GetCellRect(1, 0, firstRow));
    const QPoint origin = grid->viewport()->mapTo(&host, QPoint(0, 0));
    header.translate(origin);
    firstRow.translate(origin);
    QImage shot;
    // Whatever was asked to paint during the replay has had its turn.
    const bool shown = QTest::qWaitFor(
        [&] {
            shot = host.screen()->grabWindow(host.winId()).toImage();
            return darkPixels(shot, header) > 0 && darkPixels(shot, firstRow) > 0;
        },
        3000);
    const QString path = QCoreApplication::applicationDirPath() + "/mygridload.png";
    EXPECT_TRUE(shot.save(path)) << path.toStdString();
    ASSERT_TRUE(shown) << "no header text or no first row on the screen: " << path.toStdString();
    EXPECT_EQ(grid->GetItemText(1, 0), u"row 1");

    // The half-loaded grid is usable: a real click selects the row under it.
    QRect third;
    ASSERT_TRUE(grid->GetCellRect(3, 0, third));
    ASSERT_TRUE(clickAt(grid->viewport()->mapToGlobal(third.center())));
    ASSERT_TRUE(QTest::qWaitFor([&] { return grid->IsCellSelected(3, 0); }, 5000));
    EXPECT_EQ(grid->GetItemText(3, 0), u"row 3");

    server.ReleaseChunks(1);
    ASSERT_TRUE(ended.wait(kWaitMs));
    EXPECT_EQ(grid->GetRowCount(), kFirstRows + 6);
}

// A real click on a header while the rows arrive: the load ends sorted by
// that column, not by the grid's saved sort.
TEST_F(HeldGridLoadTest, AHeaderClickedDuringTheLoadSortsTheFinishedGrid) {
    QUILLEX_SKIP_WITHOUT_DESKTOP(true);
    constexpr int kFirstRows = 50;
    QSignalSpy ended(grid, &CMyGrid::LoadEnded);
    ASSERT_NO_FATAL_FAILURE(startHeldLoad(kFirstRows, 20));

    QRect numberHead;
    ASSERT_TRUE(grid->GetCellRect(0, 1, numberHead));
    ASSERT_TRUE(clickAt(grid->viewport()->mapToGlobal(numberHead.center())));
    ASSERT_TRUE(QTest::qWaitFor([&] { return grid->GetSortColumn() == 1; }, 5000));
    server.ReleaseChunks(1);
    ASSERT_TRUE(ended.wait(kWaitMs));
    ASSERT_EQ(grid->GetRowCount(), kFirstRows + 21);
    // Without the click the load would end on the names, last first.
    for (int row = 1; row <= kFirstRows + 20; ++row) {
        ASSERT_EQ(grid->GetItemText(row, 0), QStringLiteral("row %1").arg(row)) << row;
        ASSERT_EQ(grid->GetItemText(row, 1), QString::number(row)) << row;
    }
}

}  // namespace
