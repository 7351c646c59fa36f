#include "net/netserverkey.h"

#include "framework/kformat.h"

CNetServerKey CNetServerKey::FromParts(const HttpUrlParts& parts, const QString& user) {
    return CNetServerKey{parts.service, parts.server.toLower(), parts.port, user};
}

std::optional<CNetServerKey> CNetServerKey::FromUrl(const QString& url, const QString& user) {
    const HttpUrl split(url);
    if (!split.IsValid()) {
        return std::nullopt;
    }
    return FromParts(split.Parts(), user);
}

HttpUrl CNetServerKey::Url(HttpService requestService, const QString& objectPath) const {
    return HttpUrl(HttpUrlParts{requestService, host, port, objectPath});
}

QString CNetServerKey::ToString() const {
    return kFormat(u"%s://%s:%d^%s", HttpSchemeName(service), host, port, user);
}
