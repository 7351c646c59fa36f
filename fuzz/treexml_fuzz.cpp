// Tree XML: the first byte picks a World View read into the tree (saved and
// read back, which must give the same text) or a tree reply read under a
// server entry; the rest is the text.

#include "fuzzsupport.h"
#include "tree/mytree.h"

#include <QTreeWidget>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0) {
        return 0;
    }
    FuzzApplication();
    const QString text = QString::fromUtf8(FuzzBytes(data + 1, size - 1));
    QTreeWidget control;
    CMyTree tree;
    tree.AttachTreeCtrl(&control);
    if ((data[0] & 1) != 0) {
        QTreeWidgetItem* root = tree.AddRootItem(QStringLiteral("World View"));
        CServerConnection session;
        session.Host = QStringLiteral("h");
        tree.AddItemsFromXML(text, tree.AddSystemItem(root, QStringLiteral("s"), session));
        return 0;
    }
    if (tree.ReplaceFromXML(text) == 0) {
        return 0;
    }
    QString saved;
    tree.WriteXML(saved, 0, nullptr);
    FuzzCheck(tree.ReplaceFromXML(saved) == 1, "a saved World View reads back");
    QString savedAgain;
    tree.WriteXML(savedAgain, 0, nullptr);
    FuzzCheck(savedAgain == saved, "a World View read back saves the same");
    return 0;
}
