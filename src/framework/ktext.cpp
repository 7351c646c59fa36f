#include "framework/ktext.h"

#include "framework/kcrash.h"
#include "framework/klog.h"

#include <QRegularExpression>

#include <cstdlib>
#include <limits>

namespace {

constexpr qsizetype kClippedValueLength = 20;
constexpr qsizetype kLongValueLength = 30;

bool isBlankOrControl(QChar c) {
    return c.unicode() <= 32;
}
bool isSkippedLeading(QChar c) {
    return c.unicode() >= 1 && c.unicode() <= 32;
}

bool isTrailingSpace(QChar c) {
    return c == u' ' || c == u'\t' || c == u'\n' || c == u'\r';
}

QStringView trimmedRight(QStringView text) {
    while (!text.isEmpty() && isBlankOrControl(text.back())) {
        text.chop(1);
    }
    return text;
}

QStringView skipLeading(QStringView text) {
    while (!text.isEmpty() && isSkippedLeading(text.front())) {
        text = text.mid(1);
    }
    return text;
}

int splitList(QStringView text, QStringList& elements, int maximum, QStringView delimiter,
              bool trim, bool delimiterIsText) {
    elements.clear();
    if (text.isEmpty() || maximum < 1 || delimiter.isEmpty()) {
        return 0;
    }
    QStringView rest = trim ? trimmedRight(text) : text;
    for (int i = 1;; ++i) {
        if (trim) {
            rest = skipLeading(rest);
        }
        if (delimiterIsText && kDebugLevel(0) > 2) {
            kDebugLog(u"  looking for '%s' in '%s'...", delimiter, rest);
        }
        const qsizetype found = rest.indexOf(delimiter);
        if (found < 0) {
            elements.append(rest.toString());
            return i;
        }
        if (delimiterIsText && kDebugLevel(0) > 2) {
            kDebugLog(u"  found it");
        }
        if (i == maximum) {
            if (kDebugLevel(0) > 1) {
                if (delimiterIsText) {
                    kDebugLog(
                        u"kParseDelimedList: ran out of room at '%s': num elements (on '%s') "
                        u"exceeded %d",
                        rest, delimiter, maximum);
                } else {
                    kDebugLog(
                        u"kParseDelimedList: ran out of room at '%s': num elements (on '%c') "
                        u"exceeded %d",
                        rest, delimiter.front(), maximum);
                }
            }
            elements.append(rest.toString());
            return maximum;
        }
        QStringView element = rest.left(found);
        rest = rest.mid(found + delimiter.size());
        if (trim && !rest.isEmpty()) {
            element = trimmedRight(element);
        }
        elements.append(element.toString());
    }
}

}  // namespace

QString& kstrncpy(QString& target, QStringView source, qsizetype size) {
    if (kDebugLevel(0) > 2) {
        kDebugLog(u"kstrncpy (0x%08lx, '%s', %u)...", static_cast<const void*>(&target), source,
                  static_cast<long long>(size));
    }
    if (size > 0) {
        target = source.left(size - 1).toString();
    }
    return target;
}

QString& kstrlwr(QString& text) {
    for (QChar& c : text) {
        if (c >= u'A' && c <= u'Z') {
            c = QChar(c.unicode() + 32);
        }
    }
    return text;
}

QStringView kSkipWhitespace(QStringView text) {
    while (!text.isEmpty() && isTrailingSpace(text.front())) {
        text = text.mid(1);
    }
    return text;
}

QString& kTrimRight(QString& text, bool alsoNonAlphanumerics) {
    qsizetype length = text.size();
    while (length > 0 && (alsoNonAlphanumerics ? !text[length - 1].isLetterOrNumber()
                                               : isTrailingSpace(text[length - 1]))) {
        --length;
    }
    text.truncate(length);
    return text;
}

QString& kReplaceChar(QString& text, QChar oldChar, QChar newChar) {
    text.replace(oldChar, newChar);
    return text;
}

QString kElided(QStringView text, qsizetype limit) {
    if (text.size() <= limit) {
        return text.toString();
    }
    qsizetype kept = limit - 1;
    if (kept > 0 && text[kept - 1].isHighSurrogate()) {
        --kept;
    }
    return text.left(kept).toString() + QChar(u'\u2026');
}

int kCountChar(QStringView text, QChar c) {
    return static_cast<int>(text.count(c));
}

QString kStripChars(QStringView source, QStringView characters, qsizetype size) {
    QString target;
    if (characters.isNull()) {
        return target;
    }
    for (QChar c : source) {
        if (size != 0 && target.size() >= size - 1) {
            break;
        }
        if (!characters.contains(c)) {
            target.append(c);
        }
    }
    return target;
}

int kInList(QStringView text, const QStringList& list) {
    return !text.isNull() && list.contains(text) ? 1 : 0;
}

int kInDelimitedList(QStringView item, QStringView list, QChar delimiter) {
    if (item.isNull() || list.isNull()) {
        return 0;
    }
    const QString inner = delimiter + item.toString() + delimiter;
    const QStringView innerView(inner);
    const bool found = list == item || list.startsWith(innerView.mid(1)) ||
                       list.contains(innerView) || list.endsWith(innerView.chopped(1));
    return found ? 1 : 0;
}

int kParseDelimedList(QStringView text, QStringList& elements, int maximum, QChar delimiter,
                      bool trim) {
    return splitList(text, elements, maximum, QStringView(&delimiter, 1), trim, false);
}

int kParseDelimedListStr(QStringView text, QStringList& elements, int maximum,
                         QStringView delimiter, bool trim) {
    return splitList(text, elements, maximum, delimiter, trim, true);
}

int kParseNameValuePairs(QStringView text, std::vector<KNVP>& pairs, int maximum,
                         QChar pairSeparator, QChar nameValueSeparator) {
    pairs.clear();
    QStringView rest = text;
    while (!rest.isEmpty() && static_cast<int>(pairs.size()) < maximum) {
        const qsizetype end = rest.indexOf(pairSeparator);
        const QStringView piece = end < 0 ? rest : rest.left(end);
        const qsizetype split = piece.indexOf(nameValueSeparator);
        KNVP pair;
        if (split < 0) {
            if (pairs.empty()) {
                kWarnFirstPairWithoutSeparator(piece);
            }
            pair.name = piece.toString();
        } else {
            pair.name = piece.left(split).toString();
            pair.value = piece.mid(split + 1).toString();
        }
        webgoop(plus2space(pair.name));
        webgoop(plus2space(pair.value));
        if (kDebugLevel(0) > 2) {
            kLogNameValuePair(static_cast<int>(pairs.size()), pair, kLongValueLength,
                              kClippedValueLength);
        }
        pairs.push_back(std::move(pair));
        if (end < 0) {
            break;
        }
        rest = rest.mid(end + 1);
    }
    return static_cast<int>(pairs.size());
}

void kWarnFirstPairWithoutSeparator(QStringView piece) {
    kWarningLog(u"kParseNameValuePairs(): formatting problem:");
    kWarningLog(u"--> could not find an equal sign (=) after first token (%s).", piece);
    kWarningLog(u"--> string is either malformed or kParseNameValuePairs() was already run on it.");
}

void kLogNameValuePair(int number, const KNVP& pair, qsizetype longLength, qsizetype shownLength) {
    const qsizetype lineFeed = pair.value.indexOf(u'\n');
    if (lineFeed < 0 && pair.value.size() <= longLength) {
        kDebugLog(u"  NVP[%02d]: name=%-20s value='%s'", number, pair.name, pair.value);
        return;
    }
    const qsizetype shown = lineFeed >= 0 ? std::min(lineFeed, shownLength) : shownLength;
    kDebugLog(u"  NVP[%02d]: name=%-20s value='%s...' [clipped]", number, pair.name,
              pair.value.left(shown));
}

QString kGetNVPValue(QStringView name, std::span<const KNVP> pairs) {
    for (const KNVP& pair : pairs) {
        if (pair.name == name) {
            return pair.value;
        }
    }
    return {};
}

QString& plus2space(QString& text) {
    int converted = 0;
    int skipped = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] != u'+') {
            continue;
        }
        if (i > 0 && text[i - 1] == u'\\') {
            text[i - 1] = u' ';
            ++skipped;
        } else {
            text[i] = u' ';
            ++converted;
        }
    }
    if ((converted > 0 || skipped > 0) && kDebugLevel(0) > 2) {
        kDebugLog(u"plus2space: %d converted, %d skipped (b/c they were '\\' escaped)", converted,
                  skipped);
    }
    return text;
}

QString& webgoop(QString& text) {
    int decoded = 0;
    QString result;
    result.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] == u'%' && i + 2 < text.size()) {
            const int high = HexDigitValue(text[i + 1]);
            const int low = HexDigitValue(text[i + 2]);
            const int code = high * 16 + low;
            if (high >= 0 && low >= 0 && code != 0) {
                result.append(QChar(code));
                i += 2;
                ++decoded;
                continue;
            }
        }
        result.append(text[i]);
    }
    text = result;
    if (decoded > 0 && kDebugLevel(0) > 2) {
        kDebugLog(u"webgoop: %d web escape sequences converted", decoded);
    }
    return text;
}

long long kLeadingInteger(QStringView text) {
    qsizetype i = 0;
    while (i < text.size() && (text[i] == u' ' || (text[i] >= u'\t' && text[i] <= u'\r'))) {
        ++i;
    }
    const bool negative = i < text.size() && text[i] == u'-';
    if (i < text.size() && (text[i] == u'-' || text[i] == u'+')) {
        ++i;
    }
    constexpr long long kMax = std::numeric_limits<long long>::max();
    long long magnitude = 0;
    for (; i < text.size() && text[i] >= u'0' && text[i] <= u'9'; ++i) {
        const int digit = text[i].unicode() - u'0';
        if (magnitude > (kMax - digit) / 10) {
            return negative ? std::numeric_limits<long long>::min() : kMax;
        }
        magnitude = magnitude * 10 + digit;
    }
    return negative ? -magnitude : magnitude;
}

long long katoh(QStringView text) {
    kRequireInit(u"katoh");
    return kLeadingInteger(text);
}

double katof(QStringView text) {
    static const QRegularExpression number(
        QStringLiteral("^\\s*([+-]?(?:\\d+\\.?\\d*|\\.\\d+)(?:[eE][+-]?\\d+)?)"));
    const QRegularExpressionMatch match = number.match(text);
    return match.hasMatch() ? match.capturedView(1).toDouble() : 0.0;
}

int kRandom(int low, int high) {
    const long long random = std::rand();
    if (high == 0) {
        return static_cast<int>(std::min<long long>(low + random, std::numeric_limits<int>::max()));
    }
    if (high <= low) {
        return low;
    }
    return static_cast<int>(low + random % (static_cast<long long>(high) - low));
}

int HexDigitValue(QChar digit) {
    const char16_t code = digit.unicode();
    if (code >= u'0' && code <= u'9') {
        return code - u'0';
    }
    if (code >= u'a' && code <= u'f') {
        return code - u'a' + 10;
    }
    if (code >= u'A' && code <= u'F') {
        return code - u'A' + 10;
    }
    return -1;
}
