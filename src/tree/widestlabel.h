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
#include <limits>
#include <vector>

class QModelIndex;
class QTreeWidget;
class QTreeWidgetItem;

class CWidestLabel : public QObject {
public:
    // The right edge of a shown item's label in the view's content.
    using Measure = std::function<int(QTreeWidgetItem*)>;

    CWidestLabel(QTreeWidget& view, Measure measure);

    // The rightmost edge seen, once at most `rows` more of the rows shown
    // since the last ask are measured, a row before its children as the
    // view shows them; after Stop, every shown row is measured again.
    int Right(int rows = std::numeric_limits<int>::max());
    // Whether rows wait to be measured at the next Right().
    bool HasPending() const { return !m_children.empty() || m_next < m_order.size(); }
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
    // False for a row not shown, which costs no measure.
    bool measure(QTreeWidgetItem* item, Reach reach);
    void clearPending();

    QTreeWidget& m_view;
    Measure m_measure;
    bool m_watching = true;
    int m_right = 0;
    // The rows to measure, in the order they came, which is mostly the
    // order they are shown in: the view finds a row's place fastest from
    // the place of the row before. Those before m_next are done.
    std::vector<QTreeWidgetItem*> m_order;
    size_t m_next = 0;
    // The shown children of rows measured with theirs, the next one last:
    // they come before the rest of m_order, so that a folder's rows follow
    // it as they are shown.
    std::vector<QTreeWidgetItem*> m_children;
    // Every row still to measure. A row removed from the view leaves only
    // this map, so the lists above are read through it.
    QHash<QTreeWidgetItem*, Reach> m_pending;
};
