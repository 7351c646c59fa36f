// The title tip: shown over a cut cell when the pointer hovers it, never
// for a text that fits, with a header's own tip, wrapped and raised when
// long, and placed on the screen that holds the cell.

#include "gridfixture.h"

#include "gridctrl/titletip.h"

#include <QFontMetrics>

namespace {

class HeaderTipGrid : public CGridCtrl {
public:
    using CGridCtrl::CGridCtrl;
    QString GetColumnHeaderTip(int col) const override {
        return col == 2
                   ? QStringLiteral("the help text of the second column, long enough to be cut")
                   : QString();
    }
};

class TitleTipTest : public GridTest {
protected:
    void makeTipGrid() {
        grid = new HeaderTipGrid(5, 4, 1, 1, &owner);
        grid->setFrameShape(QFrame::NoFrame);
        owner.resize(400, 300);
        grid->setGeometry(0, 0, 400, 300);
        owner.show();
        owner.activateWindow();
        grid->setFocus();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&owner));
        grid->ResetScrollBars();
        grid->SetItemText(1, 1, QStringLiteral("ab"));
        grid->SetItemText(2, 2, QStringLiteral("a text much too long to fit in its narrow cell"));
        grid->SetItemText(0, 2, QStringLiteral("Head"));
    }
    // `nudge` moves the pointer within the cell: a move to where it already
    // is reaches no widget.
    void hover(int row, int col, int nudge = 0) {
        QRect rect;
        ASSERT_TRUE(grid->GetCellRect(row, col, rect));
        QTest::mouseMove(grid->viewport(), rect.center() + QPoint(nudge, 0));
    }
};

TEST_F(TitleTipTest, ACutCellGetsATipOverItAndAFittingOneNone) {
    makeTipGrid();
    hover(1, 1);
    EXPECT_FALSE(grid->IsTitleTipShown());
    hover(2, 2);
    ASSERT_TRUE(grid->IsTitleTipShown());
    EXPECT_EQ(grid->GetTitleTipCell(), CCellID(2, 2));
    QRect cell;
    ASSERT_TRUE(grid->GetCellRect(2, 2, cell));
    const CTitleTip* tip = grid->GetTitleTip();
    EXPECT_EQ(tip->geometry().topLeft(), grid->viewport()->mapToGlobal(cell.topLeft()));
    EXPECT_GT(tip->width(), cell.width());
    EXPECT_TRUE(tip->testAttribute(Qt::WA_ShowWithoutActivating));
    EXPECT_TRUE(tip->windowFlags() & Qt::WindowTransparentForInput);
    // Keys, leaving the cell and editing hide it.
    QTest::keyClick(grid, Qt::Key_Down);
    EXPECT_FALSE(grid->IsTitleTipShown());
    hover(2, 2, 1);
    ASSERT_TRUE(grid->IsTitleTipShown());
    hover(1, 1);
    EXPECT_FALSE(grid->IsTitleTipShown());
}

TEST_F(TitleTipTest, AHeaderCellShowsItsColumnsOwnTip) {
    makeTipGrid();
    hover(0, 2);
    ASSERT_TRUE(grid->IsTitleTipShown());
    EXPECT_TRUE(grid->GetTitleTip()->Text().contains(u"help text of the second column"));
}

TEST_F(TitleTipTest, ALongTextWrapsAndTheTipRises) {
    const QFontMetrics metrics(QApplication::font());
    const QString text = QStringLiteral("word ").repeated(200);
    bool wrapped = false;
    const QString lines = CTitleTip::Wrap(text, metrics, 800, wrapped);
    EXPECT_TRUE(wrapped);
    EXPECT_GT(lines.count(u'\n'), 1);
    for (const QString& line : lines.split(u'\n')) {
        EXPECT_LT(metrics.horizontalAdvance(line), 800 / 2) << line.toStdString();
    }
    EXPECT_EQ(QString(lines).replace(u'\n', u' '), text);
    CTitleTip::Wrap(QStringLiteral("short"), metrics, 800, wrapped);
    EXPECT_FALSE(wrapped);
    const QRect raised =
        CTitleTip::Placement(QPoint(100, 500), QSize(300, 60), QRect(0, 0, 800, 600), true);
    EXPECT_EQ(raised, QRect(100, 440, 302, 60));
}

TEST_F(TitleTipTest, ATipStaysOnTheScreenThatHoldsTheCell) {
    const QRect right(1920, 0, 1920, 1080);
    struct Case {
        QPoint corner;
        QSize text;
        QRect expected;
    };
    const Case cases[] = {
        {{2000, 100}, {300, 20}, {2000, 100, 302, 20}},
        // Near the right screen's edge: shifted to end there, not at 1920.
        {{3700, 100}, {300, 20}, {3538, 100, 302, 20}},
    };
    for (const Case& item : cases) {
        EXPECT_EQ(CTitleTip::Placement(item.corner, item.text, right, false), item.expected);
    }
}

}  // namespace
