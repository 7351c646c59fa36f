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
        clearPending();
    });
    connect(&view, &QTreeWidget::itemExpanded, this,
            [this](QTreeWidgetItem* item) { note(item, Reach::RowAndShownChildren); });
}

int CWidestLabel::Right(int rows) {
    if (!m_watching) {
        m_watching = true;
        Restart();
    }
    while (rows > 0) {
        QTreeWidgetItem* item = nullptr;
        if (!m_children.empty()) {
            item = m_children.back();
            m_children.pop_back();
        } else if (m_next < m_order.size()) {
            item = m_order[m_next++];
        } else {
            break;
        }
        // A row noted twice is measured at its first place; a removed one
        // is no longer pending.
        const auto pending = m_pending.constFind(item);
        if (pending != m_pending.cend()) {
            const Reach reach = pending.value();
            m_pending.erase(pending);
            rows -= measure(item, reach) ? 1 : 0;
        }
    }
    if (!HasPending()) {
        clearPending();
    }
    return m_right;
}

void CWidestLabel::Stop() {
    m_watching = false;
    clearPending();
}

void CWidestLabel::clearPending() {
    m_order.clear();
    m_next = 0;
    m_children.clear();
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

bool CWidestLabel::measure(QTreeWidgetItem* item, Reach reach) {
    if (!isShown(item)) {
        return false;
    }
    m_right = std::max(m_right, m_measure(item));
    if (reach == Reach::RowAndShownChildren && item->isExpanded()) {
        for (int child = item->childCount() - 1; child >= 0; --child) {
            QTreeWidgetItem* row = item->child(child);
            if (!row->isHidden()) {
                // Rows noted on their own are measured here already.
                m_pending.insert(row, Reach::RowAndShownChildren);
                m_children.push_back(row);
            }
        }
    }
    return true;
}
