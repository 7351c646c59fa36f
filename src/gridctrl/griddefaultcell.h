#pragma once

// A template cell of a grid: the values a cell leaves at "default", and the
// default row height and column width, measured from its font.

#include "gridctrl/gridcell.h"

class CGridDefaultCell : public CGridCell {
public:
    CGridDefaultCell();

    void SetData(qintptr data) override { (void)data; }
    void SetState(unsigned state) override { (void)state; }
    unsigned GetState() const override { return CGridCell::GetState() | CELL_READONLY; }
    // Null is ignored; a font measures the margin, width and height anew.
    void SetFont(const CGridCellFont* font) override;
    const CGridCellFont* GetFont() const override { return &m_font; }
    bool IsDefaultFont() const override { return false; }

    unsigned GetStyle() const { return m_style; }
    void SetStyle(unsigned style) { m_style = style; }
    int GetWidth() const { return m_width; }
    int GetHeight() const { return m_height; }
    void SetWidth(int width) { m_width = width; }
    void SetHeight(int height) { m_height = height; }

private:
    CGridCellFont m_font;
    int m_width = 30;
    int m_height = 10;
    unsigned m_style = 0;
};
