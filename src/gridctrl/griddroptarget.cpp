#include "gridctrl/griddroptarget.h"

#include "gridctrl/gridctrl.h"

#include "ui/dragevents.h"

#include <QMimeData>

bool CGridDropTarget::s_registering = false;

CGridDropTarget::~CGridDropTarget() = default;

bool CGridDropTarget::Register(QObject* grid) {
    if (m_registered || s_registering) {
        return false;
    }
    auto* gridCtrl = qobject_cast<CGridCtrl*>(grid);
    if (gridCtrl == nullptr) {
        return false;
    }
    s_registering = true;
    m_grid = gridCtrl;
    QWidget* viewport = gridCtrl->viewport();
    viewport->setAcceptDrops(true);
    viewport->installEventFilter(this);
    m_registered = true;
    s_registering = false;
    return true;
}

void CGridDropTarget::Revoke() {
    m_registered = false;
    if (m_grid != nullptr) {
        m_grid->viewport()->removeEventFilter(this);
        m_grid->viewport()->setAcceptDrops(false);
    }
}

bool CGridDropTarget::isGridWindow(const QWidget* window) const {
    return m_grid != nullptr && window != nullptr && window == m_grid->viewport();
}

Qt::DropAction CGridDropTarget::OnDragEnter(QWidget* window, const QMimeData* data,
                                            Qt::KeyboardModifiers keys, QPoint point) {
    return isGridWindow(window) ? m_grid->OnDragEnter(data, keys, point) : Qt::IgnoreAction;
}

Qt::DropAction CGridDropTarget::OnDragOver(QWidget* window, const QMimeData* data,
                                           Qt::KeyboardModifiers keys, QPoint point) {
    return isGridWindow(window) ? m_grid->OnDragOver(data, keys, point) : Qt::IgnoreAction;
}

bool CGridDropTarget::OnDrop(QWidget* window, const QMimeData* data, Qt::DropAction action,
                             QPoint point) {
    return isGridWindow(window) && m_grid->OnDrop(data, action, point);
}

void CGridDropTarget::OnDragLeave(QWidget* window) {
    if (isGridWindow(window)) {
        m_grid->OnDragLeave();
    }
}

Qt::DropAction CGridDropTarget::OnDragScroll(QWidget* window, Qt::KeyboardModifiers keys,
                                             QPoint) {
    if (!isGridWindow(window)) {
        return Qt::IgnoreAction;
    }
    return (keys & Qt::ControlModifier) != 0 ? Qt::CopyAction : Qt::MoveAction;
}

bool CGridDropTarget::eventFilter(QObject* watched, QEvent* event) {
    auto* window = qobject_cast<QWidget*>(watched);
    const DragEventHandlers handlers{
        .enter = [&](const QMimeData* data, Qt::KeyboardModifiers keys,
                     QPoint point) { return OnDragEnter(window, data, keys, point); },
        .over = [&](const QMimeData* data, Qt::KeyboardModifiers keys,
                    QPoint point) { return OnDragOver(window, data, keys, point); },
        .leave = [&] { OnDragLeave(window); },
        .drop = [&](const QMimeData* data, Qt::DropAction action,
                    QPoint point) { return OnDrop(window, data, action, point); },
    };
    return AnswerDragEvent(event, handlers) || QObject::eventFilter(watched, event);
}
