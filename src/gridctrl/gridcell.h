#pragma once

// The ordinary cell. Text, data, state and format live in the cell; the
// rarely set image, colours, font and margin live in a side record made the
// first time one of them is set, so that a grid of plain text cells stays
// small. A cell's editing state is kept by its grid.

#include "gridctrl/gridcellbase.h"

#include <cstddef>
#include <memory>
#include <span>

class CGridCell : public CGridCellBase {
public:
    CGridCell() = default;
    ~CGridCell() override;

    // Plain cells come from a pool; larger derived cells from the heap.
    static void* operator new(std::size_t size);
    static void operator delete(void* cell, std::size_t size);
    // Fills `cells` with new plain cells of `grid`, all with the same state
    // and format, taken from the pool in one go. All or none on
    // std::bad_alloc.
    static void MakeMany(std::span<CGridCellBase*> cells, CGridCtrl* grid, unsigned state,
                         unsigned format);

    void SetText(const QString& text) override { m_text = text; }
    void SetImage(int image) override;
    void SetData(qintptr data) override { m_data = data; }
    void SetFormat(unsigned format) override { m_format = format; }
    void SetTextColour(GridColour colour) override;
    void SetBackColour(GridColour colour) override;
    void SetFont(const CGridCellFont* font) override;
    void SetMargin(unsigned margin) override;
    void SetGrid(CGridCtrl* grid) override { m_grid = grid; }
    void SetCoords(int row, int col) override {
        (void)row;
        (void)col;
    }

    QString GetText() const override { return m_text; }
    QStringView GetTextView() const override { return m_text; }
    int GetImage() const override { return m_extras ? m_extras->image : -1; }
    qintptr GetData() const override { return m_data; }
    unsigned GetFormat() const override;
    GridColour GetTextColour() const override { return m_extras ? m_extras->text : CLR_DEFAULT; }
    GridColour GetBackColour() const override { return m_extras ? m_extras->back : CLR_DEFAULT; }
    const CGridCellFont* GetFont() const override;
    CGridCtrl* GetGrid() const override { return m_grid; }
    unsigned GetMargin() const override;
    bool IsDefaultFont() const override { return !m_extras || !m_extras->font; }
    bool IsEditing() const override;

    void Reset() override;
    // Opens the in-place editor over `rect` of the grid's viewport.
    bool Edit(int row, int col, QRect rect, QPoint point, int controlId,
              GridEditStart start) override;
    void EndEdit() override;
    void OnEndEdit() override;

    CGridCell& operator=(const CGridCellBase& cell) {
        CGridCellBase::operator=(cell);
        return *this;
    }

private:
    CGridCell(CGridCtrl* grid, unsigned state, unsigned format)
        : m_format(format), m_grid(grid) {
        m_state = state;
    }

    struct Extras {
        int image = -1;
        GridColour text;
        GridColour back;
        std::unique_ptr<CGridCellFont> font;
        unsigned margin = kUseDefault;
    };
    Extras& extras();

    // First, so that it fills the base's tail and a cell takes 64 bytes.
    unsigned m_format = kUseDefault;
    QString m_text;
    qintptr m_data = 0;
    CGridCtrl* m_grid = nullptr;
    std::unique_ptr<Extras> m_extras;
};
