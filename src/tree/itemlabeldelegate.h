#pragma once

// The World View pane's item painter, which also tells the pane the option
// an item is painted with: the pane's hit test lays the icon and the label
// out from the same option the style draws them with.

#include <QStyledItemDelegate>

class CItemLabelDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    // `option` completed with the index's text, icon, font and features.
    QStyleOptionViewItem PaintOption(QStyleOptionViewItem option, const QModelIndex& index) const {
        initStyleOption(&option, index);
        return option;
    }
};
