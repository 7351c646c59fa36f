#pragma once

// The pop-up that shows the whole text of a cell whose text does not fit,
// laid exactly over the cell so that the text seems to run on past it. It
// takes no input: clicks fall through to the grid below, which hides the
// tip when the pointer leaves the cell, on keys, scrolling and editing.

#include "gridctrl/gridcolour.h"

#include <QFont>
#include <QWidget>

class QFontMetrics;

class CTitleTip : public QWidget {
    Q_OBJECT

public:
    // `grid` is the window whose client coordinates Show is given in.
    explicit CTitleTip(QWidget* grid);

    // Shows `text` over `titleRect` unless it fits there. `hoverRect` (or
    // the title rectangle) is where the pointer may move with the tip
    // shown. A header cell (`headerRow`) leaves one pixel less room.
    // Returns whether the tip is shown.
    bool Show(QRect titleRect, const QString& text, int xOffset, const QRect* hoverRect,
              const QFont* font, GridColour textColour, GridColour backColour,
              bool headerRow = false);
    void Hide();
    bool IsShown() const { return isVisible(); }
    // Where the pointer may move with the tip shown, in screen coordinates.
    QRect HoverRect() const { return m_hoverRect; }
    QString Text() const { return m_text; }

    // Breaks a text wider than half the screen into lines of about a third
    // of the screen, at spaces. `wrapped` tells whether it did.
    static QString Wrap(const QString& text, const QFontMetrics& metrics, int screenWidth,
                        bool& wrapped);
    // The tip's rectangle on a screen: at the cell's corner, shifted left to
    // end at the screen's right edge, and raised by its height when wrapped.
    static QRect Placement(QPoint cellCorner, QSize textSize, const QRect& screen, bool wrapped);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QWidget* m_grid;
    QRect m_hoverRect;
    QString m_text;
    QFont m_font;
    GridColour m_textColour;
    GridColour m_backColour;
};
