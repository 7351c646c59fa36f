#include "tree/treehost.h"

#include "framework/klog.h"

int CTreeHost::SendTreeRequest(quint16&, const QString& url, const QString&, const QString&) {
    kDebugLog(u"CTreeHost: no dispatcher for the tree request: %s\n", url);
    return 0;
}

int CTreeHost::OnItemSelected(CMyTree&, QTreeWidgetItem*) {
    kDebugLog(u"CTreeHost: no main frame to show the selected item\n");
    return 1;
}

CTreeHost& DefaultTreeHost() {
    static CTreeHost host;
    return host;
}
