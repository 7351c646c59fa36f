#include "platform/httpclientcertificate.h"

#include "platform/httpurl.h"

#include <map>
#include <mutex>

namespace {

struct ServerCertificates {
    std::mutex mutex;
    std::map<QString, HttpClientCertificate> byServer;
};

ServerCertificates& serverCertificates() {
    static ServerCertificates certificates;
    return certificates;
}

// "service|host|port": the same server whatever path or case the URL has.
bool serverKey(const QString& url, QString& key) {
    HttpUrlParts parts;
    if (!HttpSplitUrl(url, parts) || parts.server.isEmpty()) {
        return false;
    }
    key = QString::number(parts.service) + u'|' + parts.server.toLower() + u'|' +
          QString::number(parts.port);
    return true;
}

}  // namespace

bool HttpSetServerCertificate(const QString& url, const HttpClientCertificate& certificate) {
    QString key;
    if (!serverKey(url, key)) {
        return false;
    }
    ServerCertificates& table = serverCertificates();
    const std::lock_guard lock(table.mutex);
    if (certificate.isEmpty()) {
        auto found = table.byServer.find(key);
        if (found != table.byServer.end()) {
            found->second.keyPassword.fill(u'\0');
            table.byServer.erase(found);
        }
    } else {
        table.byServer[key] = certificate;
    }
    return true;
}

HttpClientCertificate HttpServerCertificate(const QString& url) {
    QString key;
    if (!serverKey(url, key)) {
        return {};
    }
    ServerCertificates& table = serverCertificates();
    const std::lock_guard lock(table.mutex);
    const auto found = table.byServer.find(key);
    return found != table.byServer.end() ? found->second : HttpClientCertificate{};
}

bool HttpAnyServerCertificate() {
    ServerCertificates& table = serverCertificates();
    const std::lock_guard lock(table.mutex);
    return !table.byServer.empty();
}
