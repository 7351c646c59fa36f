#pragma once

// URL handling for the HTTP adapter: the encoding every request URL gets
// and the split into service, server, port and object path. A request's URL
// is split once, where the request enters; every layer below takes the
// HttpUrl and reads its parts.

#include <QByteArray>
#include <QString>

// The service of a URL, numbered as the program stores it.
enum HttpService : int {
    kHttpServiceNone = 0,
    kHttpServiceFtp = 1,
    kHttpServiceHttp = 3,
    kHttpServiceHttps = 4107,
};

struct HttpUrlParts {
    HttpService service = kHttpServiceNone;
    QString server;
    int port = 0;
    QString objectPath;  // path and query
    bool operator==(const HttpUrlParts&) const = default;
};

// The URL with every character that is not valid in a URL (blank, control,
// non-ASCII, and the few ASCII characters outside the URL syntax) written as
// %XX of its UTF-8 bytes. Valid characters, reserved ones and existing %XX
// escapes stay as they are, so encoding twice changes nothing.
QByteArray HttpEncodeUrl(const QString& url);

// "http", "https" or "ftp"; empty for no service.
QString HttpSchemeName(HttpService service);

// A request URL: its text, and its parts when it splits.
class HttpUrl {
public:
    // No URL: a request for it is refused as invalid.
    HttpUrl() = default;
    // Splits an http:, https: or ftp: URL; any other URL, or one that does
    // not parse, is kept as text and is not valid.
    explicit HttpUrl(QString text);
    // The URL of the parts' object path on their server, written as
    // "scheme://server:port" followed by the object path. Parts of no known
    // service make no valid URL.
    explicit HttpUrl(HttpUrlParts parts);

    bool IsValid() const { return m_parts.service != kHttpServiceNone; }
    const QString& Text() const { return m_text; }
    const HttpUrlParts& Parts() const { return m_parts; }
    // The URL without its query: the text cut at its first "?", the object
    // path at its own.
    HttpUrl WithoutQuery() const;

private:
    QString m_text;
    HttpUrlParts m_parts;
};
