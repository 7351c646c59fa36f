// The grid control's text exchange: copy, paste, cut, the drop target and
// the drag operations it forwards to.

#include "gridctrl/griddroptarget.h"
#include "gridfixture.h"

#include <QClipboard>
#include <QDragEnterEvent>
#include <QMimeData>

#include <memory>

namespace {

class GridClipboardTest : public GridTest {
protected:
    // A grid whose cells hold "r<row>c<col>".
    CGridCtrl& makeFilled(int rows, int cols, int fixedRows = 1, int fixedCols = 1) {
        make(rows, cols, fixedRows, fixedCols);
        for (int row = 0; row < rows; ++row) {
            for (int col = 0; col < cols; ++col) {
                grid->SetItemText(row, col, QStringLiteral("r%1c%2").arg(row).arg(col));
            }
        }
        return *grid;
    }
    QString copied() {
        std::unique_ptr<QMimeData> data(grid->CopySelection());
        return data != nullptr ? data->text() : u"<none>"_qs;
    }
    static std::unique_ptr<QMimeData> text(const QString& text) {
        auto data = std::make_unique<QMimeData>();
        data->setText(text);
        return data;
    }
    QStringList rowTexts(int row, int firstCol, int lastCol) const {
        QStringList texts;
        for (int col = firstCol; col <= lastCol; ++col) {
            texts << grid->GetItemText(row, col);
        }
        return texts;
    }
};

TEST_F(GridClipboardTest, CopyGivesSelectedCellsOfTheBoundingRange) {
    makeFilled(3, 3);
    grid->SetSelectedRange(1, 1, 1, 1);
    grid->SetItemState(2, 2, grid->GetItemState(2, 2) | CELL_SELECTED);
    EXPECT_EQ(copied(), u"r1c1\t\r\n\tr2c2");
    grid->ResetSelectedRange();
    EXPECT_EQ(copied(), u"<none>");
}

TEST_F(GridClipboardTest, HiddenRowsAndColumnsLeaveOnlyTheirSeparators) {
    const struct {
        const char* what;
        int hiddenRow;
        int hiddenCol;
        const char16_t* text;
    } cases[] = {
        {"last column", -1, 3, u"r1c1\tr1c2\t\r\nr2c1\tr2c2\t"},
        {"middle column", -1, 2, u"r1c1\tr1c3\r\nr2c1\tr2c3"},
        {"last row", 2, -1, u"r1c1\tr1c2\tr1c3\r\n"},
    };
    for (const auto& c : cases) {
        makeFilled(3, 4);
        grid->SetSelectedRange(1, 1, 2, 3);
        if (c.hiddenRow >= 0) {
            grid->SetRowHeight(c.hiddenRow, 0);
        }
        if (c.hiddenCol >= 0) {
            grid->SetColumnWidth(c.hiddenCol, 0);
        }
        EXPECT_EQ(copied(), QString::fromUtf16(c.text)) << c.what;
        EXPECT_FALSE(copied().contains(QChar(0))) << c.what;
        delete grid;
    }
    grid = nullptr;
}

TEST_F(GridClipboardTest, PasteSplitsLinesAndFields) {
    const struct {
        const char* what;
        const char16_t* text;
        QStringList row1;
        QStringList row2;
    } cases[] = {
        {"comma", u"a, b", {"a", "b", "r1c3"}, {"r2c1", "r2c2", "r2c3"}},
        {"tab and CR LF", u"a\tb\r\nc", {"a", "b", "r1c3"}, {"c", "r2c2", "r2c3"}},
        // A line that holds a TAB splits at TABs only.
        {"number with comma", u"1,234\tx", {"1,234", "x", "r1c3"}, {"r2c1", "r2c2", "r2c3"}},
        {"empty line takes a row", u"\nq", {"r1c1", "r1c2", "r1c3"}, {"q", "r2c2", "r2c3"}},
        {"beyond the grid", u"1,2,3,4,5", {"1", "2", "3"}, {"r2c1", "r2c2", "r2c3"}},
    };
    for (const auto& c : cases) {
        makeFilled(3, 4);
        EXPECT_TRUE(grid->PasteIntoGrid(CCellID(1, 1), text(QString::fromUtf16(c.text)).get(), true))
            << c.what;
        EXPECT_EQ(rowTexts(1, 1, 3), c.row1) << c.what;
        EXPECT_EQ(rowTexts(2, 1, 3), c.row2) << c.what;
        delete grid;
    }
    grid = nullptr;
}

TEST_F(GridClipboardTest, PasteSkipsHiddenRowsAndSelectsWhatItFilled) {
    makeFilled(5, 3);
    grid->SetRowHeight(2, 0);
    ASSERT_TRUE(grid->PasteIntoGrid(CCellID(1, 1), text(u"a\nb"_qs).get(), true));
    EXPECT_EQ(grid->GetItemText(1, 1), u"a");
    EXPECT_EQ(grid->GetItemText(2, 1), u"r2c1");
    EXPECT_EQ(grid->GetItemText(3, 1), u"b");
    EXPECT_EQ(grid->GetSelectedCellRange(), CCellRange(1, 1, 3, 1));
    EXPECT_TRUE(grid->GetModified(3, 1));
}

TEST_F(GridClipboardTest, PasteIsRefusedWhereNoEditCouldGo) {
    makeFilled(3, 3);
    grid->SetItemState(1, 1, grid->GetItemState(1, 1) | CELL_READONLY);
    EXPECT_FALSE(grid->PasteIntoGrid(CCellID(1, 1), text(u"x"_qs).get(), true));
    EXPECT_FALSE(grid->PasteIntoGrid(CCellID(9, 9), text(u"x"_qs).get(), true));
    QMimeData noText;
    noText.setData(u"application/octet-stream"_qs, "x");
    EXPECT_FALSE(grid->PasteIntoGrid(CCellID(2, 2), &noText, true));
    grid->SetEditable(false);
    EXPECT_FALSE(grid->PasteIntoGrid(CCellID(2, 2), text(u"x"_qs).get(), true));
    EXPECT_EQ(grid->GetItemText(2, 2), u"r2c2");
}

TEST_F(GridClipboardTest, AnOwnersVetoKeepsTheCellsText) {
    makeFilled(3, 4);
    owner.reply = -1;
    grid->EditCellText(1, 1, u"vetoed"_qs);
    EXPECT_EQ(grid->GetItemText(1, 1), u"r1c1");
    owner.reply = 0;
    grid->EditCellText(1, 1, u"taken"_qs);
    EXPECT_EQ(grid->GetItemText(1, 1), u"taken");
    EXPECT_FALSE(owner.codes(GVN_ENDLABELEDIT).empty());
}

TEST_F(GridClipboardTest, CutEmptiesTheSelectedCellsOfAnEditableGrid) {
    makeFilled(3, 3);
    grid->SetSelectedRange(1, 1, 2, 1);
    grid->CutSelection();
    EXPECT_EQ(grid->GetItemText(1, 1), u"");
    EXPECT_EQ(grid->GetItemText(2, 1), u"");
    EXPECT_EQ(grid->GetItemText(1, 2), u"r1c2");
}

TEST_F(GridClipboardTest, EditPasteGoesIntoAnOpenEditor) {
    makeFilled(3, 3);
    QGuiApplication::clipboard()->setText(u"pasted"_qs);
    grid->SetFocusCell(1, 1);
    grid->SetSelectedRange(1, 1, 1, 1);
    grid->OnCellEditStart(1, 1, QPoint(), GridEditStart{});
    CInPlaceEdit* editor = grid->GetInPlaceEdit();
    ASSERT_NE(editor, nullptr);
    editor->clear();
    grid->OnEditPaste();
    EXPECT_EQ(editor->text(), u"pasted");
    EXPECT_EQ(grid->GetItemText(1, 1), u"r1c1");
    editor->EndEdit();

    grid->SetSelectedRange(2, 2, 2, 2);
    grid->OnEditPaste();
    EXPECT_EQ(grid->GetItemText(2, 2), u"pasted");
}

// The drop target ------------------------------------------------------------

TEST_F(GridClipboardTest, DropTargetRegistersOnce) {
    makeFilled(3, 3);
    CGridDropTarget& target = grid->GetDropTarget();
    EXPECT_TRUE(target.IsRegistered()) << "the first size registers";
    EXPECT_TRUE(grid->viewport()->acceptDrops());
    EXPECT_FALSE(target.Register(grid));
    CGridDropTarget fresh;
    QWidget notAGrid;
    EXPECT_FALSE(fresh.Register(&notAGrid));
    EXPECT_FALSE(fresh.Register(nullptr));
    EXPECT_TRUE(fresh.Register(grid));
}

TEST_F(GridClipboardTest, DropTargetAnswersOnlyForTheGridsViewport) {
    makeFilled(3, 3);
    grid->EnableDragAndDrop(true);
    CGridDropTarget& target = grid->GetDropTarget();
    QRect cell;
    ASSERT_TRUE(grid->GetCellRect(1, 1, cell));
    const auto data = text(u"x"_qs);
    QWidget other;
    EXPECT_EQ(target.OnDragEnter(&other, data.get(), Qt::NoModifier, cell.center()),
              Qt::IgnoreAction);
    EXPECT_FALSE(target.OnDrop(&other, data.get(), Qt::MoveAction, cell.center()));
    EXPECT_EQ(target.OnDragScroll(&other, Qt::ControlModifier, cell.center()), Qt::IgnoreAction);
    EXPECT_FALSE(grid->GetCell(1, 1)->IsDropHighlighted());

    QWidget* viewport = grid->viewport();
    EXPECT_EQ(target.OnDragScroll(viewport, Qt::ControlModifier, cell.center()), Qt::CopyAction);
    EXPECT_EQ(target.OnDragScroll(viewport, Qt::NoModifier, cell.center()), Qt::MoveAction);
}

TEST_F(GridClipboardTest, DragEventsHighlightTheCellAndDropPastes) {
    makeFilled(4, 4);
    grid->EnableDragAndDrop(true);
    QRect first;
    QRect second;
    ASSERT_TRUE(grid->GetCellRect(1, 1, first));
    ASSERT_TRUE(grid->GetCellRect(2, 2, second));
    const auto data = text(u"dropped"_qs);
    QWidget* viewport = grid->viewport();

    QDragEnterEvent enter(first.center(), Qt::CopyAction | Qt::MoveAction, data.get(),
                          Qt::LeftButton, Qt::ControlModifier);
    QApplication::sendEvent(viewport, &enter);
    EXPECT_TRUE(enter.isAccepted());
    EXPECT_EQ(enter.dropAction(), Qt::CopyAction);
    EXPECT_TRUE(grid->GetCell(1, 1)->IsDropHighlighted());

    QDragMoveEvent move(second.center(), Qt::CopyAction | Qt::MoveAction, data.get(),
                        Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(viewport, &move);
    EXPECT_EQ(move.dropAction(), Qt::MoveAction);
    EXPECT_FALSE(grid->GetCell(1, 1)->IsDropHighlighted());
    EXPECT_TRUE(grid->GetCell(2, 2)->IsDropHighlighted());

    QDragMoveEvent overHeader(QPoint(2, 2), Qt::CopyAction | Qt::MoveAction, data.get(),
                              Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(viewport, &overHeader);
    EXPECT_FALSE(overHeader.isAccepted());
    EXPECT_FALSE(grid->GetCell(2, 2)->IsDropHighlighted());

    QApplication::sendEvent(viewport, &move);
    QDropEvent drop(second.center(), Qt::CopyAction | Qt::MoveAction, data.get(), Qt::LeftButton,
                    Qt::NoModifier);
    drop.setDropAction(Qt::MoveAction);
    QApplication::sendEvent(viewport, &drop);
    EXPECT_TRUE(drop.isAccepted());
    EXPECT_EQ(grid->GetItemText(2, 2), u"dropped");
    EXPECT_FALSE(grid->GetCell(2, 2)->IsDropHighlighted());

    // A read-only cell takes no drop, and the source keeps its data.
    grid->SetItemState(1, 1, grid->GetItemState(1, 1) | CELL_READONLY);
    QDragMoveEvent ontoReadOnly(first.center(), Qt::CopyAction | Qt::MoveAction, data.get(),
                                Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(viewport, &ontoReadOnly);
    EXPECT_FALSE(ontoReadOnly.isAccepted());
}

TEST_F(GridClipboardTest, DragImageShowsTheFocusCell) {
    makeFilled(3, 3);
    QPoint hotSpot;
    grid->SetFocusCell(-1, -1);
    EXPECT_TRUE(grid->MakeDragImage(hotSpot).isNull());
    grid->SetFocusCell(1, 1);
    const QPixmap image = grid->MakeDragImage(hotSpot);
    QRect cell;
    ASSERT_TRUE(grid->GetCellRect(1, 1, cell));
    EXPECT_EQ(image.size(), cell.size());
    EXPECT_EQ(hotSpot, QPoint(cell.width(), cell.height()));
}

}  // namespace
