#include "platform/httpservertrust.h"

#include "framework/klog.h"

#include <map>
#include <mutex>
#include <set>
#include <utility>

namespace {

// Requests run on many threads; the browsers ask on the UI thread.
std::mutex g_trustMutex;

// Hosts compare without case, and an IPv6 address with or without its
// brackets.
QString hostKey(const QString& host) {
    QString key = host.toLower();
    if (key.startsWith(u'[') && key.endsWith(u']')) {
        key = key.mid(1, key.size() - 2);
    }
    return key;
}

std::map<std::pair<QString, int>, HttpPresentedCertificate>& acceptedCertificates() {
    static std::map<std::pair<QString, int>, HttpPresentedCertificate> accepted;
    return accepted;
}

}  // namespace

void HttpRecordServerCertificate(const QString& host, int port,
                                 const HttpPresentedCertificate& certificate) {
    std::lock_guard lock(g_trustMutex);
    acceptedCertificates()[{hostKey(host), port}] = certificate;
}

HttpPresentedCertificate HttpAcceptedServerCertificate(const QString& host, int port) {
    std::lock_guard lock(g_trustMutex);
    const auto& accepted = acceptedCertificates();
    const auto found = accepted.find({hostKey(host), port});
    return found != accepted.end() ? found->second : HttpPresentedCertificate{};
}

void HttpLogAcceptedCertificate(const QString& server, long verification) {
    if (verification != 0 && !HttpCertificateWarningGiven(server)) {
        kWarningLog(u"The certificate of %s failed verification (code %ld); accepted.", server,
                    verification);
    }
}

bool HttpCertificateWarningGiven(const QString& server) {
    std::lock_guard lock(g_trustMutex);
    static std::set<QString> warned;
    return !warned.insert(hostKey(server)).second;
}
