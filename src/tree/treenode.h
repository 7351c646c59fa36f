#pragma once

// A node of the World View tree control. It owns its item record, so a node
// and its record are always created, copied and deleted together.

#include "tree/myitem.h"

#include <QTreeWidgetItem>

#include <memory>

class CTreeNode : public QTreeWidgetItem {
public:
    static constexpr int kType = QTreeWidgetItem::UserType + 1;
    // The data role that holds the record's item id.
    static constexpr int kItemIdRole = Qt::UserRole + 1;

    // A record of kind 'S' without a connection is given one.
    explicit CTreeNode(std::unique_ptr<CMyItem> record);
    ~CTreeNode() override;

    // A copy with copies of every record below it (the control copies nodes
    // this way, for example when it moves them).
    QTreeWidgetItem* clone() const override;

    CMyItem* record() const { return m_record.get(); }

    // The record of a tree control item, or null for an item that is not a node.
    static CMyItem* RecordOf(const QTreeWidgetItem* item);

private:
    std::unique_ptr<CMyItem> m_record;
};
