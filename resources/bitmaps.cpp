#include "resources/bitmaps.h"

#include <QFont>
#include <QLinearGradient>
#include <QPainter>
#include <QRadialGradient>

namespace {

constexpr int kSplashWidth = 540;
constexpr int kSplashHeight = 350;
constexpr int kSplashBandWidth = 96;
const QColor kSplashBlue(0x1f, 0x4e, 0x8c);
const QColor kSplashDeepBlue(0x0b, 0x24, 0x4a);

// The globe of the program's icon: a shaded sphere with meridians and
// parallels, on the band at the left.
void drawSplashGlobe(QPainter& painter, const QPointF& centre, qreal radius) {
    QRadialGradient shade(centre - QPointF(radius / 3, radius / 3), radius * 1.4);
    shade.setColorAt(0, QColor(0x9f, 0xd3, 0xff));
    shade.setColorAt(1, QColor(0x1c, 0x5f, 0xb0));
    painter.setBrush(shade);
    painter.setPen(QPen(QColor(0xe8, 0xf4, 0xff), 1.5));
    painter.drawEllipse(centre, radius, radius);
    painter.setBrush(Qt::NoBrush);
    painter.setPen(QPen(QColor(0xe8, 0xf4, 0xff, 170), 1));
    for (qreal factor : {0.35, 0.7}) {
        painter.drawEllipse(centre, radius * factor, radius);
        painter.drawEllipse(centre, radius, radius * factor);
    }
    painter.drawLine(centre - QPointF(radius, 0), centre + QPointF(radius, 0));
    painter.drawLine(centre - QPointF(0, radius), centre + QPointF(0, radius));
}

QPixmap drawSplashAbout() {
    QPixmap bitmap(kSplashWidth, kSplashHeight);
    bitmap.fill(Qt::white);
    QPainter painter(&bitmap);
    painter.setRenderHint(QPainter::Antialiasing);

    QLinearGradient band(0, 0, 0, kSplashHeight);
    band.setColorAt(0, kSplashBlue);
    band.setColorAt(1, kSplashDeepBlue);
    painter.fillRect(0, 0, kSplashBandWidth, kSplashHeight, band);
    drawSplashGlobe(painter, QPointF(kSplashBandWidth / 2.0, 110), 30);

    // The maker's name, where the window's link to the maker's page lies.
    QFont maker(QStringLiteral("Arial"));
    maker.setPixelSize(28);
    maker.setBold(true);
    maker.setLetterSpacing(QFont::AbsoluteSpacing, 4);
    painter.setFont(maker);
    painter.setPen(kSplashBlue);
    painter.drawText(QRect(kSplashMakerLeft, kSplashMakerTop, kSplashMakerRight - kSplashMakerLeft,
                           kSplashMakerBottom - kSplashMakerTop),
                     Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("ZORVIC"));

    // Rules above the product name and above the button row.
    painter.setPen(QPen(kSplashBlue, 2));
    painter.drawLine(107, 62, kSplashWidth - 18, 62);
    painter.setPen(QPen(QColor(0xc8, 0xd4, 0xe4), 1));
    painter.drawLine(107, 305, kSplashWidth - 18, 305);
    return bitmap;
}

}  // namespace

QPixmap LoadBitmapResource(unsigned id) {
    switch (id) {
        case IDB_SPLASH_ABOUT:
            return drawSplashAbout();
        default:
            return {};
    }
}
