#pragma once

// Small text operations on XML replies that need no parser.

#include <QString>

// The text of the first element named `tag`: with `whole` the element with
// its start and end tags, otherwise the text between them. Only a whole
// element name matches ("message" never matches "messages"), and the end tag
// must follow the start tag; otherwise the result is empty.
QString XmlSimpleValue(const QString& text, const QString& tag, bool whole);

// The text escaped for an XML attribute value or element text.
QString XmlEscape(const QString& text);

// The document that a reader parses: the inside of a "SOAP:Body" element
// when the text carries one, and without the leading XML declaration (the
// parser is told the encoding itself).
QString XmlPrepareDocument(const QString& text);
