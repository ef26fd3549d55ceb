// The Replace and Next commands, run as the window runs them, on a 256 MiB file of real
// executables, against their baselines measured in the same run:
// - Replace (read, locate, fits, patch, all-or-nothing save of three pieces) against /bin/cp of
//   the same file, both to a new path and over an existing file of the same size; also against
//   cp followed by an fsync of the copy, and the fsync of a written copy alone, so that the share
//   of the flush that the save does by design can be told apart;
// - one Next step (read, search from the cursor, read the text) against a plain read of the file.
// Also measures the peak memory of one Replace in a fresh process. All files live in a folder
// beside this executable, so they share its file system; every iteration starts with that file
// system settled (syncfs), and the source file stays in the page cache throughout.
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
#include <vector>

#include "commands/form.h"
#include "bytes/byte_buffer.h"
#include "executable_content.h"
#include "files/save_file.h"
#include "bench_arguments.h"
#include "median_reporter.h"
#include "commands/patch_commands.h"

extern char** environ;

namespace {

namespace fs = std::filesystem;

constexpr std::int32_t fileSize = 256 << 20;

// A text planted once in the middle of the file, with room behind it, and what replaces it.
const char oldText[] = "Lexpatch benchmark: the text to translate";
constexpr std::int32_t zerosBehindText = 24;
const char newText[] = "\xc7\xeb\xb7\xad\xd2\xeb\xd5\xe2\xb6\xce\xce\xc4\xd7\xd6";  // 请翻译这段文字
constexpr std::int32_t textOffset = fileSize / 2;  // 0-based
// Next searches from the start for a piece of that text, or for a fragment that occurs nowhere.
const char fragment[] = "the text to";
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
    AnsiText notice;  // the last notice shown; every notice of Replace and Next tells of a failure
    AnsiText saveTarget;
    FileDialog saveDialog;
    ProgramState state;
    CommandContext context{*this, *this, state};
};

// The Replace command on `source`, saving to `target`; true when it saved without a notice.
bool replaceOnce(const std::string& source, const std::string& target) {
    BenchWindow window;
    window.texts[Control::编辑框1] = oldText;
    window.texts[Control::编辑框2] = newText;
    window.state.currentFilePath = AnsiText(source.c_str());
    window.saveTarget = AnsiText(target.c_str());
    replaceCommand(window.context);
    return isEmptyText(window.notice) && window.state.currentFilePath == window.saveTarget;
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

// The baseline of Next: the file read into a fresh buffer of its size, which is then freed.
bool plainRead(const std::string& path) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return false;
    struct stat info {};
    if (::fstat(fd, &info) != 0) {
        ::close(fd);
        return false;
    }
    const std::size_t size = static_cast<std::size_t>(info.st_size);
    const std::unique_ptr<std::uint8_t[]> buffer(new std::uint8_t[size]);
    std::size_t got = 0;
    while (got < size) {
        const ssize_t n = ::read(fd, buffer.get() + got, size - got);
        if (n <= 0) break;
        got += static_cast<std::size_t>(n);
    }
    benchmark::DoNotOptimize(buffer.get());
    ::close(fd);
    return got == size;
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

bool copyWithCp(const std::string& from, const std::string& to) { return run({"/bin/cp", from, to}); }

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

// The share of the source's 4 KiB pages that are in the page cache.
double cachedShare(const std::string& path) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return 0;
    void* map = ::mmap(nullptr, fileSize, PROT_READ, MAP_SHARED, fd, 0);
    ::close(fd);
    if (map == MAP_FAILED) return 0;
    const long page = ::sysconf(_SC_PAGESIZE);
    std::vector<unsigned char> resident(static_cast<std::size_t>((fileSize + page - 1) / page));
    std::size_t cached = 0;
    if (::mincore(map, fileSize, resident.data()) == 0) {
        for (unsigned char r : resident) cached += r & 1;
    }
    ::munmap(map, fileSize);
    return static_cast<double>(cached) / static_cast<double>(resident.size());
}

// The files of the run: the source, the target of the copies, and the folder they share.
struct Files {
    std::string folder;
    std::string source;
    std::string target;
    int folderFd = -1;
    ByteBuffer content;  // the source's bytes
};
Files files;

// Lets the file system finish what the previous iteration left (journal, freed blocks, dirty
// pages), so that every iteration starts from the same state.
void settle() { ::syncfs(files.folderFd); }

enum class Destination { fresh, existing };

// Makes the target what the next timed copy writes to, with the timer stopped: gone for a copy
// to a new path, a file of the source's size on disk for a copy over an existing file.
bool prepareTarget(Destination destination) {
    ::unlink(files.target.c_str());
    if (destination == Destination::existing && !copyWithCp(files.source, files.target)) return false;
    settle();
    return true;
}

void finish(benchmark::State& state) {
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * fileSize);
}

// Runs `copy` once per iteration, the target prepared before each with the timer stopped.
template <class Copy>
void benchCopy(benchmark::State& state, Destination destination, const char* failure, Copy copy) {
    for (auto _ : state) {
        state.PauseTiming();
        const bool prepared = prepareTarget(destination);
        state.ResumeTiming();
        if (!prepared || !copy()) {
            state.SkipWithError(failure);
            break;
        }
    }
    finish(state);
}

void benchReplace(benchmark::State& state, Destination destination) {
    benchCopy(state, destination, "Replace failed", [] { return replaceOnce(files.source, files.target); });
}

void benchCp(benchmark::State& state, Destination destination) {
    benchCopy(state, destination, "cp failed", [] { return copyWithCp(files.source, files.target); });
}

// cp, then the copy flushed as the save flushes its own: the durable copy.
void benchCpFsync(benchmark::State& state, Destination destination) {
    benchCopy(state, destination, "cp or fsync failed",
              [] { return copyWithCp(files.source, files.target) && fsyncFile(files.target); });
}

// The flush alone: a copy of the file written to a new file with the timer stopped, then fsync.
void benchFsyncOfCopy(benchmark::State& state) {
    for (auto _ : state) {
        state.PauseTiming();
        prepareTarget(Destination::fresh);
        const int fd = ::open(files.target.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        const bool written = fd >= 0 && writeFile(fd, files.content.data(), fileSize);
        state.ResumeTiming();
        const bool flushed = written && ::fsync(fd) == 0;
        state.PauseTiming();
        if (fd >= 0) ::close(fd);
        state.ResumeTiming();
        if (!flushed) {
            state.SkipWithError("writing or flushing the copy failed");
            break;
        }
    }
    finish(state);
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

void benchPlainRead(benchmark::State& state) {
    for (auto _ : state) {
        if (!plainRead(files.source)) {
            state.SkipWithError("plain read failed");
            break;
        }
    }
    finish(state);
}

// "VmRSS" or "VmHWM" of this process, in bytes.
std::int64_t statusBytes(const char* key) {
    std::ifstream status("/proc/self/status");
    std::string name;
    std::int64_t kib = 0;
    while (status >> name) {
        if (name == std::string(key) + ":" && status >> kib) return kib * 1024;
        status.ignore(1 << 10, '\n');
    }
    return -1;
}

// In the child process: one Replace, then the resident set before it and its peak during it,
// written to stdout as two numbers.
int peakOfReplaceChild(const char* source, const char* target) {
    // Writing 5 resets the peak to the current resident set, so startup does not count (where
    // the kernel refuses, the peak includes startup: an upper bound still).
    std::ofstream("/proc/self/clear_refs") << "5";
    const std::int64_t before = statusBytes("VmRSS");
    if (!replaceOnce(source, target)) return 1;
    std::printf("%lld %lld\n", static_cast<long long>(before), static_cast<long long>(statusBytes("VmHWM")));
    return 0;
}

const char* const peakFlag = "--peak-memory-of-replace";

struct Peak {
    std::int64_t before = -1;
    std::int64_t peak = -1;
};

// One Replace in a fresh process of this program, to a new path.
Peak peakOfReplace() {
    prepareTarget(Destination::fresh);
    int pipeFds[2];
    if (::pipe2(pipeFds, O_CLOEXEC) != 0) return {};
    const bool ran = run({"/proc/self/exe", peakFlag, files.source, files.target}, pipeFds[1]);
    ::close(pipeFds[1]);
    char line[128] = {};
    const ssize_t n = ::read(pipeFds[0], line, sizeof line - 1);
    ::close(pipeFds[0]);
    long long before = -1;
    long long peak = -1;
    if (!ran || n <= 0 || std::sscanf(line, "%lld %lld", &before, &peak) != 2) return {};
    return {before, peak};
}

// The target is the source with the new text, padded with zeros, over the old one.
bool targetIsPatchedSource() {
    const ByteBuffer patched = readWholeFile(AnsiText(files.target.c_str()));
    if (patched.size() != fileSize) return false;
    const std::size_t room = sizeof oldText - 1 + zerosBehindText;
    std::vector<std::uint8_t> block(room, 0);
    std::memcpy(block.data(), newText, sizeof newText - 1);
    const std::size_t at = static_cast<std::size_t>(textOffset);
    return std::memcmp(patched.data(), files.content.data(), at) == 0 &&
           std::memcmp(patched.data() + at, block.data(), room) == 0 &&
           std::memcmp(patched.data() + at + room, files.content.data() + at + room, fileSize - at - room) == 0;
}

// Real executables with the old text planted once in the middle, written to a new folder beside
// this program; ends the process when the file system has too little room for the run.
void makeFiles() {
    const fs::path exeFolder = fs::read_symlink("/proc/self/exe").parent_path();
    std::string folder = (exeFolder / "bench_commands_files.XXXXXX").string();
    if (::mkdtemp(folder.data()) == nullptr) die("cannot make a folder beside the executable");
    files.folder = folder;
    files.source = folder + "/source.exe";
    files.target = folder + "/target.exe";
    files.folderFd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (files.folderFd < 0) die("cannot open " + folder);

    struct statfs info {};
    if (::statfs(folder.c_str(), &info) != 0) die("cannot inspect the file system");
    const double freeGiB = static_cast<double>(info.f_bavail) * static_cast<double>(info.f_bsize) / (1 << 30);
    std::printf("Files in %s: file system type 0x%lx%s, %.1f GiB free\n", folder.c_str(),
                static_cast<unsigned long>(info.f_type), info.f_type == 0x01021994 ? " (tmpfs: fsync costs nothing)" : "",
                freeGiB);
    // The source, the target, and the save's temporary file beside an existing target.
    if (freeGiB < 1.0) die("less than 1 GiB free for three files of 256 MiB");

    files.content = executableContent(fileSize);
    const std::size_t at = static_cast<std::size_t>(textOffset);
    const std::size_t textSize = sizeof oldText - 1;
    if (memmem(files.content.data(), fileSize, oldText, textSize) != nullptr ||
        memmem(files.content.data(), fileSize, absentFragment, sizeof absentFragment - 1) != nullptr) {
        die("a planted text already occurs in the executables; choose another");
    }
    std::memcpy(files.content.data() + at, oldText, textSize);
    std::memset(files.content.data() + at + textSize, 0, zerosBehindText);
    // A non-zero byte ends the room, so that its size does not depend on the executables.
    files.content.data()[at + textSize + zerosBehindText] = 0xff;

    const int fd = ::open(files.source.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd < 0 || !writeFile(fd, files.content.data(), fileSize) || ::fsync(fd) != 0 || ::close(fd) != 0) {
        die("cannot write " + files.source);
    }
}

void removeFiles() {
    std::error_code ec;
    fs::remove_all(files.folder, ec);
}

const char* const destinationNames[] = {"new", "existing"};

void registerBenchmarks() {
    std::vector<benchmark::internal::Benchmark*> all;
    for (const Destination d : {Destination::fresh, Destination::existing}) {
        const std::string to = destinationNames[static_cast<int>(d)];
        all.push_back(benchmark::RegisterBenchmark(("replace/" + to).c_str(), benchReplace, d));
        all.push_back(benchmark::RegisterBenchmark(("cp/" + to).c_str(), benchCp, d));
        all.push_back(benchmark::RegisterBenchmark(("cp_fsync/" + to).c_str(), benchCpFsync, d));
    }
    all.push_back(benchmark::RegisterBenchmark("fsync_of_copy", benchFsyncOfCopy));
    all.push_back(benchmark::RegisterBenchmark("next/found_mid", benchNext, fragment,
                                               AnsiText("the text to translate")));
    all.push_back(benchmark::RegisterBenchmark("next/absent", benchNext, absentFragment,
                                               AnsiText("\xb3\xcc\xd0\xf2\xcc\xe1\xca\xbe\xa3\xba\xc3\xbb\xd5\xd2\xb5\xbd")));  // 程序提示：没找到
    all.push_back(benchmark::RegisterBenchmark("plain_read", benchPlainRead));
    // One operation per repetition: the median of many single runs is robust against the bursts
    // of write-back and load that a shared disk sees, and the count keeps the run short.
    for (benchmark::internal::Benchmark* b : all) b->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(1);
}

// The median time of one iteration in milliseconds, or 0 when the benchmark did not run.
double medianMs(const MedianReporter& reporter, const std::string& name) {
    const double bps = reporter.bytesPerSecond(name);
    return bps > 0 ? fileSize / bps * 1e3 : 0;
}

void printRatio(const char* what, double numerator, double denominator, const char* target) {
    if (numerator > 0 && denominator > 0) std::printf("  %-44s %6.2f  %s\n", what, numerator / denominator, target);
}

void printSummary(const MedianReporter& reporter, double cachedBefore, double cachedAfter, const Peak& peak,
                  bool patchedRight) {
    std::printf("\nMedian time of one operation on %d MiB, in ms; source in the page cache: %.0f%% before the run, "
                "%.0f%% after\n",
                fileSize >> 20, cachedBefore * 100, cachedAfter * 100);
    const double flush = medianMs(reporter, "fsync_of_copy");
    std::printf("  fsync of a written copy alone: %.1f\n", flush);
    for (const char* to : destinationNames) {
        const std::string suffix = std::string("/") + to;
        const double replace = medianMs(reporter, "replace" + suffix);
        const double cp = medianMs(reporter, "cp" + suffix);
        const double cpFsync = medianMs(reporter, "cp_fsync" + suffix);
        if (replace == 0 || cp == 0) continue;
        std::printf(" to a%s file: Replace %.1f, cp %.1f, cp + fsync %.1f\n", suffix == "/new" ? " new" : "n existing",
                    replace, cp, cpFsync);
        printRatio("Replace / cp", replace, cp, "(target <= 1.5)");
        printRatio("Replace / (cp + fsync)", replace, cpFsync, "(both durable)");
        if (flush > 0) printRatio("(Replace - fsync alone) / cp", replace - flush, cp, "(without the flush)");
    }
    const double read = medianMs(reporter, "plain_read");
    for (const char* name : {"next/found_mid", "next/absent"}) {
        const double next = medianMs(reporter, name);
        if (next == 0 || read == 0) continue;
        std::printf(" %s %.1f, plain read %.1f\n", name, next, read);
        printRatio((std::string(name) + " / plain read").c_str(), next, read, "(target <= 1.2)");
    }
    if (peak.peak < 0) {
        std::printf("Peak memory of one Replace: not measured (the child process failed)\n");
    } else {
        const std::int64_t growth = peak.peak - peak.before;
        std::printf("Peak memory of one Replace (fresh process, VmHWM - VmRSS before): %lld bytes = file size %+lld "
                    "(%.2f MiB)\n",
                    static_cast<long long>(growth), static_cast<long long>(growth - fileSize),
                    static_cast<double>(growth - fileSize) / (1 << 20));
    }
    std::printf("Patched copy of that Replace: %s\n", patchedRight ? "as expected" : "WRONG");
}

}  // namespace

int main(int argc, char** argv) {
    if (argc == 4 && std::strcmp(argv[1], peakFlag) == 0) return peakOfReplaceChild(argv[2], argv[3]);

    // Interleaving spreads the repetitions of all contenders over the run, so that load on the machine falls on all alike.
    if (!initializeBenchmarks(argc, argv, {"--benchmark_repetitions=15", "--benchmark_report_aggregates_only=true",
                                          "--benchmark_enable_random_interleaving=true"})) return 1;

    makeFiles();
    const Peak peak = peakOfReplace();
    const bool patchedRight = peak.peak >= 0 && targetIsPatchedSource();
    const double cachedBefore = cachedShare(files.source);

    registerBenchmarks();
    MedianReporter reporter(isatty(STDOUT_FILENO) ? benchmark::ConsoleReporter::OO_Color
                                                 : benchmark::ConsoleReporter::OO_None);
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    const double cachedAfter = cachedShare(files.source);
    removeFiles();
    printSummary(reporter, cachedBefore, cachedAfter, peak, patchedRight);
    return patchedRight ? 0 : 1;
}
