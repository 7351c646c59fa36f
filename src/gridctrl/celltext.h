#pragma once

// Cell text the way the system's DrawText flags ask for it: the stored
// format bits become Qt alignment, elision and wrapping here, when the text
// is drawn or measured, so the cells keep their formats as stored values.

#include <QFontMetrics>
#include <QRect>
#include <QSize>
#include <QString>

class QPainter;

// Draws `text` in `area` (clipped to it) with the current pen and font;
// `escapement` 900 or -900 turns it a quarter left or right.
void DrawCellText(QPainter& painter, const QRect& area, const QString& text, unsigned format,
                  int escapement);

// The text's extent: one line unless the format wraps, then the widest line
// broken into a box that wide.
QSize MeasureCellText(const QFontMetrics& metrics, const QString& text, unsigned format);

// The whole pixels `text` takes drawn on one line with `metrics`, whose
// glyphs may advance by fractions of a pixel: a box this wide draws the text
// without eliding it.
int CellLineWidth(const QFontMetricsF& metrics, const QString& text);
