#pragma once

// Row 1 of the right-hand side: the view that holds the data grid, the folder
// list or a panel. It stays an empty pane until those are built on it.

#include <QWidget>

class CMyView : public QWidget {
    Q_OBJECT
public:
    explicit CMyView(QWidget* parent = nullptr) : QWidget(parent) {}

    // Whether a panel is shown and the keyboard focus is in it. No panel is
    // ever shown until the panels are built on this view.
    bool PanelHasFocus() const { return false; }
};
