#pragma once

// The abstract cell: state bits, drawing, measuring, printing and the mouse
// hooks. A grid draws, measures, prints and edits a cell only through these
// operations; the ordinary cell (CGridCell) and the default-cell templates
// (CGridDefaultCell) fill in the storage. The selection colours come from the
// grid's palette at each drawing rather than living in every cell.

#include "gridctrl/gridcellfont.h"
#include "gridctrl/grideditstart.h"
#include "gridctrl/griditeminfo.h"

#include <QPoint>
#include <QRect>
#include <QSize>
#include <QString>

class CGridCtrl;
class CGridDefaultCell;
class QPaintDevice;
class QPainter;

class CGridCellBase {
public:
    CGridCellBase() = default;
    virtual ~CGridCellBase() = default;
    CGridCellBase(const CGridCellBase&) = delete;

    virtual void SetText(const QString& text) = 0;
    virtual void SetImage(int image) = 0;
    virtual void SetData(qintptr data) = 0;
    virtual void SetState(unsigned state) { m_state = state; }
    virtual void SetFormat(unsigned format) = 0;
    virtual void SetTextColour(GridColour colour) = 0;
    virtual void SetBackColour(GridColour colour) = 0;
    // Null drops the cell's own font.
    virtual void SetFont(const CGridCellFont* font) = 0;
    virtual void SetMargin(unsigned margin) = 0;
    virtual void SetGrid(CGridCtrl* grid) = 0;
    virtual void SetCoords(int row, int col) = 0;

    virtual QString GetText() const = 0;
    // The text without a copy, for readers that go through many cells;
    // valid until the cell changes.
    virtual QStringView GetTextView() const = 0;
    virtual QString GetTipText() const { return GetText(); }
    virtual int GetImage() const = 0;
    virtual qintptr GetData() const = 0;
    virtual unsigned GetState() const { return m_state; }
    virtual unsigned GetFormat() const = 0;
    virtual GridColour GetTextColour() const = 0;
    virtual GridColour GetBackColour() const = 0;
    virtual const CGridCellFont* GetFont() const = 0;
    virtual CGridCtrl* GetGrid() const = 0;
    virtual unsigned GetMargin() const = 0;
    virtual CGridDefaultCell* GetDefaultCell() const;
    virtual bool IsDefaultFont() const = 0;
    virtual bool IsEditing() const = 0;

    bool IsFocused() const { return (GetState() & CELL_FOCUSED) != 0; }
    bool IsFixed() const { return (GetState() & CELL_FIXED) != 0; }
    bool IsFixedCol() const { return (GetState() & CELL_FIXEDCOL) != 0; }
    bool IsFixedRow() const { return (GetState() & CELL_FIXEDROW) != 0; }
    bool IsSelected() const { return (GetState() & CELL_SELECTED) != 0; }
    // Through the stored state, so a default cell (which reports read-only
    // from GetState) is not read-only itself.
    bool IsReadOnly() const { return (m_state & CELL_READONLY) != 0; }
    bool IsModified() const { return (GetState() & CELL_MODIFIED) != 0; }
    bool IsDropHighlighted() const { return (GetState() & CELL_DROPHIGHLIGHTED) != 0; }

    // Copies every value through this cell's setters.
    CGridCellBase& operator=(const CGridCellBase& cell);
    virtual void Reset() { m_state = 0; }

    // `rect` is inclusive (its right and bottom pixels carry the grid lines).
    virtual bool DrawUnfocused(QPainter& painter, int row, int col, QRect rect,
                               bool eraseBackground);
    virtual bool Draw(QPainter& painter, int row, int col, QRect rect, bool eraseBackground);
    virtual bool GetTextRect(QRect& rect);
    virtual bool GetTipTextRect(QRect& rect) { return GetTextRect(rect); }
    virtual QSize GetTextExtent(const QString& text) const;
    virtual QSize GetCellExtent() const;
    // The column width that prints the whole text on one line on `device`,
    // whose glyphs run wider or narrower than the screen's; 0 for an empty
    // or turned text.
    int GetPrintedWidth(const QPaintDevice& device) const;
    virtual bool Edit(int row, int col, QRect rect, QPoint point, int controlId,
                      GridEditStart start) {
        (void)row, (void)col, (void)rect, (void)point, (void)controlId, (void)start;
        return false;
    }
    virtual bool CheckEditedText(const QString& text) {
        (void)text;
        return true;
    }
    virtual void EndEdit() {}
    virtual bool PrintCell(QPainter& painter, int row, int col, QRect rect);
    virtual void OnEndEdit() {}
    virtual void OnMouseEnter() {}
    virtual void OnMouseOver() {}
    virtual void OnMouseLeave() {}
    virtual void OnClick(QPoint point) { (void)point; }
    virtual void OnClickDown(QPoint point) { (void)point; }
    virtual void OnRClick(QPoint point) { (void)point; }
    virtual void OnDblClick(QPoint point) { (void)point; }
    virtual bool OnSetCursor();

protected:
    unsigned m_state = 0;

private:
    struct SelectionColours {
        GridColour back;
        GridColour text;
    };
    bool drawWith(QPainter& painter, int row, int col, QRect rect, bool eraseBackground,
                  SelectionColours selection);
    // The image's size when the cell shows one of the grid's images.
    bool imageSize(QSize& size) const;
    void drawSortMark(QPainter& painter, QRect& rect, const QFont& font, bool vertical) const;
};
