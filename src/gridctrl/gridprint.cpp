// Printing of the grid: a header band, the column headings, the row
// headings, the body and a footer band on every page. The page is drawn in
// logical units mapped onto the printer's pixels, so a grid prints either at
// three quarters of its screen scale (in column pages) or fitted to the
// page's width.

#include "framework/kformat.h"
#include "framework/klog.h"
#include "gridctrl/gridcellbase.h"
#include "gridctrl/gridctrl.h"
#include "settings/datetimeformat.h"
#include "settings/langpack.h"

#include <QPainter>
#include <QPrintDialog>
#include <QPrinter>

#include <algorithm>
#include <limits>

namespace {

// The text whose extent gives the printer font's character metrics.
constexpr QStringView kPrintMetricsSample =
    u"abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSATUVWXYZ";
// The pack entry of the application title that heads every page.
constexpr QStringView kAppTitleKey = u"AFX_IDS_APP_TITLE";
// The widest a column grows on the page for its texts, in screen pixels.
constexpr int kWidestPrintedColumn = 800;

// a * b / c rounded to the nearest whole number, for positive c; -1 for
// any other c.
int printMulDiv(int a, int b, int c) {
    if (c <= 0) {
        return -1;
    }
    return static_cast<int>((static_cast<long long>(a) * b + c / 2) / c);
}

// Where each page starts along one direction: a new page each time the
// running sum of the sizes passes `extent`, the sum restarting with the size
// that did not fit.
template <typename SizeOf>
std::vector<int> printPageStarts(int first, int end, int extent, SizeOf sizeOf) {
    std::vector<int> starts{first};
    long long sum = 0;
    for (int index = first; index < end; ++index) {
        const int size = sizeOf(index);
        sum += size;
        if (sum > extent) {
            starts.push_back(index);
            sum = size;
        }
    }
    return starts;
}

QFont boldCopy(const QFont& font) {
    QFont bold = font;
    bold.setWeight(QFont::Bold);
    return bold;
}

// The grid lines of one printed cell, with the current pen.
void drawGridPrintedLines(QPainter& painter, int gridLines, const QRect& cell,
                          const GridPrintedLines& lines) {
    if (gridLines & GVL_HORZ) {
        const int from = lines.horizontalFromLeft ? cell.left() : cell.left() - 1;
        painter.drawLine(from, cell.bottom(), cell.right(), cell.bottom());
        if (lines.topEdge) {
            painter.drawLine(from, cell.top(), cell.right(), cell.top());
        }
    }
    if (gridLines & GVL_VERT) {
        const int from = lines.verticalFromTop ? cell.top() : cell.top() - 1;
        painter.drawLine(cell.right(), from, cell.right(), cell.bottom());
        if (lines.leftEdge) {
            painter.drawLine(cell.left(), from, cell.left(), cell.bottom());
        }
    }
}

}  // namespace

bool CGridCtrl::Print(QPrintDialog* dialog) {
    if (dialog != nullptr) {
        return PrintTo(*dialog->printer());
    }
    QPrinter printer(QPrinter::HighResolution);
    QPrintDialog ownDialog(&printer, this);
    ownDialog.setPrintRange(QAbstractPrintDialog::AllPages);
    ownDialog.setOption(QAbstractPrintDialog::PrintSelection, false);
    ownDialog.setOption(QAbstractPrintDialog::PrintPageRange, false);
    ownDialog.setOption(QAbstractPrintDialog::PrintCurrentPage, false);
    if (ownDialog.exec() != QDialog::Accepted) {
        return false;
    }
    return PrintTo(printer);
}

QString CGridCtrl::printAncestorTitle() const {
    for (const QWidget* window = parentWidget(); window != nullptr;
         window = window->parentWidget()) {
        if (!window->windowTitle().isEmpty()) {
            return window->windowTitle();
        }
    }
    return {};
}

bool CGridCtrl::PrintTo(QPrinter& printer) {
    QString name = LangLookup(kAppTitleKey.toString());
    if (name.isEmpty()) {
        name = printAncestorTitle();
    }
    printer.setDocName(name);
    m_printPage = {};
    m_printMetrics = {};
    QPainter painter;
    bool printing = painter.begin(&printer);
    if (printing) {
        m_printPage.area = QRect(0, 0, printer.width(), printer.height());
        OnBeginPrinting(painter);
        // A job that could not be laid out prints nothing rather than the
        // record's open-ended page range.
        printing = m_printMetrics.pageCount > 0;
    }
    for (int page = m_printPage.minPage; printing && page <= m_printPage.maxPage; ++page) {
        if (page > m_printPage.minPage && !printer.newPage()) {
            printing = false;
            break;
        }
        m_printPage.currentPage = page;
        OnPrint(painter);
    }
    OnEndPrinting(painter);
    if (printing) {
        printing = painter.end();
    } else {
        kDebugLog(u"CGridCtrl::Print: the print job of \"%s\" failed and is aborted", name);
        printer.abort();
        if (painter.isActive()) {
            painter.end();
        }
    }
    return printing;
}

void CGridCtrl::OnBeginPrinting(QPainter& painter) {
    QPaintDevice* device = painter.device();
    if (!painter.isActive() || device == nullptr || device->logicalDpiX() <= 0 ||
        device->logicalDpiY() <= 0 || device->width() <= 0 || device->height() <= 0) {
        return;
    }
    QFont font(u"Arial"_qs);
    font.setPixelSize(10);
    font.setWeight(QFont::Normal);
    m_printerFont = font;
    const QFontMetrics metrics(font, device);
    PrintMetrics& state = m_printMetrics;
    state.charHeight = metrics.height();
    state.charWidth = metrics.horizontalAdvance(kPrintMetricsSample.toString()) /
                      static_cast<int>(kPrintMetricsSample.size());
    state.deviceWidth = device->width();
    state.deviceHeight = device->height();
    const GridPrintSettings& settings = m_printSettings;
    const int margins = (settings.leftMargin + settings.rightMargin) * state.charWidth;
    measurePrintedColumns(*device);
    if (m_printAtScreenScale) {
        state.pageWidth = state.deviceWidth * logicalDpiX() / device->logicalDpiX() * 3 / 4;
        state.pageHeight = state.deviceHeight * logicalDpiY() / device->logicalDpiY() * 3 / 4;
    } else {
        state.pageWidth = margins + printedColumnsWidth(m_nCols);
        state.pageHeight = printMulDiv(state.pageWidth, state.deviceHeight, state.deviceWidth);
    }
    state.bodyHeight =
        state.pageHeight -
        (settings.headerLines + settings.footerLines + 2 * settings.gapLines) * state.charHeight -
        GetFixedRowHeight();
    state.bodyWidth = state.pageWidth - printedColumnsWidth(m_nFixedCols) - margins;

    m_printRowStarts = printPageStarts(m_nFixedRows, m_nRows, state.bodyHeight,
                                       [this](int row) { return GetRowHeight(row); });
    m_printColStarts = m_printAtScreenScale
                           ? printPageStarts(m_nFixedCols, m_nCols, state.bodyWidth,
                                             [this](int col) { return printedColumnWidth(col); })
                           : std::vector<int>{m_nFixedCols};
    state.columnPages = static_cast<int>(m_printColStarts.size());
    state.pageCount = static_cast<int>(m_printRowStarts.size()) * state.columnPages;
    m_printPage.maxPage = state.pageCount;
    m_printPage.currentPage = 1;
}

void CGridCtrl::OnPrint(QPainter& painter) {
    const PrintMetrics& state = m_printMetrics;
    if (!painter.isActive() || !m_printerFont || state.pageCount <= 0) {
        return;
    }
    const GridPrintSettings& settings = m_printSettings;
    const int margins = (settings.leftMargin + settings.rightMargin) * state.charWidth;
    const int leftMargin = settings.leftMargin * state.charWidth;
    const int fixedRowHeight = GetFixedRowHeight();
    const int fixedColWidth = printedColumnsWidth(m_nFixedCols);

    painter.save();
    painter.setFont(*m_printerFont);
    painter.setPen(QPen(Qt::black, 0));
    painter.setViewport(0, 0, state.deviceWidth, state.deviceHeight);
    painter.setWindow(-leftMargin, 0, state.pageWidth, state.pageHeight);

    m_printPage.area =
        QRect(0, 0, state.pageWidth - margins, settings.headerLines * state.charHeight);
    PrintHeader(painter);
    painter.translate(
        0, m_printPage.area.height() + settings.gapLines * state.charHeight + fixedRowHeight);

    const int page = m_printPage.currentPage;
    const int columnPage = (page - 1) % state.columnPages;
    const int band = (page - 1) / state.columnPages;
    m_printPage.firstRow = m_printRowStarts[static_cast<size_t>(band)];
    m_printPage.firstCol = m_printColStarts[static_cast<size_t>(columnPage)];
    m_printPage.firstBodyCol = m_printPage.firstCol;
    m_printPage.endCol = m_nCols;

    // A cell prints where it ends inside the body, the very cells the page
    // count gave this page. The page's first row and column print even when
    // larger than the body, cut at its edge, so no page comes out empty.
    painter.setClipRect(QRect(0, 0, fixedColWidth + state.bodyWidth, state.bodyHeight));
    PrintFixedColumns(painter);

    m_printPage.area.setBottom(fixedRowHeight - 1);
    painter.translate(0, -fixedRowHeight);
    painter.setClipRect(QRect(0, 0, fixedColWidth + state.bodyWidth, fixedRowHeight));
    m_printMetrics.bodyWidth += fixedColWidth;
    if (columnPage == 0) {
        m_printPage.firstCol = 0;
    }
    PrintFixedRows(painter);
    m_printPage.firstCol = m_printPage.firstBodyCol;
    m_printMetrics.bodyWidth -= fixedColWidth;

    painter.translate(fixedColWidth, fixedRowHeight);
    painter.setClipRect(QRect(0, 0, state.bodyWidth, state.bodyHeight));
    const int firstRow = m_printPage.firstRow;
    printCellBlock(painter, m_printPage.firstCol, m_nCols, state.bodyWidth,
                   [firstRow](int row, int col, bool) {
                       return GridPrintedLines{.leftEdge = col == 0,
                                               .topEdge = row == 0,
                                               .horizontalFromLeft = col == 0,
                                               .verticalFromTop = row == firstRow};
                   });
    painter.setClipping(false);

    painter.resetTransform();
    const int footerHeight = settings.footerLines * state.charHeight;
    painter.setWindow(-leftMargin, footerHeight - state.pageHeight, state.pageWidth,
                      state.pageHeight);
    m_printPage.area = QRect(0, 0, state.pageWidth - margins, footerHeight);
    PrintFooter(painter);
    painter.restore();
}

void CGridCtrl::printCellBlock(QPainter& painter, int firstCol, int endCol, int widthLimit,
                               const PrintLineRule& linesOf) {
    int right = -1;
    bool firstCell = true;
    for (int col = firstCol; col < endCol; ++col) {
        const int left = right + 1;
        right += printedColumnWidth(col);
        if (right >= widthLimit && col != firstCol) {
            break;
        }
        int bottom = -1;
        for (int row = m_printPage.firstRow; row < m_nRows; ++row) {
            const int top = bottom + 1;
            bottom += GetRowHeight(row);
            if (bottom >= m_printMetrics.bodyHeight && row != m_printPage.firstRow) {
                break;
            }
            // A row taller than the body prints as much of itself as the
            // page holds, as a cell of that height: its text is placed in
            // what the page shows, never in the part cut off below.
            const QRect cell(QPoint(left, top),
                             QPoint(right, std::min(bottom, m_printMetrics.bodyHeight - 1)));
            if (CGridCellBase* item = GetCell(row, col)) {
                item->PrintCell(painter, row, col, cell);
            }
            drawGridPrintedLines(painter, m_gridLines, cell, linesOf(row, col, firstCell));
            firstCell = false;
        }
    }
}

void CGridCtrl::OnEndPrinting(QPainter&) {
    m_printerFont.reset();
    m_printColWidths.clear();
}

// A column prints at its screen width, or wider where a text of it needs
// more on the printer, up to a limit that keeps a column of long texts from
// shrinking the rest of a fitted page; hidden columns stay hidden.
void CGridCtrl::measurePrintedColumns(const QPaintDevice& device) {
    m_printColWidths.assign(static_cast<size_t>(m_nCols), 0);
    for (int col = 0; col < m_nCols; ++col) {
        const int screen = GetColumnWidth(col);
        int needed = 0;
        for (int row = 0; screen > 0 && row < m_nRows; ++row) {
            if (const CGridCellBase* cell = GetCell(row, col)) {
                needed = qMax(needed, cell->GetPrintedWidth(device));
            }
        }
        m_printColWidths[static_cast<size_t>(col)] =
            qMax(screen, qMin(needed, qMax(screen, kWidestPrintedColumn)));
    }
}

int CGridCtrl::printedColumnWidth(int col) const {
    return col >= 0 && static_cast<size_t>(col) < m_printColWidths.size()
               ? m_printColWidths[static_cast<size_t>(col)]
               : GetColumnWidth(col);
}

int CGridCtrl::printedColumnsWidth(int count) const {
    int width = 0;
    for (int col = 0; col < count; ++col) {
        width += printedColumnWidth(col);
    }
    return width;
}

void CGridCtrl::PrintColumnRange(int firstCol, int endCol, int& row, QRect& rect, QPainter& painter,
                                 bool& firstLine) {
    for (int col = firstCol; col < endCol && col < m_nCols; ++col) {
        const QRect cell(QPoint(rect.right() + 1, rect.top()),
                         QPoint(rect.right() + printedColumnWidth(col), rect.bottom()));
        if (cell.right() >= m_printMetrics.bodyWidth && col != m_printPage.firstBodyCol) {
            break;
        }
        rect.setRight(cell.right());
        if (CGridCellBase* item = GetCell(row, col)) {
            item->PrintCell(painter, row, col, cell);
        }
        drawGridPrintedLines(painter, m_gridLines, cell,
                             {.leftEdge = firstLine,
                              .topEdge = row == 0,
                              .horizontalFromLeft = col == 0,
                              .verticalFromTop = row == 0});
        firstLine = false;
    }
}

void CGridCtrl::PrintFixedRows(QPainter& painter) {
    painter.save();
    if (m_printerFont) {
        painter.setFont(*m_printerFont);
    }
    int top = m_printPage.area.top();
    bool firstLine = true;
    for (int fixedRow = 0; fixedRow < m_nFixedRows; ++fixedRow) {
        int row = fixedRow;
        const int left = m_printPage.area.left();
        QRect rowRect(QPoint(left, top), QPoint(left - 1, top + GetRowHeight(fixedRow) - 1));
        if (m_printPage.firstCol >= m_nFixedCols) {
            PrintColumnRange(0, m_nFixedCols, row, rowRect, painter, firstLine);
        }
        PrintColumnRange(m_printPage.firstCol, m_printPage.endCol, row, rowRect, painter,
                         firstLine);
        top += GetRowHeight(fixedRow);
    }
    painter.restore();
}

void CGridCtrl::PrintFixedColumns(QPainter& painter) {
    painter.save();
    if (m_printerFont) {
        painter.setFont(*m_printerFont);
    }
    printCellBlock(painter, 0, m_nFixedCols, std::numeric_limits<int>::max(),
                   [](int row, int col, bool firstCell) {
                       return GridPrintedLines{.leftEdge = col == 0,
                                               .topEdge = firstCell,
                                               .horizontalFromLeft = col == 0,
                                               .verticalFromTop = row == 0};
                   });
    painter.restore();
}

void CGridCtrl::PrintHeader(QPainter& painter) {
    const QString appTitle = LangLookup(kAppTitleKey.toString());
    const QString windowTitle = printAncestorTitle();
    painter.save();
    painter.setFont(boldCopy(painter.font()));
    painter.setBackgroundMode(Qt::TransparentMode);
    const QRect& area = m_printPage.area;
    if (!windowTitle.isEmpty()) {
        painter.drawText(area, Qt::AlignHCenter | Qt::AlignVCenter | Qt::TextSingleLine,
                         windowTitle);
    }
    if (!appTitle.isEmpty()) {
        painter.drawText(area, Qt::AlignRight | Qt::AlignVCenter | Qt::TextSingleLine, appTitle);
    }
    painter.restore();
    painter.save();
    painter.setPen(QPen(Qt::black, 0));
    painter.drawLine(area.bottomLeft(), area.bottomRight());
    painter.restore();
}

void CGridCtrl::PrintFooter(QPainter& painter) {
    const QString pageText =
        kFormat(u"Page %d of %d", m_printPage.currentPage, m_printPage.maxPage);
    const QString dateText = FormatLocalTime(u"%c"_qs, 0);
    const QRect& area = m_printPage.area;
    painter.save();
    painter.setPen(QPen(Qt::black, 0));
    painter.drawLine(area.topLeft(), area.topRight());
    painter.setFont(boldCopy(painter.font()));
    painter.setBackgroundMode(Qt::TransparentMode);
    painter.drawText(area, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, pageText);
    painter.drawText(area, Qt::AlignRight | Qt::AlignVCenter | Qt::TextSingleLine, dateText);
    painter.restore();
}
