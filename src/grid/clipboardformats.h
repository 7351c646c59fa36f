#pragma once

// The formats the data grid hands to other programs: its rows as text and
// as an HTML table. Other programs on this desktop read "text/html" as a
// whole document; the Windows "HTML Format" block with its byte offsets is
// still built here, since the document is cut from it.

#include <QByteArray>
#include <QString>

class QMimeData;

// The "HTML Format" block (version 0.9) around an HTML fragment, in UTF-8;
// its offsets count bytes from the block's start.
QByteArray BuildHtmlFormatBlock(const QString& fragment);

// Puts the fragment on the data as a UTF-8 HTML document (from "<html>" to
// the block's end).
void CopyHTML2Clipboard(QMimeData& data, const QString& fragment);
// Puts the text, in UTF-8, on the data as plain text.
void CopyText2Clipboard(QMimeData& data, const QByteArray& utf8);
