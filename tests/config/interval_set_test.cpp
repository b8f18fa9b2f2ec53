#include "config/interval_set.h"

#include <random>
#include <set>

#include <gtest/gtest.h>

using namespace vantor;

TEST(IntervalSet, AgreesWithAPlainSetUnderRandomChangesAndAtTheTopOfTheRange) {
    // Merging and splitting runs is where this goes wrong; a plain set driven the same way must
    // give the same answers at every step (a run left unmerged shows as a wrong lowest free value).
    std::mt19937 random(7);
    for (std::uint32_t span : {20u, 300u, 5000u}) {
        IntervalSet set;
        std::set<std::uint32_t> plain;
        for (int step = 0; step < 40000; ++step) {
            std::uint32_t value = 1000 + random() % span;
            // Lean towards inserting so that long runs form, then drain them again.
            if ((step / 10000) % 2 == 0 ? random() % 4 != 0 : random() % 4 == 0) {
                ASSERT_EQ(set.Insert(value), plain.insert(value).second);
            } else {
                ASSERT_EQ(set.Erase(value), plain.erase(value) == 1);
            }
            // The plain way: walk the ordered set upward from low.
            std::uint32_t low = 990 + random() % (span + 20), high = low + random() % (span + 20);
            std::uint64_t free = low;
            for (auto it = plain.lower_bound(low); it != plain.end() && *it == free; ++it) {
                ++free;
            }
            ASSERT_EQ(set.LowestFree(low, high),
                      free <= high ? std::optional<std::uint32_t>(free) : std::nullopt)
                << "low " << low << " high " << high;
            ASSERT_EQ(set.Contains(value), plain.count(value) == 1);
            ASSERT_EQ(set.Size(), plain.size());
        }
    }
    // At the top of the value range, where one past a run's end would wrap to 0.
    IntervalSet top;
    EXPECT_TRUE(top.Insert(0xFFFFFFFF) && top.Insert(0xFFFFFFFE));
    EXPECT_EQ(top.LowestFree(0xFFFFFFFE, 0xFFFFFFFF), std::nullopt);
}
