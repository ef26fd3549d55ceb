// findSpan and each of its parts (every pair scan this processor runs, and Two-Way) against a
// naive search. Every haystack is an allocation of its exact size, so that the sanitizer build
// catches a read past its end.
#include "bytes/find_bytes.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <random>
#include <string>
#include <vector>

#include "bytes/pair_scan.h"
#include "bytes/two_way.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

std::size_t naiveFind(const Bytes& h, const Bytes& p, std::size_t from) {
    for (std::size_t pos = from; pos + p.size() <= h.size(); ++pos) {
        if (std::equal(p.begin(), p.end(), h.begin() + static_cast<std::ptrdiff_t>(pos))) return pos;
    }
    return notFound;
}

struct Searcher {
    std::string name;
    std::function<std::size_t(const Bytes& h, const Bytes& p, std::size_t from)> find;
};

std::vector<Searcher> searchers() {
    std::vector<Searcher> all = {
        {"findSpan", [](const Bytes& h, const Bytes& p, std::size_t from) {
             return findSpan(h.data(), h.size(), p.data(), p.size(), from);
         }},
        {"twoWay", [](const Bytes& h, const Bytes& p, std::size_t from) {
             return twoWayFind(h.data(), h.size(), p.data(), p.size(), from);
         }},
    };
    for (const NamedPairScan& scan : pairScansForThisCpu()) {
        all.push_back({std::string("findSpanWith ") + scan.name, [scan](const Bytes& h, const Bytes& p, std::size_t from) {
                           return findSpanWith(scan.scan, h.data(), h.size(), p.data(), p.size(), from);
                       }});
    }
    return all;
}

Bytes repeated(std::uint8_t byte, std::size_t count) { return Bytes(count, byte); }

// Haystacks long enough for several vector steps, over small alphabets so that candidates
// abound; patterns up to twice a vector, often cut from the haystack, often its tail.
TEST(FindSpanTest, AgreesWithNaiveSearch) {
    std::mt19937 random(20260314);
    auto pick = [&](std::size_t low, std::size_t high) {
        return std::uniform_int_distribution<std::size_t>(low, high)(random);
    };
    const std::vector<Bytes> alphabets = {{'a', 'b'}, {0x00, 0x41}, {'a', 'b', 'c'}, {0x00, 0x81, 0xa1, 0xff}};
    for (const Searcher& searcher : searchers()) {
        for (int round = 0; round < 4000; ++round) {
            const Bytes& alphabet = alphabets[static_cast<std::size_t>(round) % alphabets.size()];
            Bytes h(pick(0, 300));
            for (auto& byte : h) byte = alphabet[pick(0, alphabet.size() - 1)];
            Bytes p;
            const std::size_t m = pick(1, 70);
            switch (round / 4 % 4) {
                case 0:  // random
                    p.resize(m);
                    for (auto& byte : p) byte = alphabet[pick(0, alphabet.size() - 1)];
                    break;
                case 1:  // one byte value throughout
                    p = repeated(alphabet[pick(0, alphabet.size() - 1)], pick(1, 40));
                    break;
                case 2:  // a slice of the haystack
                case 3:  // the haystack's tail
                    if (h.empty()) {
                        p = {alphabet[0]};
                        break;
                    }
                    const std::size_t size = std::min(m, h.size());
                    const std::size_t at = round / 4 % 4 == 2 ? pick(0, h.size() - size) : h.size() - size;
                    p.assign(h.begin() + static_cast<std::ptrdiff_t>(at), h.begin() + static_cast<std::ptrdiff_t>(at + size));
                    break;
            }
            const std::size_t from = pick(0, h.size() + 2);
            ASSERT_EQ(searcher.find(h, p, from), naiveFind(h, p, from))
                << searcher.name << ", round " << round << ", haystack of " << h.size() << ", pattern of " << p.size()
                << ", from " << from;
        }
    }
}

// The only occurrence ends the haystack, for every haystack size up to several vector steps:
// it falls in each place of a vector step and in the part after the last whole step.
TEST(FindSpanTest, FindsTheOccurrenceThatEndsTheHaystack) {
    struct Case {
        const char* name;
        std::uint8_t fill;
        std::function<Bytes(std::size_t)> pattern;
    };
    const std::vector<Case> cases = {
        {"run, then another byte", 'b', [](std::size_t m) { Bytes p = repeated('b', m); p.back() = 'a'; return p; }},
        {"another byte, then a run", 'b', [](std::size_t m) { Bytes p = repeated('b', m); p.front() = 'a'; return p; }},
        {"a run of another byte", 'a', [](std::size_t m) { return repeated('b', m); }},
    };
    for (const Searcher& searcher : searchers()) {
        for (const Case& c : cases) {
            for (const std::size_t m : {1, 2, 5, 16, 17, 32, 33, 64, 70}) {
                for (std::size_t n = m; n <= 200; ++n) {
                    const Bytes p = c.pattern(m);
                    Bytes h = repeated(c.fill, n);
                    std::copy(p.begin(), p.end(), h.end() - static_cast<std::ptrdiff_t>(m));
                    const std::size_t expected = naiveFind(h, p, 0);
                    ASSERT_EQ(searcher.find(h, p, 0), expected) << searcher.name << ", " << c.name << ", " << n << "/" << m;
                    ASSERT_EQ(searcher.find(h, p, expected), expected) << searcher.name << ", " << c.name << ", " << n << "/" << m;
                    ASSERT_EQ(searcher.find(h, p, expected + 1), notFound)
                        << searcher.name << ", " << c.name << ", " << n << "/" << m;
                }
            }
        }
    }
}

// Haystacks where candidates keep matching both bytes of any pair and fail at a different
// offset each time: every scan stops, the repaired pairs fail the same way, and the search goes
// on with Two-Way. The occurrence is placed at each position in turn, before, around and after
// the places where that happens.
TEST(FindSpanTest, SwitchesToTwoWayWithoutLosingTheLeftmost) {
    struct Case {
        const char* name;
        Bytes pattern;
        Bytes haystack;  // without an occurrence
    };
    std::vector<Case> cases;
    // "abab...": every other position a candidate, a 'c' every 37 bytes.
    Case everyOther{"candidates at every other position", {}, Bytes(3000)};
    for (int i = 0; i < 20; ++i) everyOther.pattern.insert(everyOther.pattern.end(), {'a', 'b'});
    for (std::size_t i = 0; i < 3000; ++i) everyOther.haystack[i] = i % 37 == 36 ? 'c' : i % 2 == 0 ? 'a' : 'b';
    cases.push_back(everyOther);
    // "aaaa...": every position a candidate, a 'b' every `gap` bytes, so that for some
    // placements the candidate that ends a scan comes just before the occurrence.
    for (const std::size_t gap : {29, 31, 37, 39}) {
        Case everyPosition{"candidates at every position", repeated('a', 40), repeated('a', 3000)};
        for (std::size_t i = gap - 1; i < 3000; i += gap) everyPosition.haystack[i] = 'b';
        cases.push_back(everyPosition);
    }

    for (const Case& c : cases) {
        const Bytes& p = c.pattern;
        const PairSearch search{c.haystack.data(), c.haystack.size(), p.data(), p.size(), choosePair(p.data(), p.size())};
        for (const NamedPairScan& scan : pairScansForThisCpu()) {
            const ScanResult result = scan.scan(search, 0);
            ASSERT_EQ(result.kind, ScanResult::stopped) << c.name << ", " << scan.name;
            ASSERT_LT(result.position, c.haystack.size() / 4) << c.name << ", " << scan.name;
        }
        for (const Searcher& searcher : searchers()) {
            for (std::size_t at = 0; at + p.size() <= c.haystack.size(); ++at) {
                Bytes h = c.haystack;
                std::copy(p.begin(), p.end(), h.begin() + static_cast<std::ptrdiff_t>(at));
                const std::size_t expected = naiveFind(h, p, 0);
                ASSERT_EQ(searcher.find(h, p, 0), expected) << c.name << ", " << searcher.name << ", placed at " << at;
            }
        }
    }
}

}  // namespace
