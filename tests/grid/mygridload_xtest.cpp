// A long grid reply on a real X server while it arrives: with the rest of
// the reply held back after many turns of the replay, the header and the
// first rows are on the screen (not an empty grey area until the end), and
// the grid answers a real click.

#include "mygridfixture.h"
#include "support/xinput.h"

#include <QImage>
#include <QScreen>

namespace {

QByteArray heldRows(int first, int last) {
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

TEST_F(MyGridTest, AHalfDeliveredReplyShowsItsHeaderAndFirstRowsAndTakesAClick) {
    QUILLEX_SKIP_WITHOUT_DESKTOP(true);
    // Enough rows for many turns of the replay before the held chunk.
    constexpr int kFirstRows = 30000;
    FakeVelnixServer::Reply held;
    held.chunks = {
        "<grid><grid-props><num-cols>2</num-cols></grid-props><headers>"
        "<col><colname>name</colname><colhead>Name</colhead><colprops>[L]</colprops>"
        "<colwidth>200</colwidth></col>"
        "<col><colname>n</colname><colhead>Number</colhead><colprops>[N]</colprops>"
        "<colwidth>120</colwidth></col></headers><data>" +
            heldRows(1, kFirstRows) + kHeldPadding,
        heldRows(kFirstRows + 1, kFirstRows + 5) + "</data></grid>"};
    held.holdChunks = true;
    serve("Action=Grid", held);
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&host));
    QSignalSpy ended(grid, &CMyGrid::LoadEnded);
    ASSERT_EQ(grid->GetData(url(QStringLiteral("Action=Grid")), nullptr, false), 1);
    ASSERT_TRUE(QTest::qWaitFor([&] { return grid->GetRowCount() == kFirstRows + 1; }, kWaitMs));
    ASSERT_TRUE(grid->IsReading());

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

}  // namespace
