#pragma once

// Texts that come again and again down a column (states, types, places) are
// held once: a cell given such a text shares the string its column already
// holds instead of a copy of its own, which in a large grid saves most of the
// memory those columns take. A column whose first texts seldom repeat (keys,
// numbers, addresses) is no longer looked at, so that it costs no more than
// its first lookups.

#include <QHash>
#include <QString>
#include <QStringView>

#include <cstddef>
#include <unordered_set>
#include <vector>

class CRepeatedTexts {
public:
    // Lookups a column is given to show that its texts repeat, and the
    // share of them that must have found an earlier text.
    static constexpr int kTrialLookups = 1000;
    static constexpr int kTrialFoundPercent = 25;
    // The most texts remembered per column.
    static constexpr std::size_t kMostTexts = 4096;

    // Forgets every column: a new grid begins.
    void Clear() { m_columns.clear(); }
    // The string for a cell of `column` that shows `text`: an equal string
    // the column gave before, else `owned` when given, else a new one.
    QString Take(int column, QStringView text, const QString* owned = nullptr);

private:
    struct Hash {
        using is_transparent = void;
        std::size_t operator()(QStringView text) const noexcept { return qHash(text); }
    };
    struct Equal {
        using is_transparent = void;
        bool operator()(QStringView first, QStringView second) const noexcept {
            return first == second;
        }
    };
    struct Column {
        std::unordered_set<QString, Hash, Equal> texts;
        int lookups = 0;
        int found = 0;
        bool repeats = true;
    };

    std::vector<Column> m_columns;
};
