#pragma once

#include <cstddef>
#include <cstdint>
#include <map>
#include <optional>

namespace vantor {

// An ordered set of unsigned 32-bit values kept as disjoint runs [first, last]. Neighbouring runs
// are always merged, so the value after a run is never in the set: the lowest free value at or
// above a bound is found with one lookup however many values are taken, where walking a plain
// ordered set would visit every taken value in a row. Everything here is O(log runs).
class IntervalSet {
public:
    bool Contains(std::uint32_t value) const;
    // False, and nothing changes, when the value is already in the set.
    bool Insert(std::uint32_t value);
    // False, and nothing changes, when the value is not in the set.
    bool Erase(std::uint32_t value);
    // The smallest value v with low <= v <= high that is not in the set; nullopt when every value
    // of that range is taken or low > high.
    std::optional<std::uint32_t> LowestFree(std::uint32_t low, std::uint32_t high) const;

    std::size_t Size() const { return size_; }
    bool Empty() const { return size_ == 0; }
    // The runs, first -> last, in ascending order.
    const std::map<std::uint32_t, std::uint32_t>& Runs() const { return runs_; }

private:
    // The run holding value, or runs_.end().
    std::map<std::uint32_t, std::uint32_t>::const_iterator FindRun(std::uint32_t value) const;

    std::map<std::uint32_t, std::uint32_t> runs_;
    std::size_t size_ = 0;
};

}  // namespace vantor
