#include "bytes/pair_scan.h"

namespace {

// First-byte hits closer together than this are taken as a sign that the byte is common here.
constexpr std::size_t denseGap = 16;

}  // namespace

ScanResult scanPairScalar(const PairSearch& search, std::size_t from) {
    CandidateChecker checker(search, from);
    const std::size_t end = candidateEnd(search);
    const std::uint8_t* const first = search.haystack + search.pair.firstOffset;
    std::size_t position = from;
    while (position < end) {
        const void* hit = std::memchr(first + position, search.pair.firstByte, end - position);
        if (hit == nullptr) break;
        const std::size_t at = static_cast<std::size_t>(static_cast<const std::uint8_t*>(hit) - first);
        if (at - position >= denseGap) {
            ScanResult result;
            if (search.haystack[at + search.pair.secondOffset] == search.pair.secondByte &&
                checker.endsAt(at, result))
                return result;
            position = at + 1;
            continue;
        }
        // Hits close together: a memchr call for each would cost more than testing each byte
        // in place, which goes on for one gap past the last hit.
        const std::size_t stretchEnd = at + denseGap < end ? at + denseGap : end;
        const ScanResult result = checker.scanEachFrom(at, stretchEnd);
        if (result.kind != ScanResult::absent) return result;
        position = stretchEnd;
    }
    return {ScanResult::absent, 0, 0};
}

std::vector<NamedPairScan> pairScansForThisCpu() {
    std::vector<NamedPairScan> scans = {{"scalar", scanPairScalar}};
#if defined(__i386__) || defined(__x86_64__)
    if (__builtin_cpu_supports("sse2")) scans.push_back({"sse2", scanPairSse2});
#endif
#if defined(__x86_64__) && !defined(_WIN32)
    if (__builtin_cpu_supports("avx2")) scans.push_back({"avx2", scanPairAvx2});
#endif
    return scans;
}
