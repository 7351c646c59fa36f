#include "tree/treenode.h"

namespace {

// A record of kind 'S' always carries a connection; one that came without
// (an item element of item-type "system") gets one named after its label.
std::unique_ptr<CMyItem> AsServerEntry(std::unique_ptr<CMyItem> record) {
    if (record->ItemType != kKindSystem || ConnectionOf(record.get()) != nullptr) {
        return record;
    }
    CServerConnection connection;
    connection.Host = record->GetLabel();
    return std::make_unique<CSystemItem>(*record, connection);
}

}  // namespace

CTreeNode::CTreeNode(std::unique_ptr<CMyItem> record)
    : QTreeWidgetItem(kType), m_record(AsServerEntry(std::move(record))) {
    setData(0, kItemIdRole, m_record->GetItemId());
}

CTreeNode::~CTreeNode() = default;

QTreeWidgetItem* CTreeNode::clone() const {
    auto* copy = new CTreeNode(m_record->Clone());
    copy->setText(0, text(0));
    copy->setIcon(0, icon(0));
    copy->setToolTip(0, toolTip(0));
    copy->setFlags(flags());
    copy->setChildIndicatorPolicy(childIndicatorPolicy());
    for (int i = 0; i < childCount(); ++i) {
        copy->addChild(child(i)->clone());
    }
    return copy;
}

CMyItem* CTreeNode::RecordOf(const QTreeWidgetItem* item) {
    if (item == nullptr || item->type() != kType) {
        return nullptr;
    }
    return static_cast<const CTreeNode*>(item)->record();
}
