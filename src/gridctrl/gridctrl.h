#pragma once

// The console's grid window: a rectangle of cells in rows and columns whose
// first rows and columns are fixed headers that do not scroll. Each cell is
// an object made by the cell factory, or, in virtual mode, the grid holds no
// cells and asks its owner for each cell's content when it needs it. The
// grid reports to its owner (CGridOwner) with notification records.
//
// Row heights and column widths keep running sums (CGridSizes), so sizes,
// positions, the visible range, hit-testing and scrolling cost O(log n) per
// call at a million rows. Selection is a map keyed on the full (row,
// column). Painting happens in the viewport's paint event, double-buffered
// by Qt's backing store.

#include "gridctrl/gridcellid.h"
#include "gridctrl/griddefaultcell.h"
#include "gridctrl/griddroptarget.h"
#include "gridctrl/grideditstart.h"
#include "gridctrl/griditeminfo.h"
#include "gridctrl/gridsizes.h"
#include "gridctrl/inplaceedit.h"

#include <QAbstractScrollArea>
#include <QBasicTimer>
#include <QHash>
#include <QList>
#include <QPixmap>
#include <QPointer>
#include <QSet>

#include <array>
#include <functional>
#include <memory>
#include <optional>
#include <type_traits>
#include <vector>

class CGridCellBase;
class CGridOwner;
class CTitleTip;
class QMimeData;
class QPainter;
class QPrintDialog;
class QPrinter;

// Grid-line choices.
enum GridLines : int { GVL_NONE = 0, GVL_HORZ = 1, GVL_VERT = 2, GVL_BOTH = 3 };

// The print layout: heights and the gap between the header band and the
// headings count character heights, margins average character widths.
struct GridPrintSettings {
    int colours = 1;
    int headerLines = 2;
    int footerLines = 2;
    int leftMargin = 4;
    int rightMargin = 4;
    // Kept with the others for the callers that set them; nothing reads them.
    int spareFirst = 1;
    int spareSecond = 1;
    int gapLines = 1;
};

// The grid lines a printed cell draws besides its bottom and right edges:
// its left and top edges, and whether the lines start at the cell's own
// left and top rather than one pixel before, over the neighbour's line.
struct GridPrintedLines {
    bool leftEdge = false;
    bool topEdge = false;
    bool horizontalFromLeft = false;
    bool verticalFromTop = false;
};

// The scroll codes of the scroll handlers.
enum GridScrollCode : int {
    SB_LINEUP = 0,
    SB_LINELEFT = 0,
    SB_LINEDOWN = 1,
    SB_LINERIGHT = 1,
    SB_PAGEUP = 2,
    SB_PAGELEFT = 2,
    SB_PAGEDOWN = 3,
    SB_PAGERIGHT = 3,
    SB_THUMBPOSITION = 4,
    SB_THUMBTRACK = 5,
    SB_TOP = 6,
    SB_LEFT = 6,
    SB_BOTTOM = 7,
    SB_RIGHT = 7,
    SB_ENDSCROLL = 8,
};

// Scroll-bar state bits.
constexpr unsigned GVSB_HORZ = 0x1;
constexpr unsigned GVSB_VERT = 0x2;

// The states of the mouse: what a button press started, or what the
// pointer hovers over.
enum GridMouseMode : int {
    MOUSE_NOTHING = 0,
    MOUSE_SELECT_ALL = 1,
    MOUSE_SELECT_COL = 2,
    MOUSE_SELECT_ROW = 3,
    MOUSE_SELECT_CELLS = 4,
    MOUSE_OVER_ROW_DIVIDE = 6,
    MOUSE_SIZING_ROW = 7,
    MOUSE_OVER_COL_DIVIDE = 8,
    MOUSE_SIZING_COL = 9,
    MOUSE_PREPARE_EDIT = 10,
    MOUSE_PREPARE_DRAG = 11,
    MOUSE_DRAGGING = 12,
    MOUSE_PRESSED_HEADER = 13,
    MOUSE_MOVING_COLUMN = 14,
};
// The control id of the in-place editor.
constexpr int kInPlaceEditId = 8;

// The selection's key: the full row and column.
constexpr quint64 SelectionKey(int row, int col) {
    return (static_cast<quint64>(static_cast<quint32>(col)) << 32) | static_cast<quint32>(row);
}

// The cell factory: makes the cells of a grid.
using GridCellFactory = std::function<CGridCellBase*()>;
// The compare function of sorting: < 0, 0 or > 0.
using GridCompareFunction = int (*)(const CGridCellBase*, const CGridCellBase*, qintptr);
// The virtual-mode display callback (its result is not used).
using GridCallback = bool (*)(GridDisplayInfo*, qintptr);

class CGridCtrl : public QAbstractScrollArea {
    Q_OBJECT

public:
    explicit CGridCtrl(int rows = 0, int cols = 0, int fixedRows = 0, int fixedCols = 0,
                       QWidget* parent = nullptr);
    ~CGridCtrl() override;

    // Window -------------------------------------------------------------
    bool Create(const QRect& rect, QWidget* parent, int controlId, unsigned style = 0);
    int GetDlgCtrlID() const;
    void SetDlgCtrlID(int controlId);
    // Null reports to the parent widget when it is a CGridOwner.
    void SetOwner(CGridOwner* owner) { m_owner = owner; }
    CGridOwner* GetOwner() const;

    // Cells and addressing ----------------------------------------------
    CGridCellBase* GetCell(int row, int col) const;
    bool SetCell(int row, int col, CGridCellBase* cell);
    virtual CGridCellBase* CreateCell(int row, int col);
    virtual void DestroyCell(int row, int col);
    // The factory of the cells CreateCell makes; without one (null) the grid
    // makes plain cells, a new row's all at once.
    void SetCellFactory(GridCellFactory factory) { m_cellFactory = std::move(factory); }
    unsigned GetItemState(int row, int col) const;
    bool SetItemState(int row, int col, unsigned state);
    bool IsValid(int row, int col) const;
    bool IsValid(const CCellID& cell) const { return IsValid(cell.row, cell.col); }
    bool IsValid(const CCellRange& range) const;
    CCellRange GetCellRange() const;
    CCellRange GetSelectedCellRange() const;
    CCellID GetNextItem(CCellID start, unsigned flags) const;
    bool IsCellEditable(const CCellID& cell) const;
    bool IsCellSelected(int row, int col) const;
    bool IsCellFixed(int row, int col) const;
    void SetCompareFunction(GridCompareFunction compare) { m_compare = compare; }
    GridCompareFunction GetCompareFunction() const { return m_compare; }
    static int TextCompare(const CGridCellBase* first, const CGridCellBase* second, qintptr);
    void SetSortColumn(int col);
    int GetSortColumn() const { return m_sortColumn; }
    void SetSortAscending(bool ascending) { m_sortAscending = ascending; }
    bool GetSortAscending() const { return m_sortAscending; }
    void SetGridLines(int lines);
    int GetGridLines() const { return m_gridLines; }
    // `invalidate` false: what the switch-on shows is already on screen
    // (rows added below the visible ones), so only the scroll bars change.
    void SetRedraw(bool allow, bool resetScrollBars = false, bool invalidate = true);
    bool IsRedrawAllowed() const { return m_allowRedraw; }
    void Refresh();
    int GetLastClickedRow() const { return m_lastClickedRow; }
    int GetPreviousClickedRow() const { return m_previousClickedRow; }
    CGridDefaultCell* GetDefaultCell(bool fixedRow, bool fixedCol) const;
    void SetImageList(const QList<QPixmap>* images) { m_imageList = images; }
    const QList<QPixmap>* GetImageList() const { return m_imageList; }

    // Virtual mode and the owner ----------------------------------------
    void SetVirtualMode(bool virtualMode);
    bool GetVirtualMode() const { return m_virtualMode; }
    void SetCallbackFunc(GridCallback callback, qintptr parameter);
    qintptr SendMessageToParent(int row, int col, int code);
    // Every notification passes here on its way to the owner; a derived
    // grid may act on it first. The default hands it to the owner (0
    // without one).
    virtual qintptr OnNotify(GridNotifyHeader* header);
    qintptr RequestCellDisplayInfo(GridDisplayInfo* info);
    qintptr SendCacheHint(const CCellRange& range);
    // Posts the grid's control id to the owner as a command, after the
    // event in hand is done.
    void PostCommandToOwner();

    // Switches -----------------------------------------------------------
    void SetEditable(bool editable) { m_editable = editable; }
    bool IsEditable() const { return m_editable; }
    void SetModified(bool modified = true, int row = -1, int col = -1);
    bool GetModified(int row = -1, int col = -1) const;
    void EnableDragAndDrop(bool enable) { m_enableDragAndDrop = enable; }
    bool GetDragAndDrop() const { return m_enableDragAndDrop; }
    void EnableSelection(bool enable);
    bool IsSelectable() const { return m_enableSelection; }
    void SetListMode(bool listMode);
    bool GetListMode() const { return m_listMode; }
    void SetSingleRowSelection(bool single) { m_singleRowSelection = single; }
    void SetSingleColSelection(bool single) { m_singleColSelection = single; }
    void SetFixedColumnSelection(bool selects) { m_fixedColumnSelection = selects; }
    bool GetFixedColumnSelection() const { return m_fixedColumnSelection; }
    void SetFixedRowSelection(bool selects) { m_fixedRowSelection = selects; }
    bool GetFixedRowSelection() const { return m_fixedRowSelection; }
    void SetHeaderSort(bool sortOnClick) { m_sortOnClick = sortOnClick; }
    bool GetHeaderSort() const { return m_sortOnClick; }
    void EnableColumnReorder(bool reorder) { m_allowColumnReorder = reorder; }
    bool GetColumnReorder() const { return m_allowColumnReorder; }
    void SetAutoSizeStyle(int style) { m_autoSizeStyle = style; }
    int GetAutoSizeStyle() const { return m_autoSizeStyle; }
    void SetTitleTipBackClr(GridColour colour) { m_crTTipBackClr = colour; }
    GridColour GetTitleTipBackClr() const { return m_crTTipBackClr; }
    void SetTitleTipTextClr(GridColour colour) { m_crTTipTextClr = colour; }
    GridColour GetTitleTipTextClr() const { return m_crTTipTextClr; }
    void SetHandleTabKey(bool handle) { m_handleTabKey = handle; }
    bool GetHandleTabKey() const { return m_handleTabKey; }
    // Qt's backing store already double-buffers every paint; the switch is
    // kept for the callers that set it.
    void SetDoubleBuffering(bool buffer) { m_doubleBuffer = buffer; }
    bool GetDoubleBuffering() const { return m_doubleBuffer; }
    void EnableTitleTips(bool enable) { m_titleTips = enable; }
    bool GetTitleTips() const { return m_titleTips; }
    void SetTrackFocusCell(bool track) { m_trackFocusCell = track; }
    bool GetTrackFocusCell() const { return m_trackFocusCell; }
    void SetFrameFocusCell(bool frame) { m_frameFocusCell = frame; }
    bool GetFrameFocusCell() const { return m_frameFocusCell; }
    bool GetPrintColours() const { return m_printSettings.colours != 0; }
    void SetPrintColours(bool colours) { m_printSettings.colours = colours ? 1 : 0; }
    void SetBkColor(GridColour colour) { m_crBkColour = colour; }
    GridColour GetBkColor() const { return m_crBkColour; }
    void SetGridLineColor(GridColour colour) { m_crGridLineColour = colour; }
    GridColour GetGridLineColor() const { return m_crGridLineColour; }
    int GetMouseMode() const { return m_mouseMode; }
    CCellID GetLeftClickDownCell() const { return m_leftClickDownCell; }
    CCellID GetColumnDragTarget() const { return m_columnDragTarget; }
    void EnableRowResize(bool allow) { m_allowRowResize = allow; }
    void EnableColumnResize(bool allow) { m_allowColumnResize = allow; }
    void EnableHiddenColUnhide(bool allow) { m_hiddenColUnhide = allow; }
    void EnableHiddenRowUnhide(bool allow) { m_hiddenRowUnhide = allow; }
    void SetRowsSizeToZero(bool allow) { m_rowsSizeToZero = allow; }
    // Whether the main window's properties pane is shown, as the view that
    // holds the pane tells; without one it counts as hidden.
    void SetPropertiesPaneShown(std::function<bool()> shown) {
        m_propertiesPaneShown = std::move(shown);
    }
    bool IsPropertiesPaneShown() const { return m_propertiesPaneShown && m_propertiesPaneShown(); }

    // Editing state (the in-place editor keeps its cell here) ------------
    CGridCellBase* GetEditingCell() const { return m_editingCell; }
    void SetEditingCell(CGridCellBase* cell, CInPlaceEdit* editor = nullptr);
    CInPlaceEdit* GetInPlaceEdit() const { return m_inPlaceEdit; }
    // The end of an in-place edit: the text goes to the cell, and the key
    // that ended it is replayed and opens the next cell's editor.
    virtual void OnEndLabelEdit(const CInPlaceEditEnding& ending);

    // The title tip over a cell whose text does not fit -------------------
    bool IsTitleTipShown() const;
    CCellID GetTitleTipCell() const { return m_titleTipCell; }
    CTitleTip* GetTitleTip() const { return m_titleTip.get(); }
    void HideTitleTip();

    // Rows, columns and items --------------------------------------------
    int GetRowCount() const { return m_nRows; }
    int GetColumnCount() const { return m_nCols; }
    int GetFixedRowCount() const { return m_nFixedRows; }
    int GetFixedColumnCount() const { return m_nFixedCols; }
    bool SetRowCount(int rows);
    bool SetColumnCount(int cols);
    bool SetFixedRowCount(int fixedRows);
    bool SetFixedColumnCount(int fixedCols);
    bool DeleteRow(int row);
    bool DeleteAllItems();
    // Hands the cells over to the caller and empties the grid as
    // DeleteAllItems does; the caller deletes them (an editor still open is
    // closed first).
    std::vector<std::vector<CGridCellBase*>> TakeAllCells();
    bool SetItem(const GridItemInfo* item);
    bool GetItem(GridItemInfo* item) const;
    bool SetItemText(int row, int col, const QString& text);
    QString GetItemText(int row, int col) const;
    // The same without a copy: valid until the cell changes or, in virtual
    // mode, another cell is asked for.
    QStringView GetItemTextView(int row, int col) const;
    bool SetItemData(int row, int col, qintptr data);
    qintptr GetItemData(int row, int col) const;
    bool SetItemImage(int row, int col, int image);
    bool SetItemFormat(int row, int col, unsigned format);
    bool SetItemBkColour(int row, int col, GridColour colour);
    bool SetItemFgColour(int row, int col, GridColour colour);

    // Selection and focus -------------------------------------------------
    CCellID SetFocusCell(int row, int col);
    CCellID SetFocusCell(const CCellID& cell) { return SetFocusCell(cell.row, cell.col); }
    CCellID GetFocusCell() const { return m_idCurrentCell; }
    void SetSelectedRange(int minRow, int minCol, int maxRow, int maxCol, bool forceRepaint = false,
                          bool selectCells = true);
    void SetSelectedRange(const CCellRange& range, bool forceRepaint = false,
                          bool selectCells = true);
    void ResetSelectedRange();
    void ClearSelectedRange();
    void SelectAllCells();
    bool SelectColumns(CCellID cell, bool forceRepaint = false, bool selectCells = true);
    bool SelectRows(CCellID cell, bool forceRepaint = false, bool selectCells = true);
    bool SelectCells(CCellID cell, bool forceRepaint = false, bool selectCells = true);
    void SelectByMouseMode(CCellID cell);
    // Selects one row over all its columns alone and scrolls it into view.
    void SelectRow(int row);
    // The rows below the first selected cell whose cell in that column is
    // selected, and that first row.
    int GetSelectedRowCount() const;
    bool IsRowSelected(int row) const;
    // The distinct texts of `col` in those rows, each after a comma, up to
    // `limit` (0 for all); their number goes to `count`.
    QString GetSelectedValuesOfColumn(int col, int& count, int limit = 0) const;

    // Sorting, sizing and moving -----------------------------------------
    bool SortItems(GridCompareFunction compare, int col, bool ascending, qintptr data = 0);
    bool SortItems(int col, bool ascending, qintptr data = 0);
    bool SortRowRange(GridCompareFunction compare, int col, bool ascending, qintptr data, int low,
                      int high);
    // Sorts the rows by a key `keyOf` takes once from each row's cell of
    // `col` (which may be null), with the caller's three-way compare of two
    // keys.
    template <typename KeyOf, typename Compare>
    bool SortItemsByKey(int col, bool ascending, KeyOf keyOf, Compare compare);
    // Sorts by an order found elsewhere (on a worker, from keys taken while
    // GetCellLayoutChanges() was `changes`): the scrollable rows' numbers in
    // their new places. False, and nothing moves, when the cells were added,
    // removed or moved since, or the order is no permutation of the rows.
    bool ApplySortedOrder(int col, bool ascending, const std::vector<int>& order, quint64 changes);
    // Counts every change of which cell object sits where: rows or columns
    // added, removed, sorted or moved.
    quint64 GetCellLayoutChanges() const { return m_cellLayoutChanges; }
    bool AutoSizeColumn(int col, int style = 0, bool resetScrollBars = true);
    bool AutoSizeRow(int row, bool resetScrollBars = true);
    void AutoSizeColumns(int style = 0);
    // Sizes a column of positive width to its fixed rows and to `dataWidth`,
    // the widest extent the caller measured among its data rows (so that a
    // long load measures each of its first rows once). The fixed rows may
    // take the maximum width fraction of the client width, the data
    // `dataFraction` of it; the column never narrows below what its fixed
    // rows need.
    bool FitColumnToText(int col, int dataWidth, float dataFraction);
    // The widest cell extent among rows first .. last of `col`; a missing
    // cell counts as the one before it.
    int WidestExtent(int col, int firstRow, int lastRow);
    void MoveColumn(int from, int to);

    // Geometry -----------------------------------------------------------
    int GetRowHeight(int row) const;
    int GetColumnWidth(int col) const;
    bool SetRowHeight(int row, int height);
    bool SetColumnWidth(int col, int width);
    int GetFixedRowHeight() const;
    int GetFixedColumnWidth() const;
    long long GetVirtualHeight() const;
    long long GetVirtualWidth() const;
    void SetMaxColumnWidthFraction(float fraction);
    float GetMaxColumnWidthFraction() const { return m_maxColumnWidthFraction; }
    CCellID GetFirstScrollableCell(bool forceRecompute = false);
    CCellRange GetVisibleScrollableRange(QRect* rect = nullptr, bool forceRecompute = false);
    bool GetCellOrigin(int row, int col, QPoint& origin);
    bool GetCellOrigin(const CCellID& cell, QPoint& origin) {
        return GetCellOrigin(cell.row, cell.col, origin);
    }
    bool GetCellRect(int row, int col, QRect& rect);
    QPoint GetCellRelativePoint(int row, int col, QPoint point);
    bool IsCellVisible(int row, int col);
    bool IsCellVisible(const CCellID& cell) { return IsCellVisible(cell.row, cell.col); }
    CCellID GetCellFromPt(QPoint point, bool allowFixedCells = true);
    bool IsOverRowBorder(QPoint point);
    bool IsOverColumnBorder(QPoint point);
    bool InvalidateCellRect(int row, int col);
    void EnsureVisible(int row, int col);
    void EnsureVisible(const CCellID& cell) { EnsureVisible(cell.row, cell.col); }
    void EnsureRowVisible(int row) { EnsureVisible(row, 0); }
    void ResetScrollBars();
    unsigned GetScrollBarState() const { return m_scrollBars; }
    int GetVScrollMax() const { return m_nVScrollMax; }
    int GetHScrollMax() const { return m_nHScrollMax; }
    int GetVScrollPage() const { return m_vScrollPage; }
    int GetHScrollPage() const { return m_hScrollPage; }
    int GetScrollPos(Qt::Orientation orientation) const;
    void SetScrollPos(Qt::Orientation orientation, int position);
    // The scroll handlers, with the scroll codes above.
    void OnVScroll(int code, int thumbPosition = 0);
    void OnHScroll(int code, int thumbPosition = 0);
    void SetWheelScrollLines(int lines) { m_nRowsPerWheelNotch = lines; }
    int GetWheelScrollLines() const { return m_nRowsPerWheelNotch; }
    // Shows (or, drawn again, hides) the column-drag marker at a cell's
    // left or right edge.
    void SetColumnDragMarker(const CCellID& cell, bool atLeft);
    void ClearColumnDragMarker();

    // Painting -----------------------------------------------------------
    virtual void OnDraw(QPainter& painter, const QRect& clip);
    void EraseBackground(QPainter& painter, const QRect& clip);
    bool RedrawCell(int row, int col, QPainter* painter = nullptr, bool unfocused = false);
    bool RedrawCell(const CCellID& cell, QPainter* painter = nullptr) {
        return RedrawCell(cell.row, cell.col, painter, false);
    }
    bool RedrawRow(int row);

    // Printing -----------------------------------------------------------
    // Without a dialog runs the print dialog (all pages, with Qt's print to
    // PDF file); with one, prints to the printer the caller's dialog chose.
    // True when the job printed.
    bool Print(QPrintDialog* dialog = nullptr);
    // The whole job on one printer, so a print preview shows the same pages.
    bool PrintTo(QPrinter& printer);
    void SetPrintSettings(const GridPrintSettings& settings) { m_printSettings = settings; }
    const GridPrintSettings& GetPrintSettings() const { return m_printSettings; }
    // On: the page keeps three quarters of the screen's scale and wide grids
    // split into column pages. Off: the grid's width fills the page width.
    void SetPrintAtScreenScale(bool screenScale) { m_printAtScreenScale = screenScale; }
    bool GetPrintAtScreenScale() const { return m_printAtScreenScale; }

    // Edit commands --------------------------------------------------------
    bool CanCut() const;
    bool CanCopy() const;
    bool CanPaste() const;
    bool CanSelectAll() const { return m_enableSelection; }
    // Sets a cell's text the way an edit does: the owner may veto the edit
    // or the new text, and an accepted text marks the cell modified.
    void EditCellText(int row, int col, const QString& text);
    CGridDropTarget& GetDropTarget() { return m_dropTarget; }

    // The virtual operations, in their order --------------------------------
    virtual void CutSelection();
    virtual QMimeData* CopySelection();
    virtual bool PasteIntoGrid(CCellID cell, const QMimeData* data, bool selectRange);
    virtual void OnBeginDrag();
    virtual Qt::DropAction OnDragEnter(const QMimeData* data, Qt::KeyboardModifiers keys,
                                       QPoint point);
    virtual Qt::DropAction OnDragOver(const QMimeData* data, Qt::KeyboardModifiers keys,
                                      QPoint point);
    virtual void OnDragLeave();
    virtual bool OnDrop(const QMimeData* data, Qt::DropAction action, QPoint point);
    virtual void OnEditCut();
    virtual void OnEditCopy();
    virtual void OnEditPaste();
    virtual void OnEditSelectAll();
    virtual void OnBeginPrinting(QPainter& painter);
    virtual void OnPrint(QPainter& painter);
    virtual void OnEndPrinting(QPainter& painter);
    // `rect` runs along the row: each cell starts right of the previous one.
    virtual void PrintColumnRange(int firstCol, int endCol, int& row, QRect& rect,
                                  QPainter& painter, bool& firstLine);
    virtual void PrintFixedRows(QPainter& painter);
    virtual void PrintHeader(QPainter& painter);
    virtual void PrintFooter(QPainter& painter);
    virtual void PrintFixedColumns(QPainter& painter);
    virtual QPixmap MakeDragImage(QPoint& hotSpot);
    virtual void OnHeaderColumnClick(const CCellID& cell);
    virtual void OnHeaderRowClick(const CCellID& cell);
    virtual void OnCellEditStart(int row, int col, QPoint point, GridEditStart start);
    virtual void OnCellEditEnd(int row, int col, const QString& text);
    virtual bool CheckEditedText(int row, int col, const QString& text);
    virtual void StopEditing();
    // OnDraw, CreateCell and DestroyCell are declared above.
    virtual QString GetColumnHeaderTip(int col) const;
    // After MoveColumn: a derived grid that keeps column numbers of its
    // own follows the move.
    virtual void OnColumnMoved(int from, int to) {
        (void)from;
        (void)to;
    }

    // The page being printed: its first row and column, the end of its
    // columns, the band being drawn and the job's pages. Printing sets it
    // page by page.
    struct PrintPage {
        int firstRow = 0;
        int firstCol = 0;
        int endCol = 0;  // exclusive
        QRect area;
        // The page's own first column, also while the headings print from 0.
        int firstBodyCol = 0;
        int currentPage = 0;
        int minPage = 1;
        int maxPage = 0xFFFF;
    };
    PrintPage& GetPrintPage() { return m_printPage; }
    // What OnBeginPrinting measured for the job, in the page's logical units
    // (the device page excepted, in printer pixels).
    struct PrintMetrics {
        int charWidth = 0;
        int charHeight = 0;
        int bodyHeight = 0;
        int bodyWidth = 0;
        int pageWidth = 0;
        int pageHeight = 0;
        int deviceWidth = 0;
        int deviceHeight = 0;
        int columnPages = 0;
        int pageCount = 0;
    };
    const PrintMetrics& GetPrintMetrics() const { return m_printMetrics; }

protected:
    // The mouse and key handlers; points are in the viewport's coordinates.
    virtual void OnLButtonDown(Qt::KeyboardModifiers keys, QPoint point);
    virtual void OnMouseMove(Qt::MouseButtons buttons, Qt::KeyboardModifiers keys, QPoint point);
    virtual void OnLButtonUp(Qt::KeyboardModifiers keys, QPoint point);
    virtual void OnLButtonDblClk(Qt::KeyboardModifiers keys, QPoint point);
    virtual void OnRButtonDown(Qt::KeyboardModifiers keys, QPoint point);
    virtual void OnRButtonUp(Qt::KeyboardModifiers keys, QPoint point);
    virtual void OnTimer();
    // True when the key was the grid's; false leaves it to the default.
    virtual bool OnKeyDown(QKeyEvent* event);

    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void timerEvent(QTimerEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void scrollContentsBy(int dx, int dy) override;
    void wheelEvent(QWheelEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void inputMethodEvent(QInputMethodEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void changeEvent(QEvent* event) override;
    bool focusNextPrevChild(bool next) override;

private:
    // Tells the user, through the program's pop-up boxes, that a growth failed.
    static void reportOutOfMemory();
    void applySystemColours();
    void applyFont(const QFont& font);
    void connectScrollBars();
    void onScrollAction(Qt::Orientation orientation, int action);
    void scrollBy(Qt::Orientation orientation, int code, int thumbPosition);
    // Repeats one line scroll `count` times, with the steps' end computed in
    // one go where the rows allow it.
    void lineScroll(Qt::Orientation orientation, bool forward, int count);
    void postScroll(int code, int count);
    int scrollBarMaximum(Qt::Orientation orientation) const;
    int firstScrollableIndex(const CGridSizes& sizes, int fixedCount, int position) const;
    int maxVisibleIndex(const CGridSizes& sizes, int fixed, int first, int limit,
                        int& extent) const;
    int indexFromOffset(const CGridSizes& sizes, int fixedCount, int fixedSize, int topLeft,
                        int offset, bool allowFixed) const;
    void drawCellGroup(QPainter& painter, const QRect& clip, int firstRow, int lastRow, int top,
                       int firstCol, int lastCol, int left, bool scrollable);
    bool drawCell(QPainter& painter, CGridCellBase* cell, int row, int col, const QRect& rect,
                  bool erase, bool unfocused);
    void drawColumnDragMarker(QPainter& painter);
    void setDropHighlight(const CCellID& cell, bool on);
    // True when a character started editing.
    bool typedCharacters(const QString& text, bool fromInputMethod);
    bool acceptsTypedCharacter(QChar character, bool tabCounts) const;
    void redrawFixedCellsOf(const CCellID& cell, const CCellID& other);
    void dropSelectionOutside(int rows, int cols);
    void setFixedState(int row, int col, unsigned add, unsigned remove);
    bool growRows(int rows);
    // Fills `cells` with the new cells of `row`; those made stay in `cells`
    // when std::bad_alloc is thrown.
    void makeRowCells(int row, std::vector<CGridCellBase*>& cells);
    bool growColumns(int cols);
    CGridCellBase* virtualCell(int row, int col) const;
    bool setItemField(int row, int col, unsigned mask,
                      const std::function<void(GridItemInfo&)>& fill);
    void fillDisplayItem(GridItemInfo& item, int row, int col) const;
    qintptr notifyOwner(GridNotifyHeader* header);
    // Mouse helpers.
    void hoverAt(QPoint point, Qt::MouseButtons buttons);
    void showTitleTipFor(QPoint point, Qt::MouseButtons buttons);
    bool pointInCellText(const CCellID& cell, QPoint point);
    void releaseOnSelectedCell(QPoint point, QPoint relative, bool rowChanged);
    void beginSizing(QPoint point, bool columns);
    int clampedTrackingPosition(QPoint point) const;
    void endSizing(QPoint point);
    void moveColumnDrag(QPoint point);
    void endColumnDrag();
    void drawTrackingLine(QPainter& painter);
    int borderIndexForDoubleClick(const CGridSizes& sizes, int index, int offsetInCell) const;
    // Key helpers.
    int nextShownIndex(const CGridSizes& sizes, int fixed, int index, bool forward) const;
    CCellID keyTarget(QKeyEvent* event, bool& leaveGrid);
    // Sorting helpers.
    bool beginSort(int col, bool ascending);
    void applyRowOrder(const std::vector<int>& order, int low);
    template <typename KeyOf, typename Compare>
    bool sortRowsByKey(int col, bool ascending, int low, int high, KeyOf keyOf, Compare compare);
    CTitleTip& titleTip();
    // Printing helpers: the first non-empty window title above the grid, and
    // the cells of the page's rows over a column range from (0, 0); a column
    // ending at `widthLimit` or beyond ends the range unless it is its first.
    QString printAncestorTitle() const;
    using PrintLineRule = std::function<GridPrintedLines(int row, int col, bool firstCell)>;
    void printCellBlock(QPainter& painter, int firstCol, int endCol, int widthLimit,
                        const PrintLineRule& linesOf);
    // The width a column prints at, and the sum over the first `count`.
    void measurePrintedColumns(const QPaintDevice& device);
    int printedColumnWidth(int col) const;
    int printedColumnsWidth(int count) const;

public:
    // The column a cell of `col` is in after moving `from` to `to`.
    static int movedColumn(int col, int from, int to);

private:
    // Colours remembered from the system, and the grid's own.
    GridColour m_crBkColour;
    GridColour m_crGridLineColour{0xC0C0C0};
    GridColour m_crWindowText;
    GridColour m_crWindowColour;
    GridColour m_cr3DFace;
    GridColour m_crShadow;
    GridColour m_crTTipBackClr;
    GridColour m_crTTipTextClr;

    bool m_virtualMode = false;
    qintptr m_callbackParameter = 0;
    GridCallback m_callback = nullptr;
    int m_gridLines = GVL_BOTH;
    bool m_editable = true;
    bool m_modified = false;
    bool m_enableDragAndDrop = false;
    bool m_allowColumnReorder = true;
    bool m_listMode = false;
    bool m_singleRowSelection = false;
    bool m_singleColSelection = false;
    bool m_allowRedraw = true;
    bool m_enableSelection = true;
    bool m_fixedColumnSelection = true;
    bool m_fixedRowSelection = true;
    bool m_sortOnClick = false;
    bool m_handleTabKey = true;
    bool m_doubleBuffer = true;
    bool m_titleTips = true;
    unsigned m_scrollBars = 0;
    bool m_trackFocusCell = true;
    bool m_frameFocusCell = true;
    int m_autoSizeStyle = 3;

    int m_nRows = 0;
    int m_nFixedRows = 0;
    int m_nCols = 0;
    int m_nFixedCols = 0;
    CGridSizes m_rowHeights;
    CGridSizes m_colWidths;
    int m_nVScrollMax = 0;
    int m_nHScrollMax = 0;
    int m_vScrollPage = 0;
    int m_hScrollPage = 0;

    GridCellFactory m_cellFactory;
    // Normal, fixed column, fixed row, fixed in both.
    std::array<std::unique_ptr<CGridDefaultCell>, 4> m_defaultCells;
    const QList<QPixmap>* m_imageList = nullptr;
    std::vector<std::vector<CGridCellBase*>> m_rowData;
    quint64 m_cellLayoutChanges = 0;

    int m_mouseMode = 0;
    CCellID m_idCurrentCell;
    CCellID m_idTopLeftCell;
    CCellID m_dragMarkerCell;
    bool m_dragMarkerAtLeft = false;
    int m_previousClickedRow = -1;
    int m_lastClickedRow = -1;
    int m_nRowsPerWheelNotch = 3;
    int m_wheelRemainder = 0;

    QHash<quint64, CCellID> m_selectedCellMap;
    QHash<quint64, CCellID> m_prevSelectedCellMap;

    CCellID m_lastDragOverCell;
    // The cells a paste filled while this grid's own drag ran; other pastes
    // are not kept.
    bool m_ownDragRunning = false;
    QSet<quint64> m_pastedCells;
    CGridDropTarget m_dropTarget;
    CCellID m_leftClickDownCell;
    PrintPage m_printPage;
    PrintMetrics m_printMetrics;
    GridPrintSettings m_printSettings;
    bool m_printAtScreenScale = false;
    // The first row of each row band and the first column of each column
    // page of the job.
    std::vector<int> m_printRowStarts;
    std::vector<int> m_printColStarts;
    std::vector<int> m_printColWidths;
    std::optional<QFont> m_printerFont;
    bool m_sortAscending = true;
    int m_sortColumn = -1;
    GridCompareFunction m_compare = nullptr;
    float m_maxColumnWidthFraction = 1.0f;

    CGridOwner* m_owner = nullptr;
    CGridCellBase* m_editingCell = nullptr;
    QPointer<CInPlaceEdit> m_inPlaceEdit;
    std::unique_ptr<CTitleTip> m_titleTip;
    CCellID m_titleTipCell;

    // The mouse state machine.
    bool m_leftButtonDown = false;
    bool m_rightButtonDown = false;
    QPoint m_leftClickDownPoint;
    QPoint m_lastMousePoint;
    // Where the pointer was at the last mouse event, for the auto-scroll.
    QPoint m_pointerPoint;
    CCellID m_selectionStartCell;
    CCellID m_columnDragTarget;
    QBasicTimer m_autoScrollTimer;
    bool m_allowRowResize = true;
    bool m_allowColumnResize = true;
    bool m_hiddenColUnhide = true;
    bool m_hiddenRowUnhide = true;
    bool m_rowsSizeToZero = true;
    // The row or column a border drag sizes, its origin and the tracking
    // line's position (-1 when none shows).
    int m_sizingIndex = -1;
    int m_sizingOrigin = 0;
    int m_trackingLine = -1;
    bool m_deliveringContextMenu = false;
    std::function<bool()> m_propertiesPaneShown;
    // Virtual mode: the record and cell GetCell fills, one per grid.
    mutable GridDisplayInfo m_virtualRecord;
    mutable std::unique_ptr<CGridCell> m_virtualCell;
};

#include "gridctrl/gridquicksort.h"

template <typename KeyOf, typename Compare>
bool CGridCtrl::sortRowsByKey(int col, bool ascending, int low, int high, KeyOf keyOf,
                              Compare compare) {
    using Key = std::decay_t<decltype(keyOf(static_cast<const CGridCellBase*>(nullptr)))>;
    std::vector<GridSortEntry<Key>> entries;
    entries.reserve(static_cast<size_t>(high - low + 1));
    for (int row = low; row <= high; ++row) {
        entries.push_back(
            {keyOf(m_rowData[static_cast<size_t>(row)][static_cast<size_t>(col)]), row});
    }
    GridQuickSort(entries, ascending, compare);
    applyRowOrder(GridSortedRows(entries), low);
    return true;
}

template <typename KeyOf, typename Compare>
bool CGridCtrl::SortItemsByKey(int col, bool ascending, KeyOf keyOf, Compare compare) {
    if (!beginSort(col, ascending) || m_virtualMode || m_nRows - m_nFixedRows < 2) {
        return false;
    }
    return sortRowsByKey(col, ascending, m_nFixedRows, m_nRows - 1, keyOf, compare);
}
