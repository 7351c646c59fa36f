// CGridCtrl: in-place editing. A typed character, a navigation key or the
// mouse opens the cell's editor; its end writes the text the cell and the
// owner accept, and the key that ended it moves on to the next cell.

#include "gridctrl/gridctrl.h"

#include "gridctrl/inplaceedit.h"

#include <QApplication>
#include <QKeyEvent>

void CGridCtrl::OnCellEditStart(int row, int col, QPoint point, GridEditStart start) {
    HideTitleTip();
    const CCellID cell(row, col);
    if (!IsValid(cell) || !IsCellEditable(cell)) {
        return;
    }
    EnsureVisible(row, col);
    QRect rect;
    if (!IsCellVisible(row, col) || !GetCellRect(row, col, rect)) {
        return;
    }
    if (SendMessageToParent(row, col, GVN_BEGINLABELEDIT) < 0) {
        return;
    }
    if (CGridCellBase* object = GetCell(row, col)) {
        object->Edit(row, col, rect, point, kInPlaceEditId, start);
    }
}

void CGridCtrl::OnCellEditEnd(int row, int col, const QString& text) {
    CGridCellBase* cell = m_virtualMode ? nullptr : GetCell(row, col);
    const QString old = GetItemText(row, col);
    if (cell != nullptr && text != old) {
        // Only an accepted change marks the cell and the grid modified (and
        // so drops the sort); a refused one puts the old text back quietly.
        cell->SetText(text);
        if (CheckEditedText(row, col, text) &&
            SendMessageToParent(row, col, GVN_ENDLABELEDIT) >= 0) {
            SetModified(true, row, col);
            RedrawCell(row, col);
        } else {
            cell->SetText(old);
            RedrawCell(row, col);
        }
    }
    if (CGridCellBase* editing = GetCell(row, col)) {
        editing->OnEndEdit();
    }
}

void CGridCtrl::SetEditingCell(CGridCellBase* cell, CInPlaceEdit* editor) {
    m_editingCell = cell;
    m_inPlaceEdit = editor;
}

void CGridCtrl::OnEndLabelEdit(const CInPlaceEditEnding& ending) {
    OnCellEditEnd(ending.row, ending.col, ending.text);
    const bool navigates = ending.endKey == kEditEndTab ||
                           (ending.endKey >= kEditEndPageUp && ending.endKey <= kEditEndDown);
    if (!navigates) {
        return;
    }
    // The key that ended the edit moves on, with its modifiers, and opens
    // the cell it reaches.
    QKeyEvent replay(QEvent::KeyPress, ending.key, ending.modifiers);
    OnKeyDown(&replay);
    // Tab at either end of the grid has moved on to the next control: no
    // editor pulls the focus back.
    QWidget* focus = QApplication::focusWidget();
    if (focus != this && !isAncestorOf(focus)) {
        return;
    }
    OnCellEditStart(m_idCurrentCell.row, m_idCurrentCell.col, QPoint(-1, -1),
                    GridEditStart::ByNavigationKey());
}

bool CGridCtrl::CheckEditedText(int row, int col, const QString& text) {
    CGridCellBase* cell = GetCell(row, col);
    return cell == nullptr || cell->CheckEditedText(text);
}

void CGridCtrl::StopEditing() {
    if (!IsValid(m_idCurrentCell)) {
        return;
    }
    if (CGridCellBase* cell = GetCell(m_idCurrentCell.row, m_idCurrentCell.col)) {
        cell->EndEdit();
    }
}

bool CGridCtrl::acceptsTypedCharacter(QChar character, bool tabCounts) const {
    const char16_t code = character.unicode();
    const bool counts = character.isPrint() || code == u'\b' || code == u'\t' || code == u'\r' ||
                        code == u'\n' || code == 0x1B;
    if (!counts || m_mouseMode != 0 || code == 0x1B) {
        return false;
    }
    return !(tabCounts && code == u'\t' && m_handleTabKey);
}

bool CGridCtrl::typedCharacters(const QString& text, bool fromInputMethod) {
    bool taken = false;
    for (const QChar character : text) {
        if (acceptsTypedCharacter(character, !fromInputMethod)) {
            OnCellEditStart(m_idCurrentCell.row, m_idCurrentCell.col, QPoint(-1, -1),
                            GridEditStart::ByCharacter(character));
            taken = true;
        }
    }
    return taken;
}
