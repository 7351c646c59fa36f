#pragma once

// The URL test and the escapes for locators that go into URLs. Form-style
// encoding and decoding are EncodeForURL and DecodeFromURL (settings/urlcoding.h).

#include <QString>

// True for a text that begins with "http://", "https://", "ftp://",
// "file://", "telnet://" or "javascript:" (with case), or is "about:blank".
bool IsURL(const QString& text);

// Every "#" becomes "%23".
QString EscapeHashMarks(const QString& text);

// Escapes the characters that may not stand in a URL. A comma is escaped
// unless an "@" follows it before the next comma (a user@host list).
QString EscapeURLChars(const QString& text);
