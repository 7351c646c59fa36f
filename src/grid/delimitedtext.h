#pragma once

// Rows of delimited text in UTF-8: fields between separators, each row
// closed by its line end, quotes inside a quoted field doubled. A file
// field is always quoted, its carriage returns dropped and its line feeds
// made blanks, so that every row of a file stays one line. A clipboard
// field keeps its line breaks and is quoted when its column holds text or
// when it holds a comma, a quote or a line break, which pasting would split.
//
// The rows are gathered as characters in a small buffer and encoded a piece
// at a time, so that a large grid is never held twice, as characters and
// again as bytes, and a file can be written as it is built.

#include <QByteArray>
#include <QString>
#include <QStringConverter>
#include <QStringView>

class DelimitedText {
public:
    enum class Fields { kFile, kClipboard };
    static constexpr qsizetype kPieceCharacters = qsizetype(1) << 16;

    DelimitedText(Fields fields, QChar separator, QStringView lineEnd);

    void AddField(QStringView text, bool textColumn);
    void EndRow();
    // Whether the rows gathered since the last Encode fill a piece.
    bool PieceFull() const { return m_pos - m_begin >= kPieceCharacters; }
    // Appends the rows gathered since the last call to Bytes(), as UTF-8.
    QByteArray& Encode();
    QByteArray& Bytes() { return m_bytes; }

private:
    // The write position, with room for `most` characters after it.
    char16_t* room(qsizetype most);

    QString m_buffer;
    char16_t* m_begin = nullptr;
    char16_t* m_pos = nullptr;
    char16_t* m_end = nullptr;
    QByteArray m_bytes;
    QStringEncoder m_utf8{QStringEncoder::Utf8};
    Fields m_fields;
    char16_t m_separator;
    QString m_lineEnd;
    bool m_rowStarted = false;
};
