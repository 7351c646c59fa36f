#include "grid/delimitedtext.h"

#include <algorithm>

DelimitedText::DelimitedText(QChar separator, QStringView lineEnd)
    : m_separator(separator.unicode()), m_lineEnd(lineEnd.toString()) {}

void DelimitedText::AddField(QStringView text) {
    const char16_t* in = text.utf16();
    const char16_t* const end = in + text.size();
    const char16_t* const special =
        std::find_if(in, end, [](char16_t c) { return c == u'"' || c == u'\n' || c == u'\r'; });
    // At most a separator, two quotes and every character doubled.
    char16_t* out = m_text.Room(2 * text.size() + 3);
    if (m_rowStarted) {
        *out++ = m_separator;
    }
    m_rowStarted = true;
    *out++ = u'"';
    out = std::copy(in, special, out);
    for (const char16_t* c = special; c != end; ++c) {
        if (*c == u'"') {
            *out++ = u'"';
            *out++ = u'"';
        } else if (*c == u'\n') {
            *out++ = u' ';
        } else if (*c != u'\r') {
            *out++ = *c;
        }
    }
    *out++ = u'"';
    m_text.Advance(out);
}

void DelimitedText::EndRow() {
    m_text.Append(m_lineEnd);
    m_rowStarted = false;
}
