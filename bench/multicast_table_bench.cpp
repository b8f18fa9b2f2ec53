// Automatic assignment must stay instant however many groups and ports are taken: a full table
// holds 60,536 pairs (every port from 5000 to 65535; each group needs a port of its own).

#include <algorithm>
#include <cstdint>
#include <numeric>
#include <random>
#include <set>
#include <string>
#include <vector>

#include <benchmark/benchmark.h>

#include "config/multicast_table.h"

namespace vantor {
namespace {

constexpr int kRegistered = 60000;

std::u16string Widen(const std::string& text) {
    return std::u16string(text.begin(), text.end());
}

std::u16string PairText(std::uint32_t group, std::uint32_t port) {
    return MulticastTable::FormatGroup(group) + u':' + Widen(std::to_string(port));
}

// What assigning hands out, one after the other: 225.0.0.0:5000, 225.0.0.1:5001, ...
void FillContiguous(MulticastTable& table) {
    for (int i = 0; i < kRegistered; ++i) {
        std::u16string text;
        std::u16string message;
        table.Register(text, message);
    }
}

// Typed texts in random order: the first third of the groups is a block from 225.0.0.0, the
// rest scattered over the assigned range; the ports are a random choice of the valid ones.
void FillScattered(MulticastTable& table) {
    std::mt19937 random(42);
    std::set<std::uint32_t> groups;
    for (std::uint32_t i = 0; i < kRegistered / 3; ++i) {
        groups.insert(MulticastTable::kFirstAssignedGroup + i);
    }
    while (groups.size() < kRegistered) {
        groups.insert(MulticastTable::kFirstAssignedGroup +
                      random() % (MulticastTable::kLastAssignedGroup -
                                  MulticastTable::kFirstAssignedGroup + 1));
    }
    std::vector<std::uint32_t> ports(MulticastTable::kHighestPort - MulticastTable::kLowestPort +
                                     1);
    std::iota(ports.begin(), ports.end(), MulticastTable::kLowestPort);
    std::shuffle(ports.begin(), ports.end(), random);
    std::vector<std::u16string> texts;
    auto port = ports.begin();
    for (std::uint32_t group : groups) {
        texts.push_back(PairText(group, *port++));
    }
    std::shuffle(texts.begin(), texts.end(), random);
    for (std::u16string& text : texts) {
        std::u16string message;
        table.Register(text, message);
    }
}

void AssignAndRelease(benchmark::State& state, MulticastTable& table) {
    for (auto _ : state) {
        std::u16string text;
        std::u16string message;
        bool ok = table.Register(text, message);
        benchmark::DoNotOptimize(ok);
        table.Unregister(text);
    }
    state.counters["registered"] = static_cast<double>(table.Associations().size());
}

void TypeAndRelease(benchmark::State& state, MulticastTable& table) {
    std::uint32_t port = MulticastTable::LowestFree(table.Ports(), 65000, 65535);
    std::u16string typed = PairText(0xEE010203, port);  // 238.1.2.3
    for (auto _ : state) {
        std::u16string text = typed;
        std::u16string message;
        bool ok = table.Register(text, message);
        benchmark::DoNotOptimize(ok);
        table.Unregister(text);
    }
}

void BM_AssignContiguous(benchmark::State& state) {
    MulticastTable table;
    FillContiguous(table);
    AssignAndRelease(state, table);
}
BENCHMARK(BM_AssignContiguous);

void BM_AssignScattered(benchmark::State& state) {
    MulticastTable table;
    FillScattered(table);
    state.counters["groupRuns"] = static_cast<double>(table.Groups().Runs().size());
    state.counters["portRuns"] = static_cast<double>(table.Ports().Runs().size());
    AssignAndRelease(state, table);
}
BENCHMARK(BM_AssignScattered);

void BM_AssignEmpty(benchmark::State& state) {
    MulticastTable table;
    AssignAndRelease(state, table);
}
BENCHMARK(BM_AssignEmpty);

void BM_TypedContiguous(benchmark::State& state) {
    MulticastTable table;
    FillContiguous(table);
    TypeAndRelease(state, table);
}
BENCHMARK(BM_TypedContiguous);

void BM_TypedScattered(benchmark::State& state) {
    MulticastTable table;
    FillScattered(table);
    TypeAndRelease(state, table);
}
BENCHMARK(BM_TypedScattered);

// Filling the table from typed texts, as loading a configuration does.
void BM_LoadScattered(benchmark::State& state) {
    for (auto _ : state) {
        MulticastTable table;
        FillScattered(table);
        benchmark::DoNotOptimize(table.Associations().size());
    }
}
BENCHMARK(BM_LoadScattered)->Unit(benchmark::kMillisecond);

// For comparison: finding the lowest free group of the contiguous block by walking a plain
// ordered set, value by value.
void BM_PlainSetWalkContiguous(benchmark::State& state) {
    std::set<std::uint32_t> groups;
    for (std::uint32_t i = 0; i < kRegistered; ++i) {
        groups.insert(MulticastTable::kFirstAssignedGroup + i);
    }
    for (auto _ : state) {
        std::uint32_t candidate = MulticastTable::kFirstAssignedGroup;
        for (auto it = groups.lower_bound(candidate); it != groups.end() && *it == candidate;
             ++it) {
            ++candidate;
        }
        benchmark::DoNotOptimize(candidate);
    }
}
BENCHMARK(BM_PlainSetWalkContiguous);

}  // namespace
}  // namespace vantor
