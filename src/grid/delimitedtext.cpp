#include "grid/delimitedtext.h"

#include <algorithm>

DelimitedText::DelimitedText(Fields fields, QChar separator, QStringView lineEnd)
    : m_fields(fields), m_separator(separator.unicode()), m_lineEnd(lineEnd.toString()) {}

char16_t* DelimitedText::room(qsizetype most) {
    if (m_end - m_pos < most) {
        const qsizetype used = m_pos - m_begin;
        m_buffer.resize(used + std::max(kPieceCharacters, most));
        m_begin = reinterpret_cast<char16_t*>(m_buffer.data());
        m_pos = m_begin + used;
        m_end = m_begin + m_buffer.size();
    }
    return m_pos;
}

void DelimitedText::AddField(QStringView text, bool textColumn) {
    const bool file = m_fields == Fields::kFile;
    const char16_t* in = text.utf16();
    const char16_t* const end = in + text.size();
    const char16_t* const special = std::find_if(in, end, [file](char16_t c) {
        return c == u'"' || c == u'\n' || c == u'\r' || (!file && c == u',');
    });
    const bool quoted = file || textColumn || special != end;
    // At most a separator, two quotes and every character doubled.
    char16_t* out = room(2 * text.size() + 3);
    if (m_rowStarted) {
        *out++ = m_separator;
    }
    m_rowStarted = true;
    if (quoted) {
        *out++ = u'"';
    }
    out = std::copy(in, special, out);
    for (const char16_t* c = special; c != end; ++c) {
        if (*c == u'"') {
            *out++ = u'"';
            *out++ = u'"';
        } else if (!file) {
            *out++ = *c;
        } else if (*c == u'\n') {
            *out++ = u' ';
        } else if (*c != u'\r') {
            *out++ = *c;
        }
    }
    if (quoted) {
        *out++ = u'"';
    }
    m_pos = out;
}

void DelimitedText::EndRow() {
    m_pos =
        std::copy(m_lineEnd.utf16(), m_lineEnd.utf16() + m_lineEnd.size(), room(m_lineEnd.size()));
    m_rowStarted = false;
}

QByteArray& DelimitedText::Encode() {
    const QStringView characters(m_begin, m_pos);
    const qsizetype at = m_bytes.size();
    m_bytes.resize(at + m_utf8.requiredSpace(characters.size()));
    const char* const end = m_utf8.appendToBuffer(m_bytes.data() + at, characters);
    m_bytes.truncate(end - m_bytes.constData());
    m_pos = m_begin;
    return m_bytes;
}
