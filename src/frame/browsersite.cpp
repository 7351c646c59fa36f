#include "frame/browsersite.h"

#include "framework/klog.h"

#include <QUrl>

#include <atomic>

namespace {

CBrowserSite g_defaultSite;
std::atomic<CBrowserSite*> g_site{&g_defaultSite};

}  // namespace

bool CBrowserSite::CredentialsFor(const QUrl&, QString&, QString&) {
    return false;
}

void CBrowserSite::OnUnauthorized(const QUrl& url) {
    kDebugLog(u"Browser page answered 401: %s\n", url.toString());
}

void CBrowserSite::RegisterServerPid(const void*, quint32) {}

CBrowserSite& BrowserSite() {
    return *g_site.load();
}

void SetBrowserSite(CBrowserSite* site) {
    g_site.store(site != nullptr ? site : &g_defaultSite);
}
