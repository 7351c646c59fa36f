#include "gridctrl/gridcell.h"

#include "gridctrl/gridcellpool.h"
#include "gridctrl/gridctrl.h"
#include "gridctrl/griddefaultcell.h"
#include "gridctrl/inplaceedit.h"

#include <QPointer>

#include <new>
#include <vector>

namespace {

CGridCellPool& cellPool() {
    static CGridCellPool pool(sizeof(CGridCell));
    return pool;
}

}  // namespace

void* CGridCell::operator new(std::size_t size) {
    return size == sizeof(CGridCell) ? cellPool().Allocate() : ::operator new(size);
}

void CGridCell::operator delete(void* cell, std::size_t size) {
    if (size == sizeof(CGridCell)) {
        cellPool().Free(cell);
    } else {
        ::operator delete(cell);
    }
}

void CGridCell::MakeMany(std::span<CGridCellBase*> cells, CGridCtrl* grid, unsigned state,
                         unsigned format) {
    // Kept from row to row: a row's slots cost no allocation of their own.
    thread_local std::vector<void*> slots;
    slots.resize(cells.size());
    cellPool().AllocateMany(slots);
    for (size_t at = 0; at < cells.size(); ++at) {
        // Constructed in the pool's slot, deleted through operator delete above.
        cells[at] = ::new (slots[at]) CGridCell(grid, state, format);
    }
}

CGridCell::~CGridCell() = default;

CGridCell::Extras& CGridCell::extras() {
    if (!m_extras) {
        m_extras = std::make_unique<Extras>();
    }
    return *m_extras;
}

void CGridCell::SetImage(int image) {
    if (m_extras || image != -1) {
        extras().image = image;
    }
}

void CGridCell::SetTextColour(GridColour colour) {
    if (m_extras || !colour.IsDefault()) {
        extras().text = colour;
    }
}

void CGridCell::SetBackColour(GridColour colour) {
    if (m_extras || !colour.IsDefault()) {
        extras().back = colour;
    }
}

void CGridCell::SetFont(const CGridCellFont* font) {
    if (font == nullptr) {
        if (m_extras) {
            m_extras->font.reset();
        }
        return;
    }
    Extras& side = extras();
    if (side.font) {
        *side.font = *font;
    } else {
        side.font = std::make_unique<CGridCellFont>(*font);
    }
}

void CGridCell::SetMargin(unsigned margin) {
    if (m_extras || margin != kUseDefault) {
        extras().margin = margin;
    }
}

unsigned CGridCell::GetFormat() const {
    if (m_format != kUseDefault) {
        return m_format;
    }
    const CGridDefaultCell* defaultCell = GetDefaultCell();
    return defaultCell != nullptr ? defaultCell->GetFormat() : 0;
}

const CGridCellFont* CGridCell::GetFont() const {
    if (m_extras && m_extras->font) {
        return m_extras->font.get();
    }
    const CGridDefaultCell* defaultCell = GetDefaultCell();
    return defaultCell != nullptr ? defaultCell->GetFont() : nullptr;
}

unsigned CGridCell::GetMargin() const {
    const unsigned own = m_extras ? m_extras->margin : kUseDefault;
    if (own != kUseDefault) {
        return own;
    }
    const CGridDefaultCell* defaultCell = GetDefaultCell();
    return defaultCell != nullptr ? defaultCell->GetMargin() : 0;
}

bool CGridCell::IsEditing() const {
    return m_grid != nullptr && m_grid->GetEditingCell() == this;
}

void CGridCell::Reset() {
    CGridCellBase::Reset();
    OnEndEdit();
    m_text.clear();
    m_data = 0;
    m_extras.reset();
    m_format = kUseDefault;
}

bool CGridCell::Edit(int row, int col, QRect rect, QPoint, int controlId, GridEditStart start) {
    if (m_grid == nullptr) {
        return false;
    }
    if (IsEditing()) {
        return true;
    }
    QPointer<CGridCtrl> grid(m_grid);
    auto* editor = new CInPlaceEdit(m_grid->viewport(), rect, controlId, row, col, GetText(), start,
                                    [grid](const CInPlaceEditEnding& ending) {
                                        if (grid) {
                                            grid->OnEndLabelEdit(ending);
                                        }
                                    });
    m_grid->SetEditingCell(this, editor);
    return true;
}

void CGridCell::EndEdit() {
    if (IsEditing()) {
        if (CInPlaceEdit* editor = m_grid->GetInPlaceEdit()) {
            editor->EndEdit();
        }
    }
}

void CGridCell::OnEndEdit() {
    if (IsEditing()) {
        m_grid->SetEditingCell(nullptr);
    }
}
