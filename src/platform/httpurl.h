#pragma once

// URL handling for the HTTP adapter: the encoding every request URL gets
// and the split into service, server, port and object path.

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
};

// The URL with every character that is not valid in a URL (blank, control,
// non-ASCII, and the few ASCII characters outside the URL syntax) written as
// %XX of its UTF-8 bytes. Valid characters, reserved ones and existing %XX
// escapes stay as they are, so encoding twice changes nothing.
QByteArray HttpEncodeUrl(const QString& url);

// Splits an http:, https: or ftp: URL; false for any other URL or one that
// does not parse.
bool HttpSplitUrl(const QString& url, HttpUrlParts& parts);
