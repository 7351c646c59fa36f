#pragma once

// A World View model attached to a tree control of its own, with the
// application's services recorded, and small helpers to read the tree.

#include "qtprinting.h"
#include "support/recordingwireservices.h"
#include "tree/mytree.h"
#include "tree/treenode.h"

#include <QTreeWidget>

#include <gtest/gtest.h>

class TreeTest : public ::testing::Test {
protected:
    TreeTest() { tree.AttachTreeCtrl(&control); }

    // The item reached from the first root item through child indexes.
    QTreeWidgetItem* at(std::initializer_list<int> path) const {
        QTreeWidgetItem* item = control.topLevelItem(0);
        for (const int index : path) {
            item = item != nullptr ? item->child(index) : nullptr;
        }
        return item;
    }
    static CMyItem* record(QTreeWidgetItem* item) { return CTreeNode::RecordOf(item); }
    static CServerConnection* connection(QTreeWidgetItem* item) {
        return ConnectionOf(record(item));
    }
    // The tree texts of the item's children, in order.
    static QStringList childTexts(const QTreeWidgetItem* item) {
        QStringList texts;
        for (int i = 0; item != nullptr && i < item->childCount(); ++i) {
            texts << item->child(i)->text(0);
        }
        return texts;
    }
    // Reads the XML under the root level.
    int load(const QString& xml) { return tree.AddItemsFromXML(xml, tree.RootLevel()); }
    QString written() const {
        QString out;
        tree.WriteXML(out, 0, nullptr);
        return out;
    }

    RecordingWireServices services;
    QTreeWidget control;
    CMyTree tree;
};
