#include "platform/httpurl.h"

#include <curl/curl.h>

#include <memory>

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
    if (scheme == u"http") {
        return kHttpServiceHttp;
    }
    if (scheme == u"https") {
        return kHttpServiceHttps;
    }
    if (scheme == u"ftp") {
        return kHttpServiceFtp;
    }
    return kHttpServiceNone;
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

bool HttpSplitUrl(const QString& url, HttpUrlParts& parts) {
    const std::unique_ptr<CURLU, UrlHandleFree> handle(curl_url());
    if (!handle ||
        curl_url_set(handle.get(), CURLUPART_URL, HttpEncodeUrl(url).constData(), 0) != CURLUE_OK) {
        return false;
    }
    const HttpService service = serviceOfScheme(urlPart(handle.get(), CURLUPART_SCHEME));
    const QString server = urlPart(handle.get(), CURLUPART_HOST);
    if (service == kHttpServiceNone || server.isEmpty()) {
        return false;
    }
    parts.service = service;
    parts.server = server;
    parts.port = urlPart(handle.get(), CURLUPART_PORT, CURLU_DEFAULT_PORT).toInt();
    parts.objectPath = urlPart(handle.get(), CURLUPART_PATH);
    const QString query = urlPart(handle.get(), CURLUPART_QUERY);
    if (!query.isEmpty()) {
        parts.objectPath += u'?' + query;
    }
    return true;
}
