#include "grid/cellutf8.h"

#include <array>

namespace {

constexpr std::array<unsigned char, 128> kSpecials = [] {
    std::array<unsigned char, 128> specials{};
    specials[static_cast<unsigned char>('"')] = CellUtf8::kQuote;
    specials[static_cast<unsigned char>(',')] = CellUtf8::kSeparator;
    specials[static_cast<unsigned char>('\r')] = CellUtf8::kSeparator;
    specials[static_cast<unsigned char>('\n')] = CellUtf8::kSeparator;
    specials[static_cast<unsigned char>('&')] = CellUtf8::kMarkup;
    specials[static_cast<unsigned char>('<')] = CellUtf8::kMarkup;
    specials[static_cast<unsigned char>('>')] = CellUtf8::kMarkup;
    return specials;
}();

}  // namespace

void CellUtf8::Encode(QStringView text) {
    // At most three bytes for each UTF-16 unit.
    const qsizetype most = 3 * text.size();
    if (m_bytes.size() < most) {
        m_bytes.resize(most);
    }
    char* const start = m_bytes.data();
    char* out = start;
    unsigned specials = 0;
    const char16_t* in = text.utf16();
    const char16_t* const end = in + text.size();
    // Most texts are ASCII: a byte for each character, no encoder.
    for (; in != end && *in < 0x80; ++in) {
        specials |= kSpecials[*in];
        *out++ = static_cast<char>(*in);
    }
    if (in != end) {
        char* const rest = out;
        out = m_utf8.appendToBuffer(out, QStringView(in, end));
        for (const char* byte = rest; byte != out; ++byte) {
            const auto unit = static_cast<unsigned char>(*byte);
            specials |= unit < 0x80 ? kSpecials[unit] : 0U;
        }
    }
    m_size = out - start;
    m_specials = specials;
}
