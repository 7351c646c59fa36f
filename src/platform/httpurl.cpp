#include "platform/httpurl.h"

#include "framework/kformat.h"

#include <curl/curl.h>

#include <memory>
#include <utility>

namespace {

bool isValidUrlCharacter(unsigned char byte) {
    if (byte <= 0x20 || byte >= 0x7F) {
        return false;
    }
    switch (byte) {
        case '"':
        case '<':
        case '>':
        case '\\':
        case '^':
        case '`':
        case '{':
        case '|':
        case '}':
            return false;
        default:
            return true;
    }
}

struct UrlHandleFree {
    void operator()(CURLU* handle) const { curl_url_cleanup(handle); }
};

struct CurlTextFree {
    void operator()(char* text) const { curl_free(text); }
};

QString urlPart(CURLU* handle, CURLUPart part, unsigned int flags = 0) {
    char* raw = nullptr;
    if (curl_url_get(handle, part, &raw, flags) != CURLUE_OK) {
        return {};
    }
    const std::unique_ptr<char, CurlTextFree> text(raw);
    return QString::fromUtf8(text.get());
}

HttpService serviceOfScheme(const QString& scheme) {
    for (const HttpService service : {kHttpServiceHttp, kHttpServiceHttps, kHttpServiceFtp}) {
        if (HttpSchemeName(service) == scheme) {
            return service;
        }
    }
    return kHttpServiceNone;
}

void cutAtQuery(QString& text) {
    const qsizetype mark = text.indexOf(u'?');
    if (mark >= 0) {
        text.truncate(mark);
    }
}

}  // namespace

QByteArray HttpEncodeUrl(const QString& url) {
    static const char hex[] = "0123456789ABCDEF";
    const QByteArray bytes = url.toUtf8();
    QByteArray encoded;
    encoded.reserve(bytes.size());
    for (const char character : bytes) {
        const auto byte = static_cast<unsigned char>(character);
        if (isValidUrlCharacter(byte)) {
            encoded.append(character);
        } else {
            encoded.append('%').append(hex[byte >> 4]).append(hex[byte & 0x0F]);
        }
    }
    return encoded;
}

QString HttpSchemeName(HttpService service) {
    switch (service) {
        case kHttpServiceHttp:
            return QStringLiteral("http");
        case kHttpServiceHttps:
            return QStringLiteral("https");
        case kHttpServiceFtp:
            return QStringLiteral("ftp");
        case kHttpServiceNone:
            break;
    }
    return {};
}

HttpUrl::HttpUrl(QString text) : m_text(std::move(text)) {
    const std::unique_ptr<CURLU, UrlHandleFree> handle(curl_url());
    if (!handle || curl_url_set(handle.get(), CURLUPART_URL, HttpEncodeUrl(m_text).constData(),
                                0) != CURLUE_OK) {
        return;
    }
    const HttpService service = serviceOfScheme(urlPart(handle.get(), CURLUPART_SCHEME));
    const QString server = urlPart(handle.get(), CURLUPART_HOST);
    // The host name comes back with its %XX escapes decoded; one that still
    // holds a "%" (from "%%" or "%25") names no host and would decode again,
    // to another server, once written back into a URL.
    if (service == kHttpServiceNone || server.isEmpty() || server.contains(u'%')) {
        return;
    }
    m_parts.service = service;
    m_parts.server = server;
    m_parts.port = urlPart(handle.get(), CURLUPART_PORT, CURLU_DEFAULT_PORT).toInt();
    m_parts.objectPath = urlPart(handle.get(), CURLUPART_PATH);
    const QString query = urlPart(handle.get(), CURLUPART_QUERY);
    if (!query.isEmpty()) {
        m_parts.objectPath += u'?' + query;
    }
}

HttpUrl::HttpUrl(HttpUrlParts parts) {
    if (parts.service == kHttpServiceNone || parts.server.isEmpty()) {
        return;
    }
    m_text = kFormat(u"%s://%s:%d%s", HttpSchemeName(parts.service), parts.server, parts.port,
                     parts.objectPath);
    m_parts = std::move(parts);
}

HttpUrl HttpUrl::WithoutQuery() const {
    HttpUrl cut = *this;
    cutAtQuery(cut.m_text);
    cutAtQuery(cut.m_parts.objectPath);
    return cut;
}
