#pragma once

// The World View's texts that go through the language pack.

#include <QString>

// A string resource through the language pack.
QString TranslatedResourceString(unsigned id);
// String 513, the root's tree text: "World View".
QString WorldViewText();
// String 560, the count suffix of an item without rows: " (Empty)".
QString EmptyCountText();
// The language pack's translation of a text, the text itself when it has none.
QString LookupText(const QString& text);
// A server label translated as a whole (the "tx" attribute asks for it).
QString TranslateLabel(const QString& text);
