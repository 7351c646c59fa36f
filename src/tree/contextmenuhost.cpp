#include "tree/contextmenuhost.h"

#include "framework/klog.h"
#include "tree/contextmenuitem.h"

namespace {
CContextMenuHost g_defaultHost;
CContextMenuHost* g_host = &g_defaultHost;
}  // namespace

CContextMenuHost& ContextMenuHost() {
    return *g_host;
}

void SetContextMenuHost(CContextMenuHost* host) {
    g_host = host != nullptr ? host : &g_defaultHost;
}

const CMyItem* CContextMenuHost::SelectedWorldViewItem() const {
    kDebugLog(u"SEAM CContextMenuHost::SelectedWorldViewItem: no World View pane yet");
    return nullptr;
}

void CContextMenuHost::RouteCommand(int commandId) {
    kDebugLog(u"SEAM CContextMenuHost::RouteCommand(%d): no right-hand view yet", commandId);
}

int CContextMenuHost::InvokeItem(const CContextMenuItem& item, int commandCode, qintptr,
                                 CMenuGridRows*, QWidget*) {
    kDebugLog(u"SEAM CContextMenuHost::InvokeItem(%d, code %d): no action runner yet",
              item.GetCommandId(), commandCode);
    return 0;
}
