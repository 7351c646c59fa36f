#pragma once

// The rightmost label edge a tree view has shown, kept up to date as rows
// come: a row is measured once, when it is inserted, its parent opened or
// its text changed, instead of every row at every ask, so that filling a
// World View of many thousand servers stays linear. A label no longer shown
// (its folder closed, its row removed) still counts: the width it gives
// only ever grows. UI thread only.

#include <QHash>
#include <QObject>

#include <functional>
#include <vector>

class QModelIndex;
class QTreeWidget;
class QTreeWidgetItem;

class CWidestLabel : public QObject {
public:
    // The right edge of a shown item's label in the view's content.
    using Measure = std::function<int(QTreeWidgetItem*)>;

    CWidestLabel(QTreeWidget& view, Measure measure);

    // The rightmost edge seen, once the rows shown since the last ask are
    // measured; after Stop, every shown row is measured again.
    int Right();
    // Rows are not watched until the next Right(), as when nothing asks.
    void Stop();
    // Every shown row is measured again at the next Right(), as after a
    // change of font.
    void Restart();

private:
    enum class Reach { Row, RowAndShownChildren };

    QTreeWidgetItem* itemOf(const QModelIndex& index) const;
    void note(QTreeWidgetItem* item, Reach reach);
    void noteRows(const QModelIndex& parent, int first, int last, Reach reach);
    void forgetRows(const QModelIndex& parent, int first, int last);
    void measure(QTreeWidgetItem* item, Reach reach);

    QTreeWidget& m_view;
    Measure m_measure;
    bool m_watching = true;
    int m_right = 0;
    // The rows to measure, in the order they came, which is mostly the
    // order they are shown in: the view finds a row's place fastest from
    // the place of the row before.
    std::vector<QTreeWidgetItem*> m_order;
    QHash<QTreeWidgetItem*, Reach> m_pending;
};
