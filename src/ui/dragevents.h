#pragma once

// The drag events a drop target's window receives, answered through the
// target's operations: enter and move give the effect a drop would have,
// leave clears what they showed, and drop carries it out.

#include <QPoint>
#include <Qt>

#include <functional>

class QEvent;
class QMimeData;

struct DragEventHandlers {
    std::function<Qt::DropAction(const QMimeData*, Qt::KeyboardModifiers, QPoint)> enter;
    std::function<Qt::DropAction(const QMimeData*, Qt::KeyboardModifiers, QPoint)> over;
    std::function<void()> leave;
    std::function<bool(const QMimeData*, Qt::DropAction, QPoint)> drop;
};

// True when the event was a drag event, which is then answered: a refused
// drop is ignored, so that the source keeps its data.
bool AnswerDragEvent(QEvent* event, const DragEventHandlers& handlers);
