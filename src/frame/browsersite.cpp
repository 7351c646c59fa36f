#include "frame/browsersite.h"

#include <QtGlobal>

#include <atomic>

namespace {

std::atomic<CBrowserSite*> g_site{nullptr};

}  // namespace

CBrowserSite& BrowserSite() {
    CBrowserSite* site = g_site.load();
    if (site == nullptr) {
        qFatal("BrowserSite: no CBrowserSite installed");
    }
    return *site;
}

void SetBrowserSite(CBrowserSite* site) {
    g_site.store(site);
}
