#include "frame/alphaimagelist.h"

#include <QIconEngine>
#include <QPainter>
#include <QPainterPath>

#include <cmath>

namespace {

// The shapes the program draws for commands when the icon theme has none.
enum class Glyph {
    Actions,
    Copy,
    Cut,
    Paste,
    Print,
    LargeIcons,
    Details,
    Help,
    Back,
    Forward,
    Stop,
    Refresh,
    Clear,
};

struct CommandIconEntry {
    unsigned commandId;
    const char* themeName;
    Glyph glyph;
};

constexpr CommandIconEntry kCommandIcons[] = {
    {32828, "system-run", Glyph::Actions},
    {57634, "edit-copy", Glyph::Copy},
    {57635, "edit-cut", Glyph::Cut},
    {57637, "edit-paste", Glyph::Paste},
    {57607, "document-print", Glyph::Print},
    {59409, "view-list-icons", Glyph::LargeIcons},
    {59411, "view-list-details", Glyph::Details},
    {32818, "help-contents", Glyph::Help},
    {32871, "help-browser", Glyph::Help},
    {32778, "go-previous", Glyph::Back},
    {32780, "go-next", Glyph::Forward},
    {32782, "process-stop", Glyph::Stop},
    {32784, "view-refresh", Glyph::Refresh},
    {32769, "view-refresh", Glyph::Refresh},
    {32842, "edit-clear", Glyph::Clear},
};

void drawArrow(QPainter& p, bool pointsLeft) {
    QPainterPath path;
    const qreal tip = pointsLeft ? 2 : 14;
    const qreal base = 8;
    const qreal tail = pointsLeft ? 14 : 2;
    path.moveTo(tip, 8);
    path.lineTo(base, 2);
    path.lineTo(base, 5.5);
    path.lineTo(tail, 5.5);
    path.lineTo(tail, 10.5);
    path.lineTo(base, 10.5);
    path.lineTo(base, 14);
    path.closeSubpath();
    p.setBrush(QColor(0x2e, 0x7d, 0x32));
    p.drawPath(path);
}

void drawSheet(QPainter& p, QRectF rect) {
    p.setBrush(Qt::white);
    p.drawRect(rect);
    for (qreal y = rect.top() + 2.5; y < rect.bottom() - 1; y += 2.5) {
        p.drawLine(QPointF(rect.left() + 2, y), QPointF(rect.right() - 2, y));
    }
}

// Draws on a 16 x 16 canvas; the painter is scaled to the size asked for.
void drawGlyph(QPainter& p, Glyph glyph) {
    p.setRenderHint(QPainter::Antialiasing);
    QPen pen(QColor(0x30, 0x30, 0x30), 1);
    p.setPen(pen);
    switch (glyph) {
        case Glyph::Actions:
            p.setBrush(QColor(0x1e, 0x6f, 0xc8));
            p.drawEllipse(QRectF(2.5, 2.5, 11, 11));
            p.setBrush(Qt::white);
            p.drawPolygon(QPolygonF({QPointF(6, 5), QPointF(11.5, 8), QPointF(6, 11)}));
            break;
        case Glyph::Copy:
            drawSheet(p, QRectF(1.5, 1.5, 8, 10));
            drawSheet(p, QRectF(6.5, 4.5, 8, 10));
            break;
        case Glyph::Cut:
            p.drawLine(QPointF(4, 1), QPointF(11, 11));
            p.drawLine(QPointF(12, 1), QPointF(5, 11));
            p.setBrush(QColor(0xc6, 0x28, 0x28));
            p.drawEllipse(QRectF(1.5, 10.5, 4, 4));
            p.drawEllipse(QRectF(10.5, 10.5, 4, 4));
            break;
        case Glyph::Paste:
            p.setBrush(QColor(0xa1, 0x88, 0x7f));
            p.drawRect(QRectF(2.5, 2.5, 9, 12));
            drawSheet(p, QRectF(6.5, 5.5, 8, 9));
            break;
        case Glyph::Print:
            drawSheet(p, QRectF(4.5, 1.5, 7, 6));
            p.setBrush(QColor(0x78, 0x90, 0x9c));
            p.drawRoundedRect(QRectF(1.5, 6.5, 13, 6), 1, 1);
            drawSheet(p, QRectF(4.5, 10.5, 7, 4));
            break;
        case Glyph::LargeIcons:
            p.setBrush(QColor(0x1e, 0x6f, 0xc8));
            for (qreal x : {2.5, 9.5}) {
                for (qreal y : {2.5, 9.5}) {
                    p.drawRect(QRectF(x, y, 4, 4));
                }
            }
            break;
        case Glyph::Details:
            p.setBrush(QColor(0x1e, 0x6f, 0xc8));
            for (qreal y : {2.5, 6.5, 10.5}) {
                p.drawRect(QRectF(1.5, y, 2, 2));
                p.drawLine(QPointF(5.5, y + 1), QPointF(14.5, y + 1));
            }
            break;
        case Glyph::Help: {
            p.setBrush(QColor(0x1e, 0x6f, 0xc8));
            p.drawEllipse(QRectF(1.5, 1.5, 13, 13));
            QFont font = p.font();
            font.setPixelSize(11);
            font.setBold(true);
            p.setFont(font);
            p.setPen(Qt::white);
            p.drawText(QRectF(0, 0, 16, 16), Qt::AlignCenter, QStringLiteral("?"));
            break;
        }
        case Glyph::Back:
        case Glyph::Forward:
            drawArrow(p, glyph == Glyph::Back);
            break;
        case Glyph::Stop: {
            p.setBrush(QColor(0xc6, 0x28, 0x28));
            p.drawEllipse(QRectF(1.5, 1.5, 13, 13));
            p.setPen(QPen(Qt::white, 2));
            p.drawLine(QPointF(5.5, 5.5), QPointF(10.5, 10.5));
            p.drawLine(QPointF(10.5, 5.5), QPointF(5.5, 10.5));
            break;
        }
        case Glyph::Refresh: {
            p.setPen(QPen(QColor(0x2e, 0x7d, 0x32), 2));
            p.setBrush(Qt::NoBrush);
            p.drawArc(QRectF(3, 3, 10, 10), 60 * 16, 270 * 16);
            p.setPen(Qt::NoPen);
            p.setBrush(QColor(0x2e, 0x7d, 0x32));
            p.drawPolygon(QPolygonF({QPointF(9, 0.5), QPointF(14, 3.5), QPointF(9, 6.5)}));
            break;
        }
        case Glyph::Clear:
            p.setPen(QPen(QColor(0xc6, 0x28, 0x28), 2));
            p.drawLine(QPointF(4, 4), QPointF(12, 12));
            p.drawLine(QPointF(12, 4), QPointF(4, 12));
            break;
    }
}

// Renders the normal image at the device size asked for and derives the
// hot (QIcon::Active) and disabled looks from it.
class CCommandIconEngine : public QIconEngine {
public:
    CCommandIconEngine(QString themeName, Glyph glyph)
        : m_themeName(std::move(themeName)), m_glyph(glyph) {}

    QIconEngine* clone() const override { return new CCommandIconEngine(m_themeName, m_glyph); }
    QString key() const override { return QStringLiteral("CCommandIconEngine"); }

    void paint(QPainter* painter, const QRect& rect, QIcon::Mode mode,
               QIcon::State state) override {
        const qreal ratio = painter->device()->devicePixelRatioF();
        painter->drawPixmap(rect, scaledPixmap(rect.size() * ratio, mode, state, ratio));
    }

    QPixmap pixmap(const QSize& size, QIcon::Mode mode, QIcon::State state) override {
        return scaledPixmap(size, mode, state, 1.0);
    }

    // QIcon asks with the size in device pixels.
    QPixmap scaledPixmap(const QSize& size, QIcon::Mode mode, QIcon::State state,
                         qreal scale) override {
        QImage image = normalImage(size, state, scale);
        if (mode == QIcon::Disabled) {
            image = CAlphaImageList::Derive(image, CAlphaImageList::kDisabled);
        } else if (mode == QIcon::Active) {
            image = CAlphaImageList::Derive(image, CAlphaImageList::kHot);
        }
        QPixmap pixmap = QPixmap::fromImage(image);
        pixmap.setDevicePixelRatio(scale);
        return pixmap;
    }

private:
    QImage normalImage(const QSize& devicePixels, QIcon::State state, qreal scale) const {
        if (QIcon::hasThemeIcon(m_themeName)) {
            const QIcon themed = QIcon::fromTheme(m_themeName);
            QImage image =
                themed.pixmap(devicePixels / scale, scale, QIcon::Normal, state).toImage();
            if (image.size() != devicePixels) {
                image = image.scaled(devicePixels, Qt::KeepAspectRatio, Qt::SmoothTransformation);
            }
            return image.convertToFormat(QImage::Format_ARGB32);
        }
        QImage image(devicePixels, QImage::Format_ARGB32);
        image.fill(Qt::transparent);
        QPainter painter(&image);
        painter.scale(devicePixels.width() / 16.0, devicePixels.height() / 16.0);
        drawGlyph(painter, m_glyph);
        return image;
    }

    QString m_themeName;
    Glyph m_glyph;
};

}  // namespace

int CAlphaImageList::DisabledGrey(QRgb pixel) {
    const double luminance = 0.299 * qRed(pixel) + 0.587 * qGreen(pixel) + 0.114 * qBlue(pixel);
    return static_cast<int>(255.0 * std::sqrt(luminance / 255.0));
}

int CAlphaImageList::HotChannel(int channel) {
    return static_cast<int>(255.0 * std::pow(channel / 255.0, 1.4));
}

QImage CAlphaImageList::Derive(const QImage& normal, State state) {
    if (state == kNormal) {
        return normal;
    }
    // Straight (not premultiplied) channels, so the formulas see real colours.
    QImage image = normal.convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < image.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            const QRgb pixel = line[x];
            if (state == kDisabled) {
                const int grey = DisabledGrey(pixel);
                line[x] = qRgba(grey, grey, grey, qAlpha(pixel));
            } else {
                line[x] = qRgba(HotChannel(qRed(pixel)), HotChannel(qGreen(pixel)),
                                HotChannel(qBlue(pixel)), qAlpha(pixel));
            }
        }
    }
    return image;
}

QIcon CAlphaImageList::CommandIcon(unsigned commandId) {
    for (const CommandIconEntry& entry : kCommandIcons) {
        if (entry.commandId == commandId) {
            return QIcon(new CCommandIconEngine(QString::fromLatin1(entry.themeName), entry.glyph));
        }
    }
    return {};
}
