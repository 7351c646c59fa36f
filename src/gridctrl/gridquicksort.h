#pragma once

// The grid's row sort: a quicksort on the middle element that leaves rows
// comparing equal in place (so it is not stable, and users know its order).
// It runs on an array of row numbers whose keys were taken out once, so a
// compare costs a look-up rather than a walk through the cells, and the
// rows themselves move once at the end. It recurses into the smaller part
// and loops on the larger, so no input drives the stack deeper than the
// logarithm of the row count.

#include <utility>
#include <vector>

// A row's sort key beside the row's number, packed so that a compare
// reads both keys in place.
template <typename Key>
struct GridSortEntry {
    Key key;
    int row;
};

namespace gridsort_detail {

template <typename Key, typename Compare>
void sortPart(std::vector<GridSortEntry<Key>>& entries, int low, int high, bool ascending,
              Compare& compare) {
    auto at = [&entries](int position) -> GridSortEntry<Key>& {
        return entries[static_cast<size_t>(position)];
    };
    while (low < high) {
        // The pivot's key; the row it belongs to keeps it as it moves.
        const Key pivot = at((low + high) / 2).key;
        int lo = low;
        int hi = high;
        while (lo <= hi) {
            if (ascending) {
                while (lo < high && compare(at(lo).key, pivot) < 0) {
                    ++lo;
                }
                while (hi > low && compare(at(hi).key, pivot) > 0) {
                    --hi;
                }
            } else {
                while (lo < high && compare(at(lo).key, pivot) > 0) {
                    ++lo;
                }
                while (hi > low && compare(at(hi).key, pivot) < 0) {
                    --hi;
                }
            }
            if (hi < lo) {
                break;
            }
            if (compare(at(lo).key, at(hi).key) != 0) {
                std::swap(at(lo), at(hi));
            }
            ++lo;
            --hi;
        }
        if (hi - low < high - lo) {
            if (low < hi) {
                sortPart(entries, low, hi, ascending, compare);
            }
            low = lo;
        } else {
            if (lo < high) {
                sortPart(entries, lo, high, ascending, compare);
            }
            high = hi;
        }
    }
}

}  // namespace gridsort_detail

// Sorts the entries by `compare`(key, key), a three-way compare; the rows'
// numbers then give the new order.
template <typename Key, typename Compare>
void GridQuickSort(std::vector<GridSortEntry<Key>>& entries, bool ascending, Compare compare) {
    if (entries.size() > 1) {
        gridsort_detail::sortPart(entries, 0, static_cast<int>(entries.size()) - 1, ascending,
                                  compare);
    }
}

// The rows' numbers in their sorted order.
template <typename Key>
std::vector<int> GridSortedRows(const std::vector<GridSortEntry<Key>>& entries) {
    std::vector<int> order(entries.size());
    for (size_t at = 0; at < entries.size(); ++at) {
        order[at] = entries[at].row;
    }
    return order;
}
