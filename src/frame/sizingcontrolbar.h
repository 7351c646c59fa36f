#pragma once

// A dockable bar that keeps one size for each way it can sit: docked at the
// top or bottom, docked at the left or right, and floating. Each time the
// bar moves from one to another it takes back the size it last had there,
// so a bar dragged out and docked again looks as the user left it. The
// child widget fills the bar. Edges and rows are the dock layout's own:
// it lets the user size the bar by the splitter between the bar and the
// central widget and shares a row between bars itself.

#include <QDockWidget>
#include <QSize>

class QMainWindow;

class CSizingControlBar : public QDockWidget {
    Q_OBJECT
public:
    enum class Placement { Horizontal, Vertical, Floating };
    static constexpr QSize kDefaultSize{200, 200};

    // The bar starts with `size` in every placement; `controlId` is kept as
    // the bar's control id.
    CSizingControlBar(const QString& title, QWidget* parent, int controlId,
                      QSize size = kDefaultSize);

    Placement CurrentPlacement() const;
    // The size the bar takes when it next sits in `placement`.
    QSize StoredSize(Placement placement) const;
    void SetStoredSize(Placement placement, QSize size);
    // No size of `placement` goes below its minimum: 33x32 docked, 37x32
    // floating unless the bar sets its own. Raising one raises the stored size.
    QSize MinimumSizeOf(Placement placement) const;
    void SetMinimumSizeOf(Placement placement, QSize minimum);

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    QMainWindow* dockSite() const;
    void onPlacementChanged();
    void applyStoredSize();
    static int slotOf(Placement placement) { return static_cast<int>(placement); }

    QSize m_sizes[3];
    // A floating bar is a little wider: its frame draws thicker edges.
    QSize m_minimums[3] = {{33, 32}, {33, 32}, {37, 32}};
    Placement m_placement = Placement::Floating;
    // Between a move and the size it takes back, the dock layout's own
    // resizes are not the user's choice and are not kept.
    bool m_sizePending = false;
};

// The sizing bar with a gripper and a close button while docked: the dock
// title bar, whose close button hides the bar.
class CSizingControlBarG : public CSizingControlBar {
    Q_OBJECT
public:
    CSizingControlBarG(const QString& title, QWidget* parent, int controlId,
                       QSize size = kDefaultSize);

    // Docked bars show the gripper.
    bool HasGripper() const { return !isFloating(); }
};
