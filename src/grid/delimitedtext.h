#pragma once

// Rows of a delimited file in UTF-8: fields between separators, each row
// closed by its line end. Every field is quoted, its quotes doubled, its
// carriage returns dropped and its line feeds made blanks, so that every
// row stays one line. The rows are encoded a piece at a time, so that a
// file can be written as it is built.

#include "grid/utf8pieces.h"

#include <QByteArray>
#include <QString>
#include <QStringView>

class DelimitedText {
public:
    DelimitedText(QChar separator, QStringView lineEnd);

    void AddField(QStringView text);
    void EndRow();
    // Whether the rows gathered since the last Encode fill a piece.
    bool PieceFull() const { return m_text.PieceFull(); }
    // Appends the rows gathered since the last call to Bytes(), as UTF-8.
    QByteArray& Encode() { return m_text.Encode(); }
    QByteArray& Bytes() { return m_text.Bytes(); }

private:
    Utf8Pieces m_text;
    char16_t m_separator;
    QString m_lineEnd;
    bool m_rowStarted = false;
};
