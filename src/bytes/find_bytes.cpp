#include "bytes/find_bytes.h"

#include <array>
#include <cstring>

namespace {

// How common each byte value is in executables, as a rank: higher is more common. The search
// anchors on the pattern's least common byte, so that the fast byte scan stops rarely.
constexpr std::array<std::uint8_t, 256> commonness = [] {
    std::array<std::uint8_t, 256> rank{};
    for (int b = 0; b < 256; ++b) {
        int r = 40;                                             // bytes 80..FE: GBK lead and trail bytes
        if (b < 0x20) r = 120;                                  // small integers and control bytes
        if (b >= 0x20 && b < 0x80) r = 80;                      // ASCII
        if ((b >= 'a' && b <= 'z') || b == ' ') r = 100;        // lowercase text
        if (b == 0x00) r = 255;
        if (b == 0xFF) r = 200;
        if (b == 0x8B || b == 0x89 || b == 0xE8 || b == 0x48 || b == 0x24 || b == 0x45) r = 150;  // x86 opcodes
        rank[static_cast<std::size_t>(b)] = static_cast<std::uint8_t>(r);
    }
    return rank;
}();

std::size_t rarestIndex(const std::uint8_t* pattern, std::size_t patternSize) {
    std::size_t best = 0;
    for (std::size_t i = 1; i < patternSize; ++i) {
        if (commonness[pattern[i]] < commonness[pattern[best]]) best = i;
    }
    return best;
}

}  // namespace

std::size_t findSpan(const std::uint8_t* haystack, std::size_t haystackSize, const std::uint8_t* pattern,
                     std::size_t patternSize, std::size_t from) {
    if (patternSize == 0 || from >= haystackSize || patternSize > haystackSize - from) return notFound;
    const std::size_t anchor = rarestIndex(pattern, patternSize);
    const std::uint8_t anchorByte = pattern[anchor];
    const std::size_t lastCandidate = haystackSize - patternSize;
    // Anchor hits come in increasing order, and so do the candidates they give.
    const std::uint8_t* scan = haystack + from + anchor;
    const std::uint8_t* const scanEnd = haystack + lastCandidate + anchor + 1;
    while (scan < scanEnd) {
        const void* hit = std::memchr(scan, anchorByte, static_cast<std::size_t>(scanEnd - scan));
        if (hit == nullptr) return notFound;
        const std::uint8_t* at = static_cast<const std::uint8_t*>(hit);
        const std::size_t candidate = static_cast<std::size_t>(at - haystack) - anchor;
        if (std::memcmp(haystack + candidate, pattern, patternSize) == 0) return candidate;
        scan = at + 1;
    }
    return notFound;
}
