#include "platform/httpclientcertificate.h"

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
QString serverKey(const HttpUrlParts& parts) {
    return QString::number(parts.service) + u'|' + parts.server.toLower() + u'|' +
           QString::number(parts.port);
}

}  // namespace

bool HttpSetServerCertificate(const QString& url, const HttpClientCertificate& certificate) {
    const HttpUrl server(url);
    if (!server.IsValid()) {
        return false;
    }
    const QString key = serverKey(server.Parts());
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

HttpClientCertificate HttpServerCertificate(const HttpUrlParts& parts) {
    ServerCertificates& table = serverCertificates();
    const std::lock_guard lock(table.mutex);
    const auto found = table.byServer.find(serverKey(parts));
    return found != table.byServer.end() ? found->second : HttpClientCertificate{};
}

bool HttpAnyServerCertificate() {
    ServerCertificates& table = serverCertificates();
    const std::lock_guard lock(table.mutex);
    return !table.byServer.empty();
}
