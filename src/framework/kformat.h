#pragma once

// Type-safe printf-style formatting with the Windows wide conventions the
// program's texts were written for: "%s" takes a wide text (QString), so every
// format text is copied verbatim. Formats are always literals of the program,
// never data.
//
// Supported: flags "-+ 0#", width and precision (digits or "*"), the length
// modifiers h, hh, l, ll, L, I64, I32, I, z, j, t and w (which only document
// the argument's size here: each argument carries its own type), and the
// conversions d i u o x X c C s S f F e E g G p and %%.

#include <QString>
#include <QStringView>

#include <array>
#include <cstdint>
#include <span>
#include <string_view>
#include <type_traits>

class KFormatArg {
public:
    enum class Kind { Signed, Unsigned, Double, Text, Char, Pointer };

    template <typename T>
    requires std::is_integral_v<T> KFormatArg(T value) : m_bits(sizeof(T) * 8) {
        if constexpr (std::is_same_v<T, char16_t>) {
            m_kind = Kind::Char;
            m_unsigned = value;
        } else if constexpr (std::is_signed_v<T>) {
            m_kind = Kind::Signed;
            m_signed = value;
        } else {
            m_kind = Kind::Unsigned;
            m_unsigned = value;
        }
    }
    template <typename T>
    requires std::is_enum_v<T> KFormatArg(T value)
        : KFormatArg(static_cast<std::underlying_type_t<T>>(value)) {}
    KFormatArg(double value) : m_kind(Kind::Double), m_double(value) {}
    KFormatArg(float value) : KFormatArg(static_cast<double>(value)) {}
    KFormatArg(QChar value) : m_kind(Kind::Char), m_unsigned(value.unicode()) {}
    KFormatArg(const QString& text) : m_kind(Kind::Text), m_text(text) {}
    KFormatArg(QStringView text) : m_kind(Kind::Text), m_text(text) {}
    KFormatArg(const char16_t* text);
    KFormatArg(std::u16string_view text) : KFormatArg(QStringView(text)) {}
    KFormatArg(const void* pointer)
        : m_kind(Kind::Pointer), m_unsigned(reinterpret_cast<std::uintptr_t>(pointer)) {}
    // Narrow texts would need an encoding guess; the program's texts are wide.
    KFormatArg(const char*) = delete;

    Kind kind() const { return m_kind; }
    int bits() const { return m_bits; }
    long long asSigned() const;
    unsigned long long asUnsigned() const;
    double asDouble() const;
    QString asText() const;
    char16_t asChar() const;

private:
    Kind m_kind = Kind::Signed;
    int m_bits = 64;
    long long m_signed = 0;
    unsigned long long m_unsigned = 0;
    double m_double = 0;
    QStringView m_text;
    bool m_nullText = false;
};

QString kFormatArgs(QStringView format, std::span<const KFormatArg> args);

template <typename... Args>
QString kFormat(QStringView format, const Args&... args) {
    const std::array<KFormatArg, sizeof...(Args)> list{KFormatArg(args)...};
    return kFormatArgs(format, list);
}
