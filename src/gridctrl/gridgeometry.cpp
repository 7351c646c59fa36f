// CGridCtrl: sizes, positions, visibility, hit-testing, the scroll bars,
// scrolling and the wheel. Every query runs on the running sums of the
// sizes, so none walks the rows.

#include "gridctrl/gridctrl.h"

#include "gridctrl/gridowner.h"

#include <QApplication>
#include <QResizeEvent>
#include <QScrollBar>
#include <QStyle>
#include <QWheelEvent>

namespace {

constexpr int kResizeCaptureRange = 3;
constexpr int kWheelDelta = 120;

int sizeAt(const CGridSizes& sizes, int count, int index) {
    if (index < 0 || index >= count || index >= sizes.Count()) {
        return -1;
    }
    return static_cast<int>(sizes.Get(index));
}

}  // namespace

int CGridCtrl::GetRowHeight(int row) const {
    return sizeAt(m_rowHeights, m_nRows, row);
}

int CGridCtrl::GetColumnWidth(int col) const {
    return sizeAt(m_colWidths, m_nCols, col);
}

int CGridCtrl::GetFixedRowHeight() const {
    int height = 0;
    for (int row = 0; row < m_nFixedRows; ++row) {
        height += GetRowHeight(row);
    }
    return height;
}

int CGridCtrl::GetFixedColumnWidth() const {
    int width = 0;
    for (int col = 0; col < m_nFixedCols; ++col) {
        width += GetColumnWidth(col);
    }
    return width;
}

long long CGridCtrl::GetVirtualHeight() const {
    return m_rowHeights.Total();
}

long long CGridCtrl::GetVirtualWidth() const {
    return m_colWidths.Total();
}

bool CGridCtrl::SetRowHeight(int row, int height) {
    if (row < 0 || row >= m_nRows || height < 0 || row >= m_rowHeights.Count()) {
        return false;
    }
    m_rowHeights.Set(row, static_cast<unsigned>(height));
    ResetScrollBars();
    return true;
}

bool CGridCtrl::SetColumnWidth(int col, int width) {
    if (col < 0 || col >= m_nCols || width < 0 || col >= m_colWidths.Count()) {
        return false;
    }
    if (GetColumnWidth(col) == width) {
        return true;
    }
    const int usable = viewport()->width() - style()->pixelMetric(QStyle::PM_ScrollBarExtent);
    unsigned stored = static_cast<unsigned>(width);
    if (usable > 0 && m_nCols > 1) {
        // The fraction is single precision and the product is truncated:
        // 0.95 of 500 gives 474.
        const unsigned largest =
            static_cast<unsigned>(static_cast<double>(m_maxColumnWidthFraction) * usable);
        stored = qMin(stored, largest);
    }
    m_colWidths.Set(col, stored);
    ResetScrollBars();
    SendMessageToParent(0, col, GVN_COLUMNRESIZED);
    return true;
}

void CGridCtrl::SetMaxColumnWidthFraction(float fraction) {
    m_maxColumnWidthFraction = qBound(0.0f, fraction, 1.0f);
}

int CGridCtrl::firstScrollableIndex(const CGridSizes& sizes, int fixedCount, int position) const {
    const int last = sizes.Count() - 1;
    if (position <= 0 || fixedCount >= last) {
        return fixedCount;
    }
    // The first index whose sum from the first scrollable one reaches the
    // position; the one after it starts the view.
    const int reached = sizes.LowerBound(sizes.Prefix(fixedCount) + position);
    return qMin(reached + 1, last);
}

CCellID CGridCtrl::GetFirstScrollableCell(bool forceRecompute) {
    if (forceRecompute || m_idTopLeftCell.row < 0 || m_idTopLeftCell.col < 0) {
        m_idTopLeftCell.row =
            firstScrollableIndex(m_rowHeights, m_nFixedRows, GetScrollPos(Qt::Vertical));
        m_idTopLeftCell.col =
            firstScrollableIndex(m_colWidths, m_nFixedCols, GetScrollPos(Qt::Horizontal));
    }
    return m_idTopLeftCell;
}

int CGridCtrl::maxVisibleIndex(const CGridSizes& sizes, int fixed, int first, int limit,
                               int& extent) const {
    const int count = sizes.Count();
    if (first >= count) {
        extent = fixed;
        return qMin(first, count - 1);
    }
    const qint64 room = static_cast<qint64>(limit) - fixed;
    const int reached = qMax(first, sizes.LowerBound(sizes.Prefix(first) + room));
    if (reached >= count) {
        extent = static_cast<int>(fixed + sizes.Sum(first, count));
        return count - 1;
    }
    extent = limit;
    return reached;
}

CCellRange CGridCtrl::GetVisibleScrollableRange(QRect* rect, bool forceRecompute) {
    const CCellID topLeft = GetFirstScrollableCell(forceRecompute);
    int bottom = 0;
    int right = 0;
    const int maxRow = maxVisibleIndex(m_rowHeights, GetFixedRowHeight(), topLeft.row,
                                       viewport()->height(), bottom);
    const int maxCol = maxVisibleIndex(m_colWidths, GetFixedColumnWidth(), topLeft.col,
                                       viewport()->width(), right);
    if (rect != nullptr) {
        *rect = QRect(0, 0, right, bottom);
    }
    return {topLeft.row, topLeft.col, maxRow, maxCol};
}

bool CGridCtrl::GetCellOrigin(int row, int col, QPoint& origin) {
    if (!IsValid(row, col)) {
        return false;
    }
    const CCellID topLeft = GetFirstScrollableCell();
    if (row >= m_nFixedRows && row < topLeft.row) {
        return false;
    }
    if (col >= m_nFixedCols && col < topLeft.col) {
        return false;
    }
    const qint64 x = col < m_nFixedCols ? m_colWidths.Prefix(col)
                                        : GetFixedColumnWidth() + m_colWidths.Sum(topLeft.col, col);
    const qint64 y = row < m_nFixedRows ? m_rowHeights.Prefix(row)
                                        : GetFixedRowHeight() + m_rowHeights.Sum(topLeft.row, row);
    origin = QPoint(static_cast<int>(qMin<qint64>(x, INT_MAX)),
                    static_cast<int>(qMin<qint64>(y, INT_MAX)));
    return true;
}

bool CGridCtrl::GetCellRect(int row, int col, QRect& rect) {
    QPoint origin;
    if (!GetCellOrigin(row, col, origin)) {
        return false;
    }
    rect = QRect(origin.x(), origin.y(), GetColumnWidth(col), GetRowHeight(row));
    return true;
}

QPoint CGridCtrl::GetCellRelativePoint(int row, int col, QPoint point) {
    QPoint origin;
    if (!GetCellOrigin(row, col, origin)) {
        return {0, 0};
    }
    return point - origin;
}

bool CGridCtrl::IsCellVisible(int row, int col) {
    QPoint origin;
    if (!GetCellOrigin(row, col, origin)) {
        return false;
    }
    return origin.x() < viewport()->width() && origin.y() < viewport()->height();
}

int CGridCtrl::indexFromOffset(const CGridSizes& sizes, int fixedCount, int fixedSize, int topLeft,
                               int offset, bool allowFixed) const {
    if (offset < 0) {
        return -1;
    }
    if (offset < fixedSize) {
        return allowFixed ? qMin(sizes.LowerBound(offset + 1), fixedCount - 1) : -1;
    }
    const qint64 target = sizes.Prefix(topLeft) + (offset - fixedSize) + 1;
    const int index = qMax(topLeft, sizes.LowerBound(target));
    return index < sizes.Count() ? index : -1;
}

CCellID CGridCtrl::GetCellFromPt(QPoint point, bool allowFixedCells) {
    const CCellID topLeft = GetFirstScrollableCell();
    if (!allowFixedCells && !IsValid(topLeft)) {
        return {};
    }
    return {indexFromOffset(m_rowHeights, m_nFixedRows, GetFixedRowHeight(), topLeft.row, point.y(),
                            allowFixedCells),
            indexFromOffset(m_colWidths, m_nFixedCols, GetFixedColumnWidth(), topLeft.col,
                            point.x(), allowFixedCells)};
}

bool CGridCtrl::IsOverRowBorder(QPoint point) {
    if (point.x() >= GetFixedColumnWidth()) {
        return false;
    }
    const CCellID cell = GetCellFromPt(point, true);
    QPoint origin;
    if (!IsValid(cell) || !GetCellOrigin(cell, origin)) {
        return false;
    }
    if (point.y() - origin.y() < kResizeCaptureRange && cell.row != 0) {
        return true;
    }
    return origin.y() + GetRowHeight(cell.row) - point.y() < kResizeCaptureRange;
}

bool CGridCtrl::IsOverColumnBorder(QPoint point) {
    if (point.y() >= GetFixedRowHeight()) {
        return false;
    }
    const CCellID cell = GetCellFromPt(point, true);
    QPoint origin;
    if (!IsValid(cell) || !GetCellOrigin(cell, origin)) {
        return false;
    }
    if (point.x() - origin.x() < kResizeCaptureRange && cell.col != 0) {
        return true;
    }
    return origin.x() + GetColumnWidth(cell.col) - point.x() < kResizeCaptureRange;
}

bool CGridCtrl::InvalidateCellRect(int row, int col) {
    QRect rect;
    if (!m_allowRedraw || !IsValid(row, col) || !IsCellVisible(row, col) ||
        !GetCellRect(row, col, rect)) {
        return false;
    }
    viewport()->update(rect);
    return true;
}

// Scroll bars ------------------------------------------------------------------

int CGridCtrl::GetScrollPos(Qt::Orientation orientation) const {
    return orientation == Qt::Vertical ? verticalScrollBar()->value()
                                       : horizontalScrollBar()->value();
}

void CGridCtrl::SetScrollPos(Qt::Orientation orientation, int position) {
    QScrollBar* bar = orientation == Qt::Vertical ? verticalScrollBar() : horizontalScrollBar();
    bar->setValue(position);
    m_idTopLeftCell = CCellID();
}

int CGridCtrl::scrollBarMaximum(Qt::Orientation orientation) const {
    return orientation == Qt::Vertical ? m_nVScrollMax : m_nHScrollMax;
}

void CGridCtrl::connectScrollBars() {
    for (QScrollBar* bar : {verticalScrollBar(), horizontalScrollBar()}) {
        const Qt::Orientation orientation = bar->orientation();
        connect(bar, &QScrollBar::actionTriggered, this,
                [this, orientation](int action) { onScrollAction(orientation, action); });
        connect(bar, &QScrollBar::valueChanged, this, [this] { m_idTopLeftCell = CCellID(); });
    }
}

void CGridCtrl::onScrollAction(Qt::Orientation orientation, int action) {
    int code = -1;
    switch (action) {
        case QAbstractSlider::SliderSingleStepAdd:
            code = SB_LINEDOWN;
            break;
        case QAbstractSlider::SliderSingleStepSub:
            code = SB_LINEUP;
            break;
        case QAbstractSlider::SliderPageStepAdd:
            code = SB_PAGEDOWN;
            break;
        case QAbstractSlider::SliderPageStepSub:
            code = SB_PAGEUP;
            break;
        case QAbstractSlider::SliderToMinimum:
            code = SB_TOP;
            break;
        case QAbstractSlider::SliderToMaximum:
            code = SB_BOTTOM;
            break;
        default:
            // Dragging the thumb moves the view as it goes.
            return;
    }
    QScrollBar* bar = orientation == Qt::Vertical ? verticalScrollBar() : horizontalScrollBar();
    // The bar has moved its slider by its own step; the grid's step wins.
    bar->setSliderPosition(bar->value());
    scrollBy(orientation, code, 0);
}

void CGridCtrl::ResetScrollBars() {
    m_idTopLeftCell = CCellID();
    const QRect client = viewport()->rect();
    if (!m_allowRedraw || client.isEmpty()) {
        return;
    }
    const int barWidth =
        style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, verticalScrollBar());
    const int barHeight =
        style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, horizontalScrollBar());
    int usableWidth = client.width() + ((m_scrollBars & GVSB_VERT) != 0 ? barWidth : 0);
    int usableHeight = client.height() + ((m_scrollBars & GVSB_HORZ) != 0 ? barHeight : 0);
    const int fixedWidth = GetFixedColumnWidth();
    const int fixedHeight = GetFixedRowHeight();
    unsigned bars = 0;
    m_nVScrollMax = m_nHScrollMax = 0;
    m_vScrollPage = m_hScrollPage = 0;
    if (usableWidth - fixedWidth > 0 && usableHeight - fixedHeight > 0) {
        const qint64 scrollHeight = GetVirtualHeight() - fixedHeight;
        const qint64 scrollWidth = GetVirtualWidth() - fixedWidth;
        if (usableHeight - fixedHeight < scrollHeight) {
            usableWidth -= barWidth;
        }
        if (usableWidth - fixedWidth < scrollWidth) {
            usableHeight -= barHeight;
        }
        if (usableHeight - fixedHeight < scrollHeight) {
            bars |= GVSB_VERT;
            m_nVScrollMax = static_cast<int>(qMin<qint64>(scrollHeight - 1, INT_MAX / 2));
            m_vScrollPage = usableHeight - fixedHeight;
        }
        if (usableWidth - fixedWidth < scrollWidth) {
            bars |= GVSB_HORZ;
            m_nHScrollMax = static_cast<int>(qMin<qint64>(scrollWidth - 1, INT_MAX / 2));
            m_hScrollPage = usableWidth - fixedWidth;
        }
    }
    // The last position shows the last page whole.
    verticalScrollBar()->setRange(0, qMax(0, m_nVScrollMax - m_vScrollPage + 1));
    verticalScrollBar()->setPageStep(m_vScrollPage);
    horizontalScrollBar()->setRange(0, qMax(0, m_nHScrollMax - m_hScrollPage + 1));
    horizontalScrollBar()->setPageStep(m_hScrollPage);
    if (bars != m_scrollBars) {
        m_scrollBars = bars;
        setVerticalScrollBarPolicy((bars & GVSB_VERT) != 0 ? Qt::ScrollBarAlwaysOn
                                                           : Qt::ScrollBarAlwaysOff);
        setHorizontalScrollBarPolicy((bars & GVSB_HORZ) != 0 ? Qt::ScrollBarAlwaysOn
                                                             : Qt::ScrollBarAlwaysOff);
    }
}

void CGridCtrl::resizeEvent(QResizeEvent* event) {
    static bool resizing = false;
    QAbstractScrollArea::resizeEvent(event);
    // Only the first size registers.
    m_dropTarget.Register(this);
    if (resizing) {
        return;
    }
    resizing = true;
    StopEditing();
    ResetScrollBars();
    resizing = false;
}

void CGridCtrl::scrollContentsBy(int dx, int dy) {
    // Only the scrolling part moves; the fixed rows and columns stay.
    const QRect client = viewport()->rect();
    if (dy != 0) {
        const int fixedHeight = GetFixedRowHeight();
        viewport()->update(QRect(0, fixedHeight, client.width(), client.height() - fixedHeight));
    }
    if (dx != 0) {
        const int fixedWidth = GetFixedColumnWidth();
        viewport()->update(QRect(fixedWidth, 0, client.width() - fixedWidth, client.height()));
    }
}

void CGridCtrl::lineScroll(Qt::Orientation orientation, bool forward, int count) {
    const bool vertical = orientation == Qt::Vertical;
    const CGridSizes& sizes = vertical ? m_rowHeights : m_colWidths;
    const int fixedCount = vertical ? m_nFixedRows : m_nFixedCols;
    const int last = sizes.Count() - 1;
    QScrollBar* bar = vertical ? verticalScrollBar() : horizontalScrollBar();
    while (count > 0 && last >= fixedCount) {
        const int position = GetScrollPos(orientation);
        const int topLeft = vertical ? GetFirstScrollableCell().row : GetFirstScrollableCell().col;
        // How far the view's first row starts below the position. While it
        // is below every row's size, each step moves one whole row and a
        // run of steps ends where the sums say.
        const qint64 gap = sizes.Sum(fixedCount, topLeft) - position;
        const bool wholeRows = sizes.SmallestPositive() == 0 || gap < sizes.SmallestPositive();
        qint64 next = position;
        int steps = 1;
        if (forward) {
            if (position >= scrollBarMaximum(orientation)) {
                return;
            }
            const int available = sizes.PositiveCount(topLeft, last + 1);
            if (wholeRows && available > 0) {
                steps = count;
                const int end = sizes.NthPositive(topLeft, qMin(count, available));
                next = position + sizes.Sum(topLeft, end + 1);
            } else {
                const int row = available > 0 ? sizes.NthPositive(topLeft, 1) : last;
                next = position + sizes.Get(row);
            }
            next = qMin<qint64>(next, bar->maximum());
        } else {
            if (position < 1 || topLeft <= fixedCount) {
                return;
            }
            const int above = sizes.PositiveCount(fixedCount, topLeft);
            if (wholeRows && above > 0) {
                steps = count;
                const int start = sizes.NthPositive(fixedCount, above - qMin(count, above) + 1);
                next = position - sizes.Sum(start, topLeft);
            } else {
                const int row = above > 0 ? sizes.NthPositive(fixedCount, above) : fixedCount;
                next = position - sizes.Get(row);
            }
            next = qMax<qint64>(next, 0);
        }
        count -= steps;
        if (next == position) {
            return;
        }
        SetScrollPos(orientation, static_cast<int>(next));
    }
}

void CGridCtrl::OnVScroll(int code, int thumbPosition) {
    scrollBy(Qt::Vertical, code, thumbPosition);
}

void CGridCtrl::OnHScroll(int code, int thumbPosition) {
    scrollBy(Qt::Horizontal, code, thumbPosition);
}

void CGridCtrl::scrollBy(Qt::Orientation orientation, int code, int thumbPosition) {
    StopEditing();
    HideTitleTip();
    const bool vertical = orientation == Qt::Vertical;
    const int position = GetScrollPos(orientation);
    const int maximum = scrollBarMaximum(orientation);
    GetFirstScrollableCell();
    const int pageSize = vertical ? viewport()->height() - GetFixedRowHeight()
                                  : viewport()->width() - GetFixedColumnWidth();
    switch (code) {
        case SB_LINEUP:
            lineScroll(orientation, false, 1);
            break;
        case SB_LINEDOWN:
            lineScroll(orientation, true, 1);
            break;
        case SB_PAGEUP:
            if (position >= 1) {
                SetScrollPos(orientation, qMax(position - pageSize, 0));
            }
            break;
        case SB_PAGEDOWN:
            if (position < maximum) {
                SetScrollPos(orientation, qMin(position + pageSize, maximum));
            }
            break;
        case SB_THUMBPOSITION:
        case SB_THUMBTRACK:
            SetScrollPos(orientation, thumbPosition);
            break;
        case SB_TOP:
            if (position > 0) {
                SetScrollPos(orientation, 0);
            }
            viewport()->update();
            return;
        case SB_BOTTOM:
            if (position < maximum) {
                SetScrollPos(orientation, maximum);
            }
            viewport()->update();
            return;
        default:
            return;
    }
    scrollContentsBy(vertical ? 0 : 1, vertical ? 1 : 0);
}

void CGridCtrl::postScroll(int code, int count) {
    QMetaObject::invokeMethod(
        this,
        [this, code, count] {
            if (code == SB_LINEUP || code == SB_LINEDOWN) {
                StopEditing();
                lineScroll(Qt::Vertical, code == SB_LINEDOWN, count);
                scrollContentsBy(0, 1);
                return;
            }
            for (int step = 0; step < count; ++step) {
                OnVScroll(code);
            }
        },
        Qt::QueuedConnection);
}

void CGridCtrl::wheelEvent(QWheelEvent* event) {
    const int delta = event->angleDelta().y();
    event->accept();
    if (delta == 0) {
        return;
    }
    // Smooth wheels and touchpads send parts of a notch; the parts add up.
    if (m_nRowsPerWheelNotch == -1) {
        const int total = m_wheelRemainder + delta;
        const int pages = total / kWheelDelta;
        m_wheelRemainder = total - pages * kWheelDelta;
        if (pages != 0) {
            postScroll(pages > 0 ? SB_PAGEUP : SB_PAGEDOWN, qAbs(pages));
        }
        return;
    }
    const int total = m_wheelRemainder + m_nRowsPerWheelNotch * delta;
    const int lines = total / kWheelDelta;
    m_wheelRemainder = total - lines * kWheelDelta;
    if (lines != 0) {
        postScroll(lines > 0 ? SB_LINEUP : SB_LINEDOWN, qAbs(lines));
    }
}

void CGridCtrl::EnsureVisible(int row, int col) {
    QWidget* focus = QApplication::focusWidget();
    if (!m_allowRedraw || focus == nullptr) {
        return;
    }
    const CCellRange visible = GetVisibleScrollableRange();
    lineScroll(Qt::Horizontal, true, m_colWidths.PositiveCount(visible.maxCol + 1, col + 1));
    lineScroll(Qt::Horizontal, false, m_colWidths.PositiveCount(col, visible.minCol));
    lineScroll(Qt::Vertical, true, m_rowHeights.PositiveCount(visible.maxRow + 1, row + 1));
    lineScroll(Qt::Vertical, false, m_rowHeights.PositiveCount(row, visible.minRow));
    QRect rect;
    if (GetCellRect(row, col, rect)) {
        const QRect client = viewport()->rect();
        while (rect.right() > client.width() && GetFixedColumnWidth() < rect.left() &&
               (m_scrollBars & GVSB_HORZ) != 0) {
            const int before = GetScrollPos(Qt::Horizontal);
            lineScroll(Qt::Horizontal, true, 1);
            if (GetScrollPos(Qt::Horizontal) == before || !GetCellRect(row, col, rect)) {
                break;
            }
        }
        while (GetCellRect(row, col, rect) && rect.bottom() > client.height() &&
               GetFixedRowHeight() < rect.top() && (m_scrollBars & GVSB_VERT) != 0) {
            const int before = GetScrollPos(Qt::Vertical);
            lineScroll(Qt::Vertical, true, 1);
            if (GetScrollPos(Qt::Vertical) == before) {
                break;
            }
        }
        viewport()->update();
    }
    if (QApplication::focusWidget() != focus) {
        focus->setFocus();
    }
}

// The column-drag marker ------------------------------------------------------

void CGridCtrl::SetColumnDragMarker(const CCellID& cell, bool atLeft) {
    m_dragMarkerCell = cell;
    m_dragMarkerAtLeft = atLeft;
    viewport()->update();
}

void CGridCtrl::ClearColumnDragMarker() {
    m_dragMarkerCell = CCellID();
    viewport()->update();
}
