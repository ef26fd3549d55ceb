// The window's Replace and Next commands, run as the window runs them, on a 256 MiB file of real
// executables, against their floors measured in the same run:
// - Replace (locate through the reused buffer, fits, then the all-or-nothing save: copy, patch,
//   flush, rename) of a text near the end and of one near the start, against cp of the file
//   followed by an fsync of the copy, the floor of a durable same-size copy;
// - Next (search from the first byte, read the text) of a fragment near the end and of one that
//   occurs nowhere, against a plain read of the file through one reused 4 MiB buffer.
// Also the peak memory (VmHWM) of every command that reads the file, the window's Test, Replace
// and Next and lexpatch-cli's find, test and replace, each in a fresh process, on the 256 MiB
// file and on a 1 GiB one. All files live in a folder beside this executable, so they share its
// file system; every copy starts with that file system settled (syncfs), and the sources stay in
// the page cache throughout.
#include <benchmark/benchmark.h>

#include <fcntl.h>
#include <spawn.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <sys/statfs.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <span>
#include <string>
#include <tuple>
#include <vector>

#include "bench_arguments.h"
#include "bytes/byte_buffer.h"
#include "cli/commands.h"
#include "commands/form.h"
#include "commands/patch_commands.h"
#include "executable_content.h"
#include "files/save_file.h"
#include "median_reporter.h"

extern char** environ;

namespace {

namespace fs = std::filesystem;

constexpr std::int64_t fileSize = std::int64_t{256} << 20;
constexpr std::int64_t largeFileSize = std::int64_t{1} << 30;
constexpr std::int64_t mebibyte = std::int64_t{1} << 20;

// Two texts planted once, each with room behind it: one 1 MiB after the start of the file, one
// 1 MiB before its end; and what replaces them.
const char startText[] = "Lexpatch benchmark: the first text to translate";
const char endText[] = "Lexpatch benchmark: the last text to translate";
constexpr std::int64_t zerosBehindText = 24;
const char newText[] = "\xc7\xeb\xb7\xad\xd2\xeb\xd5\xe2\xb6\xce\xce\xc4\xd7\xd6";  // 请翻译这段文字
// Next searches from the start for a piece of the text near the end, or for a fragment that
// occurs nowhere.
const char endFragment[] = "the last text to";
const char absentFragment[] = "Lexpatch benchmark: a fragment that occurs nowhere";

void die(const std::string& message) {
    std::fprintf(stderr, "bench_commands: %s\n", message.c_str());
    std::exit(2);
}

// The window and the system as the commands see them: the edit boxes hold what the benchmark
// typed, the save dialog answers with `saveTarget`, and the files are the real ones.
class BenchWindow final : public Form, public System {
public:
    AnsiText text(Control control) override {
        const auto found = texts.find(control);
        return found != texts.end() ? found->second : AnsiText();
    }
    void setText(Control control, const AnsiText& text) override { texts[control] = text; }
    void setCaption(const AnsiText&) override {}
    void setStatusText(std::int32_t, const AnsiText&) override {}
    void showNotice(const AnsiText& text) override { notice = text; }
    FileDialog& dialog(Control) override { return saveDialog; }
    bool show(FileDialog& dialog) override {
        dialog.fileName = saveTarget;
        return true;
    }

    std::unique_ptr<ReadableFile> openFile(const AnsiText& path) override { return openReadableFile(path); }
    bool pathExists(const AnsiText&) override { return false; }
    AnsiText settingsPath() override { return AnsiText(); }
    AnsiText readSetting(const AnsiText&) override { return AnsiText(); }
    void writeSetting(const AnsiText&, const AnsiText&) override {}
    bool writeWholeFile(const AnsiText&, const ByteBuffer&) override { return false; }
    bool savePatchedCopy(const AnsiText& target, const AnsiText& source, const FileStamp& measured,
                         std::span<const PatchBlock> blocks) override {
        return ::savePatchedCopy(target, source, measured, blocks);
    }
    bool startProgram(const AnsiText&) override { return false; }

    std::map<Control, AnsiText> texts;
    AnsiText notice;  // the last notice shown
    AnsiText saveTarget;
    FileDialog saveDialog;
    ProgramState state;
    CommandContext context{*this, *this, state};
};

// The Replace command on `source`, saving to `target`; true when it saved without a notice.
bool replaceOnce(const std::string& source, const char* text, const std::string& target) {
    BenchWindow window;
    window.texts[Control::编辑框1] = text;
    window.texts[Control::编辑框2] = newText;
    window.state.currentFilePath = AnsiText(source.c_str());
    window.saveTarget = AnsiText(target.c_str());
    replaceCommand(window.context);
    return isEmptyText(window.notice) && window.state.currentFilePath == window.saveTarget;
}

// The Test command; true when it reported a fitting replacement.
bool testOnce(const std::string& source, const char* text) {
    BenchWindow window;
    window.texts[Control::编辑框1] = text;
    window.texts[Control::编辑框2] = newText;
    window.state.currentFilePath = AnsiText(source.c_str());
    testCommand(window.context);
    return window.notice.view().find("\xbf\xc9\xd2\xd4\xcc\xe6\xbb\xbb") != std::string_view::npos;  // 可以替换
}

// One Next step from the first byte; the text it shows in 编辑框5.
AnsiText nextOnce(const std::string& source, const char* searched) {
    BenchWindow window;
    window.texts[Control::编辑框4] = searched;
    window.state.currentFilePath = AnsiText(source.c_str());
    window.state.searchCursor = 1;
    nextCommand(window.context);
    return window.text(Control::编辑框5);
}

// The floor of Next: the whole file read through one reused 4 MiB buffer.
bool chunkedRead(const std::string& path) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return false;
    static std::vector<std::uint8_t> buffer(4 << 20);
    std::int64_t got = 0;
    while (true) {
        const ssize_t n = ::read(fd, buffer.data(), buffer.size());
        if (n <= 0) break;
        benchmark::DoNotOptimize(buffer.data());
        got += n;
    }
    ::close(fd);
    return got == fileSize;
}

// Runs a program and waits for it; true when it exited with status 0.
bool run(const std::vector<std::string>& argv, int stdoutFd = -1) {
    std::vector<char*> args;
    for (const std::string& a : argv) args.push_back(const_cast<char*>(a.c_str()));
    args.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    if (stdoutFd >= 0) posix_spawn_file_actions_adddup2(&actions, stdoutFd, STDOUT_FILENO);
    pid_t pid = 0;
    const int failed = posix_spawn(&pid, args[0], &actions, nullptr, args.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (failed != 0) return false;
    int status = 0;
    if (::waitpid(pid, &status, 0) != pid) return false;
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

bool fsyncFile(const std::string& path) {
    const int fd = ::open(path.c_str(), O_WRONLY | O_CLOEXEC);
    if (fd < 0) return false;
    const bool flushed = ::fsync(fd) == 0;
    return ::close(fd) == 0 && flushed;
}

bool writeFile(int fd, const std::uint8_t* bytes, std::size_t size) {
    while (size > 0) {
        const ssize_t n = ::write(fd, bytes, size);
        if (n <= 0) return false;
        bytes += n;
        size -= static_cast<std::size_t>(n);
    }
    return true;
}

// The share of a file's 4 KiB pages that are in the page cache.
double cachedShare(const std::string& path, std::int64_t size) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return 0;
    void* map = ::mmap(nullptr, static_cast<std::size_t>(size), PROT_READ, MAP_SHARED, fd, 0);
    ::close(fd);
    if (map == MAP_FAILED) return 0;
    const long page = ::sysconf(_SC_PAGESIZE);
    std::vector<unsigned char> resident(static_cast<std::size_t>((size + page - 1) / page));
    std::size_t cached = 0;
    if (::mincore(map, static_cast<std::size_t>(size), resident.data()) == 0) {
        for (unsigned char r : resident) cached += r & 1;
    }
    ::munmap(map, static_cast<std::size_t>(size));
    return static_cast<double>(cached) / static_cast<double>(resident.size());
}

// The files of the run: the two sources, the target of the copies, and the folder they share.
struct Files {
    std::string folder;
    std::string source;       // fileSize bytes
    std::string largeSource;  // largeFileSize bytes
    std::string target;
    int folderFd = -1;
};
Files files;

// Lets the file system finish what the previous iteration left (journal, freed blocks, dirty
// pages), so that every copy starts from the same state.
void settle() { ::syncfs(files.folderFd); }

void finish(benchmark::State& state) {
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * fileSize);
}

// Runs `copy` once per iteration, to a new file, the old one removed before each with the timer
// stopped.
template <class Copy>
void benchCopy(benchmark::State& state, const char* failure, Copy copy) {
    for (auto _ : state) {
        state.PauseTiming();
        ::unlink(files.target.c_str());
        settle();
        state.ResumeTiming();
        if (!copy()) {
            state.SkipWithError(failure);
            break;
        }
    }
    finish(state);
}

void benchReplace(benchmark::State& state, const char* text) {
    benchCopy(state, "Replace failed", [text] { return replaceOnce(files.source, text, files.target); });
}

// cp, then the copy flushed as the save flushes its own: the durable copy.
void benchCpSync(benchmark::State& state) {
    benchCopy(state, "cp or fsync failed", [] { return run({"/bin/cp", files.source, files.target}) && fsyncFile(files.target); });
}

void benchNext(benchmark::State& state, const char* searched, AnsiText expected) {
    for (auto _ : state) {
        if (!(nextOnce(files.source, searched) == expected)) {
            state.SkipWithError("Next showed another text");
            break;
        }
    }
    finish(state);
}

void benchChunkedRead(benchmark::State& state) {
    for (auto _ : state) {
        if (!chunkedRead(files.source)) {
            state.SkipWithError("the read failed");
            break;
        }
    }
    finish(state);
}

// "VmHWM" of this process, in bytes.
std::int64_t peakBytes() {
    std::ifstream status("/proc/self/status");
    std::string name;
    std::int64_t kib = 0;
    while (status >> name) {
        if (name == "VmHWM:" && status >> kib) return kib * 1024;
        status.ignore(1 << 10, '\n');
    }
    return -1;
}

// The commands whose peak memory is measured, each run once on a source in a fresh process.
const char* const measuredCommands[] = {"window_test", "window_replace", "window_next", "cli_find", "cli_test", "cli_replace"};

// In the child process: the command, then its peak memory on stdout. The CLI's commands run as
// lexpatch-cli runs them once it has read its arguments.
int peakChild(const std::string& command, const std::string& source, const std::string& target) {
    bool ok = false;
    if (command == "window_test") ok = testOnce(source, endText);
    if (command == "window_replace") ok = replaceOnce(source, endText, target);
    if (command == "window_next") ok = nextOnce(source, endFragment) == AnsiText("the last text to translate");
    ReplaceOptions options;
    options.file = source;
    options.text = endText;
    options.replacement = "\xe8\xaf\xb7\xe7\xbf\xbb\xe8\xaf\x91";  // 请翻译 in UTF-8, as typed on the command line
    options.output = target;
    const int devNull = ::open("/dev/null", O_WRONLY | O_CLOEXEC);
    const int savedOut = ::dup(STDOUT_FILENO);
    ::dup2(devNull, STDOUT_FILENO);  // the reports of the CLI's commands
    if (command == "cli_find") ok = runFind(FindOptions{{}, source, endFragment}) == 0;
    if (command == "cli_test") ok = runTest(options) == 0;
    if (command == "cli_replace") ok = runReplace(options) == 0;
    ::dup2(savedOut, STDOUT_FILENO);
    if (!ok) return 1;
    std::printf("%lld\n", static_cast<long long>(peakBytes()));
    return 0;
}

const char* const peakFlag = "--peak-memory-of";

// The peak memory of one command in a fresh process of this program, or -1.
std::int64_t peakOf(const std::string& command, const std::string& source) {
    ::unlink(files.target.c_str());
    int pipeFds[2];
    if (::pipe2(pipeFds, O_CLOEXEC) != 0) return -1;
    const bool ran = run({"/proc/self/exe", peakFlag, command, source, files.target}, pipeFds[1]);
    ::close(pipeFds[1]);
    char line[64] = {};
    const ssize_t n = ::read(pipeFds[0], line, sizeof line - 1);
    ::close(pipeFds[0]);
    long long peak = -1;
    if (!ran || n <= 0 || std::sscanf(line, "%lld", &peak) != 1) return -1;
    return peak;
}

// The bytes of a file at an offset, or the empty text when it cannot be read.
std::string bytesAt(const std::string& path, std::int64_t offset, std::size_t size) {
    std::string bytes(size, '\0');
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    const ssize_t n = fd >= 0 ? ::pread(fd, bytes.data(), size, offset) : -1;
    if (fd >= 0) ::close(fd);
    return n == static_cast<ssize_t>(size) ? bytes : std::string();
}

// After a window Replace of the text near the end: the target has the source's size and the new
// text, padded with zeros, in the text's room.
bool targetHoldsTheTranslation(std::int64_t size) {
    struct stat info {};
    if (::stat(files.target.c_str(), &info) != 0 || info.st_size != size) return false;
    std::string room(sizeof endText - 1 + zerosBehindText, '\0');
    std::memcpy(room.data(), newText, sizeof newText - 1);
    return bytesAt(files.target, size - mebibyte, room.size()) == room;
}

// Plants `text` with its room at `offset` of `content`.
void plant(ByteBuffer& content, std::int64_t offset, const char* text, std::size_t size) {
    std::uint8_t* at = content.data() + offset;
    std::memcpy(at, text, size);
    std::memset(at + size, 0, zerosBehindText);
    at[size + zerosBehindText] = 0xff;  // ends the room, so that its size does not depend on the executables
}

// Writes `pieces` copies of `content` to a new file, with the start text in the first and the
// end text in the last.
void writeSource(const std::string& path, const ByteBuffer& content, int pieces) {
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd < 0) die("cannot write " + path);
    for (int i = 0; i < pieces; ++i) {
        ByteBuffer piece = content;
        if (i == 0) plant(piece, mebibyte, startText, sizeof startText - 1);
        if (i == pieces - 1) plant(piece, fileSize - mebibyte, endText, sizeof endText - 1);
        if (!writeFile(fd, piece.data(), static_cast<std::size_t>(piece.size()))) die("cannot write " + path);
    }
    if (::fsync(fd) != 0 || ::close(fd) != 0) die("cannot write " + path);
}

// Real executables with the two texts planted, written to a new folder beside this program;
// ends the process when the file system has too little room for the run.
void makeFiles() {
    const fs::path exeFolder = fs::read_symlink("/proc/self/exe").parent_path();
    std::string folder = (exeFolder / "bench_commands_files.XXXXXX").string();
    if (::mkdtemp(folder.data()) == nullptr) die("cannot make a folder beside the executable");
    files.folder = folder;
    files.source = folder + "/source.exe";
    files.largeSource = folder + "/large.exe";
    files.target = folder + "/target.exe";
    files.folderFd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (files.folderFd < 0) die("cannot open " + folder);

    struct statfs info {};
    if (::statfs(folder.c_str(), &info) != 0) die("cannot inspect the file system");
    const double freeGiB = static_cast<double>(info.f_bavail) * static_cast<double>(info.f_bsize) / (1 << 30);
    std::printf("Files in %s: file system type 0x%lx%s, %.1f GiB free\n", folder.c_str(),
                static_cast<unsigned long>(info.f_type), info.f_type == 0x01021994 ? " (tmpfs: fsync costs nothing)" : "",
                freeGiB);
    // The two sources, a copy of the large one and the save's temporary file beside it.
    if (freeGiB < 3.5) die("less than 3.5 GiB free for the sources and their copies");

    const ByteBuffer content = executableContent(static_cast<std::int32_t>(fileSize));
    for (const char* text : {startText, endText, absentFragment}) {
        if (memmem(content.data(), static_cast<std::size_t>(fileSize), text, std::strlen(text)) != nullptr) {
            die("a planted text already occurs in the executables; choose another");
        }
    }
    writeSource(files.source, content, 1);
    writeSource(files.largeSource, content, static_cast<int>(largeFileSize / fileSize));
}

void removeFiles() {
    std::error_code ec;
    fs::remove_all(files.folder, ec);
}

void registerBenchmarks() {
    std::vector<benchmark::internal::Benchmark*> all;
    all.push_back(benchmark::RegisterBenchmark("replace/text_near_end", benchReplace, endText));
    all.push_back(benchmark::RegisterBenchmark("replace/text_near_start", benchReplace, startText));
    all.push_back(benchmark::RegisterBenchmark("cp_sync", benchCpSync));
    all.push_back(benchmark::RegisterBenchmark("next/text_near_end", benchNext, endFragment, AnsiText("the last text to translate")));
    all.push_back(benchmark::RegisterBenchmark("next/absent", benchNext, absentFragment,
                                               AnsiText("\xb3\xcc\xd0\xf2\xcc\xe1\xca\xbe\xa3\xba\xc3\xbb\xd5\xd2\xb5\xbd")));  // 程序提示：没找到
    all.push_back(benchmark::RegisterBenchmark("chunked_read", benchChunkedRead));
    // One operation per repetition: the median of many single runs is robust against the bursts
    // of write-back and load that a shared disk sees, and the count keeps the run short.
    for (benchmark::internal::Benchmark* b : all) b->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(1);
}

// The median time of one iteration in milliseconds, or 0 when the benchmark did not run.
double medianMs(const MedianReporter& reporter, const std::string& name) {
    const double bps = reporter.bytesPerSecond(name);
    return bps > 0 ? static_cast<double>(fileSize) / bps * 1e3 : 0;
}

void printRatio(const std::string& what, double numerator, double denominator, const char* target) {
    if (numerator > 0 && denominator > 0) std::printf("  %-40s %6.2f  %s\n", what.c_str(), numerator / denominator, target);
}

struct Peaks {
    std::map<std::string, std::int64_t> bytes;  // by "command/size"
    bool translated = true;                      // every window Replace wrote the right bytes
};

Peaks measurePeaks() {
    Peaks peaks;
    for (const auto& [source, size, name] : {std::tuple{files.source, fileSize, "256MiB"}, std::tuple{files.largeSource, largeFileSize, "1GiB"}}) {
        for (const char* command : measuredCommands) {
            peaks.bytes[std::string(command) + "/" + name] = peakOf(command, source);
            if (std::string(command) == "window_replace") peaks.translated = peaks.translated && targetHoldsTheTranslation(size);
        }
    }
    ::unlink(files.target.c_str());
    return peaks;
}

void printSummary(const MedianReporter& reporter, double cachedBefore, double cachedAfter, const Peaks& peaks) {
    std::printf("\nMedian time of one operation on %lld MiB, in ms; source in the page cache: %.0f%% before the run, "
                "%.0f%% after\n",
                static_cast<long long>(fileSize >> 20), cachedBefore * 100, cachedAfter * 100);
    const double floor = medianMs(reporter, "cp_sync");
    const double nearEnd = medianMs(reporter, "replace/text_near_end");
    const double nearStart = medianMs(reporter, "replace/text_near_start");
    std::printf(" Replace, text near the end %.1f, near the start %.1f; cp + fsync of the copy %.1f\n", nearEnd, nearStart, floor);
    printRatio("Replace (near the end) / (cp + fsync)", nearEnd, floor, "(target <= 1.3)");
    printRatio("Replace (near the start) / (cp + fsync)", nearStart, floor, "(target <= 1.1)");
    const double read = medianMs(reporter, "chunked_read");
    for (const char* name : {"next/text_near_end", "next/absent"}) {
        const double next = medianMs(reporter, name);
        std::printf(" %s %.1f, read through a 4 MiB buffer %.1f\n", name, next, read);
        printRatio(std::string(name) + " / read", next, read, "(target <= 1.2)");
    }
    std::printf("Peak memory (VmHWM) of one command in a fresh process, MiB (target <= 32, the same for both sizes):\n");
    for (const char* command : measuredCommands) {
        const std::int64_t small = peaks.bytes.at(std::string(command) + "/256MiB");
        const std::int64_t large = peaks.bytes.at(std::string(command) + "/1GiB");
        std::printf("  %-16s 256 MiB: %7.1f   1 GiB: %7.1f\n", command, small / 1048576.0, large / 1048576.0);
    }
    std::printf("Patched copies of the window's Replace: %s\n", peaks.translated ? "as expected" : "WRONG");
}

}  // namespace

int main(int argc, char** argv) {
    if (argc == 5 && std::strcmp(argv[1], peakFlag) == 0) return peakChild(argv[2], argv[3], argv[4]);

    // Interleaving spreads the repetitions of all contenders over the run, so that load on the
    // machine falls on all alike.
    if (!initializeBenchmarks(argc, argv, {"--benchmark_repetitions=15", "--benchmark_report_aggregates_only=true",
                                          "--benchmark_enable_random_interleaving=true"})) return 1;

    makeFiles();
    const Peaks peaks = measurePeaks();
    bool measured = peaks.translated;
    for (const auto& [name, bytes] : peaks.bytes) measured = measured && bytes > 0;
    const double cachedBefore = cachedShare(files.source, fileSize);

    registerBenchmarks();
    MedianReporter reporter(isatty(STDOUT_FILENO) ? benchmark::ConsoleReporter::OO_Color
                                                 : benchmark::ConsoleReporter::OO_None);
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    const double cachedAfter = cachedShare(files.source, fileSize);
    removeFiles();
    printSummary(reporter, cachedBefore, cachedAfter, peaks);
    return measured ? 0 : 1;
}
