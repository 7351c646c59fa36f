#pragma once

// The formats the data grid hands to other programs: its rows as text and
// as an HTML table. Other programs on this desktop read "text/html" as a
// whole document; the Windows "HTML Format" block with its byte offsets is
// still built here, around the same document.

#include <QByteArray>
#include <QByteArrayView>

#include <functional>

class QMimeData;

// Appends a UTF-8 HTML fragment to the bytes it is handed, so that a large
// fragment is written in place rather than copied into its document.
using HtmlFragmentWriter = std::function<void(QByteArray&)>;

// The "HTML Format" block (version 0.9) around a UTF-8 HTML fragment; its
// offsets count bytes from the block's start.
QByteArray BuildHtmlFormatBlock(QByteArrayView fragment);

// Puts the fragment on the data as a UTF-8 HTML document (from "<html>" to
// the block's end).
void CopyHTML2Clipboard(QMimeData& data, const HtmlFragmentWriter& writeFragment);
// Puts the text, in UTF-8, on the data as plain text.
void CopyText2Clipboard(QMimeData& data, const QByteArray& utf8);
