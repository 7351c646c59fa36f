#include "tree/tooltip.h"

#include <QApplication>
#include <QCursor>
#include <QLabel>
#include <QMouseEvent>
#include <QScreen>
#include <QToolTip>

Tooltip::Tooltip() {
    m_showTimer.setSingleShot(true);
    m_hideTimer.setSingleShot(true);
    m_trackTimer.setSingleShot(true);
    connect(&m_showTimer, &QTimer::timeout, this, &Tooltip::onShowTimer);
    connect(&m_hideTimer, &QTimer::timeout, this, &Tooltip::Hide);
    connect(&m_trackTimer, &QTimer::timeout, this, &Tooltip::onTrackTimer);
}

Tooltip::~Tooltip() = default;

void Tooltip::Create(QWidget* parent, QWidget* relay) {
    m_showTimer.stop();
    m_hideTimer.stop();
    m_trackTimer.stop();
    m_tip.reset();
    m_text.clear();
    m_pending = QRect();
    m_atCursor = false;
    m_relay = relay;
    m_tip = std::make_unique<QLabel>(parent, Qt::ToolTip | Qt::FramelessWindowHint);
    m_tip->setTextFormat(Qt::PlainText);
    m_tip->setWordWrap(true);
    m_tip->setForegroundRole(QPalette::ToolTipText);
    m_tip->setBackgroundRole(QPalette::ToolTipBase);
    m_tip->setPalette(QToolTip::palette());
    m_tip->setAutoFillBackground(true);
    m_tip->setMargin(2);
    m_tip->setMouseTracking(true);
    m_tip->installEventFilter(this);
    qApp->installEventFilter(this);
}

void Tooltip::SetText(const QString& text) {
    m_text = text;
    if (m_tip) {
        m_tip->setText(text);
    }
}

void Tooltip::activate(QPoint topLeft, int wrapWidth) {
    if (!m_tip) {
        return;
    }
    const QScreen* screen = QGuiApplication::screenAt(topLeft);
    if (screen == nullptr) {
        screen = m_tip->screen();
    }
    const QRect desk = screen->availableGeometry();
    // A narrow place must not wrap the text after every word: the tip may
    // always grow to half the screen, as wide as a text reads well.
    wrapWidth = qMax(wrapWidth, screen->geometry().width() / 2);
    const int frame = 2 * (m_tip->margin() + m_tip->frameWidth());
    const int natural =
        m_tip->fontMetrics().boundingRect(QRect(), Qt::TextExpandTabs, m_text).width() + frame + 1;
    const int width = qMin(natural, wrapWidth);
    m_tip->resize(width, m_tip->heightForWidth(width));
    // The whole tip stays on the screen: near its right edge it moves left.
    topLeft.setX(qMax(desk.left(), qMin(topLeft.x(), desk.right() + 1 - width)));
    m_tip->move(topLeft);
    m_tip->show();
    m_tip->raise();
}

void Tooltip::ShowAt(const QRect& rect) {
    m_pending = rect;
    activate(rect.topLeft(), rect.width());
    m_trackTimer.start(kTrackPeriodMs);
}

void Tooltip::ShowLater(int delayMs, bool atCursor, const QRect* rect) {
    m_atCursor = atCursor;
    m_pending = rect != nullptr ? *rect : QRect();
    m_showTimer.start(qMax(0, delayMs));
}

void Tooltip::HideLater(int delayMs) {
    m_hideTimer.start(qMax(0, delayMs));
}

void Tooltip::ShowAtCursor() {
    activate(QCursor::pos() + QPoint(0, kCursorOffset), 0);
}

void Tooltip::Hide() {
    m_showTimer.stop();
    m_hideTimer.stop();
    m_trackTimer.stop();
    if (m_tip) {
        m_tip->hide();
    }
}

bool Tooltip::IsShown() const {
    return m_tip && m_tip->isVisible();
}

QRect Tooltip::Geometry() const {
    return m_tip ? m_tip->geometry() : QRect();
}

void Tooltip::onShowTimer() {
    if (m_atCursor) {
        ShowAtCursor();
    } else if (m_pending.isEmpty()) {
        if (m_tip) {
            m_tip->show();
        }
    } else {
        ShowAt(m_pending);
    }
}

// The rectangle lies just below the item it tips: the pointer, moved down
// by the rectangle's height, must stay inside it for the tip to stay.
void Tooltip::onTrackTimer() {
    const QPoint pointer = QCursor::pos() + QPoint(0, m_pending.height());
    const QRect inner = m_pending.adjusted(1, 1, -1, -1);
    if (inner.contains(pointer)) {
        m_trackTimer.start(kTrackPeriodMs);
    } else {
        Hide();
    }
}

bool Tooltip::eventFilter(QObject* watched, QEvent* event) {
    // A popup menu that opens takes the pointer and may lie over the tip:
    // the tip, shown or still to come, gives way.
    if (event->type() == QEvent::Show) {
        const auto* window = qobject_cast<const QWidget*>(watched);
        if (window != nullptr && window->windowType() == Qt::Popup) {
            Hide();
        }
        return false;
    }
    if (watched == m_tip.get() && m_relay) {
        switch (event->type()) {
            case QEvent::MouseMove:
            case QEvent::MouseButtonPress:
            case QEvent::MouseButtonRelease:
            case QEvent::MouseButtonDblClick: {
                auto* mouse = static_cast<QMouseEvent*>(event);
                const QPointF local = m_relay->mapFromGlobal(mouse->globalPosition());
                QMouseEvent relayed(mouse->type(), local, mouse->globalPosition(), mouse->button(),
                                    mouse->buttons(), mouse->modifiers());
                QApplication::sendEvent(m_relay, &relayed);
                break;
            }
            default:
                break;
        }
    }
    return QObject::eventFilter(watched, event);
}
