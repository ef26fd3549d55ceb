#include "bytes/find_bytes.h"

#include <array>
#include <cstring>

#include "bytes/pair_scan.h"
#include "bytes/two_way.h"

namespace {

// How common each byte value is in Windows executables, as a rank from 0 (the rarest) to 255
// (the most common). Measured by bench/byte_ranking.py over the loaded sections (debug sections
// left out) of x86 PE files: Wine's DLLs and programs, built by GCC, and MSVC-built installer and
// launcher stubs, the two sets weighted equally. 00, FF and bytes of x86 instructions (8B, 48, 74,
// 89, 24) are the most common; bytes from 8E to B3, which are frequent only in GBK text, are the
// rarest.
constexpr std::array<std::uint8_t, 256> commonness = {
    255, 248, 233, 226, 247, 211, 195, 180, 241, 150, 189, 165, 229, 170, 125, 239,  // 00..0F
    231, 157,  73,  72, 185, 186, 103,  57, 187,  92,  41,  61, 145,  53,  22,  80,  // 10..1F
    242,  31, 105,  49, 249, 139, 153,  40, 154,  81,  23, 128, 113,  91,  97,  29,  // 20..2F
    213, 152, 140, 217, 162, 109, 102,  74, 177, 169, 110, 196, 147, 122,  99, 131,  // 30..3F
    230, 237, 184, 205, 245, 235, 192, 149, 252, 224,  83, 106, 216, 204, 118, 119,  // 40..4F
    222, 127, 132, 203, 183, 200, 178, 171, 143, 173,  37, 114, 161, 179, 126, 223,  // 50..5F
    123, 227, 144, 207, 214, 244, 209, 148, 194, 225, 166, 107, 218, 182, 221, 220,  // 60..6F
    208,  84, 228, 219, 251, 240, 146, 137, 160, 141,  52,  28, 134, 116,  59,  87,  // 70..7F
    199, 120,  76, 246, 197, 236,  45,  34, 142, 250,  95, 253,  77, 238,  21,  17,  // 80..8F
    212,  18,  13,   6,  58,  55,  24,   9,  86,  12,   1,   2,  35,  25,   3,  27,  // 90..9F
    104,  66,   5,  26,  46,  16,  10,   0,  89,  11,  54,   7,  47,   4, 101,  14,  // A0..AF
    108,  19,  15,   8, 129,  79, 151, 115, 155,  85,  82,  62,  63,  94,  43,  50,  // B0..BF
    234, 188, 158, 215, 176, 121, 167, 232, 168, 175,  67,  93, 198,  33,  96, 111,  // C0..CF
    163,  98, 138,  75,  88,  20,  69,  51, 164, 124,  32, 100,  90,  56,  44,  42,  // D0..DF
    174,  60,  48,  36, 159, 112,  38,  30, 243, 193,  64, 202, 206,  39, 156,  65,  // E0..EF
    191,  78,  70,  71, 130,  68, 181, 135, 201, 117, 133, 136, 190, 172, 210, 254,  // F0..FF
};

// For rarestIndex: leave no byte value out.
constexpr unsigned noValue = 256;

// The index of the pattern's least common byte among those whose value is not `avoid`, or
// `patternSize` when there is none. Ties go to the leftmost.
std::size_t rarestIndex(const std::uint8_t* pattern, std::size_t patternSize, unsigned avoid) {
    std::size_t best = patternSize;
    for (std::size_t i = 0; i < patternSize; ++i) {
        if (pattern[i] == avoid) continue;
        if (best == patternSize || commonness[pattern[i]] < commonness[pattern[best]]) best = i;
    }
    return best;
}

// How many times a scan that stopped starts again with a better pair, before the search goes
// on with Two-Way.
constexpr int maxRepairs = 2;

}  // namespace

BytePair choosePair(const std::uint8_t* pattern, std::size_t patternSize) {
    const std::size_t first = rarestIndex(pattern, patternSize, noValue);
    std::size_t second = rarestIndex(pattern, patternSize, pattern[first]);
    if (second == patternSize) second = patternSize - 1;  // one value throughout: ties put first at 0
    return {first, pattern[first], second, pattern[second]};
}

std::size_t findSpanWith(PairScan scan, const std::uint8_t* haystack, std::size_t haystackSize,
                         const std::uint8_t* pattern, std::size_t patternSize, std::size_t from) {
    if (patternSize == 0 || from >= haystackSize || patternSize > haystackSize - from) return notFound;
    if (patternSize == 1) {
        const void* hit = std::memchr(haystack + from, pattern[0], haystackSize - from);
        return hit == nullptr ? notFound : static_cast<std::size_t>(static_cast<const std::uint8_t*>(hit) - haystack);
    }
    PairSearch search{haystack, haystackSize, pattern, patternSize, choosePair(pattern, patternSize)};
    for (int repairs = 0;; ++repairs) {
        const ScanResult result = scan(search, from);
        if (result.kind == ScanResult::found) return result.position;
        if (result.kind == ScanResult::absent) return notFound;
        // Candidates keep matching both bytes of the pair. The last one differed from the
        // pattern at `mismatch`: that byte takes the place of the second, which would have
        // ruled the candidate out.
        from = result.position + 1;
        if (repairs == maxRepairs) return twoWayFind(haystack, haystackSize, pattern, patternSize, from);
        search.pair.secondOffset = result.mismatch;
        search.pair.secondByte = pattern[result.mismatch];
    }
}

std::size_t findSpan(const std::uint8_t* haystack, std::size_t haystackSize, const std::uint8_t* pattern,
                     std::size_t patternSize, std::size_t from) {
    static const PairScan fastest = pairScansForThisCpu().back().scan;
    return findSpanWith(fastest, haystack, haystackSize, pattern, patternSize, from);
}
