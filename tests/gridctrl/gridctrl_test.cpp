// The grid's data model, cells, items, row and column counts, virtual mode
// and typed characters.

#include "gridfixture.h"

#include "gridctrl/gridcell.h"

#include <QKeyEvent>
#include <QScrollBar>

namespace {

TEST_F(GridTest, AnEmptyGridHasNoCells) {
    make(0, 0);
    EXPECT_EQ(grid->GetCellRange(), CCellRange(0, 0, -1, -1));
    EXPECT_EQ(grid->GetCell(0, 0), nullptr);
    EXPECT_FALSE(grid->IsValid(0, 0));
    EXPECT_FALSE(grid->IsValid(CCellID(-1, -1)));
}

TEST_F(GridTest, NothingSelectedGivesAnInvalidRange) {
    make(5, 4, 1, 1);
    const CCellRange range = grid->GetSelectedCellRange();
    EXPECT_EQ(range, CCellRange(5, 4, -1, -1));
    EXPECT_FALSE(range.IsValid());
    grid->SetSelectedRange(2, 1, 3, 2);
    EXPECT_EQ(grid->GetSelectedCellRange(), CCellRange(2, 1, 3, 2));
    EXPECT_TRUE(grid->IsCellSelected(3, 2));
    EXPECT_FALSE(grid->IsCellSelected(4, 2));
}

TEST_F(GridTest, CellsTakeTheirDefaultCellsValuesUntilTheyHaveTheirOwn) {
    make(3, 3, 1, 1);
    CGridCellBase* cell = grid->GetCell(1, 1);
    ASSERT_NE(cell, nullptr);
    EXPECT_EQ(cell->GetFormat(), 0x8824u);
    EXPECT_EQ(cell->GetMargin(), grid->GetDefaultCell(false, false)->GetMargin());
    EXPECT_EQ(cell->GetTextColour(), CLR_DEFAULT);
    cell->SetFormat(DT_RIGHT | DT_SINGLELINE);
    cell->SetMargin(7);
    EXPECT_EQ(cell->GetFormat(), unsigned(DT_RIGHT | DT_SINGLELINE));
    EXPECT_EQ(cell->GetMargin(), 7u);
    // The fixed cells choose the template of their position.
    EXPECT_EQ(grid->GetCell(0, 0)->GetDefaultCell(), grid->GetDefaultCell(true, true));
    EXPECT_EQ(grid->GetCell(0, 1)->GetDefaultCell(), grid->GetDefaultCell(true, false));
    EXPECT_EQ(grid->GetCell(1, 0)->GetDefaultCell(), grid->GetDefaultCell(false, true));
}

// Rows added to a filled grid get cells of its own, with the state and the
// format of their place, whether the grid makes them or a factory does.
TEST_F(GridTest, AddedRowsGetCellsOfTheirPlace) {
    for (const bool factory : {false, true}) {
        SCOPED_TRACE(factory ? "factory cells" : "plain cells");
        make(2, 3, 1, 1);
        if (factory) {
            grid->SetCellFactory([] { return new CGridCell; });
        }
        grid->GetDefaultCell(false, true)->SetFormat(DT_RIGHT | DT_SINGLELINE);
        ASSERT_TRUE(grid->SetRowCount(5));
        for (int row = 2; row < 5; ++row) {
            for (int col = 0; col < 3; ++col) {
                const CGridCellBase* cell = grid->GetCell(row, col);
                ASSERT_NE(cell, nullptr) << row << "," << col;
                EXPECT_EQ(cell->GetGrid(), grid);
                const bool fixedCol = col == 0;
                EXPECT_EQ(cell->GetState(), fixedCol ? unsigned(CELL_FIXED | CELL_FIXEDCOL) : 0u);
                EXPECT_EQ(cell->GetDefaultCell(), grid->GetDefaultCell(false, fixedCol));
                EXPECT_EQ(cell->GetFormat(),
                          fixedCol ? unsigned(DT_RIGHT | DT_SINGLELINE) : 0x8824u);
                EXPECT_TRUE(cell->GetText().isEmpty());
                EXPECT_EQ(cell->GetData(), 0);
            }
        }
        delete grid;
        grid = nullptr;
    }
}

TEST_F(GridTest, ADefaultCellReportsReadOnlyWithoutBeingReadOnly) {
    make(1, 1);
    const CGridDefaultCell* defaultCell = grid->GetDefaultCell(false, false);
    EXPECT_NE(defaultCell->GetState() & CELL_READONLY, 0u);
    EXPECT_FALSE(defaultCell->IsReadOnly());
    EXPECT_EQ(defaultCell->GetFormat(), 0x8824u);
}

TEST_F(GridTest, AnEmptyCellMeasuresAsItsDefaultCellPlusItsEdges) {
    make(2, 2, 1, 0);
    const CGridDefaultCell* normal = grid->GetDefaultCell(false, false);
    const CGridDefaultCell* fixedRow = grid->GetDefaultCell(true, false);
    EXPECT_EQ(grid->GetCell(1, 1)->GetCellExtent(),
              QSize(normal->GetWidth() + 1, normal->GetHeight() + 1));
    EXPECT_EQ(grid->GetCell(0, 1)->GetCellExtent(),
              QSize(fixedRow->GetWidth() + 2, fixedRow->GetHeight() + 2));
}

TEST_F(GridTest, GetNextItemSearchesInTheAskedDirection) {
    make(6, 5, 1, 1);
    grid->SetSelectedRange(3, 2, 3, 3);
    grid->SetItemState(4, 1, grid->GetItemState(4, 1) | CELL_READONLY);
    struct Case {
        CCellID start;
        unsigned flags;
        CCellID expected;
    };
    const Case cases[] = {
        {{-1, -1}, GVNI_SELECTED | GVNI_ALL, {3, 2}},
        {{3, 2}, GVNI_SELECTED | GVNI_ALL, {3, 3}},
        {{3, 3}, GVNI_SELECTED | GVNI_ALL, {-1, -1}},
        {{5, 2}, GVNI_SELECTED | GVNI_ABOVE, {3, 2}},
        {{3, 4}, GVNI_SELECTED | GVNI_TOLEFT, {3, 3}},
        {{3, 1}, GVNI_SELECTED | GVNI_TORIGHT, {3, 2}},
        {{1, 3}, GVNI_SELECTED | GVNI_BELOW, {3, 3}},
        {{0, 1}, GVNI_READONLY | GVNI_BELOW | GVNI_TORIGHT, {-1, -1}},
        {{0, -1}, GVNI_READONLY | GVNI_BELOW | GVNI_TORIGHT, {4, 1}},
        {{0, 0}, GVNI_SELECTED, {-1, -1}},
    };
    for (const Case& item : cases) {
        EXPECT_EQ(grid->GetNextItem(item.start, item.flags), item.expected)
            << item.start.row << "," << item.start.col << " flags " << item.flags;
    }
}

TEST_F(GridTest, ItemsReadBackWhatWasSet) {
    make(3, 3, 1, 1);
    GridItemInfo item;
    item.row = 1;
    item.col = 2;
    item.mask = GVIF_TEXT | GVIF_PARAM | GVIF_IMAGE | GVIF_FORMAT | GVIF_BKCLR | GVIF_MARGIN;
    item.strText = QStringLiteral("text");
    item.lParam = 42;
    item.iImage = 3;
    item.nFormat = DT_CENTER;
    item.crBkClr = GridColour::FromRgb(1, 2, 3);
    item.nMargin = 5;
    ASSERT_TRUE(grid->SetItem(&item));
    GridItemInfo read;
    read.row = 1;
    read.col = 2;
    read.mask = GVIF_ALL;
    ASSERT_TRUE(grid->GetItem(&read));
    EXPECT_EQ(read.strText, u"text");
    EXPECT_EQ(read.lParam, 42);
    EXPECT_EQ(read.iImage, 3);
    EXPECT_EQ(read.nFormat, unsigned(DT_CENTER));
    EXPECT_EQ(read.crBkClr.Value(), 0x030201u);
    EXPECT_EQ(read.crFgClr, CLR_DEFAULT);
    EXPECT_EQ(read.nMargin, 5u);
    EXPECT_NE(read.state & CELL_MODIFIED, 0u);
    EXPECT_FALSE(grid->SetItem(nullptr));
    EXPECT_EQ(grid->GetItemText(7, 7), QString());
    EXPECT_FALSE(grid->SetItemText(7, 7, QStringLiteral("x")));
}

TEST_F(GridTest, ChangingACountMarksTheGridModifiedAndDropsTheSort) {
    make(5, 3, 2, 1);
    grid->SetModified(false);
    grid->SetSortColumn(1);
    EXPECT_TRUE(grid->SetRowCount(5));
    EXPECT_FALSE(grid->GetModified());
    EXPECT_EQ(grid->GetSortColumn(), 1);

    EXPECT_TRUE(grid->SetRowCount(1));
    EXPECT_TRUE(grid->GetModified());
    EXPECT_EQ(grid->GetSortColumn(), -1);
    EXPECT_EQ(grid->GetFixedRowCount(), 1);

    EXPECT_TRUE(grid->SetColumnCount(0));
    EXPECT_EQ(grid->GetFixedColumnCount(), 0);
}

TEST_F(GridTest, NewRowsAndColumnsTakeTheirDefaultSizes) {
    make(1, 1);
    grid->GetDefaultCell(false, true)->SetWidth(77);
    grid->GetDefaultCell(false, false)->SetHeight(19);
    grid->SetRowCount(3);
    grid->SetColumnCount(3);
    EXPECT_EQ(grid->GetRowHeight(2), 19);
    EXPECT_EQ(grid->GetColumnWidth(2), 77);
    EXPECT_EQ(grid->GetRowHeight(3), -1);
    EXPECT_EQ(grid->GetColumnWidth(-1), -1);
}

TEST_F(GridTest, EditingTheSortColumnDropsTheSort) {
    make(4, 3, 1, 0);
    grid->SetSortColumn(2);
    grid->SetItemText(1, 1, QStringLiteral("other column"));
    EXPECT_EQ(grid->GetSortColumn(), 2);
    grid->SetItemText(1, 2, QStringLiteral("sorted column"));
    EXPECT_EQ(grid->GetSortColumn(), -1);
}

TEST_F(GridTest, ClearingTheModifiedFlagClearsEveryCell) {
    make(4, 3);
    grid->SetItemText(1, 1, QStringLiteral("a"));
    grid->SetItemText(3, 2, QStringLiteral("b"));
    EXPECT_TRUE(grid->GetModified(1, 1));
    grid->SetModified(false, -1, -1);
    EXPECT_FALSE(grid->GetModified());
    EXPECT_FALSE(grid->GetModified(1, 1));
    EXPECT_FALSE(grid->GetModified(3, 2));
}

TEST_F(GridTest, SettingFixedRowsMarksTheirCells) {
    make(4, 3, 0, 1);
    grid->SetItemBkColour(1, 2, GridColour::FromRgb(9, 9, 9));
    grid->SetFixedRowCount(2);
    EXPECT_EQ(grid->GetItemState(1, 2) & (CELL_FIXED | CELL_FIXEDROW), CELL_FIXED | CELL_FIXEDROW);
    EXPECT_EQ(grid->GetCell(1, 2)->GetBackColour(), CLR_DEFAULT);
    grid->SetFixedRowCount(0);
    EXPECT_EQ(grid->GetItemState(1, 2) & CELL_FIXED, 0u);
    // Still fixed as a cell of the fixed column.
    EXPECT_EQ(grid->GetItemState(1, 0) & (CELL_FIXED | CELL_FIXEDROW), unsigned(CELL_FIXED));
}

// A selection keyed on 16 bits of row mixed up rows 65,536 apart.
TEST_F(GridTest, SelectionKeepsRowsFarApartApart) {
    make(70001, 3, 1, 1);
    grid->SetVirtualMode(true);
    grid->SetRowCount(70001);
    grid->SetColumnCount(3);
    grid->SetItemState(70000, 1, CELL_SELECTED);
    grid->SetItemState(4464, 1, CELL_SELECTED);
    EXPECT_TRUE(grid->IsCellSelected(70000, 1));
    EXPECT_TRUE(grid->IsCellSelected(4464, 1));
    grid->SetItemState(70000, 1, 0);
    EXPECT_FALSE(grid->IsCellSelected(70000, 1));
    EXPECT_TRUE(grid->IsCellSelected(4464, 1));
    grid->ClearSelectedRange();
    EXPECT_FALSE(grid->IsCellSelected(4464, 1));
    EXPECT_FALSE(grid->GetSelectedCellRange().IsValid());
}

TEST_F(GridTest, DeletingARowMovesTheFocusUpWithItsRow) {
    make(6, 3, 1, 1);
    grid->SetFocusCell(4, 2);
    grid->SetSelectedRange(2, 1, 3, 2);
    EXPECT_TRUE(grid->DeleteRow(2));
    EXPECT_EQ(grid->GetFocusCell(), CCellID(3, 2));
    EXPECT_TRUE(grid->GetCell(3, 2)->IsFocused());
    EXPECT_FALSE(grid->GetSelectedCellRange().IsValid());
    EXPECT_TRUE(grid->DeleteRow(3));
    EXPECT_EQ(grid->GetFocusCell(), CCellID(-1, -1));
    EXPECT_FALSE(grid->DeleteRow(4));
    EXPECT_EQ(grid->GetRowCount(), 4);
}

TEST_F(GridTest, ShrinkingAVirtualGridDropsTheSelectionOfRemovedCells) {
    make(0, 0);
    grid->SetVirtualMode(true);
    grid->SetRowCount(10);
    grid->SetColumnCount(4);
    grid->SetSelectedRange(5, 1, 5, 3);
    grid->SetColumnCount(3);
    EXPECT_EQ(grid->GetSelectedCellRange(), CCellRange(5, 1, 5, 2));
    grid->SetRowCount(3);
    EXPECT_FALSE(grid->GetSelectedCellRange().IsValid());
    grid->SetRowCount(10);
    EXPECT_FALSE(grid->IsCellSelected(5, 1));
    EXPECT_FALSE(grid->CanCopy());
}

// A cell set from outside belongs to the grid, draws and measures.
TEST_F(GridTest, ASetCellBelongsToTheGrid) {
    make(3, 3, 1, 1, QSize(400, 200));
    auto* cell = new CGridCell;
    cell->SetText(QStringLiteral("set"));
    ASSERT_TRUE(grid->SetCell(2, 2, cell));
    EXPECT_EQ(cell->GetGrid(), grid);
    EXPECT_GT(cell->GetCellExtent().width(), 1);
    cell->SetBackColour(GridColour::FromRgb(200, 0, 0));
    QRect rect;
    ASSERT_TRUE(grid->GetCellRect(2, 2, rect));
    EXPECT_EQ(pixel(paint(), rect.center()), QColor(200, 0, 0));
    CGridCell outside;
    EXPECT_FALSE(grid->SetCell(3, 0, &outside));
}

TEST_F(GridTest, VirtualModeAsksTheOwnerForEveryCell) {
    make(0, 0, 0, 0, QSize(300, 200));
    grid->SetVirtualMode(true);
    grid->SetRowCount(50);
    grid->SetColumnCount(4);
    grid->SetFixedRowCount(1);
    grid->SetFixedColumnCount(1);
    owner.answer = [](GridItemInfo& item) {
        item.strText = QStringLiteral("R%1C%2").arg(item.row).arg(item.col);
    };
    EXPECT_FALSE(grid->SetCell(1, 1, new CGridCell));
    grid->SetFocusCell(2, 2);

    CGridCellBase* focus = grid->GetCell(2, 2);
    EXPECT_EQ(focus->GetState() & CELL_FOCUSED, unsigned(CELL_FOCUSED));
    EXPECT_EQ(focus->GetText(), u"R2C2");
    CGridCellBase* other = grid->GetCell(3, 2);
    EXPECT_EQ(other, focus);
    EXPECT_EQ(other->GetState() & CELL_FOCUSED, 0u);
    EXPECT_EQ(grid->GetCell(0, 0)->GetState() & (CELL_FIXEDROW | CELL_FIXEDCOL),
              CELL_FIXEDROW | CELL_FIXEDCOL);

    ASSERT_FALSE(owner.displayRequests.empty());
    const GridItemInfo& request = owner.displayRequests.front();
    EXPECT_EQ(request.nFormat, 0x8824u);
    EXPECT_EQ(request.mask, unsigned(GVIF_ALL));
    EXPECT_TRUE(request.strText.isEmpty());

    owner.notifications.clear();
    const QImage withText = paint();
    const auto hints = owner.codes(GVN_ODCACHEHINT);
    ASSERT_EQ(hints.size(), 2u);
    EXPECT_EQ(hints.front().range, grid->GetVisibleScrollableRange());
    EXPECT_EQ(hints.back().range, CCellRange(-1, -1, -1, -1));
    // The hint comes before the first request and ends the painting.
    EXPECT_EQ(owner.notifications.front().code, GVN_ODCACHEHINT);
    EXPECT_EQ(owner.notifications.back().code, GVN_ODCACHEHINT);

    owner.answer = nullptr;
    EXPECT_NE(paint(), withText);
}

TEST_F(GridTest, TypedCharactersStartEditingOnlyWhenTheyCount) {
    make(4, 4, 1, 1);
    grid->SetFocusCell(2, 2);
    struct Case {
        Qt::Key key;
        Qt::KeyboardModifiers modifiers;
        QString text;
        bool starts;
    };
    const Case cases[] = {
        {Qt::Key_A, Qt::NoModifier, QStringLiteral("a"), true},
        {Qt::Key_Backspace, Qt::NoModifier, QStringLiteral("\b"), true},
        {Qt::Key_Return, Qt::NoModifier, QStringLiteral("\r"), true},
        {Qt::Key_Tab, Qt::NoModifier, QStringLiteral("\t"), false},
        {Qt::Key_Escape, Qt::NoModifier, QStringLiteral("\x1b"), false},
        {Qt::Key_A, Qt::ControlModifier, QStringLiteral("\x01"), false},
        {Qt::Key_C, Qt::ControlModifier, QStringLiteral("c"), false},
        {Qt::Key_Delete, Qt::NoModifier, QStringLiteral("\x7f"), false},
        {Qt::Key_Left, Qt::NoModifier, QString(), false},
    };
    for (const Case& item : cases) {
        owner.notifications.clear();
        QKeyEvent press(QEvent::KeyPress, item.key, item.modifiers, item.text);
        QApplication::sendEvent(grid, &press);
        // Delete empties the selected cells through edits of their own, so
        // an editor opening is what tells a started edit.
        const bool opened = grid->GetEditingCell() != nullptr;
        EXPECT_EQ(opened, item.starts) << item.text.toStdString();
        if (opened) {
            EXPECT_EQ(grid->GetEditingCell(), grid->GetCell(2, 2));
            EXPECT_FALSE(owner.codes(GVN_BEGINLABELEDIT).empty());
        }
        // Each case starts on the grid, not in the editor the last one opened.
        if (CInPlaceEdit* editor = grid->GetInPlaceEdit()) {
            editor->EndEdit();
        }
    }
    // Without the grid handling Tab, Tab counts as typed text.
    grid->SetHandleTabKey(false);
    owner.notifications.clear();
    QKeyEvent tab(QEvent::KeyPress, Qt::Key_Tab, Qt::NoModifier, QStringLiteral("\t"));
    QApplication::sendEvent(grid, &tab);
    EXPECT_EQ(owner.codes(GVN_BEGINLABELEDIT).size(), 1u);
}

TEST_F(GridTest, InputMethodTextStartsEditing) {
    make(4, 4, 1, 1);
    grid->SetFocusCell(1, 1);
    QInputMethodEvent commit;
    commit.setCommitString(QStringLiteral("é"));
    QApplication::sendEvent(grid, &commit);
    EXPECT_EQ(owner.codes(GVN_BEGINLABELEDIT).size(), 1u);
}

TEST_F(GridTest, AReadOnlyCellOrAVetoStopsEditing) {
    make(4, 4, 1, 1);
    grid->SetFocusCell(1, 1);
    grid->SetItemState(1, 1, grid->GetItemState(1, 1) | CELL_READONLY);
    grid->OnCellEditStart(1, 1, QPoint(-1, -1), GridEditStart::ByCharacter(u'x'));
    EXPECT_TRUE(owner.codes(GVN_BEGINLABELEDIT).empty());
    grid->SetEditable(false);
    grid->OnCellEditStart(2, 2, QPoint(-1, -1), GridEditStart::ByCharacter(u'x'));
    EXPECT_TRUE(owner.codes(GVN_BEGINLABELEDIT).empty());
}

TEST_F(GridTest, AnEndedEditKeepsOrRestoresTheTextByTheOwnersReply) {
    make(4, 4, 1, 1);
    grid->SetItemText(2, 2, QStringLiteral("old"));
    grid->SetModified(false);
    owner.reply = -1;
    grid->OnCellEditEnd(2, 2, QStringLiteral("vetoed"));
    EXPECT_EQ(grid->GetItemText(2, 2), u"old");
    owner.reply = 0;
    grid->OnCellEditEnd(2, 2, QStringLiteral("new"));
    EXPECT_EQ(grid->GetItemText(2, 2), u"new");
    EXPECT_TRUE(grid->GetModified(2, 2));
}

TEST_F(GridTest, EditCommandsFollowTheSelection) {
    make(4, 4, 1, 1);
    EXPECT_FALSE(grid->CanCopy());
    EXPECT_FALSE(grid->CanCut());
    EXPECT_TRUE(grid->CanSelectAll());
    grid->OnEditSelectAll();
    EXPECT_EQ(grid->GetSelectedCellRange(), CCellRange(1, 1, 3, 3));
    EXPECT_TRUE(grid->CanCopy());
    EXPECT_TRUE(grid->CanCut());
    grid->SetEditable(false);
    EXPECT_FALSE(grid->CanCut());
    ASSERT_EQ(owner.codes(GVN_SELCHANGING).size(), 1u);
    ASSERT_EQ(owner.codes(GVN_SELCHANGED).size(), 1u);
}

TEST_F(GridTest, HiddenRowsAreNotSelected) {
    make(5, 3, 1, 1);
    grid->SetRowHeight(2, 0);
    grid->SelectAllCells();
    EXPECT_TRUE(grid->IsCellSelected(1, 1));
    EXPECT_FALSE(grid->IsCellSelected(2, 1));
    EXPECT_TRUE(grid->IsCellSelected(3, 2));
}

TEST_F(GridTest, AFailedGrowthIsReportedAndKeepsTheGrid) {
    make(2, 2);
    int made = 0;
    grid->SetCellFactory([&made]() -> CGridCellBase* {
        if (++made > 10) {
            throw std::bad_alloc();
        }
        return new CGridCell;
    });
    EXPECT_FALSE(grid->SetRowCount(100));
    EXPECT_EQ(grid->GetRowCount(), 2 + 5);
    EXPECT_EQ(grid->GetVirtualHeight(), 7LL * grid->GetRowHeight(0));
    ASSERT_EQ(services.popups.size(), 1u);
    EXPECT_EQ(services.popups.front().type, int(kPopupError));
    EXPECT_EQ(services.popups.front().text, u"Out of memory.");
}

}  // namespace

namespace {

TEST_F(GridTest, CreateSizesEveryRowAndColumnAfresh) {
    make(3, 2);
    grid->SetRowHeight(1, 50);
    QWidget parent;
    ASSERT_TRUE(grid->Create(QRect(5, 6, 200, 100), &parent, 100, 0x10000000));
    EXPECT_EQ(grid->parentWidget(), &parent);
    EXPECT_EQ(grid->GetDlgCtrlID(), 100);
    EXPECT_EQ(grid->property("controlId").toInt(), 100);
    EXPECT_EQ(grid->GetRowHeight(1), grid->GetDefaultCell(false, false)->GetHeight());
    EXPECT_EQ(grid->GetColumnWidth(1), grid->GetDefaultCell(false, false)->GetWidth());
    // A grid away from its recording owner reports to nobody.
    EXPECT_EQ(grid->SendMessageToParent(1, 1, NM_CLICK), 0);
    grid->setParent(&owner);
}

TEST_F(GridTest, APaletteChangeCarriesOverTheSystemColours) {
    make(3, 3, 1, 1);
    const GridColour ownText = GridColour::FromRgb(1, 2, 3);
    grid->GetDefaultCell(true, false)->SetTextColour(ownText);
    QPalette palette = grid->palette();
    palette.setColor(QPalette::Text, QColor(10, 20, 30));
    palette.setColor(QPalette::Base, QColor(40, 50, 60));
    palette.setColor(QPalette::Dark, QColor(70, 80, 90));
    grid->setPalette(palette);
    EXPECT_EQ(grid->GetDefaultCell(false, false)->GetTextColour(), GridColour::FromRgb(10, 20, 30));
    EXPECT_EQ(grid->GetDefaultCell(false, false)->GetBackColour(), GridColour::FromRgb(40, 50, 60));
    EXPECT_EQ(grid->GetDefaultCell(true, false)->GetTextColour(), ownText);
    EXPECT_EQ(grid->GetBkColor(), GridColour::FromRgb(70, 80, 90));
}

TEST_F(GridTest, TheWidgetFontBecomesTheDefaultCellsFont) {
    make(3, 3, 1, 1);
    QFont font = grid->font();
    font.setPointSize(font.pointSize() + 10);
    const int before = grid->GetDefaultCell(false, false)->GetHeight();
    grid->setFont(font);
    for (const bool fixedRow : {false, true}) {
        EXPECT_EQ(grid->GetDefaultCell(fixedRow, false)->GetFont()->font, font);
    }
    EXPECT_GT(grid->GetDefaultCell(false, false)->GetHeight(), before);
}

TEST_F(GridTest, TheOwnerGetsTheCommandAfterTheEventInHand) {
    struct CommandOwner : RecordingOwner {
        void OnGridCommand(CGridCtrl* from, int controlId) override {
            commands.push_back({from, controlId});
        }
        std::vector<std::pair<CGridCtrl*, int>> commands;
    } commandOwner;
    make(2, 2);
    grid->SetOwner(&commandOwner);
    grid->PostCommandToOwner();
    EXPECT_TRUE(commandOwner.commands.empty());
    QCoreApplication::processEvents();
    ASSERT_EQ(commandOwner.commands.size(), 1u);
    EXPECT_EQ(commandOwner.commands[0], std::pair(grid, 100));
    grid->SetOwner(nullptr);
}

TEST_F(GridTest, FixedRowsPrintTheFixedColumnsThenThePagesColumns) {
    struct PrintingGrid : CGridCtrl {
        using CGridCtrl::CGridCtrl;
        void PrintColumnRange(int firstCol, int endCol, int& row, QRect& rect, QPainter&,
                              bool&) override {
            calls.push_back({firstCol, endCol, row, rect.top()});
        }
        std::vector<std::array<int, 4>> calls;
    };
    auto* printing = new PrintingGrid(5, 6, 2, 1, &owner);
    printing->GetPrintPage() = {2, 3, 6, QRect(10, 20, 300, 400)};
    QImage page(400, 500, QImage::Format_RGB32);
    QPainter painter(&page);
    printing->PrintFixedRows(painter);
    const int height = printing->GetRowHeight(0);
    const std::vector<std::array<int, 4>> expected{
        {0, 1, 0, 20}, {3, 6, 0, 20}, {0, 1, 1, 20 + height}, {3, 6, 1, 20 + height}};
    EXPECT_EQ(printing->calls, expected);
}

TEST_F(GridTest, TheScrollBarStepsARowAtATime) {
    make(200, 3, 1, 1, QSize(300, 200));
    grid->verticalScrollBar()->triggerAction(QAbstractSlider::SliderSingleStepAdd);
    EXPECT_EQ(grid->GetScrollPos(Qt::Vertical), grid->GetRowHeight(1));
    grid->verticalScrollBar()->triggerAction(QAbstractSlider::SliderToMaximum);
    EXPECT_EQ(grid->GetScrollPos(Qt::Vertical), grid->verticalScrollBar()->maximum());
    EXPECT_TRUE(grid->IsCellVisible(199, 1));
    grid->verticalScrollBar()->triggerAction(QAbstractSlider::SliderPageStepSub);
    EXPECT_EQ(grid->GetScrollPos(Qt::Vertical),
              grid->verticalScrollBar()->maximum() -
                  (grid->viewport()->height() - grid->GetFixedRowHeight()));
}

}  // namespace
