// The vector scans: each step compares the two bytes of the pair at 16 (SSE2) or 32 (AVX2)
// positions at once and compares in full only where both match. They are compiled for their
// instruction sets whatever the build targets; the caller checks that the processor has them.
#include "bytes/pair_scan.h"

#if defined(__i386__) || defined(__x86_64__)

#include <immintrin.h>

#include <algorithm>

__attribute__((target("sse2"))) ScanResult scanPairSse2(const PairSearch& search, std::size_t from) {
    constexpr std::size_t width = 16;
    CandidateChecker checker(search, from);
    const std::size_t end = candidateEnd(search);
    const std::uint8_t* const first = search.haystack + search.pair.firstOffset;
    const std::uint8_t* const second = search.haystack + search.pair.secondOffset;
    const __m128i firstByte = _mm_set1_epi8(static_cast<char>(search.pair.firstByte));
    const __m128i secondByte = _mm_set1_epi8(static_cast<char>(search.pair.secondByte));
    // Both loads end at most at position + width - 1 + patternSize - 1, inside the haystack.
    std::size_t position = from;
    for (; position < end && end - position >= width; position += width) {
        const __m128i a = _mm_loadu_si128(reinterpret_cast<const __m128i*>(first + position));
        const __m128i b = _mm_loadu_si128(reinterpret_cast<const __m128i*>(second + position));
        unsigned mask = static_cast<unsigned>(
            _mm_movemask_epi8(_mm_and_si128(_mm_cmpeq_epi8(a, firstByte), _mm_cmpeq_epi8(b, secondByte))));
        for (; mask != 0; mask &= mask - 1) {
            ScanResult result;
            if (checker.endsAt(position + static_cast<std::size_t>(std::countr_zero(mask)), result)) return result;
        }
    }
    return checker.scanEachFrom(position, end);
}

#if defined(__x86_64__) && !defined(_WIN32)

namespace {

__attribute__((target("avx2"))) inline unsigned pairMask(const std::uint8_t* first, const std::uint8_t* second,
                                                         __m256i firstByte, __m256i secondByte) {
    const __m256i a = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(first));
    const __m256i b = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(second));
    return static_cast<unsigned>(
        _mm256_movemask_epi8(_mm256_and_si256(_mm256_cmpeq_epi8(a, firstByte), _mm256_cmpeq_epi8(b, secondByte))));
}

__attribute__((target("avx2"))) inline __m256i pairMatches(const std::uint8_t* first, const std::uint8_t* second,
                                                           __m256i firstByte, __m256i secondByte) {
    const __m256i a = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(first));
    const __m256i b = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(second));
    return _mm256_and_si256(_mm256_cmpeq_epi8(a, firstByte), _mm256_cmpeq_epi8(b, secondByte));
}

}  // namespace

__attribute__((target("avx2"))) ScanResult scanPairAvx2(const PairSearch& search, std::size_t from) {
    constexpr std::size_t width = 32;
    CandidateChecker checker(search, from);
    const std::size_t end = candidateEnd(search);
    const std::uint8_t* const first = search.haystack + search.pair.firstOffset;
    const std::uint8_t* const second = search.haystack + search.pair.secondOffset;
    const __m256i firstByte = _mm256_set1_epi8(static_cast<char>(search.pair.firstByte));
    const __m256i secondByte = _mm256_set1_epi8(static_cast<char>(search.pair.secondByte));
    const auto endsIn = [&](std::size_t position, unsigned mask, ScanResult& result) {
        for (; mask != 0; mask &= mask - 1) {
            if (checker.endsAt(position + static_cast<std::size_t>(std::countr_zero(mask)), result)) return true;
        }
        return false;
    };
    // Aligned loads of the first byte's stream keep the scan at memory speed.
    std::size_t position = from;
    const std::size_t misalignment = reinterpret_cast<std::uintptr_t>(first + position) % (2 * width);
    if (misalignment != 0) {
        const std::size_t head = std::min(end, position + 2 * width - misalignment);
        const ScanResult result = checker.scanEachFrom(position, head);
        if (result.kind != ScanResult::absent) return result;
        position = head;
    }
    // Two vectors a step, with one test for both: candidates are rare where the scan runs fast.
    for (; position < end && end - position >= 2 * width; position += 2 * width) {
        const __m256i low = pairMatches(first + position, second + position, firstByte, secondByte);
        const __m256i high = pairMatches(first + position + width, second + position + width, firstByte, secondByte);
        if (_mm256_testz_si256(_mm256_or_si256(low, high), _mm256_or_si256(low, high))) continue;
        ScanResult result;
        if (endsIn(position, static_cast<unsigned>(_mm256_movemask_epi8(low)), result) ||
            endsIn(position + width, static_cast<unsigned>(_mm256_movemask_epi8(high)), result))
            return result;
    }
    for (; position < end && end - position >= width; position += width) {
        ScanResult result;
        if (endsIn(position, pairMask(first + position, second + position, firstByte, secondByte), result))
            return result;
    }
    return checker.scanEachFrom(position, end);
}

#endif
#endif
