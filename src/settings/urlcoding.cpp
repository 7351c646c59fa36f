#include "settings/urlcoding.h"

#include "framework/klog.h"
#include "framework/ktext.h"

#include <QStringDecoder>

namespace {

constexpr QStringView kEscapedPrintables = u"\"#%&+:;<=>?@\\`";
constexpr char16_t kHexDigits[] = u"0123456789ABCDEF";

}  // namespace

QString EncodeForURL(QStringView text) {
    const QByteArray bytes = text.toUtf8();
    QString encoded;
    encoded.reserve(bytes.size() * 3);
    for (const char byte : bytes) {
        const auto code = static_cast<unsigned char>(byte);
        if (code == ' ') {
            encoded += u'+';
        } else if (code > 0x20 && code < 0x7F && !kEscapedPrintables.contains(QChar(code))) {
            encoded += QChar(code);
        } else {
            encoded += u'%';
            encoded += kHexDigits[code >> 4];
            encoded += kHexDigits[code & 0x0F];
        }
    }
    return encoded;
}

QString DecodeFromURL(QStringView text) {
    QByteArray bytes;
    bytes.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t c = text[i].unicode();
        if (c == u'+') {
            bytes += ' ';
        } else if (c == u'%' && i + 2 < text.size() && HexDigitValue(text[i + 1]) >= 0 &&
                   HexDigitValue(text[i + 2]) >= 0) {
            bytes +=
                static_cast<char>(HexDigitValue(text[i + 1]) * 16 + HexDigitValue(text[i + 2]));
            i += 2;
        } else if (c < 0x80) {
            bytes += static_cast<char>(c);
        } else {
            const qsizetype length = QChar::isHighSurrogate(c) && i + 1 < text.size() ? 2 : 1;
            bytes += text.mid(i, length).toUtf8();
            i += length - 1;
        }
    }
    // A leading U+FEFF is part of the value, not a byte-order mark to drop.
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless |
                                                     QStringDecoder::Flag::ConvertInitialBom);
    QString decoded = decoder.decode(bytes);
    if (decoder.hasError()) {
        kDebugLog(u"DecodeFromURL(): MultiByteToWideChar() failed: %s\n",
                  u"the bytes are not UTF-8");
        return text.toString();
    }
    return decoded;
}
