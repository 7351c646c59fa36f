#pragma once

// Makes a grid's viewport a drop target. It holds no drop logic of its own:
// it checks that a drag event concerns its grid's viewport and hands it to
// the grid's drag operations, which derived grids may override.

#include <QObject>
#include <QPointer>

class CGridCtrl;
class QMimeData;
class QWidget;

class CGridDropTarget : public QObject {
public:
    CGridDropTarget() = default;
    ~CGridDropTarget() override;

    // Registers the grid's viewport once: false when already registered,
    // while a registration runs, or when `grid` is not a grid.
    bool Register(QObject* grid);
    virtual void Revoke();
    bool IsRegistered() const { return m_registered; }

    // Each answers nothing for a window other than the grid's viewport.
    virtual Qt::DropAction OnDragEnter(QWidget* window, const QMimeData* data,
                                       Qt::KeyboardModifiers keys, QPoint point);
    virtual Qt::DropAction OnDragOver(QWidget* window, const QMimeData* data,
                                      Qt::KeyboardModifiers keys, QPoint point);
    virtual bool OnDrop(QWidget* window, const QMimeData* data, Qt::DropAction action,
                        QPoint point);
    virtual void OnDragLeave(QWidget* window);
    // Ctrl copies, anything else moves.
    virtual Qt::DropAction OnDragScroll(QWidget* window, Qt::KeyboardModifiers keys, QPoint point);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    bool isGridWindow(const QWidget* window) const;

    QPointer<CGridCtrl> m_grid;
    bool m_registered = false;
    static bool s_registering;
};
