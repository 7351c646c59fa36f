// CGridCtrl: the text exchange of a grid. Copying and dragging give the
// selection's cells as lines of TAB-separated fields; pasting and dropping
// read such text into the cells, the way an edit would write them; the drag
// operations show where a drop would land.

#include "gridctrl/gridcellbase.h"
#include "gridctrl/gridctrl.h"

#include <QApplication>
#include <QClipboard>
#include <QDrag>
#include <QMimeData>
#include <QPainter>

namespace {

// Fields of a pasted line: a line that holds a TAB came from a grid or a
// spreadsheet and splits at TABs only, so that "1,234" stays one number;
// any other line splits at commas.
QStringList pastedFields(const QString& line) {
    const QChar separator = line.contains(u'\t') ? QChar(u'\t') : QChar(u',');
    QStringList fields = line.split(separator);
    for (QString& field : fields) {
        field = field.trimmed();
    }
    return fields;
}

Qt::DropAction effectOfKeys(Qt::KeyboardModifiers keys) {
    return (keys & Qt::ControlModifier) != 0 ? Qt::CopyAction : Qt::MoveAction;
}

}  // namespace

QMimeData* CGridCtrl::CopySelection() {
    const CCellRange range = GetSelectedCellRange();
    if (!IsValid(range)) {
        return nullptr;
    }
    if (m_virtualMode) {
        SendCacheHint(range);
    }
    // Separators follow every field and line but those of the range's last
    // column and row, whether those show or not.
    QString text;
    for (int row = range.minRow; row <= range.maxRow; ++row) {
        if (GetRowHeight(row) <= 0) {
            continue;
        }
        for (int col = range.minCol; col <= range.maxCol; ++col) {
            if (GetColumnWidth(col) <= 0) {
                continue;
            }
            const CGridCellBase* cell = GetCell(row, col);
            if (cell != nullptr && cell->IsSelected()) {
                text += cell->GetText();
            }
            if (col < range.maxCol) {
                text += u'\t';
            }
        }
        if (row < range.maxRow) {
            text += u"\r\n";
        }
    }
    if (m_virtualMode) {
        SendCacheHint(CCellRange());
    }
    auto* data = new QMimeData;
    data->setText(text);
    return data;
}

bool CGridCtrl::PasteIntoGrid(CCellID cell, const QMimeData* data, bool selectRange) {
    if (!IsValid(cell) || !m_editable || (GetItemState(cell.row, cell.col) & CELL_READONLY) != 0 ||
        data == nullptr || !data->hasText()) {
        return false;
    }
    const QStringList lines = data->text().split(u'\n');
    CCellRange pasted;
    int row = cell.row;
    for (const QString& line : lines) {
        while (row < m_nRows && GetRowHeight(row) <= 0) {
            ++row;
        }
        if (row >= m_nRows) {
            break;
        }
        int col = cell.col;
        for (const QString& field : pastedFields(line)) {
            if (line.isEmpty()) {
                break;
            }
            while (col < m_nCols && GetColumnWidth(col) <= 0) {
                ++col;
            }
            if (col >= m_nCols) {
                break;
            }
            EditCellText(row, col, field);
            SetItemState(row, col, GetItemState(row, col) & ~CELL_SELECTED);
            if (m_ownDragRunning) {
                m_pastedCells.insert(SelectionKey(row, col));
            }
            pasted = pasted.IsValid() ? CCellRange(pasted.minRow, pasted.minCol,
                                                   qMax(pasted.maxRow, row),
                                                   qMax(pasted.maxCol, col))
                                      : CCellRange(row, col, row, col);
            ++col;
        }
        ++row;
    }
    if (selectRange && pasted.IsValid()) {
        SetSelectedRange(cell.row, cell.col, pasted.maxRow, pasted.maxCol, true, true);
    } else {
        ResetSelectedRange();
        Refresh();
    }
    return true;
}

void CGridCtrl::CutSelection() {
    if (!m_editable) {
        return;
    }
    const QList<CCellID> cells = m_selectedCellMap.values();
    for (const CCellID& cell : cells) {
        EditCellText(cell.row, cell.col, QString());
    }
}

void CGridCtrl::EditCellText(int row, int col, const QString& text) {
    if (!m_editable || !IsValid(row, col) || (GetItemState(row, col) & CELL_READONLY) != 0 ||
        SendMessageToParent(row, col, GVN_BEGINLABELEDIT) < 0) {
        return;
    }
    const QString old = GetItemText(row, col);
    if (text == old) {
        return;
    }
    SetItemText(row, col, text);
    if (!CheckEditedText(row, col, text) ||
        SendMessageToParent(row, col, GVN_ENDLABELEDIT) < 0) {
        SetItemText(row, col, old);
        return;
    }
    SetModified(true, row, col);
    RedrawCell(row, col);
}

void CGridCtrl::OnEditPaste() {
    if (!m_editable) {
        return;
    }
    CCellID target = GetSelectedCellRange().GetTopLeft();
    if (!IsValid(target)) {
        target = m_idCurrentCell;
    }
    if (!IsValid(target)) {
        target = GetFirstScrollableCell(true);
    }
    if (!IsValid(target)) {
        return;
    }
    // An open editor of that cell takes the text itself.
    CInPlaceEdit* editor = m_inPlaceEdit;
    const CGridCellBase* cell = GetCell(target.row, target.col);
    if (editor != nullptr && cell != nullptr && cell == m_editingCell) {
        editor->paste();
        return;
    }
    PasteIntoGrid(target, QGuiApplication::clipboard()->mimeData(), true);
}

void CGridCtrl::OnBeginDrag() {
    if (!m_enableDragAndDrop) {
        return;
    }
    QMimeData* data = CopySelection();
    if (data == nullptr) {
        return;
    }
    const CCellRange range = GetSelectedCellRange();
    SendMessageToParent(range.minRow, range.minCol, GVN_BEGINDRAG);
    m_mouseMode = MOUSE_DRAGGING;
    // A drop into this same grid pastes before the drag ends, and the paste
    // clears the selection: the dragged cells are remembered, and a move
    // empties those the paste did not fill.
    const QList<CCellID> dragged = m_selectedCellMap.values();
    m_pastedCells.clear();
    auto* drag = new QDrag(this);
    drag->setMimeData(data);
    QPoint hotSpot;
    const QPixmap image = MakeDragImage(hotSpot);
    if (!image.isNull()) {
        drag->setPixmap(image);
        drag->setHotSpot(hotSpot);
    }
    m_ownDragRunning = true;
    const Qt::DropAction result = drag->exec(Qt::CopyAction | Qt::MoveAction);
    m_ownDragRunning = false;
    m_mouseMode = 0;
    if (result == Qt::MoveAction) {
        for (const CCellID& cell : dragged) {
            if (!m_pastedCells.contains(SelectionKey(cell.row, cell.col))) {
                EditCellText(cell.row, cell.col, QString());
            }
        }
    }
    m_pastedCells.clear();
}

Qt::DropAction CGridCtrl::OnDragEnter(const QMimeData* data, Qt::KeyboardModifiers keys,
                                      QPoint point) {
    if (!m_enableDragAndDrop || data == nullptr || !data->hasText()) {
        return Qt::IgnoreAction;
    }
    m_lastDragOverCell = GetCellFromPt(point, false);
    if (!IsValid(m_lastDragOverCell) || !IsCellEditable(m_lastDragOverCell)) {
        return Qt::IgnoreAction;
    }
    setDropHighlight(m_lastDragOverCell, true);
    return effectOfKeys(keys);
}

Qt::DropAction CGridCtrl::OnDragOver(const QMimeData* data, Qt::KeyboardModifiers keys,
                                     QPoint point) {
    if (!m_enableDragAndDrop || !m_editable || data == nullptr || !data->hasText()) {
        return Qt::IgnoreAction;
    }
    const CCellID cell = GetCellFromPt(point, false);
    if (!IsValid(cell)) {
        OnDragLeave();
        m_lastDragOverCell = CCellID();
        return Qt::IgnoreAction;
    }
    if (!IsCellEditable(cell)) {
        return Qt::IgnoreAction;
    }
    if (cell != m_lastDragOverCell) {
        if (IsValid(m_lastDragOverCell)) {
            setDropHighlight(m_lastDragOverCell, false);
        }
        m_lastDragOverCell = cell;
        setDropHighlight(cell, true);
    }
    return effectOfKeys(keys);
}

void CGridCtrl::OnDragLeave() {
    if (IsValid(m_lastDragOverCell)) {
        setDropHighlight(m_lastDragOverCell, false);
    }
}

bool CGridCtrl::OnDrop(const QMimeData* data, Qt::DropAction, QPoint) {
    m_mouseMode = 0;
    if (!m_enableDragAndDrop || !m_editable) {
        return false;
    }
    const CGridCellBase* target = GetCell(m_lastDragOverCell.row, m_lastDragOverCell.col);
    if (target != nullptr && target->IsReadOnly()) {
        return false;
    }
    OnDragLeave();
    return PasteIntoGrid(m_lastDragOverCell, data, false);
}

void CGridCtrl::setDropHighlight(const CCellID& cell, bool on) {
    const unsigned state = GetItemState(cell.row, cell.col);
    SetItemState(cell.row, cell.col,
                 on ? state | CELL_DROPHIGHLIGHTED : state & ~CELL_DROPHIGHLIGHTED);
    RedrawCell(cell);
}

QPixmap CGridCtrl::MakeDragImage(QPoint& hotSpot) {
    QRect rect;
    if (!IsValid(m_idCurrentCell) ||
        !GetCellRect(m_idCurrentCell.row, m_idCurrentCell.col, rect)) {
        return {};
    }
    CGridCellBase* cell = GetCell(m_idCurrentCell.row, m_idCurrentCell.col);
    if (cell == nullptr) {
        return {};
    }
    hotSpot = QPoint(rect.width(), rect.height());
    QPixmap image(rect.size());
    const GridColour back = GetDefaultCell(false, false)->GetBackColour();
    image.fill((back.IsDefault() ? m_crWindowColour : back).ToQColor());
    QPainter painter(&image);
    cell->Draw(painter, m_idCurrentCell.row, m_idCurrentCell.col, QRect(QPoint(0, 0), rect.size()),
               false);
    return image;
}
