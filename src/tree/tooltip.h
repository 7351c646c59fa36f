#pragma once

// One tracking tip shown at a chosen place, with a delayed show and a timed
// hide: the World View pane's item hover texts and the data grid's column
// tips. The tip is a frameless tool-tip window; mouse events over it are
// relayed to a window of the caller's choice, so the tip never swallows the
// pointer's moves.

#include <QObject>
#include <QPointer>
#include <QRect>
#include <QString>
#include <QTimer>

#include <memory>

class QLabel;
class QWidget;

class Tooltip : public QObject {
    Q_OBJECT

public:
    // The delays of the tree pane's tips.
    static constexpr int kShowDelayMs = 555;
    static constexpr int kHideDelayMs = 5000;
    // How often a tip placed below an item checks that the pointer stays.
    static constexpr int kTrackPeriodMs = 100;
    // How far below the pointer ShowAtCursor places the tip.
    static constexpr int kCursorOffset = 20;

    Tooltip();
    ~Tooltip() override;

    // Makes the tip window for `parent` (dropping any previous one and its
    // text); mouse events over it go to `relay` too when given.
    void Create(QWidget* parent, QWidget* relay = nullptr);
    bool IsCreated() const { return m_tip != nullptr; }

    void SetText(const QString& text);
    QString Text() const { return m_text; }
    // Shows the tip at the rectangle's top-left (screen coordinates), its
    // text wrapped at the rectangle's width or half the screen, whichever is
    // wider, and starts watching the pointer. A tip shown or pending hides
    // when a popup menu opens.
    void ShowAt(const QRect& rect);
    // Shows the tip after `delayMs`: below the pointer, at the rectangle, or
    // (no rectangle) where it was.
    void ShowLater(int delayMs, bool atCursor, const QRect* rect = nullptr);
    void HideLater(int delayMs);
    void ShowAtCursor();
    void Hide();
    bool IsShown() const;
    // The tip window's rectangle on the screen.
    QRect Geometry() const;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void activate(QPoint topLeft, int wrapWidth);
    void onShowTimer();
    void onTrackTimer();

    std::unique_ptr<QLabel> m_tip;
    QPointer<QWidget> m_relay;
    QString m_text;
    QRect m_pending;
    bool m_atCursor = false;
    QTimer m_showTimer;   // 100
    QTimer m_hideTimer;   // 101
    QTimer m_trackTimer;  // 102
};
