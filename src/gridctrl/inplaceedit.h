#pragma once

// The single-line editor a cell opens over itself. It grows to the right
// while the user types, ends on Enter, Tab, Escape, the arrows (when
// started by a key) or a focus loss, reports its end to its grid once and
// then deletes itself.

#include "gridctrl/grideditstart.h"

#include <QLineEdit>

#include <functional>

// How an edit ended: the cell, the text, the key for the owner (see
// GridEditEndKey) and the Qt key with its modifiers, to replay on the grid.
struct CInPlaceEditEnding {
    int row = -1;
    int col = -1;
    QString text;
    int endKey = kEditEndFocusLost;
    int key = 0;
    Qt::KeyboardModifiers modifiers;
};

class CInPlaceEdit : public QLineEdit {
    Q_OBJECT

public:
    using EndHandler = std::function<void(const CInPlaceEditEnding&)>;

    // Shows itself over `rect` of `parent`, takes the focus and, for a typed
    // start, posts the character to itself.
    CInPlaceEdit(QWidget* parent, QRect rect, int controlId, int row, int col,
                 const QString& initialText, GridEditStart start, EndHandler onEnd);

    // Reports the end (once) and closes the editor.
    void EndEdit();
    int GetRow() const { return m_row; }
    int GetColumn() const { return m_col; }

protected:
    bool event(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    void endWithKey(const QKeyEvent& event, int endKey);
    // Widens the editor to its text, up to the parent's right edge.
    void growToText();
    void postCharacter(QChar character);

    int m_row;
    int m_col;
    QString m_initialText;
    bool m_exitOnArrows;
    QRect m_rect;
    EndHandler m_onEnd;
    CInPlaceEditEnding m_ending;
    bool m_ended = false;
};
