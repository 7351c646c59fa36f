#include "frame/sizingcontrolbar.h"

#include <QMainWindow>
#include <QResizeEvent>
#include <QTimer>

CSizingControlBar::CSizingControlBar(const QString& title, QWidget* parent, int controlId,
                                     QSize size)
    : QDockWidget(title, parent), m_sizes{size, size, size} {
    setProperty("controlId", controlId);
    setFeatures(QDockWidget::DockWidgetMovable | QDockWidget::DockWidgetFloatable);
    m_placement = CurrentPlacement();
    setMinimumSize(MinimumSizeOf(m_placement));
    connect(this, &QDockWidget::topLevelChanged, this, &CSizingControlBar::onPlacementChanged);
    connect(this, &QDockWidget::dockLocationChanged, this, &CSizingControlBar::onPlacementChanged);
}

QMainWindow* CSizingControlBar::dockSite() const {
    return qobject_cast<QMainWindow*>(parentWidget());
}

CSizingControlBar::Placement CSizingControlBar::CurrentPlacement() const {
    QMainWindow* site = dockSite();
    if (isFloating() || site == nullptr) {
        return Placement::Floating;
    }
    switch (site->dockWidgetArea(const_cast<CSizingControlBar*>(this))) {
        case Qt::TopDockWidgetArea:
        case Qt::BottomDockWidgetArea:
            return Placement::Horizontal;
        case Qt::LeftDockWidgetArea:
        case Qt::RightDockWidgetArea:
            return Placement::Vertical;
        default:
            return Placement::Floating;
    }
}

QSize CSizingControlBar::StoredSize(Placement placement) const {
    return m_sizes[slotOf(placement)];
}

void CSizingControlBar::SetStoredSize(Placement placement, QSize size) {
    m_sizes[slotOf(placement)] = size.expandedTo(MinimumSizeOf(placement));
}

QSize CSizingControlBar::MinimumSizeOf(Placement placement) const {
    return m_minimums[slotOf(placement)];
}

void CSizingControlBar::SetMinimumSizeOf(Placement placement, QSize minimum) {
    m_minimums[slotOf(placement)] = minimum;
    SetStoredSize(placement, StoredSize(placement));
    if (placement == m_placement) {
        setMinimumSize(minimum);
    }
}

void CSizingControlBar::onPlacementChanged() {
    const Placement placement = CurrentPlacement();
    if (placement == m_placement && !m_sizePending) {
        return;
    }
    m_placement = placement;
    setMinimumSize(MinimumSizeOf(placement));
    if (!m_sizePending) {
        m_sizePending = true;
        // The dock layout finishes the move first; the size follows.
        QTimer::singleShot(0, this, &CSizingControlBar::applyStoredSize);
    }
}

void CSizingControlBar::applyStoredSize() {
    m_sizePending = false;
    m_placement = CurrentPlacement();
    const QSize size = StoredSize(m_placement);
    QMainWindow* site = dockSite();
    switch (m_placement) {
        case Placement::Floating:
            resize(size);
            break;
        case Placement::Horizontal:
            if (site != nullptr) {
                site->resizeDocks({this}, {size.height()}, Qt::Vertical);
            }
            break;
        case Placement::Vertical:
            if (site != nullptr) {
                site->resizeDocks({this}, {size.width()}, Qt::Horizontal);
            }
            break;
    }
}

void CSizingControlBar::resizeEvent(QResizeEvent* event) {
    QDockWidget::resizeEvent(event);
    if (!m_sizePending && isVisible() && CurrentPlacement() == m_placement) {
        m_sizes[slotOf(m_placement)] = event->size();
    }
}

CSizingControlBarG::CSizingControlBarG(const QString& title, QWidget* parent, int controlId,
                                       QSize size)
    : CSizingControlBar(title, parent, controlId, size) {
    setFeatures(features() | QDockWidget::DockWidgetClosable);
}
