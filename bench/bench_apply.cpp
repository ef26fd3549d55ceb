// lexpatch-cli apply of 1,000 rows on a 64 MiB file made of real executables, against one full
// findBytes search of the same file, in the same run. The rows are texts that occur in the file,
// spread over it, each with a Chinese replacement that fits.
//
// Prints the median times of:
// - one full search (findBytes of row-like texts that do not occur: every byte is scanned);
// - one row of apply in memory (locate, measure, overwrite the room), and its ratio to a search;
// - the whole program (start, read, 1,000 rows, all-or-nothing save) against its budget of
//   1,000 full searches plus one read and one save;
// and the program's peak memory (its maximum resident set) against the file's size.
#include <benchmark/benchmark.h>

#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <unordered_set>
#include <vector>

#include "bytes/byte_buffer.h"
#include "cli/code_page.h"
#include "cli/patching.h"
#include "executable_content.h"
#include "files/save_file.h"
#include "patch/patch_site.h"
#include "bench_arguments.h"
#include "median_reporter.h"

extern char** environ;

namespace {

namespace fs = std::filesystem;

constexpr std::int32_t fileSize = 64 << 20;
constexpr std::size_t rowCount = 1000;
constexpr std::size_t absentCount = 50;

struct Row {
    std::string text;         // ASCII, as found in the file
    std::string replacement;  // UTF-8 Chinese, at most as many GBK bytes as the text has
    ByteBuffer textBytes;     // both in code page 936
    ByteBuffer replacementBytes;
};

ByteBuffer bytesOf(const std::string& s) { return ByteBuffer::copyOf(s.data(), static_cast<std::int32_t>(s.size())); }

bool printable(std::uint8_t b) { return b >= 0x20 && b < 0x7F; }

// Zero-terminated ASCII texts of 8 to 48 bytes that start behind a zero byte, the first copy of
// each, in file order.
std::vector<std::string> textsOf(const ByteBuffer& content) {
    std::vector<std::string> texts;
    std::unordered_set<std::string> seen;
    const std::uint8_t* b = content.data();
    const std::size_t size = static_cast<std::size_t>(content.size());
    for (std::size_t i = 1; i < size; ++i) {
        if (b[i - 1] != 0 || !printable(b[i])) continue;
        std::size_t end = i;
        while (end < size && printable(b[end])) ++end;
        if (end < size && b[end] == 0 && end - i >= 8 && end - i <= 48) {
            std::string text(reinterpret_cast<const char*>(b + i), end - i);
            if (seen.insert(text).second) texts.push_back(std::move(text));
        }
        i = end;
    }
    return texts;
}

// One Chinese character (three UTF-8 bytes, two GBK bytes) for every two bytes of the text.
std::string chineseFor(std::size_t textLength) {
    static const char* const characters[] = {"\xE6\xB1\x89", "\xE5\x8C\x96", "\xE6\xB5\x8B", "\xE8\xAF\x95",  // 汉化测试
                                             "\xE6\x96\x87", "\xE6\x9C\xAC", "\xE7\xBF\xBB", "\xE8\xAF\x91"};  // 文本翻译
    std::string s;
    for (std::size_t i = 0; i < textLength / 2; ++i) s += characters[i % 8];
    return s;
}

// A table line needs the backslash escaped, and a "#" at its start would make it a comment.
std::string tableText(const std::string& text) {
    std::string written;
    for (const char c : text) written += c == '\\' ? std::string("\\\\") : std::string(1, c);
    if (!written.empty() && written[0] == '#') written = "\\x23" + written.substr(1);
    return written;
}

struct Setup {
    ByteBuffer content;
    std::vector<Row> rows;
    std::vector<ByteBuffer> absent;  // row texts reversed: the same bytes, in no place of the file
    fs::path folder;
    fs::path file;
    fs::path table;
    fs::path output;
};

Setup& setup() {
    static Setup s = [] {
        Setup s;
        s.content = executableContent(fileSize);
        const std::vector<std::string> texts = textsOf(s.content);
        if (texts.size() < rowCount) {
            std::fprintf(stderr, "bench_apply: only %zu texts in the content\n", texts.size());
            std::exit(2);
        }
        CodePage gbk(936);
        for (std::size_t i = 0; i < rowCount; ++i) {
            Row row;
            row.text = texts[i * texts.size() / rowCount];
            row.replacement = chineseFor(row.text.size());
            row.textBytes = bytesOf(row.text);
            row.replacementBytes = gbk.encode(parseEscapedText(row.replacement).units).bytes;
            s.rows.push_back(std::move(row));
        }
        for (const Row& row : s.rows) {
            if (s.absent.size() == absentCount) break;
            const std::string reversed(row.text.rbegin(), row.text.rend());
            if (memmem(s.content.data(), static_cast<std::size_t>(s.content.size()), reversed.data(), reversed.size()) == nullptr) {
                s.absent.push_back(bytesOf(reversed));
            }
        }
        std::string folder = (fs::temp_directory_path() / "bench-apply-XXXXXX").string();
        if (::mkdtemp(folder.data()) == nullptr) std::exit(2);
        s.folder = folder;
        s.file = s.folder / "input.exe";
        s.table = s.folder / "table.tsv";
        s.output = s.folder / "output.exe";
        std::ofstream(s.file, std::ios::binary).write(reinterpret_cast<const char*>(s.content.data()), s.content.size());
        std::ofstream table(s.table, std::ios::binary);
        for (const Row& row : s.rows) table << tableText(row.text) << '\t' << row.replacement << '\n';
        return s;
    }();
    return s;
}

void benchFullSearch(benchmark::State& state) {
    const Setup& s = setup();
    for (auto _ : state) {
        for (const ByteBuffer& pattern : s.absent) {
            const std::int32_t at = findBytes(s.content, pattern, 1);
            benchmark::DoNotOptimize(at);
            if (at != -1) state.SkipWithError("an absent pattern was found");
        }
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * static_cast<std::int64_t>(s.absent.size()) * fileSize);
}

// One row as apply runs it on a file in memory.
bool replaceInPlace(ByteBuffer& file, const ByteBuffer& text, const ByteBuffer& replacement) {
    MemoryFile current(std::string(reinterpret_cast<const char*>(file.data()), static_cast<std::size_t>(file.size())));
    FileScanner scanner(current);
    const Measurement m = measure(scanner, text, replacement);
    if (!m.fits) return false;
    const Patch patch = patchFor(PatchSite{m.scanEnd, m.zeroCount}, text, replacement);
    std::memcpy(file.data() + patch.roomStart, patch.block.data(), static_cast<std::size_t>(patch.block.size()));
    return true;
}

// The rows as apply runs them, on a fresh copy of the file each time.
void benchRowsInMemory(benchmark::State& state) {
    const Setup& s = setup();
    ByteBuffer work = ByteBuffer::uninitialized(fileSize);
    std::size_t applied = 0;
    for (auto _ : state) {
        state.PauseTiming();
        std::memcpy(work.data(), s.content.data(), static_cast<std::size_t>(fileSize));
        applied = 0;
        state.ResumeTiming();
        for (const Row& row : s.rows) applied += replaceInPlace(work, row.textBytes, row.replacementBytes) ? 1 : 0;
    }
    state.counters["rows_applied"] = static_cast<double>(applied);
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * static_cast<std::int64_t>(rowCount) * fileSize);
}

// The read and the all-or-nothing save that apply does once, with the same functions.
void benchReadAndSave(benchmark::State& state) {
    const Setup& s = setup();
    for (auto _ : state) {
        const ByteBuffer file = readWholeFile(s.file.c_str());
        const ByteSpan whole{file.data(), static_cast<std::size_t>(file.size())};
        if (file.size() != fileSize || !saveFile(s.output.c_str(), std::span<const ByteSpan>(&whole, 1))) {
            state.SkipWithError("read or save failed");
        }
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * fileSize);
}

// The program's exit code, and its peak resident set in bytes.
struct Child {
    int exitCode;
    std::int64_t peakBytes;
};

Child spawnAndWait(const std::vector<std::string>& arguments) {
    std::vector<char*> argv{const_cast<char*>(LEXPATCH_CLI)};
    for (const std::string& argument : arguments) argv.push_back(const_cast<char*>(argument.c_str()));
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
    pid_t pid = 0;
    const int spawned = posix_spawn(&pid, LEXPATCH_CLI, &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (spawned != 0) return {-1, 0};
    int status = 0;
    struct rusage usage {};
    wait4(pid, &status, 0, &usage);
    return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, static_cast<std::int64_t>(usage.ru_maxrss) * 1024};
}

// Starts the program from a helper process forked before this one holds the file. Linux
// charges the memory of the process that a program is started from to the program's peak
// (exec keeps the high-water mark of the memory it replaces): started from here, the program
// would be charged with the benchmark's copies of the file.
class Launcher {
public:
    Launcher() {
        int requests[2], replies[2];
        if (::pipe(requests) != 0 || ::pipe(replies) != 0) std::exit(2);
        pid_ = ::fork();
        if (pid_ < 0) std::exit(2);
        if (pid_ == 0) {
            ::close(requests[1]);
            ::close(replies[0]);
            serve(requests[0], replies[1]);
            ::_exit(0);
        }
        ::close(requests[0]);
        ::close(replies[1]);
        requests_ = requests[1];
        replies_ = replies[0];
    }
    ~Launcher() {
        ::close(requests_);  // the helper ends at the end of its input
        ::close(replies_);
        ::waitpid(pid_, nullptr, 0);
    }

    Child run(const std::vector<std::string>& arguments) {
        std::string request;
        for (const std::string& argument : arguments) request += argument + '\0';
        const std::uint32_t size = static_cast<std::uint32_t>(request.size());
        Child child{-1, 0};
        if (!writeAll(requests_, &size, sizeof size) || !writeAll(requests_, request.data(), size) ||
            !readAll(replies_, &child, sizeof child)) {
            return {-1, 0};
        }
        return child;
    }

private:
    static void serve(int requests, int replies) {
        std::uint32_t size = 0;
        while (readAll(requests, &size, sizeof size)) {
            std::string request(size, '\0');
            if (!readAll(requests, request.data(), size)) return;
            std::vector<std::string> arguments;
            for (std::size_t start = 0; start < request.size();) {
                const std::size_t end = request.find('\0', start);
                arguments.push_back(request.substr(start, end - start));
                start = end + 1;
            }
            const Child child = spawnAndWait(arguments);
            if (!writeAll(replies, &child, sizeof child)) return;
        }
    }
    static bool readAll(int fd, void* to, std::size_t size) {
        for (std::size_t done = 0; done < size;) {
            const ssize_t n = ::read(fd, static_cast<char*>(to) + done, size - done);
            if (n <= 0) return false;
            done += static_cast<std::size_t>(n);
        }
        return true;
    }
    static bool writeAll(int fd, const void* from, std::size_t size) {
        for (std::size_t done = 0; done < size;) {
            const ssize_t n = ::write(fd, static_cast<const char*>(from) + done, size - done);
            if (n <= 0) return false;
            done += static_cast<std::size_t>(n);
        }
        return true;
    }

    pid_t pid_ = -1;
    int requests_ = -1;
    int replies_ = -1;
};

Launcher* launcher = nullptr;

std::int64_t applyPeakBytes = 0;
std::int64_t programPeakBytes = 0;

void benchProgram(benchmark::State& state) {
    const Setup& s = setup();
    for (auto _ : state) {
        // --keep-going: a row whose text an earlier row overwrote does not stop the save.
        const Child child = launcher->run({"apply", "--keep-going", s.file.string(), s.table.string(), "-o", s.output.string()});
        if (child.exitCode != 0 && child.exitCode != 1) state.SkipWithError("lexpatch-cli apply failed");
        applyPeakBytes = std::max(applyPeakBytes, child.peakBytes);
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * fileSize);
}

// The program's own footprint, without a file.
void measureProgramAlone() { programPeakBytes = launcher->run({"--version"}).peakBytes; }

const char* const searchName = "full_search";
const char* const rowsName = "apply_rows_in_memory";
const char* const readSaveName = "read_and_save";
const char* const programName = "lexpatch_cli_apply";

void registerBenchmarks() {
    benchmark::RegisterBenchmark(searchName, benchFullSearch)->Unit(benchmark::kMillisecond)->UseRealTime();
    benchmark::RegisterBenchmark(rowsName, benchRowsInMemory)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(1);
    benchmark::RegisterBenchmark(readSaveName, benchReadAndSave)->Unit(benchmark::kMillisecond)->UseRealTime();
    benchmark::RegisterBenchmark(programName, benchProgram)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(1);
}

void printSummary(const MedianReporter& reporter) {
    const double search = reporter.bytesPerSecond(searchName);
    const double rows = reporter.bytesPerSecond(rowsName);
    const double readSave = reporter.bytesPerSecond(readSaveName);
    const double program = reporter.bytesPerSecond(programName);
    std::printf("\nMedians on a %d MiB file of executables, %zu rows\n", fileSize >> 20, rowCount);
    if (search == 0 || rows == 0 || readSave == 0 || program == 0) {
        std::printf("(ratios need all four benchmarks)\n");
    } else {
        const double searchSeconds = fileSize / search;
        const double rowSeconds = fileSize / rows;
        const double programSeconds = fileSize / program;
        const double budgetSeconds = rowCount * searchSeconds + fileSize / readSave;
        std::printf("one full search       %9.3f ms\n", searchSeconds * 1e3);
        std::printf("one row of apply      %9.3f ms   row / full search = %.2f\n", rowSeconds * 1e3, rowSeconds / searchSeconds);
        std::printf("read and save         %9.3f ms\n", fileSize / readSave * 1e3);
        std::printf("lexpatch-cli apply    %9.3f ms   / (%zu full searches + read and save) = %.2f\n", programSeconds * 1e3,
                    rowCount, programSeconds / budgetSeconds);
    }
    if (applyPeakBytes > 0) {
        std::printf("peak memory of apply  %9.1f MiB  = file size + %.1f MiB (the program alone: %.1f MiB)\n",
                    applyPeakBytes / 1048576.0, (applyPeakBytes - fileSize) / 1048576.0, programPeakBytes / 1048576.0);
    }
}

}  // namespace

int main(int argc, char** argv) {
    if (!initializeBenchmarks(argc, argv, {"--benchmark_repetitions=3", "--benchmark_report_aggregates_only=true"})) return 1;

    Launcher programs;  // before anything large is allocated
    launcher = &programs;
    measureProgramAlone();
    registerBenchmarks();
    MedianReporter reporter(isatty(STDOUT_FILENO) ? benchmark::ConsoleReporter::OO_Color : benchmark::ConsoleReporter::OO_None);
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    printSummary(reporter);
    fs::remove_all(setup().folder);
    return 0;
}
