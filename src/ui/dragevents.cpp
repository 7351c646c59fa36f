#include "ui/dragevents.h"

#include <QDragMoveEvent>
#include <QDropEvent>

bool AnswerDragEvent(QEvent* event, const DragEventHandlers& handlers) {
    switch (event->type()) {
        case QEvent::DragEnter:
        case QEvent::DragMove: {
            auto* drag = static_cast<QDragMoveEvent*>(event);
            const bool entering = event->type() == QEvent::DragEnter;
            const auto& answer = entering ? handlers.enter : handlers.over;
            Qt::DropAction effect =
                answer(drag->mimeData(), drag->modifiers(), drag->position().toPoint());
            // A source that only copies has its data copied.
            if (effect == Qt::MoveAction && (drag->possibleActions() & Qt::MoveAction) == 0) {
                effect = Qt::CopyAction;
            }
            drag->setDropAction(effect);
            // The enter is taken even without an effect, so that the moves
            // that follow can still find a place that takes the drop.
            if (effect != Qt::IgnoreAction || entering) {
                drag->accept();
            } else {
                drag->ignore();
            }
            return true;
        }
        case QEvent::DragLeave:
            handlers.leave();
            return true;
        case QEvent::Drop: {
            auto* drop = static_cast<QDropEvent*>(event);
            const Qt::DropAction action = drop->dropAction();
            if (handlers.drop(drop->mimeData(), action, drop->position().toPoint())) {
                drop->setDropAction(action);
                drop->accept();
            } else {
                drop->setDropAction(Qt::IgnoreAction);
                drop->ignore();
            }
            return true;
        }
        default:
            return false;
    }
}
