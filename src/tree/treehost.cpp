#include "tree/treehost.h"

#include "framework/klog.h"

int CTreeHost::SendTreeRequest(quint16&, const QString& url, const QString&, const QString&,
                               quint32) {
    kDebugLog(u"CTreeHost: no dispatcher for the tree request: %s\n", url);
    return 0;
}

void CTreeHost::CancelTreeRequests(quint16 requesterId) {
    kDebugLog(u"CTreeHost: no dispatcher to cancel the requests of %u\n",
              static_cast<unsigned>(requesterId));
}

int CTreeHost::LogoutIfUnauthorized(CMyTree&, QTreeWidgetItem*) {
    return 0;
}

int CTreeHost::OnItemSelected(CMyTree&, QTreeWidgetItem*) {
    kDebugLog(u"CTreeHost: no main frame to show the selected item\n");
    return 1;
}

int CTreeHost::RefreshItemKeepSelection(QTreeWidgetItem*, bool) {
    kDebugLog(u"CTreeHost: no application to refresh the item\n");
    return 0;
}

CTreeHost& DefaultTreeHost() {
    static CTreeHost host;
    return host;
}
