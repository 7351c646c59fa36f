#include "server/mysystemsite.h"

#include <QtGlobal>

#include <atomic>

namespace {
// Read by the action worker while the UI thread installs and removes.
std::atomic<CMySystemSite*> g_site{nullptr};
}  // namespace

CMySystemSite& MySystemSite() {
    CMySystemSite* site = g_site.load();
    if (site == nullptr) {
        qFatal("MySystemSite: no CMySystemSite installed");
    }
    return *site;
}

CMySystemSite* SetMySystemSite(CMySystemSite* site) {
    return g_site.exchange(site);
}
