#pragma once

// Small text helpers that live beside the build stamp.

#include <QString>
#include <QStringView>

class QMenu;

// The content of the first "<tag" ... "</tag>" element of the text, or with
// `wholeElement` the element itself, both tags included. Empty when either
// tag is missing. The opening tag is matched as a prefix, so attributes are
// skipped (and a longer tag name with the same beginning also matches).
QString ExtractTag(QStringView text, QStringView tag, bool wholeElement);

// Turns every "%0a" into a line feed, then every "%0d" into a carriage
// return; the upper-case forms stay as they are.
void DecodeNewlines(QString& text);

// The position (from 0, separators counted) of the first item whose text is
// exactly the given one, or -1.
int FindMenuItemByText(const QMenu& menu, const QString& text);
