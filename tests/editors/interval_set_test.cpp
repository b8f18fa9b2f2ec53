#include "editors/interval_set.h"

#include <limits>
#include <optional>
#include <random>
#include <set>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

namespace vantor {
namespace {

using Runs = std::vector<std::pair<std::uint32_t, std::uint32_t>>;

Runs RunsOf(const IntervalSet& set) {
    return Runs(set.Runs().begin(), set.Runs().end());
}

// The plain way: walk the ordered set upward from low.
std::optional<std::uint32_t> NaiveLowestFree(const std::set<std::uint32_t>& set, std::uint32_t low,
                                             std::uint32_t high) {
    std::uint64_t candidate = low;
    for (auto it = set.lower_bound(low); it != set.end() && *it == candidate; ++it) {
        ++candidate;
    }
    return candidate <= high ? std::optional<std::uint32_t>(candidate) : std::nullopt;
}

TEST(IntervalSet, HandlesTheEndsOfTheValueRange) {
    constexpr std::uint32_t kMax = std::numeric_limits<std::uint32_t>::max();
    IntervalSet set;
    EXPECT_TRUE(set.Insert(kMax));
    EXPECT_TRUE(set.Insert(0));
    EXPECT_TRUE(set.Insert(kMax - 1));
    EXPECT_EQ(RunsOf(set), (Runs{{0, 0}, {kMax - 1, kMax}}));
    EXPECT_TRUE(set.Contains(kMax));
    EXPECT_EQ(set.LowestFree(kMax - 1, kMax), std::nullopt);
    EXPECT_EQ(set.LowestFree(0, kMax), 1u);
    EXPECT_TRUE(set.Erase(kMax));
    EXPECT_EQ(set.LowestFree(kMax - 1, kMax), kMax);
}

// Merging and splitting runs is where this goes wrong; a plain set driven the same way must give
// the same answers at every step, and the runs must be exactly its maximal blocks.
TEST(IntervalSet, AgreesWithAPlainSetUnderRandomChanges) {
    std::mt19937 random(7);
    for (std::uint32_t span : {20u, 300u, 5000u}) {
        IntervalSet set;
        std::set<std::uint32_t> plain;
        for (int step = 0; step < 40000; ++step) {
            std::uint32_t value = 1000 + random() % span;
            // Lean towards inserting so that long runs form, then drain them again.
            bool insert = (step / 10000) % 2 == 0 ? random() % 4 != 0 : random() % 4 == 0;
            if (insert) {
                ASSERT_EQ(set.Insert(value), plain.insert(value).second);
            } else {
                ASSERT_EQ(set.Erase(value), plain.erase(value) == 1);
            }
            std::uint32_t low = 990 + random() % (span + 20);
            std::uint32_t high = low + random() % (span + 20);
            ASSERT_EQ(set.LowestFree(low, high), NaiveLowestFree(plain, low, high))
                << "low " << low << " high " << high;
            ASSERT_EQ(set.Contains(value), plain.count(value) == 1);
            ASSERT_EQ(set.Size(), plain.size());
            if (step % 500 == 0 || step == 39999) {
                Runs expected;
                for (std::uint32_t v : plain) {
                    if (!expected.empty() && expected.back().second + 1 == v) {
                        expected.back().second = v;
                    } else {
                        expected.emplace_back(v, v);
                    }
                }
                ASSERT_EQ(RunsOf(set), expected) << "step " << step;
            }
        }
    }
}

}  // namespace
}  // namespace vantor
