#include "frame/animatectrl.h"

#include <QMouseEvent>
#include <QPainter>

#include <cmath>
#include <numbers>

CAnimateCtrl::CAnimateCtrl(QWidget* parent) : QWidget(parent) {
    setProperty("controlId", 53);
    setFixedSize(sizeHint());
    setContextMenuPolicy(Qt::PreventContextMenu);
    m_timer.setInterval(kFrameMs);
    connect(&m_timer, &QTimer::timeout, this, [this] {
        m_frame = (m_frame + 1) % kFrames;
        update();
    });
}

void CAnimateCtrl::Play() {
    m_frame = 0;
    m_timer.start();
    update();
}

void CAnimateCtrl::Stop() {
    m_timer.stop();
    m_frame = 0;
    update();
}

void CAnimateCtrl::mouseDoubleClickEvent(QMouseEvent* event) {
    if (event->button() == Qt::RightButton) {
        Q_EMIT RightDoubleClicked();
        return;
    }
    QWidget::mouseDoubleClickEvent(event);
}

void CAnimateCtrl::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    const QPointF centre = QRectF(rect()).center();
    const double radius = std::min(width(), height()) / 2.0 - 3;
    const QColor colour = palette().color(QPalette::Highlight);
    for (int dot = 0; dot < kFrames; ++dot) {
        // The dot of the current frame is full; the ones behind it fade.
        const int age = (m_frame - dot + kFrames) % kFrames;
        QColor shade = colour;
        shade.setAlphaF(IsPlaying() ? 1.0 - age / static_cast<double>(kFrames) : 0.35);
        painter.setBrush(shade);
        const double angle = 2 * std::numbers::pi * dot / kFrames;
        const QPointF at = centre + QPointF(std::sin(angle), -std::cos(angle)) * radius;
        painter.drawEllipse(at, 2.0, 2.0);
    }
}
