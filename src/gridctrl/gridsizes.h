#pragma once

// The row heights (or column widths) of a grid with their running sums, so
// that positions, totals and the row under a point cost O(log n) however
// many rows a grid holds: a Fenwick tree of the sizes, a second one counting
// the positive sizes (hidden rows have size 0), and a count of each positive
// size for the smallest one.

#include <QtGlobal>

#include <map>
#include <vector>

class CGridSizes {
public:
    int Count() const { return static_cast<int>(m_sizes.size()); }
    // The size at `index`, which must be inside the count.
    unsigned Get(int index) const { return m_sizes[static_cast<size_t>(index)]; }
    void Set(int index, unsigned size);
    void Append(unsigned size);
    // Grows with `size` for every new entry, or drops the entries past `count`.
    void Resize(int count, unsigned size);
    void Erase(int index);
    // Entry first + i takes the size entry order[i] had, in one pass.
    void Reorder(int first, const std::vector<int>& order);
    void Clear();

    qint64 Total() const { return Prefix(Count()); }
    // The sum of the first `count` sizes.
    qint64 Prefix(int count) const;
    // The sum of the sizes first .. end - 1 (0 when end <= first).
    qint64 Sum(int first, int end) const { return end <= first ? 0 : Prefix(end) - Prefix(first); }
    // The smallest index whose running sum (from 0, that index included)
    // reaches `target`; Count() when the total stays below it.
    int LowerBound(qint64 target) const;
    // The positive sizes among first .. end - 1.
    int PositiveCount(int first, int end) const {
        return end <= first ? 0 : positivePrefix(end) - positivePrefix(first);
    }
    // The index of the n-th (from 1) positive size at or after `first`;
    // Count() when there are fewer.
    int NthPositive(int first, int n) const;
    // The smallest positive size; 0 when none is positive.
    unsigned SmallestPositive() const {
        return m_positiveSizes.empty() ? 0 : m_positiveSizes.begin()->first;
    }

private:
    int positivePrefix(int count) const;
    void rebuild();
    void addToHistogram(unsigned size, int delta);

    std::vector<unsigned> m_sizes;
    std::vector<qint64> m_sumTree;    // 1-based Fenwick tree of the sizes
    std::vector<int> m_positiveTree;  // 1-based Fenwick tree of (size > 0)
    std::map<unsigned, int> m_positiveSizes;
};
