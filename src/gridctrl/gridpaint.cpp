// CGridCtrl: painting. Only the rows and columns that meet the clip box are
// visited, and a hidden row or column is stepped over without a look.

#include "gridctrl/gridctrl.h"

#include <QPaintEvent>
#include <QPainter>

namespace {

// Filling the system's way: right and bottom edges exclusive.
void fillEdges(QPainter& painter, int left, int top, int right, int bottom, GridColour colour) {
    if (right > left && bottom > top) {
        painter.fillRect(QRect(left, top, right - left, bottom - top), colour.ToQColor());
    }
}

// The next index at or after `index` with a positive size; `sizes.Count()`
// when none.
int nextShown(const CGridSizes& sizes, int index) {
    if (index >= sizes.Count()) {
        return sizes.Count();
    }
    return sizes.Get(index) > 0 ? index : sizes.NthPositive(index, 1);
}

}  // namespace

void CGridCtrl::paintEvent(QPaintEvent* event) {
    QPainter painter(viewport());
    OnDraw(painter, event->rect());
    drawColumnDragMarker(painter);
    drawTrackingLine(painter);
}

void CGridCtrl::EraseBackground(QPainter& painter, const QRect& clip) {
    const int fixedHeight = GetFixedRowHeight();
    const int fixedWidth = GetFixedColumnWidth();
    QRect visible;
    GetVisibleScrollableRange(&visible);
    // The system's edges: right and bottom exclusive.
    const int clipLeft = clip.left();
    const int clipTop = clip.top();
    const int clipRight = clip.right() + 1;
    const int clipBottom = clip.bottom() + 1;
    const int visibleRight = visible.width();
    const int visibleBottom = visible.height();
    if (clipLeft < fixedWidth && clipTop < fixedHeight) {
        fillEdges(painter, clipLeft, clipTop, fixedWidth, fixedHeight,
                  GetDefaultCell(true, true)->GetBackColour());
    }
    if (clipLeft < fixedWidth && clipTop < visibleBottom) {
        fillEdges(painter, clipLeft, clipTop, fixedWidth, visibleBottom,
                  GetDefaultCell(false, true)->GetBackColour());
    }
    if (clipTop < fixedHeight && fixedWidth < clipRight && clipLeft < visibleRight) {
        fillEdges(painter, fixedWidth - 1, clipTop, visibleRight, fixedHeight,
                  GetDefaultCell(true, false)->GetBackColour());
    }
    const QRect overlap = QRect(0, 0, visibleRight, visibleBottom).intersected(clip);
    if (!overlap.isEmpty()) {
        fillEdges(painter, qMax(overlap.left(), fixedWidth), qMax(overlap.top(), fixedHeight),
                  overlap.right() + 1, overlap.bottom() + 1,
                  GetDefaultCell(false, false)->GetBackColour());
    }
    if (visibleRight < clipRight) {
        fillEdges(painter, visibleRight, clipTop, clipRight, clipBottom, m_crBkColour);
    }
    if (visibleBottom < clipBottom && clipLeft < visibleRight) {
        fillEdges(painter, clipLeft, visibleBottom, visibleRight, clipBottom, m_crBkColour);
    }
}

bool CGridCtrl::drawCell(QPainter& painter, CGridCellBase* cell, int row, int col,
                         const QRect& rect, bool erase, bool unfocused) {
    return unfocused ? cell->DrawUnfocused(painter, row, col, rect, erase)
                     : cell->Draw(painter, row, col, rect, erase);
}

void CGridCtrl::drawCellGroup(QPainter& painter, const QRect& clip, int firstRow, int lastRow,
                              int top, int firstCol, int lastCol, int left, bool scrollable) {
    const bool focused = hasFocus();
    int y = top;
    for (int row = nextShown(m_rowHeights, firstRow); row <= lastRow;
         row = nextShown(m_rowHeights, row + 1)) {
        const int height = GetRowHeight(row);
        if (y > clip.bottom()) {
            break;
        }
        if (y + height - 1 < clip.top()) {
            y += height;
            continue;
        }
        int x = left;
        for (int col = nextShown(m_colWidths, firstCol); col <= lastCol;
             col = nextShown(m_colWidths, col + 1)) {
            const int width = GetColumnWidth(col);
            if (x > clip.right()) {
                break;
            }
            if (x + width - 1 >= clip.left()) {
                if (CGridCellBase* cell = GetCell(row, col)) {
                    cell->SetCoords(row, col);
                    const bool unfocused = scrollable && !focused && cell->IsSelected();
                    drawCell(painter, cell, row, col, QRect(x, y, width, height), false, unfocused);
                }
            }
            x += width;
        }
        y += height;
    }
}

void CGridCtrl::OnDraw(QPainter& painter, const QRect& clip) {
    if (!m_allowRedraw || clip.isEmpty()) {
        return;
    }
    EraseBackground(painter, clip);
    const int fixedHeight = GetFixedRowHeight();
    const int fixedWidth = GetFixedColumnWidth();
    const CCellID topLeft = GetFirstScrollableCell();
    QRect visible;
    const CCellRange range = GetVisibleScrollableRange(&visible);
    if (m_virtualMode) {
        SendCacheHint(range);
    }
    const QRect everything(0, 0, INT_MAX / 2, INT_MAX / 2);
    drawCellGroup(painter, everything, 0, m_nFixedRows - 1, 0, 0, m_nFixedCols - 1, 0, false);
    drawCellGroup(painter, clip, topLeft.row, range.maxRow, fixedHeight, 0, m_nFixedCols - 1, 0,
                  false);
    drawCellGroup(painter, clip, 0, m_nFixedRows - 1, 0, topLeft.col, range.maxCol, fixedWidth,
                  false);
    drawCellGroup(painter, clip, topLeft.row, range.maxRow, fixedHeight, topLeft.col, range.maxCol,
                  fixedWidth, true);

    // Grid lines over the scrolling part; fixed cells draw their own edges.
    const QColor lineColour = m_crGridLineColour.ToQColor();
    if (m_gridLines == GVL_VERT || m_gridLines == GVL_BOTH) {
        int x = fixedWidth;
        for (int col = nextShown(m_colWidths, topLeft.col); col <= range.maxCol;
             col = nextShown(m_colWidths, col + 1)) {
            x += GetColumnWidth(col);
            if (visible.height() > fixedHeight) {
                painter.fillRect(QRect(x - 1, fixedHeight, 1, visible.height() - fixedHeight),
                                 lineColour);
            }
        }
    }
    if (m_gridLines == GVL_HORZ || m_gridLines == GVL_BOTH) {
        int y = fixedHeight;
        for (int row = nextShown(m_rowHeights, topLeft.row); row <= range.maxRow;
             row = nextShown(m_rowHeights, row + 1)) {
            y += GetRowHeight(row);
            if (visible.width() > fixedWidth) {
                painter.fillRect(QRect(fixedWidth, y - 1, visible.width() - fixedWidth, 1),
                                 lineColour);
            }
        }
    }
    if (m_virtualMode) {
        SendCacheHint(CCellRange());
    }
}

bool CGridCtrl::RedrawCell(int row, int col, QPainter* painter, bool unfocused) {
    QRect rect;
    if (!m_allowRedraw || !IsCellVisible(row, col) || !GetCellRect(row, col, rect)) {
        return false;
    }
    if (painter == nullptr) {
        // Widgets paint in their paint event: the cell is painted there.
        viewport()->update(rect);
        return true;
    }
    CGridCellBase* cell = GetCell(row, col);
    if (cell == nullptr) {
        return true;
    }
    const bool result = drawCell(*painter, cell, row, col, rect, true, unfocused);
    if (!IsCellFixed(row, col)) {
        const QColor lineColour = m_crGridLineColour.ToQColor();
        if (m_gridLines == GVL_HORZ || m_gridLines == GVL_BOTH) {
            painter->fillRect(QRect(rect.left(), rect.bottom(), rect.width() + 1, 1), lineColour);
        }
        if (m_gridLines == GVL_VERT || m_gridLines == GVL_BOTH) {
            painter->fillRect(QRect(rect.right(), rect.top(), 1, rect.height() + 1), lineColour);
        }
    }
    return result;
}

bool CGridCtrl::RedrawRow(int row) {
    bool result = true;
    for (int col = 0; col < m_nCols; ++col) {
        result = RedrawCell(row, col) && result;
    }
    return result;
}

void CGridCtrl::focusOutEvent(QFocusEvent* event) {
    // The selection turns to its unfocused colours at once.
    const CCellRange selected = GetSelectedCellRange();
    const CCellRange visible = GetVisibleScrollableRange();
    const CCellRange shown(
        qMax(selected.minRow, visible.minRow), qMax(selected.minCol, visible.minCol),
        qMin(selected.maxRow, visible.maxRow), qMin(selected.maxCol, visible.maxCol));
    QRect first;
    QRect last;
    if (shown.IsValid() && GetCellRect(shown.minRow, shown.minCol, first) &&
        GetCellRect(shown.maxRow, shown.maxCol, last)) {
        viewport()->update(first.united(last));
    }
    QAbstractScrollArea::focusOutEvent(event);
}

void CGridCtrl::drawColumnDragMarker(QPainter& painter) {
    QRect rect;
    if (!IsValid(m_dragMarkerCell) ||
        !GetCellRect(m_dragMarkerCell.row, m_dragMarkerCell.col, rect)) {
        return;
    }
    const int x = m_dragMarkerAtLeft ? rect.left() : rect.right();
    painter.save();
    painter.setCompositionMode(QPainter::RasterOp_SourceXorDestination);
    painter.fillRect(QRect(x, rect.top(), 2, rect.height() - 1), Qt::white);
    painter.restore();
}
