// findBytes against glibc memmem, and against memchr for an absent byte (the speed at which
// memory can be scanned at all), on 256 MiB haystacks that every search reads to the end.
// Prints the median throughputs and, per input, the ratios findBytes/memmem and
// findBytes/memchr measured in this run.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

#include <unistd.h>

#include "bytes/byte_buffer.h"
#include "executable_content.h"
#include "bench_arguments.h"
#include "median_reporter.h"

namespace {

constexpr std::int32_t haystackSize = 256 << 20;

struct Input {
    ByteBuffer haystack;
    ByteBuffer pattern;
    std::int32_t expected;  // findBytes from the first byte
};

ByteBuffer bytesOf(std::string_view s) { return ByteBuffer::copyOf(s.data(), static_cast<std::int32_t>(s.size())); }

// `haystack` with its last bytes overwritten by `pattern`, which must not occur anywhere before.
Input endingWith(ByteBuffer haystack, ByteBuffer pattern) {
    const std::size_t size = static_cast<std::size_t>(haystack.size());
    const std::size_t patternSize = static_cast<std::size_t>(pattern.size());
    std::memcpy(haystack.data() + size - patternSize, pattern.data(), patternSize);
    if (memmem(haystack.data(), size - 1, pattern.data(), patternSize) != nullptr) {
        std::fprintf(stderr, "bench_find: a pattern already occurs in the executables; choose another\n");
        std::exit(2);
    }
    const std::int32_t expected = haystack.size() - pattern.size() + 1;
    return {std::move(haystack), std::move(pattern), expected};
}

ByteBuffer filled(std::uint8_t byte) {
    ByteBuffer b = ByteBuffer::uninitialized(haystackSize);
    std::memset(b.data(), byte, static_cast<std::size_t>(b.size()));
    return b;
}

// The inputs, each built on first use and kept for the rest of the process.
const std::vector<Input>& executableInputs() {
    static const std::vector<Input> inputs = [] {
        ByteBuffer content = executableContent(haystackSize);
        std::vector<Input> v;
        // 文件不存在: its first byte, CE, is a GBK lead byte and rare in binaries.
        v.push_back(endingWith(content, bytesOf("\xce\xc4\xbc\xfe\xb2\xbb\xb4\xe6\xd4\xda")));
        // 'H' is one of the most common bytes in x86-64 code.
        v.push_back(endingWith(std::move(content), bytesOf("Hello, translator")));
        return v;
    }();
    return inputs;
}

const Input& zerosInput() {
    static const Input input{filled(0x00), ByteBuffer{0x00, 0x00, 0x00, 0x41}, -1};
    return input;
}

// The ranking of byte frequencies puts b below a, so b is the byte an anchored scan looks for:
// every position is a hit. (The other way round, the scan looks for an absent byte, as in zeros.)
const Input& oneByteInput() {
    static const Input input{filled('b'), bytesOf("bbbbbbbbbbba"), -1};
    return input;
}

// Defeats a filter on two fixed bytes: both bytes chosen ('b', the rarest, and 'a') match at
// every other position, and each candidate fails only at the last byte, its terminator.
const Input& periodicInput() {
    static const Input input = [] {
        ByteBuffer haystack = ByteBuffer::uninitialized(haystackSize);
        for (std::int32_t i = 0; i < haystack.size(); ++i) haystack.data()[i] = i % 2 == 0 ? 'a' : 'b';
        std::string pattern;
        for (int i = 0; i < 16; ++i) pattern += "ab";
        pattern += '\0';
        return Input{std::move(haystack), ByteBuffer::copyOf(pattern.data(), static_cast<std::int32_t>(pattern.size())), -1};
    }();
    return input;
}

using InputGetter = const Input& (*)();
const Input& exeGbk() { return executableInputs()[0]; }
const Input& exeAsciiH() { return executableInputs()[1]; }

struct NamedInput {
    const char* name;
    InputGetter get;
};
const NamedInput inputs[] = {
    {"exe_gbk", exeGbk}, {"exe_ascii_H", exeAsciiH}, {"zeros", zerosInput}, {"one_byte", oneByteInput},
    {"ab_periodic", periodicInput}};

void finish(benchmark::State& state, const ByteBuffer& haystack) {
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * haystack.size());
}

void benchFindBytes(benchmark::State& state, InputGetter get) {
    const Input& in = get();
    for (auto _ : state) {
        const std::int32_t at = findBytes(in.haystack, in.pattern, 1);
        benchmark::DoNotOptimize(at);
        if (at != in.expected) {
            state.SkipWithError("findBytes gave a wrong position");
            break;
        }
    }
    finish(state, in.haystack);
}

void benchMemmem(benchmark::State& state, InputGetter get) {
    const Input& in = get();
    for (auto _ : state) {
        const void* hit = memmem(in.haystack.data(), static_cast<std::size_t>(in.haystack.size()), in.pattern.data(),
                                 static_cast<std::size_t>(in.pattern.size()));
        const std::int32_t at = hit != nullptr ? static_cast<std::int32_t>(static_cast<const std::uint8_t*>(hit) - in.haystack.data()) + 1 : -1;
        benchmark::DoNotOptimize(at);
        if (at != in.expected) {
            state.SkipWithError("memmem gave a wrong position");
            break;
        }
    }
    finish(state, in.haystack);
}

// The scan ceiling: memchr reads every byte and stops nowhere. Its speed does not depend on
// what the bytes are, so one measurement on the zero-filled haystack serves every input.
void benchMemchrAbsent(benchmark::State& state) {
    const ByteBuffer& haystack = zerosInput().haystack;
    for (auto _ : state) {
        const void* hit = std::memchr(haystack.data(), 0x41, static_cast<std::size_t>(haystack.size()));
        benchmark::DoNotOptimize(hit);
        if (hit != nullptr) {
            state.SkipWithError("memchr found the absent byte");
            break;
        }
    }
    finish(state, haystack);
}

const char* const ceilingName = "memchr_absent_byte";

void registerBenchmarks() {
    std::vector<benchmark::internal::Benchmark*> all;
    for (const NamedInput& input : inputs) {
        const std::string name = input.name;
        all.push_back(benchmark::RegisterBenchmark(("findBytes/" + name).c_str(), benchFindBytes, input.get));
        all.push_back(benchmark::RegisterBenchmark(("memmem/" + name).c_str(), benchMemmem, input.get));
    }
    all.push_back(benchmark::RegisterBenchmark(ceilingName, benchMemchrAbsent));
    for (benchmark::internal::Benchmark* b : all) b->Unit(benchmark::kMillisecond)->UseRealTime();
}

void printSummary(const MedianReporter& reporter) {
    const double ceiling = reporter.bytesPerSecond(ceilingName);
    std::printf("\nMedian throughput in GB/s (1e9 bytes/s); memchr = %s, the same for every input\n", ceilingName);
    std::printf("%-12s %10s %10s %10s %16s %16s\n", "input", "findBytes", "memmem", "memchr", "findBytes/memmem",
                "findBytes/memchr");
    for (const NamedInput& input : inputs) {
        const double find = reporter.bytesPerSecond(std::string("findBytes/") + input.name);
        const double mem = reporter.bytesPerSecond(std::string("memmem/") + input.name);
        if (find == 0 || mem == 0 || ceiling == 0) continue;  // filtered out or failed
        std::printf("%-12s %10.2f %10.2f %10.2f %16.2f %16.2f\n", input.name, find / 1e9, mem / 1e9, ceiling / 1e9,
                    find / mem, find / ceiling);
    }
}

}  // namespace

int main(int argc, char** argv) {
    // Interleaving spreads the repetitions of all contenders over the run, so that a burst of
    // load on the machine does not fall on one of them alone.
    if (!initializeBenchmarks(argc, argv, {"--benchmark_repetitions=9", "--benchmark_report_aggregates_only=true",
                                          "--benchmark_enable_random_interleaving=true"})) return 1;

    registerBenchmarks();
    MedianReporter reporter(isatty(STDOUT_FILENO) ? benchmark::ConsoleReporter::OO_Color
                                                 : benchmark::ConsoleReporter::OO_None);
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    printSummary(reporter);
    return 0;
}
