#pragma once

// Row 0 of the right-hand side: the tab strip and its panel. It stays an
// empty pane until the tab strip is built on it.

#include <QWidget>

class CDialogView : public QWidget {
    Q_OBJECT
public:
    explicit CDialogView(QWidget* parent = nullptr) : QWidget(parent) {}
};
