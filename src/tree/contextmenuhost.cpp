#include "tree/contextmenuhost.h"

namespace {
CContextMenuHost* g_host = nullptr;
}  // namespace

CContextMenuHost& ContextMenuHost() {
    if (g_host == nullptr) {
        qFatal("ContextMenuHost: no CContextMenuHost installed");
    }
    return *g_host;
}

CContextMenuHost* SetContextMenuHost(CContextMenuHost* host) {
    CContextMenuHost* replaced = g_host;
    g_host = host;
    return replaced;
}
