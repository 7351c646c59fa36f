// The running sums of the sizes against a plain array, through every kind
// of change a grid makes.

#include "gridctrl/gridsizes.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>

namespace {

void expectSame(const CGridSizes& sizes, const std::vector<unsigned>& plain) {
    ASSERT_EQ(sizes.Count(), static_cast<int>(plain.size()));
    qint64 sum = 0;
    int positives = 0;
    unsigned smallest = 0;
    for (size_t i = 0; i < plain.size(); ++i) {
        ASSERT_EQ(sizes.Prefix(static_cast<int>(i)), sum) << i;
        ASSERT_EQ(sizes.PositiveCount(0, static_cast<int>(i)), positives) << i;
        sum += plain[i];
        if (plain[i] > 0) {
            ++positives;
            smallest = smallest == 0 ? plain[i] : std::min(smallest, plain[i]);
            ASSERT_EQ(sizes.NthPositive(0, positives), static_cast<int>(i));
        }
    }
    ASSERT_EQ(sizes.Total(), sum);
    ASSERT_EQ(sizes.SmallestPositive(), smallest);
    ASSERT_EQ(sizes.NthPositive(0, positives + 1), sizes.Count());
    for (qint64 target = 1; target <= sum + 1; target += 7) {
        qint64 running = 0;
        int expected = static_cast<int>(plain.size());
        for (size_t i = 0; i < plain.size(); ++i) {
            running += plain[i];
            if (running >= target) {
                expected = static_cast<int>(i);
                break;
            }
        }
        ASSERT_EQ(sizes.LowerBound(target), expected) << target;
    }
}

TEST(GridSizes, FollowAPlainArrayThroughEveryChange) {
    std::mt19937 random(7);
    CGridSizes sizes;
    std::vector<unsigned> plain;
    auto someSize = [&] { return random() % 3 == 0 ? 0u : 1u + random() % 30; };
    for (int step = 0; step < 300; ++step) {
        switch (random() % 6) {
            case 0: {
                const unsigned size = someSize();
                sizes.Append(size);
                plain.push_back(size);
                break;
            }
            case 1: {
                // Small and large growth take different paths.
                const int count =
                    static_cast<int>(plain.size()) + 1 + static_cast<int>(random() % 100);
                const unsigned size = someSize();
                sizes.Resize(count, size);
                plain.resize(static_cast<size_t>(count), size);
                break;
            }
            case 2:
                if (!plain.empty()) {
                    const int count = static_cast<int>(random() % plain.size());
                    sizes.Resize(count, 0);
                    plain.resize(static_cast<size_t>(count));
                }
                break;
            case 3:
                if (!plain.empty()) {
                    const int index = static_cast<int>(random() % plain.size());
                    sizes.Erase(index);
                    plain.erase(plain.begin() + index);
                }
                break;
            default:
                if (!plain.empty()) {
                    const int index = static_cast<int>(random() % plain.size());
                    const unsigned size = someSize();
                    sizes.Set(index, size);
                    plain[static_cast<size_t>(index)] = size;
                }
                break;
        }
        expectSame(sizes, plain);
        if (plain.size() > 400) {
            sizes.Clear();
            plain.clear();
        }
    }
}

}  // namespace
