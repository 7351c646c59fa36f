#pragma once

// The grid's row sort: a quicksort on the middle element that leaves rows
// comparing equal in place (so it is not stable, and users know its order).
// It runs on an array of row numbers whose keys were taken out once, so a
// compare costs a look-up rather than a walk through the cells, and the
// rows themselves move once at the end. It recurses into the smaller part
// and loops on the larger, so no input drives the stack deeper than the
// logarithm of the row count.

#include <numeric>
#include <utility>
#include <vector>

// The rows low .. high in their present order.
inline std::vector<int> GridIdentityOrder(int low, int high) {
    std::vector<int> order(static_cast<size_t>(high >= low ? high - low + 1 : 0));
    std::iota(order.begin(), order.end(), low);
    return order;
}

namespace gridsort_detail {

template <typename Compare>
void sortPart(std::vector<int>& order, int low, int high, bool ascending, Compare& compare) {
    auto at = [&order](int position) -> int& { return order[static_cast<size_t>(position)]; };
    while (low < high) {
        // The pivot is the row itself, which keeps its key as it moves.
        const int pivot = at((low + high) / 2);
        int lo = low;
        int hi = high;
        while (lo <= hi) {
            if (ascending) {
                while (lo < high && compare(at(lo), pivot) < 0) {
                    ++lo;
                }
                while (hi > low && compare(at(hi), pivot) > 0) {
                    --hi;
                }
            } else {
                while (lo < high && compare(at(lo), pivot) > 0) {
                    ++lo;
                }
                while (hi > low && compare(at(hi), pivot) < 0) {
                    --hi;
                }
            }
            if (hi < lo) {
                break;
            }
            if (compare(at(lo), at(hi)) != 0) {
                std::swap(at(lo), at(hi));
            }
            ++lo;
            --hi;
        }
        if (hi - low < high - lo) {
            if (low < hi) {
                sortPart(order, low, hi, ascending, compare);
            }
            low = lo;
        } else {
            if (lo < high) {
                sortPart(order, lo, high, ascending, compare);
            }
            high = hi;
        }
    }
}

}  // namespace gridsort_detail

// Sorts `order` (row numbers) by `compare`(row, row), a three-way compare.
template <typename Compare>
void GridQuickSort(std::vector<int>& order, bool ascending, Compare compare) {
    if (order.size() > 1) {
        gridsort_detail::sortPart(order, 0, static_cast<int>(order.size()) - 1, ascending, compare);
    }
}
