#pragma once

// The base of the small about windows that go away at the user's next
// input: while one exists it watches every widget of the program, and a key
// press or a left, right or middle button press anywhere closes it (the
// input is then used up). Presses that the window keeps for itself, such as
// those on its links, still reach it. The window deletes itself when
// closed; its owner keeps it in a QPointer slot.

#include <QWidget>

class QMouseEvent;

class CInputCheckWindow : public QWidget {
    Q_OBJECT
public:
    ~CInputCheckWindow() override;

    // Closes and deletes the window (later, so that it may be called from
    // its own handlers).
    void DestroyWindow();
    // Closed and waiting to be deleted.
    bool IsClosing() const { return m_destroying; }

    bool eventFilter(QObject* watched, QEvent* event) override;

protected:
    // A captioned top-level window of the given client size, drawn on white.
    CInputCheckWindow(const QString& caption, QSize clientSize, QWidget* parent);

    // Whether a press on the target (one of this window's widgets) at the
    // position in this window's coordinates stays with the window. A press
    // that a child leaves unused comes again for the window itself.
    virtual bool KeepsPress(const QWidget* target, QPoint windowPosition) const;

    // The close box: the window goes as after DestroyWindow.
    void closeEvent(QCloseEvent* event) override;

    // Centres the window over the parent, or on the screen without one, and
    // shows it.
    void showCentred(QWidget* parent);

private:
    bool closesOn(QObject* watched, QEvent* event) const;

    bool m_destroying = false;
};
