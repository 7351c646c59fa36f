#include "gridctrl/gridsizes.h"

#include <algorithm>

#include <bit>

namespace {

constexpr int lowBit(int index) {
    return index & -index;
}

// Resizing by more than this many entries rebuilds the trees in one pass.
constexpr int kRebuildThreshold = 64;

}  // namespace

void CGridSizes::Set(int index, unsigned size) {
    const unsigned old = m_sizes[static_cast<size_t>(index)];
    if (old == size) {
        return;
    }
    addToHistogram(old, -1);
    addToHistogram(size, 1);
    m_sizes[static_cast<size_t>(index)] = size;
    const qint64 delta = static_cast<qint64>(size) - static_cast<qint64>(old);
    const int positiveDelta = (size > 0 ? 1 : 0) - (old > 0 ? 1 : 0);
    for (int node = index + 1; node <= Count(); node += lowBit(node)) {
        m_sumTree[static_cast<size_t>(node)] += delta;
        m_positiveTree[static_cast<size_t>(node)] += positiveDelta;
    }
}

void CGridSizes::Append(unsigned size) {
    if (m_sumTree.empty()) {
        m_sumTree.push_back(0);
        m_positiveTree.push_back(0);
    }
    const int node = Count() + 1;
    // The new node covers the entries node - lowBit(node) + 1 .. node.
    const int coveredFrom = node - lowBit(node);
    const qint64 sum = Prefix(node - 1) - Prefix(coveredFrom) + size;
    const int positives =
        positivePrefix(node - 1) - positivePrefix(coveredFrom) + (size > 0 ? 1 : 0);
    m_sizes.push_back(size);
    m_sumTree.push_back(sum);
    m_positiveTree.push_back(positives);
    addToHistogram(size, 1);
}

void CGridSizes::Resize(int count, unsigned size) {
    count = qMax(count, 0);
    if (count <= Count()) {
        for (int index = count; index < Count(); ++index) {
            addToHistogram(m_sizes[static_cast<size_t>(index)], -1);
        }
        // A node covers entries up to its own index only, so the nodes kept
        // stay right.
        m_sizes.resize(static_cast<size_t>(count));
        m_sumTree.resize(static_cast<size_t>(count) + 1);
        m_positiveTree.resize(static_cast<size_t>(count) + 1);
        return;
    }
    if (count - Count() <= kRebuildThreshold) {
        while (Count() < count) {
            Append(size);
        }
        return;
    }
    addToHistogram(size, count - Count());
    m_sizes.resize(static_cast<size_t>(count), size);
    rebuild();
}

void CGridSizes::Erase(int index) {
    addToHistogram(m_sizes[static_cast<size_t>(index)], -1);
    m_sizes.erase(m_sizes.begin() + index);
    rebuild();
}

void CGridSizes::Reorder(int first, const std::vector<int>& order) {
    std::vector<unsigned> moved(order.size());
    for (size_t at = 0; at < order.size(); ++at) {
        moved[at] = m_sizes[static_cast<size_t>(order[at])];
    }
    std::copy(moved.begin(), moved.end(), m_sizes.begin() + first);
    // The same sizes in another order: the histogram stays, the sums change.
    rebuild();
}

void CGridSizes::Clear() {
    m_sizes.clear();
    m_sumTree.clear();
    m_positiveTree.clear();
    m_positiveSizes.clear();
}

qint64 CGridSizes::Prefix(int count) const {
    qint64 sum = 0;
    for (int node = qMin(count, Count()); node > 0; node -= lowBit(node)) {
        sum += m_sumTree[static_cast<size_t>(node)];
    }
    return sum;
}

int CGridSizes::positivePrefix(int count) const {
    int positives = 0;
    for (int node = qMin(count, Count()); node > 0; node -= lowBit(node)) {
        positives += m_positiveTree[static_cast<size_t>(node)];
    }
    return positives;
}

namespace {

// Descends a Fenwick tree of `count` entries to the largest count of
// entries whose sum stays below `target`: the index where the sum reaches it.
template <typename Value>
int descend(const std::vector<Value>& tree, int count, Value target) {
    int node = 0;
    for (int step = static_cast<int>(std::bit_floor(static_cast<unsigned>(qMax(count, 1))));
         step > 0; step >>= 1) {
        const int next = node + step;
        if (next <= count && tree[static_cast<size_t>(next)] < target) {
            node = next;
            target -= tree[static_cast<size_t>(next)];
        }
    }
    return node;
}

}  // namespace

int CGridSizes::LowerBound(qint64 target) const {
    return target <= 0 ? 0 : descend(m_sumTree, Count(), target);
}

int CGridSizes::NthPositive(int first, int n) const {
    const int target = positivePrefix(first) + n;
    if (n <= 0 || target > positivePrefix(Count())) {
        return Count();
    }
    return descend(m_positiveTree, Count(), target);
}

void CGridSizes::rebuild() {
    const size_t count = m_sizes.size();
    m_sumTree.assign(count + 1, 0);
    m_positiveTree.assign(count + 1, 0);
    for (size_t node = 1; node <= count; ++node) {
        m_sumTree[node] += m_sizes[node - 1];
        m_positiveTree[node] += m_sizes[node - 1] > 0 ? 1 : 0;
        const size_t parent = node + static_cast<size_t>(lowBit(static_cast<int>(node)));
        if (parent <= count) {
            m_sumTree[parent] += m_sumTree[node];
            m_positiveTree[parent] += m_positiveTree[node];
        }
    }
}

void CGridSizes::addToHistogram(unsigned size, int delta) {
    if (size == 0 || delta == 0) {
        return;
    }
    const auto found = m_positiveSizes.find(size);
    if (found == m_positiveSizes.end()) {
        m_positiveSizes.emplace(size, delta);
    } else if ((found->second += delta) <= 0) {
        m_positiveSizes.erase(found);
    }
}
