#include "bytes/find_bytes.h"

#include <array>
#include <cstring>

namespace {

// How common each byte value is in Windows executables, as a rank from 0 (the rarest) to 255
// (the most common). Measured over the loaded sections (debug sections left out) of 32-bit PE
// files: Wine's i386 DLLs and programs (GCC-built), the MSVC-built installer and launcher stubs
// that Python ships, and the MinGW runtime DLLs, each set weighted equally. bench/byte_ranking.py
// measures it again. Zero and FF are the most common, GBK lead bytes such as A7 or 9A among the
// rarest; B2, the second byte of the GBK "bu" (不), is rarer than most letters.
constexpr std::array<std::uint8_t, 256> commonness = {
    255, 250, 235, 227, 249, 212, 183, 167, 242, 138, 182, 154, 229, 137, 210, 244,  // 00..0F
    230, 151,  72,  59, 206, 164,  88,  43, 198,  77,  32,  94, 195,  42,  25,  76,  // 10..1F
    241,  27,  80,  28, 253, 114, 156,  26, 168, 110,  29, 111, 147,  71,  75,  22,  // 20..2F
    211, 194, 134, 199, 172, 100,  95,  81, 176, 189, 106, 174, 163, 107,  86, 115,  // 30..3F
    226, 238, 158, 208, 247, 234, 177, 136, 245, 214,  58, 102, 220, 188, 123, 101,  // 40..4F
    216, 103, 130, 205, 203, 190, 155, 142, 150, 143,  69, 116, 180, 160, 119, 228,  // 50..5F
    129, 222, 140, 209, 207, 239, 204, 131, 186, 221, 125,  92, 219, 173, 217, 224,  // 60..6F
    201,  53, 223, 218, 248, 231, 139, 124, 161, 132,  79,  23, 181, 108,  61, 112,  // 70..7F
    193, 117,  49, 246, 225, 237,  89,  55, 152, 251,  97, 252, 145, 243,  41,  24,  // 80..8F
    232,  16,  15,   9, 149,  37,  21,  11,  83,  10,   1,  14, 118,  20,   2,  18,  // 90..9F
    113,  38,   4,  19,  63,  12,   5,   0,  82,   8,  31,   7, 105,   3,  57,  50,  // A0..AF
    109,  17,  13,   6, 171,  47, 146, 104, 144,  60,  62,  46, 126,  64,  39,  35,  // B0..BF
    233, 192, 157, 213, 185, 215, 175, 236, 148, 159,  66,  91, 178,  34,  73,  93,  // C0..CF
    165,  96, 128,  65,  90,  30,  51,  40, 166, 141,  44, 122,  85,  87,  74,  45,  // D0..DF
    169,  56,  70,  84, 135,  98,  36,  33, 240, 197,  67, 191, 200,  48, 120,  54,  // E0..EF
    187,  99,  78,  68, 127,  52, 170, 121, 196, 153, 179, 133, 184, 162, 202, 254,  // F0..FF
};

// The index of the pattern's least common byte among those whose value is not `avoid` (all of
// them for an `avoid` above 255), or `patternSize` when there is none. Ties go to the leftmost.
std::size_t rarestIndex(const std::uint8_t* pattern, std::size_t patternSize, unsigned avoid) {
    std::size_t best = patternSize;
    for (std::size_t i = 0; i < patternSize; ++i) {
        if (pattern[i] == avoid) continue;
        if (best == patternSize || commonness[pattern[i]] < commonness[pattern[best]]) best = i;
    }
    return best;
}

// Anchor hits closer together than this are taken as a sign that the anchor byte is common here.
constexpr std::ptrdiff_t denseGap = 16;

}  // namespace

std::size_t findSpan(const std::uint8_t* haystack, std::size_t haystackSize, const std::uint8_t* pattern,
                     std::size_t patternSize, std::size_t from) {
    if (patternSize == 0 || from >= haystackSize || patternSize > haystackSize - from) return notFound;
    // The scan looks for the rarest byte. A hit is compared in full only when the rarest byte of
    // another value matches too, which rules out most hits cheaply, above all where the anchor
    // byte repeats.
    const std::size_t anchor = rarestIndex(pattern, patternSize, 256);
    const std::uint8_t anchorByte = pattern[anchor];
    std::size_t check = rarestIndex(pattern, patternSize, anchorByte);
    if (check == patternSize) check = anchor;
    const std::uint8_t checkByte = pattern[check];
    const auto matchesAt = [&](const std::uint8_t* anchorHit) {
        const std::uint8_t* candidate = anchorHit - anchor;
        return candidate[check] == checkByte && std::memcmp(candidate, pattern, patternSize) == 0;
    };

    // Anchor hits come in increasing order, and so do the candidates they give.
    const std::uint8_t* scan = haystack + from + anchor;
    const std::uint8_t* const scanEnd = haystack + (haystackSize - patternSize) + anchor + 1;
    while (scan < scanEnd) {
        const void* hit = std::memchr(scan, anchorByte, static_cast<std::size_t>(scanEnd - scan));
        if (hit == nullptr) return notFound;
        const std::uint8_t* at = static_cast<const std::uint8_t*>(hit);
        if (matchesAt(at)) return static_cast<std::size_t>(at - anchor - haystack);
        if (at - scan >= denseGap) {
            scan = at + 1;
            continue;
        }
        // Hits close together: a memchr call for each would cost more than testing each byte
        // in place, which goes on for as long as hits keep coming.
        const std::uint8_t* lastHit = at;
        for (scan = at + 1; scan < scanEnd && scan - lastHit < denseGap; ++scan) {
            if (*scan != anchorByte) continue;
            if (matchesAt(scan)) return static_cast<std::size_t>(scan - anchor - haystack);
            lastHit = scan;
        }
    }
    return notFound;
}
