#include "config/work_in_order.h"

#include <atomic>
#include <chrono>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

namespace vantor {
namespace {

// Pieces that finish out of order still come out in order, and a slow taker never has more
// than `ahead` pieces made for it in advance.
TEST(WorkInOrder, PiecesComeInOrderAndNoMoreThanAheadWait) {
    constexpr std::size_t kCount = 60, kAhead = 3;
    std::atomic<std::size_t> taken = 0;
    std::atomic<std::size_t> mostAhead = 0;
    std::vector<std::string> got;
    MakeInOrder(
        kCount, 4, kAhead,
        [&](std::size_t index) {
            // Started only while fewer than kAhead pieces wait: index < taken + kAhead, where
            // the count below may lag by the one piece being taken.
            const std::size_t lead = index + 1 - std::min(index + 1, taken.load());
            for (std::size_t seen = mostAhead;
                 lead > seen && !mostAhead.compare_exchange_weak(seen, lead);) {
            }
            std::this_thread::sleep_for(std::chrono::microseconds(index % 3 == 0 ? 900 : 50));
            return std::to_string(index);
        },
        [&](std::string_view piece) {
            got.emplace_back(piece);
            std::this_thread::sleep_for(std::chrono::microseconds(300));
            ++taken;
        });
    std::vector<std::string> expected;
    for (std::size_t i = 0; i < kCount; ++i) {
        expected.push_back(std::to_string(i));
    }
    EXPECT_EQ(got, expected);
    EXPECT_LE(mostAhead.load(), kAhead + 1);
}

// A piece that fails fails the whole, after the pieces before it were taken; the threads
// stop and nothing hangs. Without threads, the same.
TEST(WorkInOrder, AFailureIsThrownOnceThePiecesBeforeItAreTaken) {
    for (const unsigned threads : {0u, 3u}) {
        std::vector<std::string> got;
        EXPECT_THROW(MakeInOrder(
                         100, threads, 4,
                         [](std::size_t index) {
                             if (index == 5) {
                                 throw std::runtime_error("no memory");
                             }
                             return std::to_string(index);
                         },
                         [&](std::string_view piece) { got.emplace_back(piece); }),
                     std::runtime_error);
        EXPECT_EQ(got, (std::vector<std::string>{"0", "1", "2", "3", "4"})) << threads;
    }
}

}  // namespace
}  // namespace vantor
