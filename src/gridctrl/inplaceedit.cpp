#include "gridctrl/inplaceedit.h"

#include <QCoreApplication>
#include <QFocusEvent>
#include <QKeyEvent>

namespace {

// The owner's code for a key that ends editing; 0 for a key that does not.
int endKeyOfArrow(int key) {
    switch (key) {
        case Qt::Key_PageUp:
            return kEditEndPageUp;
        case Qt::Key_PageDown:
            return kEditEndPageDown;
        case Qt::Key_Left:
            return kEditEndLeft;
        case Qt::Key_Up:
            return kEditEndUp;
        case Qt::Key_Right:
            return kEditEndRight;
        case Qt::Key_Down:
            return kEditEndDown;
        default:
            return 0;
    }
}

}  // namespace

CInPlaceEdit::CInPlaceEdit(QWidget* parent, QRect rect, int controlId, int row, int col,
                           const QString& initialText, GridEditStart start, EndHandler onEnd)
    : QLineEdit(parent),
      m_row(row),
      m_col(col),
      m_initialText(initialText),
      m_exitOnArrows(start.reason != GridEditReason::Mouse),
      m_rect(rect),
      m_onEnd(std::move(onEnd)) {
    setObjectName(QStringLiteral("CInPlaceEdit"));
    setProperty("controlId", controlId);
    setFont(parent->font());
    setGeometry(rect);
    setText(initialText);
    show();
    setFocus(Qt::OtherFocusReason);
    const QChar typed = start.character;
    const bool caretAtEnd = start.reason == GridEditReason::Mouse ||
                            (start.reason == GridEditReason::Character &&
                             (typed == u'\r' || typed == u'\n' || typed == u'\b'));
    if (caretAtEnd) {
        end(false);
    } else {
        selectAll();
    }
    if (start.reason == GridEditReason::Character && typed != u'\r' && typed != u'\n' &&
        typed != u'\t') {
        postCharacter(typed);
    }
}

void CInPlaceEdit::postCharacter(QChar character) {
    int key = Qt::Key_unknown;
    if (character == u'\b') {
        key = Qt::Key_Backspace;
    } else if (character.unicode() < 0x7F) {
        key = character.toUpper().unicode();
    }
    QCoreApplication::postEvent(
        this, new QKeyEvent(QEvent::KeyPress, key, Qt::NoModifier, QString(character)));
}

bool CInPlaceEdit::event(QEvent* event) {
    // Tab and Shift+Tab end the edit instead of moving the focus.
    if (event->type() == QEvent::KeyPress) {
        auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_Tab || key->key() == Qt::Key_Backtab) {
            keyPressEvent(key);
            return true;
        }
    }
    return QLineEdit::event(event);
}

void CInPlaceEdit::keyPressEvent(QKeyEvent* event) {
    const Qt::KeyboardModifiers modifiers = event->modifiers();
    const int arrow = endKeyOfArrow(event->key());
    if (arrow != 0 && (m_exitOnArrows || (modifiers & Qt::ControlModifier) != 0)) {
        endWithKey(*event, arrow);
        return;
    }
    switch (event->key()) {
        case Qt::Key_Escape:
            setText(m_initialText);
            endWithKey(*event, kEditEndEscape);
            return;
        case Qt::Key_Tab:
        case Qt::Key_Backtab:
            endWithKey(*event, kEditEndTab);
            return;
        case Qt::Key_Return:
        case Qt::Key_Enter:
            endWithKey(*event, kEditEndReturn);
            return;
        default:
            break;
    }
    // Alt with a character is a menu key, not text; AltGr characters are text.
    const bool menuKey = (modifiers & Qt::AltModifier) != 0 &&
                         (modifiers & (Qt::ControlModifier | Qt::GroupSwitchModifier)) == 0 &&
                         !event->text().isEmpty();
    if (menuKey) {
        event->accept();
        return;
    }
    QLineEdit::keyPressEvent(event);
    if (!event->text().isEmpty()) {
        growToText();
    }
}

void CInPlaceEdit::growToText() {
    const int wanted = fontMetrics().horizontalAdvance(text() + QStringLiteral("  "));
    if (wanted <= m_rect.width()) {
        return;
    }
    const int parentRight = parentWidget()->rect().right();
    m_rect.setRight(qMin(m_rect.left() + wanted, parentRight));
    setGeometry(m_rect);
}

void CInPlaceEdit::endWithKey(const QKeyEvent& event, int endKey) {
    m_ending.endKey = endKey;
    m_ending.key = event.key();
    m_ending.modifiers = event.modifiers();
    EndEdit();
}

void CInPlaceEdit::focusOutEvent(QFocusEvent* event) {
    QLineEdit::focusOutEvent(event);
    // The editor's own context menu and input-method pop-ups take the focus
    // for a moment; the edit goes on.
    if (event->reason() != Qt::PopupFocusReason) {
        EndEdit();
    }
}

void CInPlaceEdit::EndEdit() {
    if (m_ended) {
        return;
    }
    m_ended = true;
    m_ending.row = m_row;
    m_ending.col = m_col;
    m_ending.text = text();
    if (m_onEnd) {
        m_onEnd(m_ending);
    }
    if (hasFocus()) {
        // The grid keeps the focus rather than the next widget of the window.
        QWidget* target = parentWidget();
        while (target != nullptr && target->focusPolicy() == Qt::NoFocus) {
            target = target->parentWidget();
        }
        if (target != nullptr) {
            target->setFocus(Qt::OtherFocusReason);
        }
    }
    hide();
    deleteLater();
}
