// Tree XML (a server's tree reply or a tree URL's document) read into the
// World View model under its root level, then written out again.

#include "support/fuzzsupport.h"
#include "tree/mytree.h"

#include <QTreeWidget>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    QTreeWidget control;
    CMyTree tree;
    tree.AttachTreeCtrl(&control);
    if (tree.AddItemsFromXML(FuzzText(data, size), tree.RootLevel()) == 0) {
        return 0;
    }
    QString out;
    tree.WriteXML(out, 0, nullptr);
    return 0;
}
