#include "grid/gridcell.h"

#include "framework/klog.h"
#include "grid/gridcellpool.h"
#include "grid/gridctrl.h"
#include "grid/griddefaultcell.h"

#include <new>

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

bool CGridCell::Edit(int row, int col, QRect rect, QPoint point, int controlId, QChar character) {
    (void)rect;
    (void)point;
    (void)controlId;
    kDebugLog(u"SEAM CGridCell::Edit(%d, %d, %d): no in-place editor yet", row, col,
              static_cast<int>(character.unicode()));
    return false;
}

void CGridCell::EndEdit() {
    if (IsEditing()) {
        kDebugLog(u"SEAM CGridCell::EndEdit: no in-place editor yet");
    }
}

void CGridCell::OnEndEdit() {
    if (IsEditing()) {
        m_grid->SetEditingCell(nullptr);
    }
}
