#pragma once

// The application's percent-encoding of texts for URL queries and for the
// stored credential records: UTF-8 bytes, with the characters that separate
// query parts escaped.

#include <QString>
#include <QStringView>

// Blank becomes "+"; the printable characters " # % & + : ; < = > ? @ \ `
// and every byte outside 0x20 to 0x7E become "%" and two upper-case digits.
QString EncodeForURL(QStringView text);

// "+" becomes a blank and "%" with two hex digits a byte; any other "%"
// stays. The bytes are read as UTF-8; when they are not UTF-8 the text is
// returned unchanged.
QString DecodeFromURL(QStringView text);
