#include "dialogs/inputcheckwindow.h"

#include <QApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QScreen>

CInputCheckWindow::CInputCheckWindow(const QString& caption, QSize clientSize, QWidget* parent)
    : QWidget(parent, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint |
                          Qt::CustomizeWindowHint) {
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(caption);
    setFixedSize(clientSize);
    QPalette white = palette();
    white.setColor(QPalette::Window, Qt::white);
    white.setColor(QPalette::Base, Qt::white);
    setPalette(white);
    setAutoFillBackground(true);
    qApp->installEventFilter(this);
}

CInputCheckWindow::~CInputCheckWindow() {
    qApp->removeEventFilter(this);
}

void CInputCheckWindow::DestroyWindow() {
    if (m_destroying) {
        return;
    }
    m_destroying = true;
    qApp->removeEventFilter(this);
    hide();
    deleteLater();
}

void CInputCheckWindow::closeEvent(QCloseEvent* event) {
    m_destroying = true;
    qApp->removeEventFilter(this);
    QWidget::closeEvent(event);
}

bool CInputCheckWindow::KeepsPress(const QWidget*, QPoint) const {
    return false;
}

void CInputCheckWindow::showCentred(QWidget* parent) {
    const QRect area =
        parent != nullptr ? parent->window()->frameGeometry() : screen()->availableGeometry();
    move(area.center() - rect().center());
    show();
    raise();
    activateWindow();
}

bool CInputCheckWindow::closesOn(QObject* watched, QEvent* event) const {
    // Widgets get the input after their native window; the widget decides.
    auto* target = qobject_cast<QWidget*>(watched);
    if (target == nullptr) {
        return false;
    }
    switch (event->type()) {
        case QEvent::KeyPress:
            return true;
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonDblClick:
        case QEvent::NonClientAreaMouseButtonPress: {
            const auto* press = static_cast<const QMouseEvent*>(event);
            const Qt::MouseButton button = press->button();
            if (button != Qt::LeftButton && button != Qt::RightButton &&
                button != Qt::MiddleButton) {
                return false;
            }
            const bool ours = target == this || isAncestorOf(target);
            return !ours || !KeepsPress(target, target->mapTo(this, press->position().toPoint()));
        }
        default:
            return false;
    }
}

bool CInputCheckWindow::eventFilter(QObject* watched, QEvent* event) {
    if (m_destroying || !closesOn(watched, event)) {
        return false;
    }
    DestroyWindow();
    return true;
}
