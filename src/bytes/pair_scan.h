// The filter behind findSpan: a scan for the places where two chosen bytes of the pattern both
// match, each candidate then compared in full. Scalar and x86 vector scans share one contract.
#pragma once

#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <vector>

// Two bytes that every occurrence of the pattern shows at these offsets, at different offsets.
struct BytePair {
    std::size_t firstOffset;
    std::uint8_t firstByte;
    std::size_t secondOffset;
    std::uint8_t secondByte;
};

// The pair a search starts with: the pattern's rarest byte (by how common each byte is in
// executables) and the rarest byte of another value, which rules out most hits of the first
// cheaply, above all where the first byte repeats. A pattern of one byte value throughout gets
// that byte at its two ends. patternSize must be at least 2.
BytePair choosePair(const std::uint8_t* pattern, std::size_t patternSize);

struct PairSearch {
    const std::uint8_t* haystack;
    std::size_t haystackSize;
    const std::uint8_t* pattern;
    std::size_t patternSize;  // at least 1 and at most haystackSize
    BytePair pair;
};

struct ScanResult {
    enum Kind { found, absent, stopped };
    Kind kind;
    std::size_t position;  // found: the occurrence; stopped: the candidate whose failure ended the scan
    std::size_t mismatch;  // stopped: the first offset at which that candidate differs from the pattern
};

// A scan covers the candidates from `from` in increasing order. It ends with the first
// occurrence, with `absent` when there is none, or with `stopped` when the failed candidates
// have cost too much for the bytes covered: the filter lets too much through here.
using PairScan = ScanResult (*)(const PairSearch& search, std::size_t from);

ScanResult scanPairScalar(const PairSearch& search, std::size_t from);
#if defined(__i386__) || defined(__x86_64__)
ScanResult scanPairSse2(const PairSearch& search, std::size_t from);  // needs SSE2
#endif
#if defined(__x86_64__) && !defined(_WIN32)
// Not on Windows: GCC there cannot align the stack for 32-byte vectors.
ScanResult scanPairAvx2(const PairSearch& search, std::size_t from);  // needs AVX2
#endif

struct NamedPairScan {
    const char* name;
    PairScan scan;
};
// The scans this processor can run, the fastest last.
std::vector<NamedPairScan> pairScansForThisCpu();

// The first offset at which the `size` bytes at `a` and at `b` differ, or `size`.
inline std::size_t firstMismatch(const std::uint8_t* a, const std::uint8_t* b, std::size_t size) {
    std::size_t i = 0;
    for (; i + 8 <= size; i += 8) {
        std::uint64_t x;
        std::uint64_t y;
        std::memcpy(&x, a + i, 8);
        std::memcpy(&y, b + i, 8);
        const std::uint64_t diff = x ^ y;
        if (diff == 0) continue;
        const int bit = std::endian::native == std::endian::little ? std::countr_zero(diff) : std::countl_zero(diff);
        return i + static_cast<std::size_t>(bit / 8);
    }
    for (; i < size; ++i) {
        if (a[i] != b[i]) return i;
    }
    return size;
}

// What failed candidates may cost: a start-up allowance plus a share of the bytes scanned.
// Each failure costs the bytes it compared plus a fixed overhead, so that many cheap failures
// count too.
constexpr std::size_t startingCredit = 4096;
constexpr std::size_t scannedBytesPerCredit = 4;
constexpr std::size_t costPerCandidate = 8;

class CandidateChecker {
public:
    CandidateChecker(const PairSearch& search, std::size_t from) : search_(search), from_(from) {}

    // Compares the candidate at `position` in full. True when the scan ends there, with
    // `result` set: the candidate is an occurrence, or its failure spent the credit.
    bool endsAt(std::size_t position, ScanResult& result) {
        const std::size_t mismatch =
            firstMismatch(search_.haystack + position, search_.pattern, search_.patternSize);
        if (mismatch == search_.patternSize) {
            result = {ScanResult::found, position, 0};
            return true;
        }
        spent_ += mismatch + 1 + costPerCandidate;
        if (spent_ <= startingCredit + (position - from_) / scannedBytesPerCredit) return false;
        result = {ScanResult::stopped, position, mismatch};
        return true;
    }

    // Tests the positions from `position` up to `end` one at a time.
    ScanResult scanEachFrom(std::size_t position, std::size_t end) {
        const std::uint8_t* first = search_.haystack + search_.pair.firstOffset;
        const std::uint8_t* second = search_.haystack + search_.pair.secondOffset;
        ScanResult result{ScanResult::absent, 0, 0};
        for (; position < end; ++position) {
            if (first[position] != search_.pair.firstByte || second[position] != search_.pair.secondByte) continue;
            if (endsAt(position, result)) return result;
        }
        return result;
    }

private:
    const PairSearch& search_;
    std::size_t from_;
    std::size_t spent_ = 0;
};

// One past the last position where the pattern can begin.
inline std::size_t candidateEnd(const PairSearch& search) { return search.haystackSize - search.patternSize + 1; }

// findSpan with the given scan; findSpan itself runs the fastest of pairScansForThisCpu. A scan
// that stops starts again with a better pair, and after a few such stops the search goes on
// with Two-Way, so the time stays linear in the haystack.
std::size_t findSpanWith(PairScan scan, const std::uint8_t* haystack, std::size_t haystackSize,
                         const std::uint8_t* pattern, std::size_t patternSize, std::size_t from);
