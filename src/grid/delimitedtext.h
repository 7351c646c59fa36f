#pragma once

// Rows of delimited text in UTF-8: fields between separators, each row
// closed by its line end, quotes inside a quoted field doubled. A file
// field is always quoted, its carriage returns dropped and its line feeds
// made blanks, so that every row of a file stays one line. A clipboard
// field keeps its line breaks and is quoted when its column holds text or
// when it holds a comma, a quote or a line break, which pasting would split.
// The rows are encoded a piece at a time, so that a file can be written as
// it is built.

#include "grid/utf8pieces.h"

#include <QByteArray>
#include <QString>
#include <QStringView>

class DelimitedText {
public:
    enum class Fields { kFile, kClipboard };

    DelimitedText(Fields fields, QChar separator, QStringView lineEnd);

    void AddField(QStringView text, bool textColumn);
    void EndRow();
    // Whether the rows gathered since the last Encode fill a piece.
    bool PieceFull() const { return m_text.PieceFull(); }
    // Appends the rows gathered since the last call to Bytes(), as UTF-8.
    QByteArray& Encode() { return m_text.Encode(); }
    QByteArray& Bytes() { return m_text.Bytes(); }

private:
    Utf8Pieces m_text;
    Fields m_fields;
    char16_t m_separator;
    QString m_lineEnd;
    bool m_rowStarted = false;
};
