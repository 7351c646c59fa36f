#include "net/netserverkey.h"

#include "framework/kformat.h"

namespace {

QString schemeOf(HttpService service) {
    switch (service) {
        case kHttpServiceFtp:
            return QStringLiteral("ftp");
        case kHttpServiceHttps:
            return QStringLiteral("https");
        case kHttpServiceHttp:
        case kHttpServiceNone:
            break;
    }
    return QStringLiteral("http");
}

}  // namespace

CNetServerKey CNetServerKey::FromParts(const HttpUrlParts& parts, const QString& user) {
    return CNetServerKey{schemeOf(parts.service), parts.server.toLower(), parts.port, user};
}

std::optional<CNetServerKey> CNetServerKey::FromUrl(const QString& url, const QString& user) {
    HttpUrlParts parts;
    if (!HttpSplitUrl(url, parts)) {
        return std::nullopt;
    }
    return FromParts(parts, user);
}

QString CNetServerKey::BaseUrl() const {
    return kFormat(u"%s://%s:%d", scheme, host, port);
}

QString CNetServerKey::ToString() const {
    return kFormat(u"%s^%s", BaseUrl(), user);
}
