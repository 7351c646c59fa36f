#include "gridctrl/gridcellbase.h"

#include "gridctrl/celltext.h"
#include "gridctrl/gridctrl.h"
#include "gridctrl/griddefaultcell.h"

#include <QApplication>
#include <QPaintDevice>
#include <QPainter>

// Drawing follows the system's pixel rules: a rectangle's right and bottom
// edges are exclusive while filling and framing, and a line leaves out its
// end point. These helpers carry those rules over to QPainter's inclusive
// pixels, so the steps below read as the system lays them out.
namespace {

struct Edges {
    int left;
    int top;
    int right;
    int bottom;

    int width() const { return right - left; }
    int height() const { return bottom - top; }
    QRect pixels() const { return QRect(QPoint(left, top), QPoint(right - 1, bottom - 1)); }
    void grow() {
        ++right;
        ++bottom;
    }
    void shrink() {
        --right;
        --bottom;
    }
    void deflate(int by) {
        left += by;
        top += by;
        right -= by;
        bottom -= by;
    }
};

void fill(QPainter& painter, const Edges& edges, GridColour colour) {
    if (edges.width() > 0 && edges.height() > 0) {
        painter.fillRect(edges.pixels(), colour.ToQColor());
    }
}

void frame(QPainter& painter, const Edges& edges, GridColour colour) {
    if (edges.width() <= 0 || edges.height() <= 0) {
        return;
    }
    const QColor pen = colour.ToQColor();
    painter.fillRect(QRect(edges.left, edges.top, edges.width(), 1), pen);
    painter.fillRect(QRect(edges.left, edges.bottom - 1, edges.width(), 1), pen);
    painter.fillRect(QRect(edges.left, edges.top, 1, edges.height()), pen);
    painter.fillRect(QRect(edges.right - 1, edges.top, 1, edges.height()), pen);
}

// A horizontal or vertical line from `from` towards `to`, `to` left out.
void line(QPainter& painter, QPoint from, QPoint to, GridColour colour) {
    const QColor pen = colour.ToQColor();
    if (from.y() == to.y()) {
        const int step = to.x() > from.x() ? 1 : -1;
        const int last = to.x() - step;
        painter.fillRect(
            QRect(QPoint(qMin(from.x(), last), from.y()), QPoint(qMax(from.x(), last), from.y())),
            pen);
    } else if (from.x() == to.x()) {
        const int step = to.y() > from.y() ? 1 : -1;
        const int last = to.y() - step;
        painter.fillRect(
            QRect(QPoint(from.x(), qMin(from.y(), last)), QPoint(from.x(), qMax(from.y(), last))),
            pen);
    }
}

// The raised edge of a fixed cell: light along the top and left, dark along
// the right and bottom; the cell's area then shrinks inside it.
void drawRaisedEdge(QPainter& painter, Edges& edges, const QPalette& palette) {
    const GridColour highlight = SystemColour(palette, GridSystemColour::Highlight);
    const GridColour shadow = SystemColour(palette, GridSystemColour::DarkShadow);
    line(painter, {edges.right, edges.top}, {edges.left, edges.top}, highlight);
    line(painter, {edges.left, edges.top}, {edges.left, edges.bottom}, highlight);
    line(painter, {edges.right, edges.top}, {edges.right, edges.bottom}, shadow);
    line(painter, {edges.right, edges.bottom}, {edges.left, edges.bottom}, shadow);
    edges.deflate(1);
}

// The sunken inner edge of the fixed cells in the focus cell's row and column.
void drawSunkenEdge(QPainter& painter, Edges& edges, const QPalette& palette) {
    const QColor dark = SystemColour(palette, GridSystemColour::DarkShadow).ToQColor();
    const QColor light = SystemColour(palette, GridSystemColour::Light).ToQColor();
    painter.fillRect(QRect(edges.left, edges.bottom - 1, edges.width(), 1), light);
    painter.fillRect(QRect(edges.right - 1, edges.top, 1, edges.height()), light);
    painter.fillRect(QRect(edges.left, edges.top, edges.width(), 1), dark);
    painter.fillRect(QRect(edges.left, edges.top, 1, edges.height()), dark);
    edges.deflate(1);
}

// The side of the sort mark a heading in `font` draws.
int sortMarkSize(const QFont& font) {
    return QFontMetrics(font).height() - 4;
}

bool isPrinting(const QPainter& painter) {
    return painter.device() != nullptr && painter.device()->devType() == QInternal::Printer;
}

// A screen font in the pixels of the screen: the printed page counts in
// those, while a point size would be taken at the printer's resolution and
// come out many times too large.
QFont printedFont(QFont font, int screenDpi) {
    if (font.pointSizeF() > 0 && screenDpi > 0) {
        font.setPixelSize(qMax(1, qRound(font.pointSizeF() * screenDpi / 72.0)));
    }
    return font;
}

}  // namespace

CGridDefaultCell* CGridCellBase::GetDefaultCell() const {
    CGridCtrl* grid = GetGrid();
    if (grid == nullptr) {
        return nullptr;
    }
    const unsigned state = GetState();
    return grid->GetDefaultCell((state & CELL_FIXEDROW) != 0, (state & CELL_FIXEDCOL) != 0);
}

CGridCellBase& CGridCellBase::operator=(const CGridCellBase& cell) {
    if (this == &cell) {
        return *this;
    }
    SetGrid(cell.GetGrid());
    SetText(cell.GetText());
    SetImage(cell.GetImage());
    SetData(cell.GetData());
    SetState(cell.GetState());
    SetFormat(cell.GetFormat());
    SetTextColour(cell.GetTextColour());
    SetBackColour(cell.GetBackColour());
    SetFont(cell.IsDefaultFont() ? nullptr : cell.GetFont());
    SetMargin(cell.GetMargin());
    return *this;
}

bool CGridCellBase::DrawUnfocused(QPainter& painter, int row, int col, QRect rect,
                                  bool eraseBackground) {
    CGridCtrl* grid = GetGrid();
    if (grid == nullptr) {
        return false;
    }
    GridColour text = GetTextColour();
    if (text.IsDefault() && GetDefaultCell() != nullptr) {
        text = GetDefaultCell()->GetTextColour();
    }
    return drawWith(painter, row, col, rect, eraseBackground,
                    {SystemColour(grid->palette(), GridSystemColour::Face), text});
}

bool CGridCellBase::Draw(QPainter& painter, int row, int col, QRect rect, bool eraseBackground) {
    CGridCtrl* grid = GetGrid();
    if (grid == nullptr) {
        return false;
    }
    return drawWith(painter, row, col, rect, eraseBackground,
                    {SystemColour(grid->palette(), GridSystemColour::Selection),
                     SystemColour(grid->palette(), GridSystemColour::SelectionText)});
}

bool CGridCellBase::drawWith(QPainter& painter, int row, int col, QRect rect, bool eraseBackground,
                             SelectionColours selection) {
    CGridCtrl* grid = GetGrid();
    Edges edges{rect.left(), rect.top(), rect.right(), rect.bottom()};
    if (grid == nullptr || !grid->IsValid(row, col) || edges.width() <= 0 || edges.height() <= 0) {
        return false;
    }
    const CGridDefaultCell* defaultCell = GetDefaultCell();
    if (defaultCell == nullptr) {
        return false;
    }
    painter.save();
    const QPalette& palette = grid->palette();
    const bool gridLines = grid->GetGridLines() != GVL_NONE;

    GridColour text = GetTextColour().IsDefault() ? defaultCell->GetTextColour() : GetTextColour();
    GridColour back = defaultCell->GetBackColour();
    if (!GetBackColour().IsDefault()) {
        back = GetBackColour();
        eraseBackground = true;
    }

    if (IsFocused() || IsDropHighlighted()) {
        if (IsSelected()) {
            back = selection.back;
            text = selection.text;
            eraseBackground = true;
        }
        edges.grow();
        if (eraseBackground) {
            fill(painter, edges, back);
        }
        if (gridLines) {
            edges.shrink();
        }
        if (grid->GetFrameFocusCell()) {
            frame(painter, edges, text);
        }
        if (!gridLines) {
            edges.shrink();
        }
    } else if (IsSelected()) {
        edges.grow();
        fill(painter, edges, selection.back);
        edges.shrink();
        text = selection.text;
    } else {
        if (eraseBackground) {
            edges.grow();
            fill(painter, edges, back);
            edges.shrink();
        }
    }
    painter.setPen(text.ToQColor());

    if (IsFixed() && gridLines) {
        const CCellID focus = grid->GetFocusCell();
        if (grid->GetTrackFocusCell() && grid->IsValid(focus) &&
            (focus.row == row || focus.col == col)) {
            // A sunken inner edge marks the focus cell's row and column.
            edges.grow();
            drawSunkenEdge(painter, edges, palette);
        } else {
            drawRaisedEdge(painter, edges, palette);
        }
    }

    const CGridCellFont* font = GetFont();
    if (!isPrinting(painter) && font != nullptr) {
        painter.setFont(font->font);
    }
    const bool vertical = font != nullptr && font->escapement == 900;

    edges.deflate(static_cast<int>(GetMargin()));
    edges.grow();

    QSize image;
    if (imageSize(image) && edges.width() >= image.width() && edges.height() >= image.height()) {
        painter.drawPixmap(edges.left, edges.top, grid->GetImageList()->at(GetImage()));
    }

    if (row == 0 && col == grid->GetSortColumn()) {
        QRect markArea(QPoint(edges.left, edges.top), QPoint(edges.right, edges.bottom));
        drawSortMark(painter, markArea, painter.font(), vertical);
        edges.right = markArea.right();
    }

    QRect textArea(QPoint(edges.left, edges.top), QPoint(edges.right, edges.bottom));
    GetTextRect(textArea);
    edges.left = textArea.left();
    edges.grow();
    painter.setPen(text.ToQColor());
    DrawCellText(painter, edges.pixels(), GetText(), GetFormat() | DT_NOPREFIX,
                 font != nullptr ? font->escapement : 0);
    painter.restore();
    return true;
}

void CGridCellBase::drawSortMark(QPainter& painter, QRect& rect, const QFont& font,
                                 bool vertical) const {
    // `rect` carries the system's edges: right and bottom as coordinates.
    const int left = rect.left();
    const int top = rect.top();
    const int right = rect.right();
    const int bottom = rect.bottom();
    int size = sortMarkSize(font);
    if (size >= bottom - top - 4) {
        size = bottom - top - 4;
    }
    if (right - left <= size || size <= 0) {
        return;
    }
    const int markTop = bottom - size - 2;
    const int markLeft = vertical ? left + (right - left - size) / 2 : right - size;
    const CGridCtrl* grid = GetGrid();
    const bool ascending = grid->GetSortAscending();
    auto drawTriangle = [&](int offset, GridColour colour) {
        const int x = markLeft + offset;
        const int y = markTop + offset;
        QPolygon triangle;
        if (ascending) {
            triangle << QPoint(x + size / 2, y) << QPoint(x + size, y + size)
                     << QPoint(x, y + size);
        } else {
            triangle << QPoint(x, y) << QPoint(x + size, y) << QPoint(x + size / 2, y + size);
        }
        QPen pen(colour.ToQColor());
        pen.setCosmetic(true);
        painter.setPen(pen);
        painter.setBrush(Qt::NoBrush);
        painter.drawPolygon(triangle);
    };
    drawTriangle(1, SystemColour(grid->palette(), GridSystemColour::Highlight));
    drawTriangle(0, SystemColour(grid->palette(), GridSystemColour::Shadow));
    if (!vertical) {
        rect.setRight(right - size);
    }
}

bool CGridCellBase::imageSize(QSize& size) const {
    const CGridCtrl* grid = GetGrid();
    const int image = GetImage();
    if (grid == nullptr || image < 0 || grid->GetImageList() == nullptr ||
        image >= grid->GetImageList()->size()) {
        return false;
    }
    size = grid->GetImageList()->at(image).size();
    return !size.isEmpty();
}

bool CGridCellBase::GetTextRect(QRect& rect) {
    QSize image;
    if (imageSize(image)) {
        rect.setLeft(rect.left() + static_cast<int>(GetMargin()) + image.width() + 1);
    }
    return true;
}

QSize CGridCellBase::GetTextExtent(const QString& text) const {
    const CGridDefaultCell* defaultCell = GetDefaultCell();
    const CGridCellFont* font = GetFont();
    if (text.isEmpty() || font == nullptr || GetGrid() == nullptr) {
        if (defaultCell == nullptr) {
            return {};
        }
        return {defaultCell->GetWidth(), defaultCell->GetHeight()};
    }
    QSize size = MeasureCellText(QFontMetrics(font->font), text, GetFormat());
    const int margin = static_cast<int>(GetMargin());
    size += QSize(2 * margin, 2 * margin);
    if (font->IsVertical()) {
        size.transpose();
        size.rheight() += 4 * margin;
    }
    return size;
}

QSize CGridCellBase::GetCellExtent() const {
    QSize size = GetTextExtent(GetText());
    const int margin = static_cast<int>(GetMargin());
    QSize image;
    int imageHeight = 0;
    if (imageSize(image)) {
        imageHeight = image.height();
        if (size.width() > 2 * margin) {
            size.rwidth() += image.width() + margin;
            imageHeight += 2 * margin;
        } else {
            size.rwidth() += image.width();
        }
    }
    size = QSize(size.width() + 1, qMax(size.height(), imageHeight) + 1);
    if (IsFixed()) {
        size += QSize(1, 1);
    }
    // A heading keeps room for the sort mark, so that its text stays whole
    // whichever column the rows are sorted by.
    const CGridCellFont* font = GetFont();
    if (IsFixedRow() && font != nullptr && !font->IsVertical() && !GetText().isEmpty()) {
        size.rwidth() += qMax(sortMarkSize(font->font), 0);
    }
    return size;
}

// PrintCell's text box: the cell less a margin on each side, the image
// and a margin after it, and the pixel of the grid line. A wrapping text
// asks for the width of its one line, so it prints on fewer lines.
int CGridCellBase::GetPrintedWidth(const QPaintDevice& device) const {
    const CGridCellFont* font = GetFont();
    const CGridCtrl* grid = GetGrid();
    if (font == nullptr || grid == nullptr || font->IsVertical() || GetText().isEmpty()) {
        return 0;
    }
    const QFontMetricsF metrics(printedFont(font->font, grid->logicalDpiY()), &device);
    const int margin = static_cast<int>(GetMargin());
    int width = CellLineWidth(metrics, GetText()) + 2 * margin + 1;
    if (QSize image; imageSize(image)) {
        width += image.width() + margin;
    }
    return width;
}

bool CGridCellBase::PrintCell(QPainter& painter, int row, int col, QRect rect) {
    (void)row;
    (void)col;
    CGridCtrl* grid = GetGrid();
    Edges edges{rect.left(), rect.top(), rect.right(), rect.bottom()};
    if (grid == nullptr || edges.width() <= 0 || edges.height() <= 0) {
        return false;
    }
    const CGridDefaultCell* defaultCell = GetDefaultCell();
    GridColour text(0x000000);
    if (grid->GetPrintColours()) {
        if (defaultCell == nullptr) {
            return false;
        }
        std::optional<GridColour> back;
        if (IsFixed()) {
            back = GetBackColour().IsDefault() ? defaultCell->GetBackColour() : GetBackColour();
        } else if (!GetBackColour().IsDefault() &&
                   GetBackColour() != defaultCell->GetBackColour()) {
            back = GetBackColour();
        }
        text = GetTextColour().IsDefault() ? defaultCell->GetTextColour() : GetTextColour();
        if (back) {
            edges.grow();
            fill(painter, edges, *back);
            edges.shrink();
        }
    }
    painter.save();
    painter.setPen(text.ToQColor());
    const CGridCellFont* font = GetFont();
    if (font != nullptr) {
        painter.setFont(printedFont(font->font, grid->logicalDpiY()));
    }
    if (IsFixed() && grid->GetGridLines() != GVL_NONE) {
        drawRaisedEdge(painter, edges, grid->palette());
    }
    const int margin = static_cast<int>(GetMargin());
    edges.left += margin;
    edges.right -= margin;
    QSize image;
    if (imageSize(image)) {
        painter.drawPixmap(edges.left, edges.top, grid->GetImageList()->at(GetImage()));
        edges.left += image.width() + margin;
    }
    painter.setPen(text.ToQColor());
    DrawCellText(painter, edges.pixels(), GetText(), GetFormat() | DT_NOPREFIX,
                 font != nullptr ? font->escapement : 0);
    painter.restore();
    return true;
}

bool CGridCellBase::OnSetCursor() {
    if (CGridCtrl* grid = GetGrid()) {
        grid->viewport()->setCursor(Qt::ArrowCursor);
    }
    return true;
}
