#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>

namespace vantor {

// Makes count pieces of text on up to `threads` threads and hands them to take one at a time,
// in order, on the calling thread. At most `ahead` pieces wait to be taken, so a slow taker
// holds a few pieces, not all of them. What make throws is thrown here, once the threads have
// stopped. With no thread to be had, the pieces are made here, one after the other.
void MakeInOrder(std::size_t count, unsigned threads, std::size_t ahead,
                 const std::function<std::string(std::size_t)>& make,
                 const std::function<void(std::string_view)>& take);

}  // namespace vantor
