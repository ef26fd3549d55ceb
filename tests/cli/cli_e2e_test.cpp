// The native lexpatch-cli run as a user runs it, on small fixtures made here: exit codes, what
// it writes and what it leaves alone.
#include <fcntl.h>
#include <pty.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

struct CliRun {
    int exitCode = -1;
    std::string out;
    std::string err;
};

std::string readFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void writeFile(const fs::path& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
}

std::string zeros(std::size_t n) { return std::string(n, '\0'); }

// GBK bytes of the Chinese texts used here.
const std::string 示例窗口 = "\xCA\xBE\xC0\xFD\xB4\xB0\xBF\xDA";
const std::string 早上好 = "\xD4\xE7\xC9\xCF\xBA\xC3";
const std::string 梨 = "\xC0\xE6";

// Laid out as the sample program keeps its texts: "Sample Window" with 19 zero bytes behind it
// (room 31), "Good morning" with 4 (room 15), "Apple" and "Pear" with one each (rooms 5 and 4).
const std::string head = "MZ\x90\x01\x02\x03 code before the texts \xFF";
const std::string tail = "\x01\x02 code after the texts \xFF";
std::string sampleFile() {
    return head + "Sample Window" + zeros(19) + "Good morning" + zeros(4) + "Apple" + zeros(1) + "Pear" + zeros(1) + "#" + tail;
}

// UTF-8 tables. Row 4 goes to the "Pear!" that row 3 wrote, not to the later "Pear": each row
// works on the result of the rows before, as successive Replace commands do, and the "!" behind
// that match limits its room to the text itself.
const std::string goodTable =
    "# sample texts\n"
    "Sample Window\t\xE7\xA4\xBA\xE4\xBE\x8B\xE7\xAA\x97\xE5\x8F\xA3\n"  // 示例窗口
    "Good morning\t\xE6\x97\xA9\xE4\xB8\x8A\xE5\xA5\xBD\n"                // 早上好
    "Apple\tPear!\n"
    "Pear\t\xE6\xA2\xA8\n";                                                  // 梨
std::string goodTableResult() {
    return head + 示例窗口 + zeros(24) + 早上好 + zeros(10) + 梨 + zeros(2) + "!" + zeros(1) + "Pear" + zeros(1) + "#" + tail;
}

// Row 2 is not in the file, row 3 does not fit (6 bytes into a room of 5).
const std::string failingTable =
    "Good morning\t\xE6\x97\xA9\xE4\xB8\x8A\xE5\xA5\xBD\n"  // 早上好
    "Kiwi\tfruit\n"
    "Apple\tPineapple\n"
    "Pear\t\xE6\xA2\xA8\n";                                  // 梨
std::string failingTableAppliedRows() {
    return head + "Sample Window" + zeros(19) + 早上好 + zeros(10) + "Apple" + zeros(1) + 梨 + zeros(3) + "#" + tail;
}

class CliTest : public ::testing::Test {
protected:
    void SetUp() override {
        std::string pattern = (fs::temp_directory_path() / "lexpatch-cli-test-XXXXXX").string();
        ASSERT_NE(::mkdtemp(pattern.data()), nullptr);
        root_ = pattern;
        work_ = root_ / "work";
        fs::create_directory(work_);
    }
    void TearDown() override { fs::remove_all(root_); }

    // A file in the work folder, where the program reads and writes.
    std::string path(const std::string& name) const { return (work_ / name).string(); }

    std::vector<std::string> workFiles() const {
        std::vector<std::string> names;
        for (const auto& entry : fs::directory_iterator(work_)) names.push_back(entry.path().filename().string());
        std::sort(names.begin(), names.end());
        return names;
    }

    // Runs the program with its standard output and error captured outside the work folder;
    // with a file size limit, writes beyond it fail (EFBIG) as on a full disk.
    CliRun run(const std::vector<std::string>& arguments, rlim_t fileSizeLimit = RLIM_INFINITY) const {
        const fs::path out = root_ / "stdout", err = root_ / "stderr";
        std::vector<char*> argv{const_cast<char*>(LEXPATCH_CLI)};
        for (const std::string& argument : arguments) argv.push_back(const_cast<char*>(argument.c_str()));
        argv.push_back(nullptr);
        CliRun result;
        const pid_t pid = ::fork();
        if (pid < 0) {
            ADD_FAILURE() << "fork failed";
            return result;
        }
        if (pid == 0) {
            ::dup2(::open("/dev/null", O_RDONLY), STDIN_FILENO);
            ::dup2(::open(out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644), STDOUT_FILENO);
            ::dup2(::open(err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644), STDERR_FILENO);
            if (fileSizeLimit != RLIM_INFINITY) {
                ::signal(SIGXFSZ, SIG_IGN);  // a failed write, not the end of the process
                const struct rlimit limit{fileSizeLimit, fileSizeLimit};
                ::setrlimit(RLIMIT_FSIZE, &limit);
            }
            ::execv(LEXPATCH_CLI, argv.data());
            ::_exit(127);
        }
        int status = 0;
        waitpid(pid, &status, 0);
        result.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
        result.out = readFile(out);
        result.err = readFile(err);
        return result;
    }

    fs::path root_;
    fs::path work_;
};

bool contains(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

TEST_F(CliTest, ApplyWritesWhatSuccessiveReplaceCommandsWrite) {
    writeFile(path("app.exe"), sampleFile());
    writeFile(path("table.tsv"), goodTable);
    const CliRun r = run({"apply", path("app.exe"), path("table.tsv"), "-o", path("out.exe")});
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(r.err, "");
    EXPECT_EQ(readFile(path("out.exe")), goodTableResult());
    EXPECT_EQ(readFile(path("app.exe")), sampleFile());
    EXPECT_EQ(workFiles(), (std::vector<std::string>{"app.exe", "out.exe", "table.tsv"}));
    EXPECT_TRUE(contains(r.out, "\"Sample Window\" -> \"\xE7\xA4\xBA\xE4\xBE\x8B\xE7\xAA\x97\xE5\x8F\xA3\"")) << r.out;
    EXPECT_TRUE(contains(r.out, "4 rows: 4 applied, 0 not found, 0 too long")) << r.out;
}

TEST_F(CliTest, ApplyWritesNothingWhenOneRowFails) {
    writeFile(path("app.exe"), sampleFile());
    writeFile(path("table.tsv"), failingTable);
    const CliRun r = run({"apply", path("app.exe"), path("table.tsv"), "-o", path("out.exe")});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(workFiles(), (std::vector<std::string>{"app.exe", "table.tsv"}));
    EXPECT_TRUE(contains(r.out, "4 rows: 2 applied, 1 not found, 1 too long")) << r.out;
    EXPECT_TRUE(contains(r.out, "not written")) << r.out;

    // Over the file itself: it keeps its content.
    const CliRun inPlace = run({"apply", path("app.exe"), path("table.tsv"), "-o", path("app.exe")});
    EXPECT_EQ(inPlace.exitCode, 1);
    EXPECT_EQ(readFile(path("app.exe")), sampleFile());
    EXPECT_EQ(workFiles(), (std::vector<std::string>{"app.exe", "table.tsv"}));
}

TEST_F(CliTest, KeepGoingWritesTheRowsThatApplied) {
    writeFile(path("app.exe"), sampleFile());
    writeFile(path("table.tsv"), failingTable);
    const CliRun r = run({"apply", "--keep-going", path("app.exe"), path("table.tsv"), "-o", path("out.exe")});
    EXPECT_EQ(r.exitCode, 1);  // still tells that not every row applied
    EXPECT_EQ(readFile(path("out.exe")), failingTableAppliedRows());
    EXPECT_TRUE(contains(r.out, "written to")) << r.out;
}

TEST_F(CliTest, DryRunWritesNothing) {
    writeFile(path("app.exe"), sampleFile());
    writeFile(path("table.tsv"), goodTable);
    const CliRun r = run({"apply", "--dry-run", path("app.exe"), path("table.tsv"), "-o", path("out.exe")});
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_TRUE(contains(r.out, "dry run: nothing written")) << r.out;
    const CliRun withoutOutput = run({"apply", "--dry-run", "--keep-going", path("app.exe"), path("table.tsv")});
    EXPECT_EQ(withoutOutput.exitCode, 0) << withoutOutput.err;
    EXPECT_EQ(workFiles(), (std::vector<std::string>{"app.exe", "table.tsv"}));
}

TEST_F(CliTest, JsonReportsEveryRow) {
    writeFile(path("app.exe"), sampleFile());
    writeFile(path("table.tsv"), failingTable);
    const CliRun r = run({"apply", path("app.exe"), path("table.tsv"), "-o", path("out.exe"), "--json"});
    EXPECT_EQ(r.exitCode, 1);
    const nlohmann::json report = nlohmann::json::parse(r.out);
    EXPECT_EQ(report["command"], "apply");
    EXPECT_EQ(report["written"], false);
    ASSERT_EQ(report["rows"].size(), 4u);
    const nlohmann::json& first = report["rows"][0];
    EXPECT_EQ(first["line"], 1);
    EXPECT_EQ(first["replacement"], "\xE6\x97\xA9\xE4\xB8\x8A\xE5\xA5\xBD");
    EXPECT_EQ(first["position"], static_cast<int>(head.size() + 13 + 19 + 1));
    EXPECT_EQ(first["zeroCount"], 3);
    EXPECT_EQ(first["room"], 15);
    EXPECT_EQ(first["applied"], true);
    EXPECT_EQ(report["rows"][1]["found"], false);
    EXPECT_EQ(report["rows"][1]["applied"], false);
    EXPECT_EQ(report["rows"][2]["found"], true);
    EXPECT_EQ(report["rows"][2]["fits"], false);
    EXPECT_EQ(report["rows"][2]["replacementLength"], 9);
    EXPECT_EQ(report["rows"][3]["applied"], true);

    const CliRun test = run({"test", "--json", path("app.exe"), "Good morning", "\xE6\x97\xA9"});
    EXPECT_EQ(test.exitCode, 0);
    EXPECT_EQ(nlohmann::json::parse(test.out)["fits"], true);
}

TEST_F(CliTest, CharacterOutsideTheCodePageStopsBeforeAnythingIsWritten) {
    writeFile(path("app.exe"), sampleFile());
    writeFile(path("table.tsv"), "Apple\tok\nPear\t\xED\x95\x9C\n");  // 한: not in code page 936
    const CliRun r = run({"apply", "--keep-going", path("app.exe"), path("table.tsv"), "-o", path("app.exe")});
    EXPECT_EQ(r.exitCode, 3);
    EXPECT_TRUE(contains(r.err, path("table.tsv") + ":2:")) << r.err;
    EXPECT_TRUE(contains(r.err, "'\xED\x95\x9C' (U+D55C)")) << r.err;
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(readFile(path("app.exe")), sampleFile());

    // Code page 949 holds it.
    const CliRun korean = run({"apply", "--codepage", "949", path("app.exe"), path("table.tsv"), "-o", path("out.exe")});
    EXPECT_EQ(korean.exitCode, 0) << korean.err;

    const CliRun argument = run({"test", path("app.exe"), "Pear", "\xED\x95\x9C"});
    EXPECT_EQ(argument.exitCode, 2);
    EXPECT_TRUE(contains(argument.err, "argument NEW")) << argument.err;
}

TEST_F(CliTest, ReplaceWritesOverTheFileItself) {
    writeFile(path("app.exe"), sampleFile());
    fs::permissions(path("app.exe"), fs::perms(0755));
    const CliRun r = run({"replace", path("app.exe"), "Good morning", "\xE6\x97\xA9\xE4\xB8\x8A\xE5\xA5\xBD", "-o", path("app.exe")});
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(readFile(path("app.exe")), head + "Sample Window" + zeros(19) + 早上好 + zeros(10) + "Apple" + zeros(1) +
                                             "Pear" + zeros(1) + "#" + tail);
    EXPECT_EQ(fs::status(path("app.exe")).permissions(), fs::perms(0755));
    EXPECT_EQ(workFiles(), (std::vector<std::string>{"app.exe"}));

    const CliRun tooLong = run({"replace", path("app.exe"), "Pear", "Pears", "-o", path("out.exe")});
    EXPECT_EQ(tooLong.exitCode, 1);
    EXPECT_TRUE(contains(tooLong.out, "nothing written")) << tooLong.out;
    EXPECT_EQ(workFiles(), (std::vector<std::string>{"app.exe"}));
}

TEST_F(CliTest, UnwritableOutputKeepsItsContent) {
    writeFile(path("app.exe"), sampleFile());
    writeFile(path("locked.exe"), "old");
    fs::permissions(path("locked.exe"), fs::perms(0444));
    const CliRun readOnly = run({"replace", path("app.exe"), "Pear", "Pea", "-o", path("locked.exe")});
    EXPECT_EQ(readOnly.exitCode, 3);
    EXPECT_TRUE(contains(readOnly.err, path("locked.exe"))) << readOnly.err;
    EXPECT_EQ(readFile(path("locked.exe")), "old");

    const CliRun noFolder = run({"replace", path("app.exe"), "Pear", "Pea", "-o", path("missing/out.exe")});
    EXPECT_EQ(noFolder.exitCode, 3);
    EXPECT_TRUE(contains(noFolder.err, path("missing/out.exe"))) << noFolder.err;

    // A write that fails part-way.
    writeFile(path("big.exe"), std::string(64 << 10, 'x') + sampleFile());
    writeFile(path("out.exe"), "old");
    const CliRun cutOff = run({"replace", path("big.exe"), "Pear", "Pea", "-o", path("out.exe")}, 16 << 10);
    EXPECT_EQ(cutOff.exitCode, 3);
    EXPECT_TRUE(contains(cutOff.err, "cannot write '" + path("out.exe") + "'")) << cutOff.err;
    EXPECT_EQ(readFile(path("out.exe")), "old");
    EXPECT_EQ(workFiles(), (std::vector<std::string>{"app.exe", "big.exe", "locked.exe", "out.exe"}));
}

TEST_F(CliTest, ReplaceThroughASymbolicLinkWritesTheFileItNames) {
    writeFile(path("app.exe"), sampleFile());
    fs::create_symlink("app.exe", path("link.exe"));
    const CliRun r = run({"replace", path("link.exe"), "Pear", "Pea", "-o", path("link.exe")});
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_TRUE(fs::is_symlink(path("link.exe")));
    EXPECT_EQ(readFile(path("app.exe")), head + "Sample Window" + zeros(19) + "Good morning" + zeros(4) + "Apple" + zeros(1) +
                                             "Pea" + zeros(2) + "#" + tail);
}

TEST_F(CliTest, FindListsTheBrowseWalk) {
    // The walk of ab over 61 62 00 78 61 62 00 61 62: three stops, then the walk wraps.
    writeFile(path("walk.bin"), std::string("ab\0xab\0ab", 9));
    const CliRun r = run({"find", "--json", path("walk.bin"), "ab"});
    EXPECT_EQ(r.exitCode, 0) << r.err;
    const nlohmann::json occurrences = nlohmann::json::parse(r.out)["occurrences"];
    ASSERT_EQ(occurrences.size(), 3u);
    EXPECT_EQ(occurrences[0]["position"], 1);
    EXPECT_EQ(occurrences[1]["position"], 5);
    EXPECT_EQ(occurrences[2]["position"], 8);
    EXPECT_EQ(occurrences[1]["text"], "ab");

    // A text in code page 936 with a byte that is no character in it.
    writeFile(path("gbk.bin"), std::string("x\0") + 早上好 + "\xFF!" + std::string("\0", 1));
    const CliRun shown = run({"find", path("gbk.bin"), "\xE4\xB8\x8A"});  // 上
    EXPECT_EQ(shown.exitCode, 0) << shown.err;
    EXPECT_TRUE(contains(shown.out, "\xE4\xB8\x8A\xE5\xA5\xBD\\xFF!")) << shown.out;  // 上好\xFF!

    const CliRun none = run({"find", path("walk.bin"), "zz"});
    EXPECT_EQ(none.exitCode, 1);
}

TEST_F(CliTest, FilesOf2GiBAndMoreAreMeasuredWithTheirRealPositions) {
    // Sparse: 2 GiB of holes cost no disk. The text lies behind them.
    const std::int64_t at = (std::int64_t{1} << 31) + 10;
    {
        std::ofstream file(path("large.exe"), std::ios::binary);
        file.seekp(at);
        file << std::string("Hello\0\0\0x", 9);
    }
    const CliRun test = run({"test", "--json", path("large.exe"), "Hello", "Bye"});
    EXPECT_EQ(test.exitCode, 0) << test.err;
    const nlohmann::json measured = nlohmann::json::parse(test.out);
    EXPECT_EQ(measured["position"], at + 1);
    EXPECT_EQ(measured["zeroCount"], 2);
    EXPECT_EQ(measured["scanEnd"], at + 1 + 5 + 1 + 2);

    const CliRun find = run({"find", "--json", path("large.exe"), "ell"});
    EXPECT_EQ(find.exitCode, 0) << find.err;
    EXPECT_EQ(nlohmann::json::parse(find.out)["occurrences"][0]["position"], at + 2);
}

struct ExitCase {
    std::vector<std::string> arguments;  // "FILE" stands for the fixture, "DIR" for the work folder
    int exitCode;
    std::string stderrPart;  // a part that the error message must hold
};

TEST_F(CliTest, ExitCodes) {
    writeFile(path("app.exe"), sampleFile());
    writeFile(path("bad.tsv"), "Apple\n");
    const std::vector<ExitCase> cases = {
        {{"test", "FILE", "Apple", "Pear"}, 0, ""},
        {{"test", "FILE", "Apple", "Apples"}, 1, ""},
        {{"test", "FILE", "Kiwi", "Pear"}, 1, ""},
        {{"--help"}, 0, ""},
        {{"apply", "--help"}, 0, ""},
        {{}, 2, "subcommand is required"},
        {{"frobnicate"}, 2, "unknown command 'frobnicate'"},
        {{"test", "FILE", "Apple"}, 2, "NEW"},
        {{"test", "FILE", "", "Pear"}, 2, "argument OLD is empty"},
        {{"test", "FILE", "Apple\\q", "Pear"}, 2, "argument OLD, column 6"},
        {{"test", "--codepage", "437", "FILE", "Apple", "Pear"}, 2, "--codepage"},
        {{"apply", "FILE", "DIR/bad.tsv"}, 2, "-o OUT"},
        {{"replace", "FILE", "Apple", "Pear"}, 2, "--output"},
        {{"test", "DIR/missing.exe", "Apple", "Pear"}, 3, "cannot read FILE '" + path("missing.exe") + "': no such file"},
        {{"test", "DIR", "Apple", "Pear"}, 3, "is a folder"},
        {{"apply", "FILE", "DIR/missing.tsv", "-o", "DIR/out.exe"}, 3, "cannot read TABLE"},
        {{"apply", "FILE", "DIR/bad.tsv", "-o", "DIR/out.exe"}, 3, path("bad.tsv") + ":1: no tab"},
    };
    for (const ExitCase& c : cases) {
        std::vector<std::string> arguments;
        for (std::string argument : c.arguments) {
            if (argument == "FILE") argument = path("app.exe");
            if (argument.rfind("DIR", 0) == 0) argument = work_.string() + argument.substr(3);
            arguments.push_back(argument);
        }
        const CliRun r = run(arguments);
        const std::string shown = ::testing::PrintToString(c.arguments);
        EXPECT_EQ(r.exitCode, c.exitCode) << shown << "\n" << r.err;
        EXPECT_TRUE(contains(r.err, c.stderrPart)) << shown << "\n" << r.err;
        if (c.exitCode == 0) {
            EXPECT_EQ(r.err, "") << shown;
        }
    }
    EXPECT_EQ(workFiles(), (std::vector<std::string>{"app.exe", "bad.tsv"}));
}

// The progress bar goes to standard error only when that is a terminal and the run is long
// (rows times file size of 1 GiB or more).
TEST_F(CliTest, ProgressBarOnlyOnATerminal) {
    writeFile(path("big.bin"), std::string(1 << 20, 'x') + "Target" + zeros(1));
    std::string table;
    for (int i = 0; i < 1023; ++i) table += "Absent" + std::to_string(i) + "\tz\n";
    table += "Target\tT\n";
    writeFile(path("table.tsv"), table);
    const std::vector<std::string> arguments = {"apply", "--dry-run", "--keep-going", path("big.bin"), path("table.tsv")};

    const CliRun plain = run(arguments);
    EXPECT_EQ(plain.exitCode, 1);
    EXPECT_EQ(plain.err, "");

    int terminal = -1;
    const pid_t pid = forkpty(&terminal, nullptr, nullptr, nullptr);
    ASSERT_GE(pid, 0);
    if (pid == 0) {
        // Only standard error stays on the terminal.
        const int out = ::open((root_ / "stdout").c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        ::dup2(out, STDOUT_FILENO);
        std::vector<char*> argv{const_cast<char*>(LEXPATCH_CLI)};
        for (const std::string& argument : arguments) argv.push_back(const_cast<char*>(argument.c_str()));
        argv.push_back(nullptr);
        ::execv(LEXPATCH_CLI, argv.data());
        ::_exit(127);
    }
    std::string onTerminal;
    char buffer[4096];
    ssize_t n = 0;
    while ((n = ::read(terminal, buffer, sizeof buffer)) > 0) onTerminal.append(buffer, static_cast<std::size_t>(n));
    ::close(terminal);
    int status = 0;
    waitpid(pid, &status, 0);
    EXPECT_EQ(WEXITSTATUS(status), 1);
    EXPECT_TRUE(contains(onTerminal, "] 1024/1024 (100%)")) << onTerminal;
    EXPECT_EQ(onTerminal.back(), '\r');  // the bar is blanked out at the end
    EXPECT_TRUE(contains(readFile(root_ / "stdout"), "1024 rows: 1 applied, 1023 not found")) ;
}

}  // namespace
