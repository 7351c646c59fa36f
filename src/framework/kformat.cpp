#include "framework/kformat.h"

#include <cmath>
#include <cstdio>
#include <string>

KFormatArg::KFormatArg(const char16_t* text) : m_kind(Kind::Text) {
    if (text == nullptr) {
        m_nullText = true;
    } else {
        m_text = QStringView(text);
    }
}

long long KFormatArg::asSigned() const {
    switch (m_kind) {
        case Kind::Signed:
            return m_signed;
        case Kind::Double:
            return std::isfinite(m_double) ? static_cast<long long>(m_double) : 0;
        case Kind::Text:
            return m_text.toLongLong();
        default:
            return static_cast<long long>(m_unsigned);
    }
}

unsigned long long KFormatArg::asUnsigned() const {
    if (m_kind == Kind::Signed) {
        // A negative value shows as the unsigned number of its own width, as
        // printf does for "%x" or "%u" of an int.
        const auto value = static_cast<unsigned long long>(m_signed);
        return m_bits >= 64 ? value : value & ((1ULL << m_bits) - 1);
    }
    if (m_kind == Kind::Unsigned || m_kind == Kind::Char || m_kind == Kind::Pointer) {
        return m_unsigned;
    }
    return static_cast<unsigned long long>(asSigned());
}

double KFormatArg::asDouble() const {
    switch (m_kind) {
        case Kind::Double:
            return m_double;
        case Kind::Signed:
            return static_cast<double>(m_signed);
        case Kind::Text:
            return m_text.toDouble();
        default:
            return static_cast<double>(m_unsigned);
    }
}

QString KFormatArg::asText() const {
    switch (m_kind) {
        case Kind::Text:
            return m_nullText ? QStringLiteral("(null)") : m_text.toString();
        case Kind::Char:
            return QString(QChar(static_cast<char16_t>(m_unsigned)));
        case Kind::Double:
            return QString::number(m_double);
        case Kind::Signed:
            return QString::number(m_signed);
        default:
            return QString::number(m_unsigned);
    }
}

char16_t KFormatArg::asChar() const {
    if (m_kind == Kind::Text) {
        return m_text.isEmpty() ? u'\0' : m_text.front().unicode();
    }
    return static_cast<char16_t>(asUnsigned());
}

namespace {

struct Conversion {
    bool left = false;
    bool plus = false;
    bool space = false;
    bool zero = false;
    bool alternate = false;
    int width = -1;
    int precision = -1;
    char16_t type = 0;
};

class ArgCursor {
public:
    explicit ArgCursor(std::span<const KFormatArg> args) : m_args(args) {}
    const KFormatArg* next() { return m_index < m_args.size() ? &m_args[m_index++] : nullptr; }

private:
    std::span<const KFormatArg> m_args;
    size_t m_index = 0;
};

QString pad(QString text, const Conversion& conversion) {
    if (conversion.width > text.size()) {
        const QString fill(conversion.width - text.size(), QLatin1Char(' '));
        text = conversion.left ? text + fill : fill + text;
    }
    return text;
}

// Numbers are rendered by the C library (LC_NUMERIC is "C" in this program),
// so every flag combination behaves exactly as printf's.
std::string narrowDirective(const Conversion& conversion, const char* length, char type) {
    std::string directive = "%";
    if (conversion.left)
        directive += '-';
    if (conversion.plus)
        directive += '+';
    if (conversion.space)
        directive += ' ';
    if (conversion.zero)
        directive += '0';
    if (conversion.alternate)
        directive += '#';
    if (conversion.width >= 0)
        directive += std::to_string(conversion.width);
    if (conversion.precision >= 0)
        directive += '.' + std::to_string(conversion.precision);
    directive += length;
    directive += type;
    return directive;
}

template <typename T>
QString printfNumber(const std::string& directive, T value) {
    const int size = std::snprintf(nullptr, 0, directive.c_str(), value);
    if (size <= 0) {
        return {};
    }
    std::string buffer(static_cast<size_t>(size) + 1, '\0');
    std::snprintf(buffer.data(), buffer.size(), directive.c_str(), value);
    buffer.resize(static_cast<size_t>(size));
    return QString::fromLatin1(buffer);
}

QString formatOne(const Conversion& conversion, const KFormatArg* arg) {
    if (arg == nullptr) {
        return {};
    }
    switch (conversion.type) {
        case u'd':
        case u'i':
            return printfNumber(narrowDirective(conversion, "ll", 'd'), arg->asSigned());
        case u'u':
        case u'o':
        case u'x':
        case u'X':
            return printfNumber(
                narrowDirective(conversion, "ll", static_cast<char>(conversion.type)),
                arg->asUnsigned());
        case u'f':
        case u'F':
        case u'e':
        case u'E':
        case u'g':
        case u'G':
            return printfNumber(narrowDirective(conversion, "", static_cast<char>(conversion.type)),
                                arg->asDouble());
        case u'p': {
            Conversion pointer = conversion;
            pointer.width = 16;
            pointer.zero = true;
            return printfNumber(narrowDirective(pointer, "ll", 'X'), arg->asUnsigned());
        }
        case u'c':
        case u'C':
            return pad(QString(QChar(arg->asChar())), conversion);
        default: {  // s, S
            QString text = arg->asText();
            if (conversion.precision >= 0 && text.size() > conversion.precision) {
                text.truncate(conversion.precision);
            }
            return pad(text, conversion);
        }
    }
}

bool isConversionType(char16_t c) {
    return QStringView(u"diuoxXcCsSfFeEgGp").contains(QChar(c));
}

int readNumber(QStringView format, qsizetype& pos) {
    int value = 0;
    while (pos < format.size() && format[pos].isDigit()) {
        if (value < 100000) {
            value = value * 10 + (format[pos].unicode() - u'0');
        }
        ++pos;
    }
    return value;
}

}  // namespace

QString kFormatArgs(QStringView format, std::span<const KFormatArg> args) {
    QString out;
    out.reserve(format.size() + 16 * static_cast<qsizetype>(args.size()));
    ArgCursor cursor(args);
    qsizetype pos = 0;
    while (pos < format.size()) {
        const QChar c = format[pos++];
        if (c != u'%' || pos >= format.size()) {
            out += c;
            continue;
        }
        if (format[pos] == u'%') {
            out += u'%';
            ++pos;
            continue;
        }
        const qsizetype start = pos - 1;
        Conversion conversion;
        for (; pos < format.size(); ++pos) {
            const char16_t flag = format[pos].unicode();
            if (flag == u'-')
                conversion.left = true;
            else if (flag == u'+')
                conversion.plus = true;
            else if (flag == u' ')
                conversion.space = true;
            else if (flag == u'0')
                conversion.zero = true;
            else if (flag == u'#')
                conversion.alternate = true;
            else
                break;
        }
        if (pos < format.size() && format[pos] == u'*') {
            ++pos;
            const KFormatArg* width = cursor.next();
            const long long value = width ? width->asSigned() : 0;
            if (value < 0) {
                conversion.left = true;
            }
            conversion.width = static_cast<int>(std::llabs(std::clamp(value, -100000LL, 100000LL)));
        } else if (pos < format.size() && format[pos].isDigit()) {
            conversion.width = readNumber(format, pos);
        }
        if (pos < format.size() && format[pos] == u'.') {
            ++pos;
            if (pos < format.size() && format[pos] == u'*') {
                ++pos;
                const KFormatArg* precision = cursor.next();
                const long long value = precision ? precision->asSigned() : -1;
                conversion.precision = value < 0 ? -1 : static_cast<int>(std::min(value, 100000LL));
            } else {
                conversion.precision = readNumber(format, pos);
            }
        }
        for (const QStringView length :
             {u"I64", u"I32", u"hh", u"ll", u"h", u"l", u"L", u"I", u"z", u"j", u"t", u"w"}) {
            if (format.sliced(pos).startsWith(length)) {
                pos += length.size();
                break;
            }
        }
        if (pos >= format.size() || !isConversionType(format[pos].unicode())) {
            // Not a conversion the program uses: keep the text as it stands.
            out += format.sliced(start, pos - start);
            continue;
        }
        conversion.type = format[pos++].unicode();
        out += formatOne(conversion, cursor.next());
    }
    return out;
}
