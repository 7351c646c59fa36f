// CGridCtrl: the mouse state machine, border drags, header drags, the
// auto-scroll and the title tip.

#include "gridctrl/gridctrl.h"

#include "gridctrl/gridcellbase.h"
#include "gridctrl/titletip.h"

#include <QContextMenuEvent>
#include <QCursor>
#include <QMouseEvent>
#include <QPainter>

namespace {

constexpr int kResizeRange = 3;
constexpr int kAutoScrollInterval = 25;
constexpr int kClickSquare = 3;
constexpr int kSmallestDraggedWidth = 8;

}  // namespace

// Events ------------------------------------------------------------------

void CGridCtrl::mousePressEvent(QMouseEvent* event) {
    m_pointerPoint = event->position().toPoint();
    if (event->button() == Qt::LeftButton) {
        OnLButtonDown(event->modifiers(), m_pointerPoint);
    } else if (event->button() == Qt::RightButton) {
        OnRButtonDown(event->modifiers(), m_pointerPoint);
    }
    event->accept();
}

void CGridCtrl::mouseMoveEvent(QMouseEvent* event) {
    m_pointerPoint = event->position().toPoint();
    OnMouseMove(event->buttons(), event->modifiers(), m_pointerPoint);
    event->accept();
}

void CGridCtrl::mouseReleaseEvent(QMouseEvent* event) {
    m_pointerPoint = event->position().toPoint();
    if (event->button() == Qt::LeftButton) {
        OnLButtonUp(event->modifiers(), m_pointerPoint);
        // Ending a press leaves the pointer hovering: over a border that
        // makes the next double click an auto-size.
        hoverAt(m_pointerPoint, event->buttons());
    } else if (event->button() == Qt::RightButton) {
        OnRButtonUp(event->modifiers(), m_pointerPoint);
    }
    event->accept();
}

void CGridCtrl::mouseDoubleClickEvent(QMouseEvent* event) {
    m_pointerPoint = event->position().toPoint();
    if (event->button() == Qt::LeftButton) {
        OnLButtonDblClk(event->modifiers(), m_pointerPoint);
    }
    event->accept();
}

void CGridCtrl::contextMenuEvent(QContextMenuEvent* event) {
    // The menu of a mouse click comes from the right button's release,
    // after the grid has moved its focus; the one of the press is dropped.
    if (event->reason() == QContextMenuEvent::Mouse && !m_deliveringContextMenu) {
        event->accept();
        return;
    }
    QAbstractScrollArea::contextMenuEvent(event);
}

void CGridCtrl::timerEvent(QTimerEvent* event) {
    if (event->timerId() == m_autoScrollTimer.timerId()) {
        OnTimer();
        return;
    }
    QAbstractScrollArea::timerEvent(event);
}

void CGridCtrl::leaveEvent(QEvent* event) {
    // Qt tells the grid it was left when the tip shows under the resting
    // pointer, though the tip takes no input and the pointer never moved:
    // the grid is left only once the pointer is off the tip's cell.
    if (!IsTitleTipShown() || !m_titleTip->HoverRect().contains(QCursor::pos())) {
        HideTitleTip();
    }
    QAbstractScrollArea::leaveEvent(event);
}

// The left button ------------------------------------------------------------

bool CGridCtrl::pointInCellText(const CCellID& cell, QPoint point) {
    CGridCellBase* object = GetCell(cell.row, cell.col);
    QRect rect;
    return object != nullptr && GetCellRect(cell.row, cell.col, rect) &&
           object->GetTextRect(rect) && rect.contains(point);
}

void CGridCtrl::OnLButtonDown(Qt::KeyboardModifiers keys, QPoint point) {
    setFocus(Qt::MouseFocusReason);
    HideTitleTip();
    m_leftClickDownPoint = point;
    m_leftButtonDown = true;
    const bool control = (keys & Qt::ControlModifier) != 0;
    const CCellID down = GetCellFromPt(point, true);
    m_leftClickDownCell = down;
    if (!IsValid(down)) {
        m_lastMousePoint = point;
        return;
    }
    if ((keys & Qt::ShiftModifier) == 0) {
        m_selectionStartCell = down;
    } else if (!IsValid(m_selectionStartCell)) {
        m_selectionStartCell = m_idCurrentCell;
    }
    StopEditing();
    if (CGridCellBase* cell = GetCell(down.row, down.col)) {
        cell->OnClickDown(GetCellRelativePoint(down.row, down.col, point));
    }
    if (down == m_idCurrentCell && !control && pointInCellText(down, point) &&
        IsCellEditable(down)) {
        m_mouseMode = MOUSE_PREPARE_EDIT;
        return;
    }
    if (IsCellSelected(down.row, down.col)) {
        SetFocusCell(down);
        if (control) {
            if (m_listMode) {
                SelectRows(down, true, false);
            } else {
                SelectCells(down, true, false);
            }
            return;
        }
        if (m_enableDragAndDrop) {
            m_mouseMode = MOUSE_PREPARE_DRAG;
        }
    } else if (m_mouseMode != MOUSE_OVER_COL_DIVIDE && m_mouseMode != MOUSE_OVER_ROW_DIVIDE) {
        if (IsCellFixed(down.row, down.col)) {
            SetFocusCell(-1, -1);
        } else {
            SetFocusCell(down);
        }
    }
    if (m_mouseMode == MOUSE_NOTHING) {
        if (m_allowColumnResize && IsOverColumnBorder(point)) {
            m_mouseMode = MOUSE_OVER_COL_DIVIDE;
        } else if (m_allowRowResize && IsOverRowBorder(point)) {
            m_mouseMode = MOUSE_OVER_ROW_DIVIDE;
        }
    }
    if (m_mouseMode == MOUSE_OVER_COL_DIVIDE || m_mouseMode == MOUSE_OVER_ROW_DIVIDE) {
        beginSizing(point, m_mouseMode == MOUSE_OVER_COL_DIVIDE);
    } else if (m_mouseMode != MOUSE_PREPARE_DRAG) {
        SendMessageToParent(down.row, down.col, GVN_SELCHANGING);
        m_prevSelectedCellMap.clear();
        if (control) {
            m_prevSelectedCellMap = m_selectedCellMap;
        }
        if (down.row < m_nFixedRows) {
            if (!m_allowColumnReorder) {
                OnHeaderRowClick(down);
            } else if (down.col >= m_nFixedCols) {
                m_mouseMode = MOUSE_PRESSED_HEADER;
            }
        } else if (down.col < m_nFixedCols) {
            OnHeaderColumnClick(down);
        } else {
            m_mouseMode = m_listMode ? MOUSE_SELECT_ROW : MOUSE_SELECT_CELLS;
            SelectByMouseMode(down);
            m_autoScrollTimer.start(kAutoScrollInterval, this);
        }
    }
    m_lastMousePoint = point;
}

void CGridCtrl::OnMouseMove(Qt::MouseButtons buttons, Qt::KeyboardModifiers, QPoint point) {
    const bool dragging = m_mouseMode == MOUSE_DRAGGING || m_mouseMode == MOUSE_SIZING_COL ||
                          m_mouseMode == MOUSE_SIZING_ROW || m_mouseMode == MOUSE_MOVING_COLUMN;
    if (!dragging && !viewport()->rect().contains(point)) {
        return;
    }
    if (!m_leftButtonDown || m_mouseMode == MOUSE_NOTHING) {
        hoverAt(point, buttons);
        m_lastMousePoint = point;
        return;
    }
    if (!IsValid(m_leftClickDownCell)) {
        m_lastMousePoint = point;
        return;
    }
    switch (m_mouseMode) {
        case MOUSE_SELECT_COL:
        case MOUSE_SELECT_ROW:
        case MOUSE_SELECT_CELLS: {
            const CCellID cell = GetCellFromPt(point, true);
            if (!IsValid(cell)) {
                return;
            }
            if (cell != m_idCurrentCell) {
                SelectByMouseMode(cell);
                if (!IsCellFixed(cell.row, cell.col) || m_mouseMode != MOUSE_SELECT_CELLS) {
                    SetFocusCell(cell);
                }
            }
            break;
        }
        case MOUSE_SIZING_COL:
        case MOUSE_SIZING_ROW:
            m_trackingLine = clampedTrackingPosition(point);
            viewport()->update();
            break;
        case MOUSE_PREPARE_EDIT:
        case MOUSE_PREPARE_DRAG:
            m_mouseMode = MOUSE_PREPARE_DRAG;
            OnBeginDrag();
            // The press became a drag, done or refused: its release is no click.
            m_mouseMode = MOUSE_DRAGGING;
            break;
        case MOUSE_PRESSED_HEADER:
            if (qAbs(point.x() - m_leftClickDownPoint.x()) <= kClickSquare &&
                qAbs(point.y() - m_leftClickDownPoint.y()) <= kClickSquare) {
                break;
            }
            m_mouseMode = MOUSE_MOVING_COLUMN;
            viewport()->setCursor(Qt::ForbiddenCursor);
            m_columnDragTarget = CCellID();
            break;
        case MOUSE_MOVING_COLUMN:
            moveColumnDrag(point);
            break;
        default:
            break;
    }
    m_lastMousePoint = point;
}

void CGridCtrl::hoverAt(QPoint point, Qt::MouseButtons buttons) {
    if (m_allowColumnResize && IsOverColumnBorder(point)) {
        if (m_mouseMode != MOUSE_OVER_COL_DIVIDE) {
            viewport()->setCursor(Qt::SizeHorCursor);
            m_mouseMode = MOUSE_OVER_COL_DIVIDE;
        }
    } else if (m_allowRowResize && IsOverRowBorder(point)) {
        if (m_mouseMode != MOUSE_OVER_ROW_DIVIDE) {
            viewport()->setCursor(Qt::SizeVerCursor);
            m_mouseMode = MOUSE_OVER_ROW_DIVIDE;
        }
    } else if (m_mouseMode != MOUSE_NOTHING) {
        viewport()->setCursor(Qt::ArrowCursor);
        m_mouseMode = MOUSE_NOTHING;
    }
    if (m_mouseMode == MOUSE_NOTHING && !(m_virtualMode && !m_titleTips)) {
        showTitleTipFor(point, buttons);
    }
}

void CGridCtrl::OnLButtonUp(Qt::KeyboardModifiers, QPoint point) {
    if (m_lastClickedRow != -1) {
        m_previousClickedRow = m_lastClickedRow;
    }
    m_lastClickedRow = m_idCurrentCell.row;
    m_leftButtonDown = false;
    m_autoScrollTimer.stop();
    QPoint origin;
    const QPoint relative = GetCellOrigin(m_idCurrentCell, origin) ? point - origin : QPoint(0, 0);
    const bool rowChanged =
        m_previousClickedRow == -1 || m_previousClickedRow != m_idCurrentCell.row;
    switch (m_mouseMode) {
        case MOUSE_PREPARE_EDIT:
            OnCellEditStart(m_idCurrentCell.row, m_idCurrentCell.col, relative,
                            GridEditStart::ByMouse());
            break;
        case MOUSE_PREPARE_DRAG:
            releaseOnSelectedCell(point, relative, rowChanged);
            break;
        case MOUSE_SIZING_COL:
        case MOUSE_SIZING_ROW:
            endSizing(point);
            break;
        case MOUSE_PRESSED_HEADER: {
            const CCellID cell = GetCellFromPt(point, true);
            if (cell == m_leftClickDownCell && IsValid(cell) && cell.row < m_nFixedRows) {
                OnHeaderRowClick(m_leftClickDownCell);
            }
            break;
        }
        case MOUSE_MOVING_COLUMN:
            endColumnDrag();
            break;
        case MOUSE_DRAGGING:
            break;
        default:
            if (rowChanged) {
                SendMessageToParent(m_idCurrentCell.row, m_idCurrentCell.col, GVN_SELCHANGED);
            }
            if (CGridCellBase* cell = GetCell(m_idCurrentCell.row, m_idCurrentCell.col)) {
                cell->OnClick(relative);
            }
            SendMessageToParent(m_leftClickDownCell.row, m_leftClickDownCell.col, NM_CLICK);
            break;
    }
    m_mouseMode = MOUSE_NOTHING;
    viewport()->setCursor(Qt::ArrowCursor);
    if (IsValid(m_leftClickDownCell)) {
        PostCommandToOwner();
    }
}

void CGridCtrl::releaseOnSelectedCell(QPoint point, QPoint relative, bool rowChanged) {
    if (CGridCellBase* cell = GetCell(m_idCurrentCell.row, m_idCurrentCell.col)) {
        cell->OnClick(relative);
    }
    SendMessageToParent(m_leftClickDownCell.row, m_leftClickDownCell.col, NM_CLICK);
    SendMessageToParent(m_leftClickDownCell.row, m_leftClickDownCell.col, GVN_SELCHANGING);
    const CCellRange selected = GetSelectedCellRange();
    if (selected.IsValid() && selected.maxRow > selected.minRow) {
        // A still click inside a multi-row selection keeps just its row, in
        // this grid, whichever grid the main window shows.
        const bool single = m_singleRowSelection;
        m_singleRowSelection = true;
        SelectRow(m_idCurrentCell.row);
        m_singleRowSelection = single;
        SendMessageToParent(m_idCurrentCell.row, m_idCurrentCell.col, GVN_SELCHANGED);
    } else if (rowChanged) {
        const bool paneShown = IsPropertiesPaneShown();
        if (GetCellFromPt(point, true).row != m_idCurrentCell.row || !paneShown) {
            SendMessageToParent(m_idCurrentCell.row, m_idCurrentCell.col, GVN_SELCHANGED);
        }
    }
}

int CGridCtrl::borderIndexForDoubleClick(const CGridSizes& sizes, int index,
                                         int offsetInCell) const {
    if (offsetInCell < kResizeRange) {
        --index;
    }
    while (index >= 0 && sizes.Get(index) == 0) {
        --index;
    }
    return index;
}

void CGridCtrl::OnLButtonDblClk(Qt::KeyboardModifiers, QPoint point) {
    const CCellID cell = GetCellFromPt(point, true);
    QPoint origin;
    if (!IsValid(cell) || !GetCellOrigin(cell, origin)) {
        return;
    }
    const QPoint relative = point - origin;
    if (m_mouseMode == MOUSE_OVER_COL_DIVIDE) {
        const int col = borderIndexForDoubleClick(m_colWidths, cell.col, relative.x());
        if (col >= 0) {
            AutoSizeColumn(col, m_autoSizeStyle, true);
            Refresh();
        }
    } else if (m_mouseMode == MOUSE_OVER_ROW_DIVIDE) {
        const int row = borderIndexForDoubleClick(m_rowHeights, cell.row, relative.y());
        if (row >= 0) {
            AutoSizeRow(row, true);
            Refresh();
            SendMessageToParent(cell.row, cell.col, NM_DBLCLK);
        }
    } else if (m_mouseMode == MOUSE_NOTHING) {
        if (!IsCellFixed(cell.row, cell.col) && (IsValid(m_leftClickDownCell) || m_listMode) &&
            pointInCellText(cell, point)) {
            OnCellEditStart(cell.row, cell.col, relative, GridEditStart::ByMouse());
        }
        if (CGridCellBase* object = GetCell(cell.row, cell.col)) {
            object->OnDblClick(relative);
        }
        SendMessageToParent(cell.row, cell.col, NM_DBLCLK);
    }
}

// The right button -------------------------------------------------------------

void CGridCtrl::OnRButtonDown(Qt::KeyboardModifiers, QPoint) {
    HideTitleTip();
    m_rightButtonDown = true;
}

void CGridCtrl::OnRButtonUp(Qt::KeyboardModifiers keys, QPoint point) {
    {
        const QPoint inGrid = viewport()->mapTo(this, point);
        QContextMenuEvent menu(QContextMenuEvent::Mouse, inGrid, mapToGlobal(inGrid), keys);
        m_deliveringContextMenu = true;
        QCoreApplication::sendEvent(this, &menu);
        m_deliveringContextMenu = false;
    }
    m_rightButtonDown = false;
    StopEditing();
    const CCellID cell = GetCellFromPt(point, true);
    if (!IsValid(cell)) {
        SendMessageToParent(-1, -1, NM_RCLICK);
        return;
    }
    SetFocusCell(-1, -1);
    SetFocusCell(qMax(cell.row, m_nFixedRows), qMax(cell.col, m_nFixedCols));
    if (CGridCellBase* object = GetCell(cell.row, cell.col)) {
        object->OnRClick(GetCellRelativePoint(cell.row, cell.col, point));
    }
    SendMessageToParent(cell.row, cell.col, NM_RCLICK);
}

// Auto-scroll ----------------------------------------------------------------------

void CGridCtrl::OnTimer() {
    const QRect client = viewport()->rect();
    const int fixedHeight = GetFixedRowHeight();
    const int fixedWidth = GetFixedColumnWidth();
    const QPoint pointer = m_pointerPoint;
    auto pressKey = [this](int key) {
        QKeyEvent event(QEvent::KeyPress, key, Qt::NoModifier);
        OnKeyDown(&event);
    };
    int y = -1;
    if (pointer.y() > client.bottom()) {
        pressKey(Qt::Key_Down);
        y = client.bottom();
    } else if (pointer.y() < fixedHeight) {
        pressKey(Qt::Key_Up);
        y = fixedHeight + 1;
    }
    if (y >= 0) {
        SelectByMouseMode(
            GetCellFromPt(QPoint(qBound(client.left(), pointer.x(), client.right()), y), true));
    }
    int x = -1;
    if (pointer.x() > client.right()) {
        pressKey(Qt::Key_Right);
        x = client.right();
    } else if (pointer.x() < fixedWidth) {
        pressKey(Qt::Key_Left);
        x = fixedWidth + 1;
    }
    if (x >= 0) {
        SelectByMouseMode(
            GetCellFromPt(QPoint(x, qBound(client.top(), pointer.y(), client.bottom())), true));
    }
}

// Border drags ------------------------------------------------------------------------

void CGridCtrl::beginSizing(QPoint point, bool columns) {
    m_mouseMode = columns ? MOUSE_SIZING_COL : MOUSE_SIZING_ROW;
    const CGridSizes& sizes = columns ? m_colWidths : m_rowHeights;
    const int count = columns ? m_nCols : m_nRows;
    const bool hidingAllowed = columns ? m_hiddenColUnhide : m_hiddenRowUnhide;
    const CCellID cell = GetCellFromPt(point, true);
    int index = columns ? cell.col : cell.row;
    const int along = columns ? point.x() : point.y();
    QRect visible;
    GetVisibleScrollableRange(&visible);
    const int visibleEnd = columns ? visible.right() : visible.bottom();
    const int last = count - 1;
    const bool lastIsThin = last >= 0 && static_cast<int>(sizes.Get(last)) < kResizeRange;
    if (hidingAllowed && lastIsThin && visibleEnd - along < kResizeRange) {
        index = last;
    }
    auto originOf = [&](int at, int& origin) {
        QPoint corner;
        const bool found = columns ? GetCellOrigin(0, at, corner) : GetCellOrigin(at, 0, corner);
        origin = columns ? corner.x() : corner.y();
        return found;
    };
    int origin = 0;
    if (index < 0 || !originOf(index, origin)) {
        m_mouseMode = MOUSE_NOTHING;
        return;
    }
    const bool onLeadingBorder = along - origin < kResizeRange;
    if (onLeadingBorder && !(index == last && lastIsThin)) {
        --index;
        if (!hidingAllowed) {
            // The one before the border must be shown.
            while (index >= 0 && sizes.Get(index) == 0) {
                --index;
            }
        }
        if (index < 0 || !originOf(index, origin)) {
            m_mouseMode = MOUSE_NOTHING;
            return;
        }
    }
    m_sizingIndex = index;
    m_sizingOrigin = origin;
    m_trackingLine = clampedTrackingPosition(point);
    viewport()->update();
}

int CGridCtrl::clampedTrackingPosition(QPoint point) const {
    const bool columns = m_mouseMode == MOUSE_SIZING_COL;
    const int along = columns ? point.x() : point.y();
    const int room = columns ? viewport()->width() - GetFixedColumnWidth()
                             : viewport()->height() - GetFixedRowHeight();
    // A row may be dragged shut when rows may be sized to zero.
    const int smallest = columns || !m_rowsSizeToZero ? 1 : 0;
    return qBound(m_sizingOrigin + smallest, along, m_sizingOrigin + qMax(room, 0) + 1);
}

void CGridCtrl::endSizing(QPoint point) {
    const bool columns = m_mouseMode == MOUSE_SIZING_COL;
    m_trackingLine = -1;
    viewport()->update();
    QPoint origin;
    const bool hasOrigin =
        columns ? GetCellOrigin(0, m_sizingIndex, origin) : GetCellOrigin(m_sizingIndex, 0, origin);
    if (point == m_leftClickDownPoint || point == QPoint(0, 0) || !hasOrigin) {
        return;
    }
    const int size = clampedTrackingPosition(point) - (columns ? origin.x() : origin.y());
    if (columns) {
        SetColumnWidth(m_sizingIndex, qMax(size, kSmallestDraggedWidth));
    } else {
        SetRowHeight(m_sizingIndex, qMax(size, m_rowsSizeToZero ? 0 : 1));
    }
    ResetScrollBars();
    Refresh();
}

void CGridCtrl::drawTrackingLine(QPainter& painter) {
    if (m_trackingLine < 0) {
        return;
    }
    const QRect client = viewport()->rect();
    const QRect line = m_mouseMode == MOUSE_SIZING_COL
                           ? QRect(m_trackingLine, client.top(), 2, client.height())
                           : QRect(client.left(), m_trackingLine, client.width(), 2);
    painter.save();
    painter.setCompositionMode(QPainter::RasterOp_SourceXorDestination);
    painter.fillRect(line, Qt::white);
    painter.restore();
}

// Header drags ----------------------------------------------------------------------------

void CGridCtrl::moveColumnDrag(QPoint point) {
    const CCellID over = GetCellFromPt(point, true);
    const CCellID dragged = m_leftClickDownCell;
    const bool outside = !viewport()->rect().contains(point);
    if (IsValid(m_columnDragTarget) &&
        (!IsValid(over) || outside || over.col != m_columnDragTarget.col)) {
        ClearColumnDragMarker();
        m_columnDragTarget = CCellID();
    }
    if (IsValid(dragged) && IsValid(over) && !outside && dragged.row < m_nFixedRows &&
        over.col != dragged.col && over.col >= m_nFixedCols && dragged.col >= m_nFixedCols &&
        over.col != m_columnDragTarget.col) {
        m_columnDragTarget = CCellID(dragged.row, over.col);
        SetColumnDragMarker(m_columnDragTarget, over.col < dragged.col);
    }
    viewport()->setCursor(IsValid(m_columnDragTarget) ? Qt::DragMoveCursor : Qt::ForbiddenCursor);
}

void CGridCtrl::endColumnDrag() {
    if (!IsValid(m_columnDragTarget)) {
        return;
    }
    const CCellID target = m_columnDragTarget;
    MoveColumn(m_leftClickDownCell.col, target.col);
    SendMessageToParent(target.row, m_leftClickDownCell.col, GVN_ENDDRAG);
    ClearColumnDragMarker();
    m_columnDragTarget = CCellID();
}

// The title tip ---------------------------------------------------------------------------

CTitleTip& CGridCtrl::titleTip() {
    if (!m_titleTip) {
        m_titleTip = std::make_unique<CTitleTip>(viewport());
    }
    return *m_titleTip;
}

bool CGridCtrl::IsTitleTipShown() const {
    return m_titleTip && m_titleTip->IsShown();
}

void CGridCtrl::HideTitleTip() {
    if (m_titleTip) {
        m_titleTip->Hide();
    }
}

void CGridCtrl::showTitleTipFor(QPoint point, Qt::MouseButtons buttons) {
    if (IsTitleTipShown()) {
        if (m_titleTip->HoverRect().contains(viewport()->mapToGlobal(point))) {
            return;
        }
        HideTitleTip();
    }
    const CCellID cell = GetCellFromPt(point, true);
    CGridCellBase* object = GetCell(cell.row, cell.col);
    if (object == nullptr) {
        return;
    }
    object->OnMouseOver();
    if (!m_virtualMode) {
        object->OnSetCursor();
    }
    if (!m_titleTips || (buttons & Qt::RightButton) != 0 || object->IsEditing()) {
        return;
    }
    QString text = object->GetTipText();
    QRect cellRect;
    if (text.isEmpty() || !GetCellRect(cell.row, cell.col, cellRect)) {
        return;
    }
    QRect tipRect = cellRect;
    if (!object->GetTipTextRect(tipRect)) {
        return;
    }
    // A header cell may have its own tip, and leaves a pixel less room.
    const bool header = cell.row == 0;
    if (header) {
        const QString headerTip = GetColumnHeaderTip(cell.col);
        if (!headerTip.isEmpty()) {
            text = headerTip;
        }
    }
    m_titleTipCell = cell;
    const CGridCellFont* font = object->GetFont();
    titleTip().Show(tipRect, text, 0, &cellRect, font != nullptr ? &font->font : nullptr,
                    m_crTTipTextClr, m_crTTipBackClr, header);
}
