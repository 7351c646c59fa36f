#include "gridctrl/celltext.h"

#include "gridctrl/griditeminfo.h"

#include <QPainter>

#include <cmath>
#include <utility>

namespace {

bool wraps(unsigned format) {
    return (format & DT_WORDBREAK) != 0 && (format & DT_SINGLELINE) == 0;
}

int alignmentOf(unsigned format) {
    int alignment = Qt::AlignLeft;
    if ((format & DT_RIGHT) != 0) {
        alignment = Qt::AlignRight;
    } else if ((format & DT_CENTER) != 0) {
        alignment = Qt::AlignHCenter;
    }
    // Vertical placement applies to a single line only, as with the
    // system's text drawing.
    if ((format & DT_SINGLELINE) == 0) {
        return alignment | Qt::AlignTop;
    }
    if ((format & DT_BOTTOM) != 0) {
        return alignment | Qt::AlignBottom;
    }
    return alignment | ((format & DT_VCENTER) != 0 ? Qt::AlignVCenter : Qt::AlignTop);
}

QString singleLine(QString text) {
    text.replace(QLatin1Char('\r'), QLatin1Char(' '));
    text.replace(QLatin1Char('\n'), QLatin1Char(' '));
    return text;
}

}  // namespace

void DrawCellText(QPainter& painter, const QRect& area, const QString& text, unsigned format,
                  int escapement) {
    if (area.isEmpty() || text.isEmpty()) {
        return;
    }
    painter.save();
    painter.setClipRect(area, Qt::IntersectClip);
    QRect box = area;
    if (escapement == 900 || escapement == -900) {
        // Turned text runs along the cell's height.
        if (escapement == 900) {
            painter.translate(area.left(), area.bottom() + 1);
            painter.rotate(-90);
        } else {
            painter.translate(area.right() + 1, area.top());
            painter.rotate(90);
        }
        box = QRect(0, 0, area.height(), area.width());
    }
    const int alignment = alignmentOf(format);
    if (wraps(format)) {
        painter.drawText(box, alignment | Qt::TextWordWrap, text);
    } else {
        QString line = singleLine(text);
        if ((format & (DT_END_ELLIPSIS | DT_WORD_ELLIPSIS | DT_PATH_ELLIPSIS)) != 0) {
            const Qt::TextElideMode mode =
                (format & DT_PATH_ELLIPSIS) != 0 ? Qt::ElideMiddle : Qt::ElideRight;
            line = painter.fontMetrics().elidedText(line, mode, box.width());
        }
        painter.drawText(box, alignment | Qt::TextSingleLine, line);
    }
    painter.restore();
}

QSize MeasureCellText(const QFontMetrics& metrics, const QString& text, unsigned format) {
    if (!wraps(format)) {
        return {metrics.horizontalAdvance(singleLine(text)), metrics.height()};
    }
    int widest = 0;
    for (const QString& line : text.split(QLatin1Char('\n'))) {
        widest = qMax(widest, metrics.horizontalAdvance(line));
    }
    return metrics
        .boundingRect(QRect(0, 0, widest + 1, 1 << 20), alignmentOf(format) | Qt::TextWordWrap,
                      text)
        .size();
}

int CellLineWidth(const QFontMetricsF& metrics, const QString& text) {
    return static_cast<int>(std::ceil(metrics.horizontalAdvance(singleLine(text))));
}
