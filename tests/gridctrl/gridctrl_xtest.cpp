// The grid on a real X display: a screenshot of a small table with a fixed
// row and column, a selection, an image, right-aligned numbers and a cut
// text, checked for the header face, the grid lines and the highlight.

#include "gridfixture.h"
#include "support/xinput.h"

#include <QGuiApplication>
#include <QScreen>

namespace {

TEST_F(GridTest, ScreenshotShowsHeadersLinesAndSelection) {
    QUILLEX_SKIP_WITHOUT_DESKTOP(false);
    make(8, 4, 1, 1, QSize(420, 220));
    const QStringList heads{QString(), QStringLiteral("Name"), QStringLiteral("Bytes"),
                            QStringLiteral("Comment")};
    for (int col = 0; col < 4; ++col) {
        grid->SetItemText(0, col, heads[col]);
    }
    for (int row = 1; row < 8; ++row) {
        grid->SetItemText(row, 0, QString::number(row));
        grid->SetItemText(row, 1, QStringLiteral("element-%1").arg(row));
        grid->SetItemText(row, 2, QString::number(row * 123457));
        grid->SetItemFormat(row, 2, DT_RIGHT | DT_SINGLELINE | DT_VCENTER | DT_END_ELLIPSIS);
        grid->SetItemText(row, 3, QStringLiteral("a comment far too long for its column"));
    }
    QPixmap image(12, 12);
    image.fill(QColor(0, 160, 0));
    const QList<QPixmap> images{image};
    grid->SetImageList(&images);
    grid->SetItemImage(1, 1, 0);
    grid->SetRowHeight(1, 24);
    grid->SetColumnWidth(3, 90);
    grid->SetSelectedRange(3, 1, 4, 3);
    grid->SetFocusCell(6, 2);
    grid->setFocus();

    // Setting items repaints nothing by itself: the caller refreshes.
    grid->Refresh();

    QImage shot;
    auto at = [&](int row, int col, QPoint offset) {
        QRect rect;
        EXPECT_TRUE(grid->GetCellRect(row, col, rect));
        return shot.pixelColor(grid->viewport()->mapTo(&owner, rect.topLeft() + offset));
    };
    QRect cell;
    ASSERT_TRUE(grid->GetCellRect(2, 1, cell));
    const QColor highlight = paletteColour(QPalette::Highlight);
    const bool painted = QTest::qWaitFor(
        [&] {
            QCoreApplication::processEvents();
            shot = owner.screen()->grabWindow(owner.winId()).toImage();
            return !shot.isNull() && at(3, 3, QPoint(4, 2)) == highlight;
        },
        10000);
    const QString path = QCoreApplication::applicationDirPath() + "/gridctrl.png";
    EXPECT_TRUE(shot.save(path)) << path.toStdString();
    ASSERT_TRUE(painted) << "the selection never showed";

    EXPECT_EQ(at(0, 1, QPoint(cell.width() / 2, 3)), paletteColour(QPalette::Button));
    // Grid lines on each cell's right and bottom pixel.
    EXPECT_EQ(at(2, 1, QPoint(cell.width() - 1, 2)), QColor(0xC0, 0xC0, 0xC0));
    EXPECT_EQ(at(2, 1, QPoint(2, cell.height() - 1)), QColor(0xC0, 0xC0, 0xC0));
    EXPECT_EQ(at(1, 1, QPoint(9, 9)).green(), 160);
}

}  // namespace
