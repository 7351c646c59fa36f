#include "gridctrl/gridctrl.h"

#include "framework/klog.h"
#include "gridctrl/gridowner.h"
#include "gridctrl/titletip.h"

#include <QApplication>
#include <QClipboard>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QMimeData>
#include <QScrollBar>

#include <new>

namespace {

// Default-cell slots.
constexpr int kNormalCell = 0;
constexpr int kFixedColumnCell = 1;
constexpr int kFixedRowCell = 2;
constexpr int kFixedBothCell = 3;

constexpr quint32 kWindowVisible = 0x10000000;

// The state bit each GetNextItem state flag asks for.
unsigned requestedStates(unsigned flags) {
    unsigned states =
        flags & (GVNI_FOCUSED | GVNI_SELECTED | GVNI_DROPHILITED | GVNI_READONLY | GVNI_FIXED);
    if ((flags & GVNI_MODIFIED) != 0) {
        states |= CELL_MODIFIED;
    }
    return states;
}

}  // namespace

CGridCtrl::CGridCtrl(int rows, int cols, int fixedRows, int fixedCols, QWidget* parent)
    : QAbstractScrollArea(parent) {
    setAttribute(Qt::WA_InputMethodEnabled);
    setFocusPolicy(Qt::StrongFocus);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    viewport()->setAutoFillBackground(false);
    // Hovering finds borders and cut texts.
    viewport()->setMouseTracking(true);
    setProperty("controlId", 0);

    const QPalette& colours = palette();
    m_crWindowText = SystemColour(colours, GridSystemColour::WindowText);
    m_crWindowColour = SystemColour(colours, GridSystemColour::Window);
    m_cr3DFace = SystemColour(colours, GridSystemColour::Face);
    m_crShadow = SystemColour(colours, GridSystemColour::Shadow);
    m_crBkColour = m_crShadow;
    for (auto& cell : m_defaultCells) {
        cell = std::make_unique<CGridDefaultCell>();
        cell->SetGrid(this);
        cell->SetTextColour(m_crWindowText);
        cell->SetBackColour(m_cr3DFace);
    }
    m_defaultCells[kNormalCell]->SetBackColour(m_crWindowColour);
    m_nRowsPerWheelNotch = QApplication::wheelScrollLines();

    connectScrollBars();
    SetRowCount(rows);
    SetColumnCount(cols);
    SetFixedRowCount(fixedRows);
    SetFixedColumnCount(fixedCols);
}

CGridCtrl::~CGridCtrl() {
    // A copy on the clipboard belongs to the clipboard, so it outlives the grid.
    DeleteAllItems();
}

bool CGridCtrl::Create(const QRect& rect, QWidget* parent, int controlId, unsigned style) {
    try {
        setParent(parent);
        setGeometry(rect);
        SetDlgCtrlID(controlId);
        m_rowHeights.Clear();
        m_rowHeights.Resize(m_nRows,
                            static_cast<unsigned>(m_defaultCells[kNormalCell]->GetHeight()));
        m_colWidths.Clear();
        m_colWidths.Resize(m_nCols, static_cast<unsigned>(m_defaultCells[kNormalCell]->GetWidth()));
    } catch (const std::bad_alloc&) {
        reportOutOfMemory();
        return false;
    }
    if ((style & kWindowVisible) != 0) {
        show();
    }
    ResetScrollBars();
    return true;
}

int CGridCtrl::GetDlgCtrlID() const {
    return property("controlId").toInt();
}

void CGridCtrl::SetDlgCtrlID(int controlId) {
    setProperty("controlId", controlId);
}

CGridOwner* CGridCtrl::GetOwner() const {
    if (m_owner != nullptr) {
        return m_owner;
    }
    return dynamic_cast<CGridOwner*>(parentWidget());
}

// Cells and addressing ------------------------------------------------------

CGridCellBase* CGridCtrl::GetCell(int row, int col) const {
    if (row < 0 || row >= m_nRows || col < 0 || col >= m_nCols) {
        return nullptr;
    }
    if (m_virtualMode) {
        return virtualCell(row, col);
    }
    if (static_cast<size_t>(row) >= m_rowData.size()) {
        return nullptr;
    }
    const auto& cells = m_rowData[static_cast<size_t>(row)];
    return static_cast<size_t>(col) < cells.size() ? cells[static_cast<size_t>(col)] : nullptr;
}

void CGridCtrl::fillDisplayItem(GridItemInfo& item, int row, int col) const {
    const CGridDefaultCell* defaultCell = GetDefaultCell(row < m_nFixedRows, col < m_nFixedCols);
    item.row = row;
    item.col = col;
    item.mask = GVIF_ALL;
    item.state = 0;
    item.nFormat = defaultCell->GetFormat();
    item.iImage = defaultCell->GetImage();
    item.crBkClr = defaultCell->GetBackColour();
    item.crFgClr = defaultCell->GetTextColour();
    item.lParam = defaultCell->GetData();
    item.lfFont = *defaultCell->GetFont();
    item.nMargin = defaultCell->GetMargin();
    item.strText.clear();
    if (IsCellSelected(row, col)) {
        item.state |= CELL_SELECTED;
    }
    if (row < m_nFixedRows) {
        item.state |= CELL_FIXED | CELL_FIXEDROW;
    }
    if (col < m_nFixedCols) {
        item.state |= CELL_FIXED | CELL_FIXEDCOL;
    }
    if (CCellID(row, col) == m_idCurrentCell) {
        item.state |= CELL_FOCUSED;
    }
}

CGridCellBase* CGridCtrl::virtualCell(int row, int col) const {
    if (!m_virtualCell) {
        m_virtualCell = std::make_unique<CGridCell>();
    }
    GridItemInfo& item = m_virtualRecord.item;
    fillDisplayItem(item, row, col);
    if (m_callback != nullptr) {
        m_callback(&m_virtualRecord, m_callbackParameter);
    } else {
        const_cast<CGridCtrl*>(this)->RequestCellDisplayInfo(&m_virtualRecord);
    }
    CGridCell& cell = *m_virtualCell;
    cell.SetGrid(const_cast<CGridCtrl*>(this));
    cell.SetState(item.state);
    cell.SetFormat(item.nFormat);
    cell.SetImage(item.iImage);
    cell.SetBackColour(item.crBkClr);
    cell.SetTextColour(item.crFgClr);
    cell.SetData(item.lParam);
    cell.SetFont(&item.lfFont);
    cell.SetMargin(item.nMargin);
    cell.SetText(item.strText);
    return &cell;
}

bool CGridCtrl::SetCell(int row, int col, CGridCellBase* cell) {
    if (m_virtualMode || row < 0 || row >= m_nRows || col < 0 || col >= m_nCols ||
        static_cast<size_t>(row) >= m_rowData.size() ||
        static_cast<size_t>(col) >= m_rowData[static_cast<size_t>(row)].size()) {
        return false;
    }
    CGridCellBase*& slot = m_rowData[static_cast<size_t>(row)][static_cast<size_t>(col)];
    if (cell != nullptr) {
        // Without its grid a cell neither draws nor finds its default cell.
        cell->SetGrid(this);
        cell->SetCoords(row, col);
    }
    if (slot != cell) {
        // The grid owns its cells, the one replaced too.
        DestroyCell(row, col);
    }
    slot = cell;
    return true;
}

CGridCellBase* CGridCtrl::CreateCell(int row, int col) {
    CGridCellBase* cell = m_cellFactory ? m_cellFactory() : new CGridCell;
    if (cell == nullptr) {
        return nullptr;
    }
    cell->SetGrid(this);
    cell->SetCoords(row, col);
    unsigned state = cell->GetState();
    if (col < m_nFixedCols) {
        state |= CELL_FIXED | CELL_FIXEDCOL;
    }
    if (row < m_nFixedRows) {
        state |= CELL_FIXED | CELL_FIXEDROW;
    }
    cell->SetState(state);
    cell->SetFormat(cell->GetDefaultCell()->GetFormat());
    return cell;
}

void CGridCtrl::DestroyCell(int row, int col) {
    SetItemState(row, col, 0);
    if (m_virtualMode || static_cast<size_t>(row) >= m_rowData.size()) {
        return;
    }
    auto& cells = m_rowData[static_cast<size_t>(row)];
    if (static_cast<size_t>(col) < cells.size()) {
        CGridCellBase* cell = cells[static_cast<size_t>(col)];
        if (cell == m_editingCell) {
            m_editingCell = nullptr;
        }
        delete cell;
    }
}

unsigned CGridCtrl::GetItemState(int row, int col) const {
    const CGridCellBase* cell = GetCell(row, col);
    return cell != nullptr ? cell->GetState() : 0;
}

bool CGridCtrl::IsValid(int row, int col) const {
    return row >= 0 && row < m_nRows && col >= 0 && col < m_nCols && row < m_rowHeights.Count() &&
           col < m_colWidths.Count();
}

bool CGridCtrl::IsValid(const CCellRange& range) const {
    return range.IsValid() && range.maxRow < m_nRows && range.maxCol < m_nCols;
}

CCellRange CGridCtrl::GetCellRange() const {
    return {0, 0, m_nRows - 1, m_nCols - 1};
}

CCellRange CGridCtrl::GetSelectedCellRange() const {
    CCellRange range(m_nRows, m_nCols, -1, -1);
    for (const CCellID& cell : m_selectedCellMap) {
        range.minRow = qMin(range.minRow, cell.row);
        range.minCol = qMin(range.minCol, cell.col);
        range.maxRow = qMax(range.maxRow, cell.row);
        range.maxCol = qMax(range.maxCol, cell.col);
    }
    return range;
}

CCellID CGridCtrl::GetNextItem(CCellID start, unsigned flags) const {
    const unsigned states = requestedStates(flags);
    auto matches = [&](int row, int col) { return (GetItemState(row, col) & states) != 0; };
    const unsigned directions = flags & (GVNI_ABOVE | GVNI_BELOW | GVNI_TOLEFT | GVNI_TORIGHT);
    if ((directions & GVNI_ALL) == GVNI_ALL) {
        const int firstRow = start.row < 1 ? m_nFixedRows : start.row;
        for (int row = firstRow; row < m_nRows; ++row) {
            int col = row == firstRow ? start.col + 1 : m_nFixedCols;
            if (col < 1) {
                col = m_nFixedCols;
            }
            for (; col < m_nCols; ++col) {
                if (matches(row, col)) {
                    return {row, col};
                }
            }
        }
    } else if ((directions & GVNI_ABOVE) != 0) {
        for (int row = start.row - 1; row >= m_nFixedRows; --row) {
            if (matches(row, start.col)) {
                return {row, start.col};
            }
        }
    } else if ((directions & GVNI_BELOW) == 0 && (directions & GVNI_TOLEFT) != 0) {
        for (int col = start.col - 1; col >= m_nFixedCols; --col) {
            if (matches(start.row, col)) {
                return {start.row, col};
            }
        }
    } else if ((directions & GVNI_BELOW) == 0 && (directions & GVNI_TORIGHT) != 0) {
        for (int col = start.col + 1; col < m_nCols; ++col) {
            if (matches(start.row, col)) {
                return {start.row, col};
            }
        }
    } else if ((directions & GVNI_BELOW) != 0 && (directions & GVNI_TORIGHT) == 0) {
        for (int row = start.row + 1; row < m_nRows; ++row) {
            if (matches(row, start.col)) {
                return {row, start.col};
            }
        }
    } else if ((directions & GVNI_BELOW) != 0) {
        const int firstRow = start.row < 1 ? m_nFixedRows : start.row;
        const int firstCol = start.col < 0 ? m_nFixedCols : start.col + 1;
        for (int row = firstRow; row < m_nRows; ++row) {
            for (int col = firstCol; col < m_nCols; ++col) {
                if (matches(row, col)) {
                    return {row, col};
                }
            }
        }
    }
    return {};
}

bool CGridCtrl::IsCellEditable(const CCellID& cell) const {
    const CGridCellBase* object = GetCell(cell.row, cell.col);
    return m_editable && (object == nullptr || !object->IsReadOnly());
}

bool CGridCtrl::IsCellSelected(int row, int col) const {
    if (!m_enableSelection) {
        return false;
    }
    if (m_virtualMode) {
        return m_selectedCellMap.contains(SelectionKey(row, col));
    }
    const CGridCellBase* cell = GetCell(row, col);
    return cell != nullptr && cell->IsSelected();
}

bool CGridCtrl::IsCellFixed(int row, int col) const {
    return row < m_nFixedRows || col < m_nFixedCols;
}

int CGridCtrl::TextCompare(const CGridCellBase* first, const CGridCellBase* second, qintptr) {
    if (first == nullptr || second == nullptr) {
        return 0;
    }
    const int result = QString::compare(first->GetText(), second->GetText(), Qt::CaseSensitive);
    return result < 0 ? -1 : (result > 0 ? 1 : 0);
}

void CGridCtrl::SetSortColumn(int col) {
    if (m_sortColumn >= 0) {
        InvalidateCellRect(0, m_sortColumn);
    }
    m_sortColumn = col;
    if (col >= 0) {
        InvalidateCellRect(0, col);
    }
}

void CGridCtrl::SetGridLines(int lines) {
    m_gridLines = lines;
    Refresh();
}

void CGridCtrl::SetRedraw(bool allow, bool resetScrollBars, bool invalidate) {
    if (allow && !m_allowRedraw && invalidate) {
        viewport()->update();
    }
    m_allowRedraw = allow;
    if (resetScrollBars) {
        ResetScrollBars();
    }
}

void CGridCtrl::Refresh() {
    if (m_allowRedraw) {
        viewport()->update();
    }
}

CGridDefaultCell* CGridCtrl::GetDefaultCell(bool fixedRow, bool fixedCol) const {
    if (fixedRow && fixedCol) {
        return m_defaultCells[kFixedBothCell].get();
    }
    if (fixedRow) {
        return m_defaultCells[kFixedRowCell].get();
    }
    return m_defaultCells[fixedCol ? kFixedColumnCell : kNormalCell].get();
}

// Virtual mode and the owner -----------------------------------------------

void CGridCtrl::SetVirtualMode(bool virtualMode) {
    DeleteAllItems();
    m_virtualMode = virtualMode;
}

void CGridCtrl::SetCallbackFunc(GridCallback callback, qintptr parameter) {
    m_callback = callback;
    m_callbackParameter = parameter;
}

qintptr CGridCtrl::notifyOwner(GridNotifyHeader* header) {
    header->hwndFrom = this;
    header->idFrom = GetDlgCtrlID();
    return OnNotify(header);
}

qintptr CGridCtrl::OnNotify(GridNotifyHeader* header) {
    CGridOwner* owner = GetOwner();
    return owner != nullptr ? owner->OnGridNotify(header) : 0;
}

qintptr CGridCtrl::SendMessageToParent(int row, int col, int code) {
    GridNotifyInfo info;
    info.hdr.code = code;
    info.iRow = row;
    info.iColumn = col;
    return notifyOwner(&info.hdr);
}

qintptr CGridCtrl::RequestCellDisplayInfo(GridDisplayInfo* info) {
    info->hdr.code = GVN_GETDISPINFO;
    return notifyOwner(&info->hdr);
}

qintptr CGridCtrl::SendCacheHint(const CCellRange& range) {
    GridCacheHint hint;
    hint.hdr.code = GVN_ODCACHEHINT;
    hint.range = range;
    return notifyOwner(&hint.hdr);
}

void CGridCtrl::PostCommandToOwner() {
    QMetaObject::invokeMethod(
        this,
        [this] {
            if (CGridOwner* owner = GetOwner()) {
                owner->OnGridCommand(this, GetDlgCtrlID());
            }
        },
        Qt::QueuedConnection);
}

void CGridCtrl::EnableSelection(bool enable) {
    ResetSelectedRange();
    m_enableSelection = enable;
}

// Items ----------------------------------------------------------------------

void CGridCtrl::SetModified(bool modified, int row, int col) {
    if (col < 0 || col == m_sortColumn) {
        if (m_sortColumn >= 0) {
            InvalidateCellRect(0, m_sortColumn);
        }
        m_sortColumn = -1;
    }
    if (row < 0 || col < 0) {
        m_modified = modified;
    } else if (modified) {
        // A cell of its own takes the mark straight: its selection does not
        // change, so the selection's bookkeeping has nothing to do. Filling
        // a grid marks every cell it sets.
        CGridCellBase* cell = m_virtualMode ? nullptr : GetCell(row, col);
        if (cell != nullptr) {
            cell->SetState(cell->GetState() | CELL_MODIFIED);
        } else {
            SetItemState(row, col, GetItemState(row, col) | CELL_MODIFIED);
        }
        m_modified = true;
    } else {
        SetItemState(row, col, GetItemState(row, col) & ~CELL_MODIFIED);
    }
    if (!m_modified && !m_virtualMode) {
        for (int r = 0; r < m_nRows; ++r) {
            for (int c = 0; c < m_nCols; ++c) {
                if (CGridCellBase* cell = GetCell(r, c)) {
                    cell->SetState(cell->GetState() & ~CELL_MODIFIED);
                }
            }
        }
    }
}

bool CGridCtrl::GetModified(int row, int col) const {
    if (row < 0 || col < 0) {
        return m_modified;
    }
    return (GetItemState(row, col) & CELL_MODIFIED) != 0;
}

bool CGridCtrl::SetItem(const GridItemInfo* item) {
    if (item == nullptr || m_virtualMode) {
        return false;
    }
    CGridCellBase* cell = GetCell(item->row, item->col);
    if (cell == nullptr) {
        return false;
    }
    SetModified(true, item->row, item->col);
    if ((item->mask & GVIF_TEXT) != 0) {
        cell->SetText(item->strText);
    }
    if ((item->mask & GVIF_PARAM) != 0) {
        cell->SetData(item->lParam);
    }
    if ((item->mask & GVIF_IMAGE) != 0) {
        cell->SetImage(item->iImage);
    }
    if ((item->mask & GVIF_STATE) != 0) {
        SetItemState(item->row, item->col, item->state);
    }
    if ((item->mask & GVIF_FORMAT) != 0) {
        cell->SetFormat(item->nFormat);
    }
    if ((item->mask & GVIF_BKCLR) != 0) {
        cell->SetBackColour(item->crBkClr);
    }
    if ((item->mask & GVIF_FGCLR) != 0) {
        cell->SetTextColour(item->crFgClr);
    }
    if ((item->mask & GVIF_FONT) != 0) {
        cell->SetFont(&item->lfFont);
    }
    if ((item->mask & GVIF_MARGIN) != 0) {
        cell->SetMargin(item->nMargin);
    }
    return true;
}

bool CGridCtrl::GetItem(GridItemInfo* item) const {
    if (item == nullptr) {
        return false;
    }
    const CGridCellBase* cell = GetCell(item->row, item->col);
    if (cell == nullptr) {
        return false;
    }
    if ((item->mask & GVIF_TEXT) != 0) {
        item->strText = cell->GetText();
    }
    if ((item->mask & GVIF_PARAM) != 0) {
        item->lParam = cell->GetData();
    }
    if ((item->mask & GVIF_IMAGE) != 0) {
        item->iImage = cell->GetImage();
    }
    if ((item->mask & GVIF_STATE) != 0) {
        item->state = cell->GetState();
    }
    if ((item->mask & GVIF_FORMAT) != 0) {
        item->nFormat = cell->GetFormat();
    }
    if ((item->mask & GVIF_BKCLR) != 0) {
        item->crBkClr = cell->GetBackColour();
    }
    if ((item->mask & GVIF_FGCLR) != 0) {
        item->crFgClr = cell->GetTextColour();
    }
    if ((item->mask & GVIF_FONT) != 0 && cell->GetFont() != nullptr) {
        item->lfFont = *cell->GetFont();
    }
    if ((item->mask & GVIF_MARGIN) != 0) {
        item->nMargin = cell->GetMargin();
    }
    return true;
}

bool CGridCtrl::SetItemText(int row, int col, const QString& text) {
    CGridCellBase* cell = m_virtualMode ? nullptr : GetCell(row, col);
    if (cell == nullptr) {
        return false;
    }
    cell->SetText(text);
    SetModified(true, row, col);
    return true;
}

QString CGridCtrl::GetItemText(int row, int col) const {
    const CGridCellBase* cell = GetCell(row, col);
    return cell != nullptr ? cell->GetText() : QString();
}

QStringView CGridCtrl::GetItemTextView(int row, int col) const {
    const CGridCellBase* cell = GetCell(row, col);
    return cell != nullptr ? cell->GetTextView() : QStringView();
}

bool CGridCtrl::SetItemData(int row, int col, qintptr data) {
    CGridCellBase* cell = m_virtualMode ? nullptr : GetCell(row, col);
    if (cell == nullptr) {
        return false;
    }
    cell->SetData(data);
    SetModified(true, row, col);
    return true;
}

qintptr CGridCtrl::GetItemData(int row, int col) const {
    const CGridCellBase* cell = GetCell(row, col);
    return cell != nullptr ? cell->GetData() : 0;
}

bool CGridCtrl::setItemField(int row, int col, unsigned mask,
                             const std::function<void(GridItemInfo&)>& fill) {
    GridItemInfo item;
    item.row = row;
    item.col = col;
    item.mask = mask;
    fill(item);
    return SetItem(&item);
}

bool CGridCtrl::SetItemImage(int row, int col, int image) {
    return setItemField(row, col, GVIF_IMAGE, [image](GridItemInfo& item) { item.iImage = image; });
}

bool CGridCtrl::SetItemFormat(int row, int col, unsigned format) {
    return setItemField(row, col, GVIF_FORMAT,
                        [format](GridItemInfo& item) { item.nFormat = format; });
}

bool CGridCtrl::SetItemBkColour(int row, int col, GridColour colour) {
    return setItemField(row, col, GVIF_BKCLR,
                        [colour](GridItemInfo& item) { item.crBkClr = colour; });
}

bool CGridCtrl::SetItemFgColour(int row, int col, GridColour colour) {
    return setItemField(row, col, GVIF_FGCLR,
                        [colour](GridItemInfo& item) { item.crFgClr = colour; });
}

// Edit commands ----------------------------------------------------------------

bool CGridCtrl::CanCut() const {
    return m_editable && !m_selectedCellMap.isEmpty();
}

bool CGridCtrl::CanCopy() const {
    return !m_selectedCellMap.isEmpty();
}

bool CGridCtrl::CanPaste() const {
    const QMimeData* data = QGuiApplication::clipboard()->mimeData();
    return IsValid(m_idCurrentCell) && m_editable &&
           (GetItemState(m_idCurrentCell.row, m_idCurrentCell.col) & CELL_READONLY) == 0 &&
           data != nullptr && data->hasText();
}

// The virtual operations ---------------------------------------------------------

void CGridCtrl::OnEditCut() {
    if (!m_editable) {
        return;
    }
    if (QMimeData* data = CopySelection()) {
        QGuiApplication::clipboard()->setMimeData(data);
        CutSelection();
    }
}

void CGridCtrl::OnEditCopy() {
    if (QMimeData* data = CopySelection()) {
        QGuiApplication::clipboard()->setMimeData(data);
    }
}

void CGridCtrl::OnEditSelectAll() {
    SendMessageToParent(m_leftClickDownCell.row, m_leftClickDownCell.col, GVN_SELCHANGING);
    SelectAllCells();
    SendMessageToParent(m_idCurrentCell.row, m_idCurrentCell.col, GVN_SELCHANGED);
}

QString CGridCtrl::GetColumnHeaderTip(int) const {
    return {};
}

// Keyboard, font and colours ------------------------------------------------------

bool CGridCtrl::focusNextPrevChild(bool next) {
    // A grid that handles Tab keeps it for itself.
    return m_handleTabKey ? false : QAbstractScrollArea::focusNextPrevChild(next);
}

void CGridCtrl::keyPressEvent(QKeyEvent* event) {
    HideTitleTip();
    if (OnKeyDown(event)) {
        event->accept();
        return;
    }
    // Keys that start no editing go on to the windows around the grid.
    const bool taken =
        (event->modifiers() & Qt::ControlModifier) == 0 && typedCharacters(event->text(), false);
    event->setAccepted(taken);
}

void CGridCtrl::inputMethodEvent(QInputMethodEvent* event) {
    if ((QGuiApplication::keyboardModifiers() & Qt::ControlModifier) == 0) {
        typedCharacters(event->commitString(), true);
    }
    event->accept();
}

void CGridCtrl::changeEvent(QEvent* event) {
    QAbstractScrollArea::changeEvent(event);
    if (event->type() == QEvent::ActivationChange && !isActiveWindow()) {
        HideTitleTip();
    }
    if (event->type() == QEvent::PaletteChange) {
        applySystemColours();
    } else if (event->type() == QEvent::FontChange) {
        applyFont(font());
    }
}

void CGridCtrl::applySystemColours() {
    const QPalette& colours = palette();
    const GridColour windowText = SystemColour(colours, GridSystemColour::WindowText);
    const GridColour window = SystemColour(colours, GridSystemColour::Window);
    for (auto& cell : m_defaultCells) {
        if (cell->GetTextColour() == m_crWindowText) {
            cell->SetTextColour(windowText);
        }
        if (cell->GetBackColour() == m_crWindowColour) {
            cell->SetBackColour(window);
        }
    }
    if (m_crBkColour == m_crShadow) {
        m_crBkColour = SystemColour(colours, GridSystemColour::Shadow);
    }
    m_crWindowText = windowText;
    m_crWindowColour = window;
    m_cr3DFace = SystemColour(colours, GridSystemColour::Face);
    m_crShadow = SystemColour(colours, GridSystemColour::Shadow);
}

void CGridCtrl::applyFont(const QFont& font) {
    CGridCellFont cellFont;
    cellFont.font = font;
    for (auto& cell : m_defaultCells) {
        cell->SetFont(&cellFont);
    }
    Refresh();
}
