#pragma once

// Text built a character at a time and kept as UTF-8: the characters are
// gathered in a small buffer and encoded onto the bytes a piece at a time,
// so that a large text is never held twice, as characters and again as
// bytes, and each piece is encoded while it is still in the cache.

#include <QByteArray>
#include <QString>
#include <QStringConverter>
#include <QStringView>

#include <algorithm>
#include <utility>

class Utf8Pieces {
public:
    static constexpr qsizetype kPieceCharacters = qsizetype(1) << 16;

    // The encoded pieces go after the bytes given.
    explicit Utf8Pieces(QByteArray bytes = {}) : m_bytes(std::move(bytes)) {}

    // The write position, with room for `most` characters after it; the
    // caller writes there and hands the new end to Advance.
    char16_t* Room(qsizetype most) {
        return m_end - m_pos >= most ? m_pos : grow(most);
    }
    void Advance(char16_t* to) { m_pos = to; }
    void Append(QStringView text) {
        m_pos = std::copy(text.utf16(), text.utf16() + text.size(), Room(text.size()));
    }

    // Whether the characters gathered since the last Encode fill a piece.
    bool PieceFull() const { return m_pos - m_begin >= kPieceCharacters; }
    // Appends the characters gathered since the last call to Bytes(), as
    // UTF-8.
    QByteArray& Encode() {
        const QStringView characters(m_begin, m_pos);
        const qsizetype at = m_bytes.size();
        m_bytes.resize(at + m_utf8.requiredSpace(characters.size()));
        const char* const end = m_utf8.appendToBuffer(m_bytes.data() + at, characters);
        m_bytes.truncate(end - m_bytes.constData());
        m_pos = m_begin;
        return m_bytes;
    }
    QByteArray& Bytes() { return m_bytes; }

private:
    char16_t* grow(qsizetype most) {
        const qsizetype used = m_pos - m_begin;
        m_buffer.resize(used + std::max(kPieceCharacters, most));
        m_begin = reinterpret_cast<char16_t*>(m_buffer.data());
        m_pos = m_begin + used;
        m_end = m_begin + m_buffer.size();
        return m_pos;
    }

    QString m_buffer;
    char16_t* m_begin = nullptr;
    char16_t* m_pos = nullptr;
    char16_t* m_end = nullptr;
    QByteArray m_bytes;
    QStringEncoder m_utf8{QStringEncoder::Utf8};
};
