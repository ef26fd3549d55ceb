// The Two-Way string search of Crochemore and Perrin: linear time in the haystack whatever the
// bytes, with constant extra memory. findSpan turns to it when its byte filter stops paying.
#pragma once

#include <cstddef>
#include <cstdint>

// The same contract as findSpan: the offset of the leftmost occurrence at or after `from`, or
// notFound.
std::size_t twoWayFind(const std::uint8_t* haystack, std::size_t haystackSize, const std::uint8_t* pattern,
                       std::size_t patternSize, std::size_t from);
