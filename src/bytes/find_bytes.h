// The byte search behind findBytes and replaceBytes, on raw spans.
#pragma once

#include <cstddef>
#include <cstdint>

// The 0-based offset of the first occurrence of the `patternSize` bytes at `pattern` that begins
// at or after offset `from` of the haystack, or `notFound`. Candidates are tried in increasing
// order, so the result is the leftmost occurrence; patternSize must be at least 1.
constexpr std::size_t notFound = static_cast<std::size_t>(-1);
std::size_t findSpan(const std::uint8_t* haystack, std::size_t haystackSize, const std::uint8_t* pattern,
                     std::size_t patternSize, std::size_t from);
