#include "settings/urltext.h"

#include "framework/klog.h"

#include <array>
#include <string_view>

namespace {

QString percentByte(unsigned char byte) {
    return kFormat(u"%%%02X", static_cast<unsigned>(byte));
}

// Whether an "@" follows the comma at `comma` before the next comma.
bool commaStartsAddress(const QString& text, qsizetype comma) {
    for (qsizetype at = comma + 1; at < text.size(); ++at) {
        if (text.at(at) == u',') {
            return false;
        }
        if (text.at(at) == u'@') {
            return true;
        }
    }
    return false;
}

}  // namespace

bool IsURL(const QString& text) {
    static const std::array<QString, 6> kPrefixes{
        QStringLiteral("http://"), QStringLiteral("https://"),  QStringLiteral("ftp://"),
        QStringLiteral("file://"), QStringLiteral("telnet://"), QStringLiteral("javascript:")};
    for (const QString& prefix : kPrefixes) {
        if (text.startsWith(prefix)) {
            return true;
        }
    }
    return text == u"about:blank";
}

QString EscapeHashMarks(const QString& text) {
    QString escaped = text;
    return escaped.replace(u'#', QStringLiteral("%23"));
}

QString EscapeURLChars(const QString& text) {
    static constexpr std::u16string_view kEscaped = u" \"#%&+<>[\\]^`{|}~";
    QString escaped;
    escaped.reserve(text.size() * 3);
    for (qsizetype at = 0; at < text.size(); ++at) {
        const char16_t c = text.at(at).unicode();
        const bool escapeComma = c == u',' && !commaStartsAddress(text, at);
        if (escapeComma || kEscaped.find(c) != std::u16string_view::npos) {
            escaped += percentByte(static_cast<unsigned char>(c));
        } else {
            escaped += QChar(c);
        }
    }
    return escaped;
}
