#pragma once

// A row's text as a sort key. Besides a view of the text it holds the four
// UTF-16 code units that follow the prefix every text of the sort shares,
// packed first unit highest into an integer (zeros past the text's end), so
// that most compares are one compare of integers in the packed keys rather
// than a walk through two strings elsewhere in memory. Two keys whose heads
// differ order as their texts do, since texts compare by code units; equal
// heads compare the texts.

#include <QStringView>
#include <QtGlobal>

struct GridTextKey {
    GridTextKey(QStringView text, qsizetype shared);

    QStringView text;
    quint64 head = 0;
};

// < 0, 0 or > 0 as QStringView::compare of the texts.
inline int CompareGridTextKeys(const GridTextKey& first, const GridTextKey& second) {
    if (first.head != second.head) {
        return first.head < second.head ? -1 : 1;
    }
    const int result = first.text.compare(second.text);
    return result < 0 ? -1 : (result > 0 ? 1 : 0);
}

// How many code units at their start `text` and `other` share, at most
// `most`.
qsizetype SharedTextPrefix(QStringView text, QStringView other, qsizetype most);
