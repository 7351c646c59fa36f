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

int CContextMenuHost::InvokeItem(const CContextMenuItem& item, int commandCode, qintptr extra,
                                 CMenuGridRows* grid, QWidget* owner) {
    return item.Invoke(item.GetCommandId(), commandCode, extra, grid, owner);
}

char16_t CContextMenuHost::ContextOf(const QWidget*) const {
    kDebugLog(u"SEAM CContextMenuHost::ContextOf: no panes yet");
    return 0;
}

CMenuGridRows* CContextMenuHost::MainGrid() const {
    kDebugLog(u"SEAM CContextMenuHost::MainGrid: no main grid yet");
    return nullptr;
}

bool CContextMenuHost::IsPropertiesPaneShown() const {
    kDebugLog(u"SEAM CContextMenuHost::IsPropertiesPaneShown: no properties pane yet");
    return false;
}

void CContextMenuHost::CloseProperties() {
    kDebugLog(u"SEAM CContextMenuHost::CloseProperties: no properties pane yet");
}

int CContextMenuHost::RunActions(const KPROPS&, char16_t context) {
    kDebugLog(u"SEAM CContextMenuHost::RunActions(%c): no action runner yet", context);
    return 0;
}

bool CContextMenuHost::SelectFile(const QString& keyPrefix, const QString&, QString&) {
    kDebugLog(u"SEAM CContextMenuHost::SelectFile(%s): no file chooser yet", keyPrefix);
    return false;
}

void CContextMenuHost::RunReDiscoverDialog(const QString& requestsUrl, const QString& actionUrl) {
    kDebugLog(u"SEAM CReDiscoverDialog(%s, %s): not built yet", requestsUrl, actionUrl);
}

void CContextMenuHost::SetStatusText(const QString& text) {
    kDebugLog(u"SEAM CContextMenuHost::SetStatusText(%s): no status bar yet", text);
}

void CContextMenuHost::AddDateTimeParams(QString&) {
    kDebugLog(u"SEAM CContextMenuHost::AddDateTimeParams: no preferences yet");
}
