#include "bytes/two_way.h"

#include <algorithm>
#include <cstring>

#include "bytes/find_bytes.h"

namespace {

struct Factorization {
    std::ptrdiff_t split;  // the pattern's left part is [0, split], its right part (split, size)
    std::size_t period;    // the period of the right part
};

// The maximal suffix of the pattern for the byte order, or for the reversed order when
// `reversed`: where the suffix starts minus one, and its period.
Factorization maximalSuffix(const std::uint8_t* pattern, std::size_t size, bool reversed) {
    std::ptrdiff_t start = -1;  // the suffix found so far begins at start + 1
    std::size_t j = 0;          // the candidate suffix begins at j + 1
    std::size_t k = 1;
    std::size_t period = 1;
    while (j + k < size) {
        const std::uint8_t a = pattern[j + k];
        const std::uint8_t b = pattern[static_cast<std::size_t>(start + static_cast<std::ptrdiff_t>(k))];
        if (reversed ? a > b : a < b) {
            j += k;
            k = 1;
            period = static_cast<std::size_t>(static_cast<std::ptrdiff_t>(j) - start);
        } else if (a == b) {
            if (k != period) {
                ++k;
            } else {
                j += period;
                k = 1;
            }
        } else {
            start = static_cast<std::ptrdiff_t>(j);
            j = j + 1;
            k = 1;
            period = 1;
        }
    }
    return {start, period};
}

// A critical factorization: the later of the two maximal suffixes.
Factorization criticalFactorization(const std::uint8_t* pattern, std::size_t size) {
    const Factorization forward = maximalSuffix(pattern, size, false);
    const Factorization backward = maximalSuffix(pattern, size, true);
    return forward.split >= backward.split ? forward : backward;
}

}  // namespace

std::size_t twoWayFind(const std::uint8_t* haystack, std::size_t haystackSize, const std::uint8_t* pattern,
                       std::size_t patternSize, std::size_t from) {
    if (patternSize == 0 || from >= haystackSize || patternSize > haystackSize - from) return notFound;
    const std::ptrdiff_t m = static_cast<std::ptrdiff_t>(patternSize);
    const Factorization f = criticalFactorization(pattern, patternSize);
    const std::ptrdiff_t split = f.split;
    const std::size_t last = haystackSize - patternSize;  // the last place an occurrence can start

    const bool periodic = static_cast<std::ptrdiff_t>(f.period) < m &&
                          std::memcmp(pattern, pattern + f.period, static_cast<std::size_t>(split + 1)) == 0;
    if (periodic) {
        // After a whole match of the right part, the next window shares a known prefix with the
        // pattern (its first m - period bytes): `memory` is where that prefix ends, so the left
        // part is never compared twice.
        const std::ptrdiff_t period = static_cast<std::ptrdiff_t>(f.period);
        std::ptrdiff_t memory = -1;
        for (std::size_t pos = from; pos <= last;) {
            const std::uint8_t* window = haystack + pos;
            std::ptrdiff_t i = std::max(split, memory) + 1;
            while (i < m && pattern[i] == window[i]) ++i;
            if (i < m) {
                pos += static_cast<std::size_t>(i - split);
                memory = -1;
                continue;
            }
            i = split;
            while (i > memory && pattern[i] == window[i]) --i;
            if (i <= memory) return pos;
            pos += static_cast<std::size_t>(period);
            memory = m - period - 1;
        }
        return notFound;
    }
    // Not periodic: after a whole match of the right part the pattern can move past the longer
    // of its two parts.
    const std::size_t shift = static_cast<std::size_t>(std::max(split + 1, m - split - 1) + 1);
    for (std::size_t pos = from; pos <= last;) {
        const std::uint8_t* window = haystack + pos;
        std::ptrdiff_t i = split + 1;
        while (i < m && pattern[i] == window[i]) ++i;
        if (i < m) {
            pos += static_cast<std::size_t>(i - split);
            continue;
        }
        i = split;
        while (i >= 0 && pattern[i] == window[i]) --i;
        if (i < 0) return pos;
        pos += shift;
    }
    return notFound;
}
