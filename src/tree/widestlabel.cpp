#include "tree/widestlabel.h"

#include <QTreeWidget>

#include <algorithm>

namespace {

// Shown: no ancestor closed, neither it nor one of them hidden.
bool isShown(const QTreeWidgetItem* item) {
    for (; item != nullptr; item = item->parent()) {
        if (item->isHidden() || (item->parent() != nullptr && !item->parent()->isExpanded())) {
            return false;
        }
    }
    return true;
}

}  // namespace

CWidestLabel::CWidestLabel(QTreeWidget& view, Measure measure)
    : m_view(view), m_measure(std::move(measure)) {
    const QAbstractItemModel* model = view.model();
    connect(model, &QAbstractItemModel::rowsInserted, this,
            [this](const QModelIndex& parent, int first, int last) {
                noteRows(parent, first, last, Reach::RowAndShownChildren);
            });
    connect(model, &QAbstractItemModel::rowsAboutToBeRemoved, this,
            [this](const QModelIndex& parent, int first, int last) {
                forgetRows(parent, first, last);
            });
    connect(model, &QAbstractItemModel::dataChanged, this,
            [this](const QModelIndex& topLeft, const QModelIndex& bottomRight) {
                if (topLeft.column() == 0) {
                    noteRows(topLeft.parent(), topLeft.row(), bottomRight.row(), Reach::Row);
                }
            });
    connect(model, &QAbstractItemModel::modelReset, this, [this] {
        m_right = 0;
        m_order.clear();
        m_pending.clear();
    });
    connect(&view, &QTreeWidget::itemExpanded, this,
            [this](QTreeWidgetItem* item) { note(item, Reach::RowAndShownChildren); });
}

int CWidestLabel::Right() {
    if (!m_watching) {
        m_watching = true;
        Restart();
    }
    for (QTreeWidgetItem* item : m_order) {
        // A row noted twice is measured at its first place; a removed one
        // is no longer pending.
        const auto pending = m_pending.constFind(item);
        if (pending != m_pending.cend()) {
            const Reach reach = pending.value();
            m_pending.erase(pending);
            measure(item, reach);
        }
    }
    m_order.clear();
    return m_right;
}

void CWidestLabel::Stop() {
    m_watching = false;
    m_order.clear();
    m_pending.clear();
}

void CWidestLabel::Restart() {
    m_right = 0;
    noteRows({}, 0, m_view.topLevelItemCount() - 1, Reach::RowAndShownChildren);
}

QTreeWidgetItem* CWidestLabel::itemOf(const QModelIndex& index) const {
    if (!index.isValid()) {
        return m_view.invisibleRootItem();
    }
    QTreeWidgetItem* parent = itemOf(index.parent());
    return parent != nullptr ? parent->child(index.row()) : nullptr;
}

void CWidestLabel::note(QTreeWidgetItem* item, Reach reach) {
    if (!m_watching || item == nullptr) {
        return;
    }
    const auto at = m_pending.find(item);
    if (at == m_pending.end()) {
        m_pending.insert(item, reach);
        m_order.push_back(item);
    } else {
        at.value() = std::max(at.value(), reach);
    }
}

void CWidestLabel::noteRows(const QModelIndex& parent, int first, int last, Reach reach) {
    if (!m_watching || first > last) {
        return;
    }
    QTreeWidgetItem* parentItem = itemOf(parent);
    for (int row = first; parentItem != nullptr && row <= last; ++row) {
        note(parentItem->child(row), reach);
    }
}

void CWidestLabel::forgetRows(const QModelIndex& parent, int first, int last) {
    if (m_pending.isEmpty()) {
        return;
    }
    QTreeWidgetItem* parentItem = itemOf(parent);
    std::vector<QTreeWidgetItem*> going;
    for (int row = first; parentItem != nullptr && row <= last; ++row) {
        going.push_back(parentItem->child(row));
    }
    while (!going.empty()) {
        QTreeWidgetItem* item = going.back();
        going.pop_back();
        if (item == nullptr) {
            continue;
        }
        m_pending.remove(item);
        for (int child = 0; child < item->childCount(); ++child) {
            going.push_back(item->child(child));
        }
    }
}

void CWidestLabel::measure(QTreeWidgetItem* item, Reach reach) {
    if (!isShown(item)) {
        return;
    }
    // Depth first, each row before its children, as the view shows them.
    std::vector<QTreeWidgetItem*> rows{item};
    while (!rows.empty()) {
        QTreeWidgetItem* row = rows.back();
        rows.pop_back();
        // Rows noted on their own are measured here already.
        m_pending.remove(row);
        m_right = std::max(m_right, m_measure(row));
        if (reach == Reach::Row || !row->isExpanded()) {
            continue;
        }
        for (int child = row->childCount() - 1; child >= 0; --child) {
            if (!row->child(child)->isHidden()) {
                rows.push_back(row->child(child));
            }
        }
    }
}
