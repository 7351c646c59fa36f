#pragma once

// Names one server account for the request dispatcher: scheme, host, port
// and user name. Two servers on one host with different ports or schemes,
// or two users of one server, get sessions of their own.

#include "platform/httpurl.h"

#include <QString>

#include <optional>

struct CNetServerKey {
    HttpService service = kHttpServiceNone;
    QString host;  // lower case; an IPv6 address keeps its brackets
    int port = 0;  // the scheme's default port when the URL names none
    QString user;

    // The key of a split URL and a user name.
    static CNetServerKey FromParts(const HttpUrlParts& parts, const QString& user);
    // The key of a URL, none when the URL does not split.
    static std::optional<CNetServerKey> FromUrl(const QString& url, const QString& user);

    // The URL of an object path on this server, for a request of `service`.
    HttpUrl Url(HttpService service, const QString& objectPath) const;
    // "scheme://host:port^user", the map key.
    QString ToString() const;
    bool operator==(const CNetServerKey&) const = default;
};
