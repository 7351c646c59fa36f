// CGridCtrl: keyboard navigation and the edit commands of the keys.

#include "gridctrl/gridctrl.h"

#include <QKeyEvent>

int CGridCtrl::nextShownIndex(const CGridSizes& sizes, int fixed, int index, bool forward) const {
    if (forward) {
        const int next = sizes.NthPositive(index + 1, 1);
        return next < sizes.Count() ? next : -1;
    }
    const int before = sizes.PositiveCount(fixed, index);
    return before > 0 ? sizes.NthPositive(fixed, before) : -1;
}

CCellID CGridCtrl::keyTarget(QKeyEvent* event, bool& leaveGrid) {
    const int key = event->key();
    const bool shift = (event->modifiers() & Qt::ShiftModifier) != 0;
    const bool control = (event->modifiers() & Qt::ControlModifier) != 0;
    const bool tab = (key == Qt::Key_Tab || key == Qt::Key_Backtab) && m_handleTabKey && !control;
    const bool backTab = tab && (key == Qt::Key_Backtab || shift);
    CCellID next = m_idCurrentCell;
    auto firstShownColumn = [&] {
        return nextShownIndex(m_colWidths, m_nFixedCols, m_nFixedCols - 1, true);
    };
    auto lastShownColumn = [&] {
        return nextShownIndex(m_colWidths, m_nFixedCols, m_nCols, false);
    };
    if (key == Qt::Key_Left || backTab) {
        const int col = nextShownIndex(m_colWidths, m_nFixedCols, next.col, false);
        if (col >= 0) {
            next.col = col;
        } else if (backTab) {
            const int row = nextShownIndex(m_rowHeights, m_nFixedRows, next.row, false);
            if (row >= 0 && lastShownColumn() >= 0) {
                next = CCellID(row, lastShownColumn());
            } else {
                leaveGrid = true;
            }
        }
    } else if (key == Qt::Key_Right || tab) {
        const int col = nextShownIndex(m_colWidths, m_nFixedCols, next.col, true);
        if (col >= 0) {
            next.col = col;
        } else if (tab) {
            const int row = nextShownIndex(m_rowHeights, m_nFixedRows, next.row, true);
            if (row >= 0 && firstShownColumn() >= 0) {
                next = CCellID(row, firstShownColumn());
            } else {
                leaveGrid = true;
            }
        }
    } else if (key == Qt::Key_Up || key == Qt::Key_Down) {
        const int row = nextShownIndex(m_rowHeights, m_nFixedRows, next.row, key == Qt::Key_Down);
        if (row >= 0) {
            next.row = row;
        }
    } else if (key == Qt::Key_PageUp || key == Qt::Key_PageDown) {
        const bool down = key == Qt::Key_PageDown;
        const int before = GetFirstScrollableCell().row;
        OnVScroll(down ? SB_PAGEDOWN : SB_PAGEUP);
        const int moved = GetFirstScrollableCell(true).row - before;
        const int row = moved != 0 ? next.row + moved : (down ? m_nRows - 1 : m_nFixedRows);
        next.row = qBound(m_nFixedRows, row, m_nRows - 1);
    } else if (key == Qt::Key_Home || key == Qt::Key_End) {
        const bool home = key == Qt::Key_Home;
        if (control) {
            OnVScroll(home ? SB_TOP : SB_BOTTOM);
            next.row = home ? m_nFixedRows : m_nRows - 1;
        }
        OnHScroll(home ? SB_LEFT : SB_RIGHT);
        const int col = home ? firstShownColumn() : lastShownColumn();
        if (col >= 0) {
            next.col = col;
        }
        if (GetRowHeight(next.row) <= 0) {
            const int row = nextShownIndex(m_rowHeights, m_nFixedRows, next.row, home);
            if (row >= 0) {
                next.row = row;
            }
        }
    }
    return next;
}

bool CGridCtrl::OnKeyDown(QKeyEvent* event) {
    if (!IsValid(m_idCurrentCell)) {
        return false;
    }
    const int key = event->key();
    const bool shift = (event->modifiers() & Qt::ShiftModifier) != 0;
    const bool control = (event->modifiers() & Qt::ControlModifier) != 0;
    bool commandRan = false;
    if (control) {
        commandRan = true;
        if (key == Qt::Key_Insert || key == Qt::Key_C) {
            OnEditCopy();
        } else if (key == Qt::Key_X) {
            OnEditCut();
        } else if (key == Qt::Key_V) {
            OnEditPaste();
        } else if (key == Qt::Key_A) {
            OnEditSelectAll();
        } else {
            commandRan = false;
        }
    }
    if (shift && key == Qt::Key_Insert) {
        OnEditPaste();
        return true;
    }
    switch (key) {
        case Qt::Key_Delete:
            CutSelection();
            return true;
        case Qt::Key_F2:
            OnCellEditStart(m_idCurrentCell.row, m_idCurrentCell.col, QPoint(-1, -1),
                            GridEditStart::ByMouse());
            return true;
        case Qt::Key_Left:
        case Qt::Key_Right:
        case Qt::Key_Up:
        case Qt::Key_Down:
        case Qt::Key_PageUp:
        case Qt::Key_PageDown:
        case Qt::Key_Home:
        case Qt::Key_End:
            break;
        case Qt::Key_Tab:
        case Qt::Key_Backtab:
            if (!m_handleTabKey || control) {
                return commandRan;
            }
            break;
        default:
            return commandRan;
    }
    bool leaveGrid = false;
    const CCellID next = keyTarget(event, leaveGrid);
    if (leaveGrid) {
        // At either end of the grid Tab moves on to the window's next control,
        // counted from the grid rather than from an editor inside it.
        setFocus(Qt::OtherFocusReason);
        QAbstractScrollArea::focusNextPrevChild(key == Qt::Key_Tab && !shift);
        return true;
    }
    if (next == m_idCurrentCell) {
        return true;
    }
    if (m_mouseMode == MOUSE_NOTHING) {
        m_prevSelectedCellMap.clear();
        m_mouseMode = m_listMode ? MOUSE_SELECT_ROW : MOUSE_SELECT_CELLS;
        const bool tab = key == Qt::Key_Tab || key == Qt::Key_Backtab;
        if (!shift || tab) {
            m_selectionStartCell = next;
        }
        SendMessageToParent(next.row, next.col, GVN_SELCHANGING);
        SelectByMouseMode(next);
        SendMessageToParent(next.row, next.col, GVN_SELCHANGED);
        m_mouseMode = MOUSE_NOTHING;
    }
    SetFocusCell(next);
    EnsureVisible(next);
    return true;
}
