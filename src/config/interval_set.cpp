#include "config/interval_set.h"

#include <iterator>
#include <limits>

namespace vantor {

std::map<std::uint32_t, std::uint32_t>::const_iterator IntervalSet::FindRun(
    std::uint32_t value) const {
    auto next = runs_.upper_bound(value);
    if (next == runs_.begin()) {
        return runs_.end();
    }
    auto run = std::prev(next);
    return run->second >= value ? run : runs_.end();
}

bool IntervalSet::Contains(std::uint32_t value) const {
    return FindRun(value) != runs_.end();
}

bool IntervalSet::Insert(std::uint32_t value) {
    auto next = runs_.upper_bound(value);
    auto previous = next == runs_.begin() ? runs_.end() : std::prev(next);
    if (previous != runs_.end() && previous->second >= value) {
        return false;
    }
    bool joinsPrevious = previous != runs_.end() && previous->second + 1 == value;
    bool joinsNext = next != runs_.end() && value != std::numeric_limits<std::uint32_t>::max() &&
                     next->first == value + 1;
    if (joinsPrevious && joinsNext) {
        previous->second = next->second;
        runs_.erase(next);
    } else if (joinsPrevious) {
        previous->second = value;
    } else if (joinsNext) {
        std::uint32_t last = next->second;
        runs_.emplace_hint(runs_.erase(next), value, last);
    } else {
        runs_.emplace_hint(next, value, value);
    }
    ++size_;
    return true;
}

bool IntervalSet::Erase(std::uint32_t value) {
    auto next = runs_.upper_bound(value);
    if (next == runs_.begin() || std::prev(next)->second < value) {
        return false;
    }
    auto run = std::prev(next);
    std::uint32_t first = run->first;
    std::uint32_t last = run->second;
    if (first == value && last == value) {
        runs_.erase(run);
    } else if (first == value) {
        runs_.emplace_hint(runs_.erase(run), value + 1, last);
    } else if (last == value) {
        run->second = value - 1;
    } else {
        run->second = value - 1;
        runs_.emplace_hint(next, value + 1, last);
    }
    --size_;
    return true;
}

std::optional<std::uint32_t> IntervalSet::LowestFree(std::uint32_t low, std::uint32_t high) const {
    if (low > high) {
        return std::nullopt;
    }
    auto run = FindRun(low);
    if (run == runs_.end()) {
        return low;
    }
    // Runs are merged with their neighbours, so the value after this one is free.
    if (run->second >= high) {
        return std::nullopt;
    }
    return run->second + 1;
}

}  // namespace vantor
