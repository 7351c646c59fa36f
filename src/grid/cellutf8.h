#pragma once

// One cell's text encoded as UTF-8 once for every format that hands it out,
// noting on the way which of the ASCII characters the formats treat
// specially it holds, so that a format without them copies the bytes as
// they are.

#include <QByteArray>
#include <QByteArrayView>
#include <QStringEncoder>
#include <QStringView>

class CellUtf8 {
public:
    // The special characters, as bits of Holds().
    static constexpr unsigned kQuote = 0x1;      // "
    static constexpr unsigned kSeparator = 0x2;  // , CR LF
    static constexpr unsigned kMarkup = 0x4;     // & < >

    void Encode(QStringView text);
    QByteArrayView Bytes() const { return {m_bytes.constData(), m_size}; }
    bool Holds(unsigned specials) const { return (m_specials & specials) != 0; }

private:
    QByteArray m_bytes;
    qsizetype m_size = 0;
    unsigned m_specials = 0;
    // Each text on its own: a lone surrogate at a text's end is never
    // paired with the next text.
    QStringEncoder m_utf8{QStringEncoder::Utf8, QStringConverter::Flag::Stateless};
};
