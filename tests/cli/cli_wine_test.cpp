// lexpatch-cli.exe run under Wine as a user on a Chinese system runs it: a Chinese table applied
// to the sample program, with Chinese file names, and Chinese texts on the wide command line.
//   cli_wine_tests <lexpatch-cli.exe> <sample.exe>
#include <windows.h>

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <cstdio>
#include <string>

namespace {

std::wstring cliPath;
std::wstring samplePath;

std::wstring wide(const std::string& utf8) {
    std::wstring w(static_cast<std::size_t>(MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), nullptr, 0)), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), w.data(), static_cast<int>(w.size()));
    return w;
}

// A Unix path from the test's command line as Wine's Z: drive shows it.
std::wstring windowsPath(const char* path) {
    std::string p = path;
    if (!p.empty() && p[0] == '/') p = "Z:" + p;
    for (char& c : p) c = c == '/' ? '\\' : c;
    std::wstring w(static_cast<std::size_t>(MultiByteToWideChar(CP_ACP, 0, p.c_str(), -1, nullptr, 0)), L'\0');
    MultiByteToWideChar(CP_ACP, 0, p.c_str(), -1, w.data(), static_cast<int>(w.size()));
    w.pop_back();
    return w;
}

std::string readFile(const std::wstring& path) {
    const HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return "<missing>";
    std::string content;
    char buffer[65536];
    DWORD got = 0;
    while (ReadFile(file, buffer, sizeof buffer, &got, nullptr) && got > 0) content.append(buffer, got);
    CloseHandle(file);
    return content;
}

void writeFile(const std::wstring& path, const std::string& bytes) {
    const HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    DWORD written = 0;
    WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    CloseHandle(file);
}

struct CliRun {
    DWORD exitCode = 0xFFFFFFFF;
    std::string out;
    std::string err;
};

class CliUnderWineTest : public ::testing::Test {
protected:
    void SetUp() override {
        wchar_t temp[MAX_PATH];
        GetTempPathW(MAX_PATH, temp);
        root_ = std::wstring(temp) + L"lexpatch-cli-wine-" + std::to_wstring(GetCurrentProcessId()) + L"-" +
                wide(::testing::UnitTest::GetInstance()->current_test_info()->name());
        CreateDirectoryW(root_.c_str(), nullptr);
        work_ = root_ + L"\\" + wide("\xE5\xB7\xA5\xE4\xBD\x9C");  // 工作
        CreateDirectoryW(work_.c_str(), nullptr);
        program_ = work_ + L"\\" + wide("\xE7\xA4\xBA\xE4\xBE\x8B.exe");  // 示例.exe
        ASSERT_TRUE(CopyFileW(samplePath.c_str(), program_.c_str(), FALSE)) << GetLastError();
    }

    void TearDown() override {
        WIN32_FIND_DATAW found;
        for (const std::wstring& folder : {work_, root_}) {
            const HANDLE search = FindFirstFileW((folder + L"\\*").c_str(), &found);
            if (search == INVALID_HANDLE_VALUE) continue;
            do {
                if ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0) DeleteFileW((folder + L"\\" + found.cFileName).c_str());
            } while (FindNextFileW(search, &found));
            FindClose(search);
        }
        RemoveDirectoryW(work_.c_str());
        RemoveDirectoryW(root_.c_str());
    }

    // Runs the program with the arguments (a wide command line after the program's name), its
    // standard output and error going to files outside the work folder.
    CliRun run(const std::wstring& arguments) {
        SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
        const std::wstring outPath = root_ + L"\\stdout", errPath = root_ + L"\\stderr";
        const HANDLE out = CreateFileW(outPath.c_str(), GENERIC_WRITE, FILE_SHARE_READ, &inherit, CREATE_ALWAYS, 0, nullptr);
        const HANDLE err = CreateFileW(errPath.c_str(), GENERIC_WRITE, FILE_SHARE_READ, &inherit, CREATE_ALWAYS, 0, nullptr);
        STARTUPINFOW startup{};
        startup.cb = sizeof startup;
        startup.dwFlags = STARTF_USESTDHANDLES;
        startup.hStdInput = nullptr;
        startup.hStdOutput = out;
        startup.hStdError = err;
        std::wstring commandLine = L"\"" + cliPath + L"\" " + arguments;
        PROCESS_INFORMATION process{};
        CliRun result;
        const BOOL started = CreateProcessW(cliPath.c_str(), commandLine.data(), nullptr, nullptr, TRUE, 0, nullptr,
                                            nullptr, &startup, &process);
        CloseHandle(out);
        CloseHandle(err);
        if (!started) {
            ADD_FAILURE() << "CreateProcessW failed: " << GetLastError();
            return result;
        }
        WaitForSingleObject(process.hProcess, 60000);
        GetExitCodeProcess(process.hProcess, &result.exitCode);
        CloseHandle(process.hThread);
        CloseHandle(process.hProcess);
        result.out = readFile(outPath);
        result.err = readFile(errPath);
        return result;
    }

    static std::wstring quotedW(const std::wstring& s) { return L"\"" + s + L"\""; }

    std::wstring root_;
    std::wstring work_;
    std::wstring program_;
};

// The texts of the sample program, their rooms, and the code page 936 bytes of their translations.
struct Translation {
    std::string text;
    int room;
    std::string utf8;
    std::string gbk;
};
const Translation translations[] = {
    {"Sample Window", 31, "\xE7\xA4\xBA\xE4\xBE\x8B\xE7\xAA\x97\xE5\x8F\xA3", "\xCA\xBE\xC0\xFD\xB4\xB0\xBF\xDA"},  // 示例窗口
    {"Good morning", 15, "\xE6\x97\xA9\xE4\xB8\x8A\xE5\xA5\xBD\xEF\xBC\x8C\xE7\xBF\xBB\xE8\xAF\x91\xE8\x80\x85",
     "\xD4\xE7\xC9\xCF\xBA\xC3\xA3\xAC\xB7\xAD\xD2\xEB\xD5\xDF"},  // 早上好，翻译者: 14 of 15 bytes
    {"Apple", 5, "\xE8\x8B\xB9\xE6\x9E\x9C", "\xC6\xBB\xB9\xFB"},  // 苹果
    {"Pear", 4, "\xE6\xA2\xA8", "\xC0\xE6"},                       // 梨
};

TEST_F(CliUnderWineTest, AppliesAChineseTableToTheSampleProgram) {
    std::string table = "# \xE4\xB8\xAD\xE6\x96\x87\r\n";  // # 中文, and CR LF line ends as Notepad writes them
    for (const Translation& t : translations) table += t.text + "\t" + t.utf8 + "\r\n";
    const std::wstring tablePath = work_ + L"\\" + wide("\xE8\xA1\xA8.tsv");      // 表.tsv
    const std::wstring outputPath = work_ + L"\\" + wide("\xE8\xAF\x91\xE6\x96\x87.exe");  // 译文.exe
    writeFile(tablePath, table);

    const CliRun r = run(L"apply " + quotedW(program_) + L" " + quotedW(tablePath) + L" -o " + quotedW(outputPath) + L" --json");
    ASSERT_EQ(r.exitCode, 0u) << r.err;
    const nlohmann::json report = nlohmann::json::parse(r.out);
    EXPECT_EQ(report["written"], true);
    ASSERT_EQ(report["rows"].size(), 4u);
    for (std::size_t i = 0; i < 4; ++i) {
        EXPECT_EQ(report["rows"][i]["replacement"], translations[i].utf8);
        EXPECT_EQ(report["rows"][i]["room"], translations[i].room);
        EXPECT_EQ(report["rows"][i]["applied"], true);
    }

    // Each room holds its translation padded with zero bytes; every other byte is the original's.
    const std::string original = readFile(samplePath);
    std::string expected = original;
    for (const Translation& t : translations) {
        const std::size_t at = original.find(t.text + '\0');
        ASSERT_NE(at, std::string::npos) << t.text;
        expected.replace(at, static_cast<std::size_t>(t.room), t.gbk + std::string(static_cast<std::size_t>(t.room) - t.gbk.size(), '\0'));
    }
    EXPECT_TRUE(readFile(outputPath) == expected) << "the patched copy differs from the expected bytes";
}

TEST_F(CliUnderWineTest, TakesChineseTextsFromTheWideCommandLine) {
    const CliRun tooLong = run(L"test " + quotedW(program_) + L" \"Good morning\" " + quotedW(wide("\xE6\x97\xA9\xE4\xB8\x8A\xE5\xA5\xBD\xE6\x97\xA9\xE4\xB8\x8A\xE5\xA5\xBD\xE6\x97\xA9\xE4\xB8\x8A")));  // 早上好早上好早上: 16 bytes
    EXPECT_EQ(tooLong.exitCode, 1u) << tooLong.err;
    EXPECT_NE(tooLong.out.find("replacement length  16"), std::string::npos) << tooLong.out;
    EXPECT_NE(tooLong.out.find("fits                no"), std::string::npos) << tooLong.out;

    const CliRun fits = run(L"test " + quotedW(program_) + L" \"Good morning\" " + quotedW(wide(translations[1].utf8)));
    EXPECT_EQ(fits.exitCode, 0u) << fits.err;
    EXPECT_NE(fits.out.find("replacement length  14"), std::string::npos) << fits.out;

    const CliRun find = run(L"find " + quotedW(program_) + L" morning");
    EXPECT_EQ(find.exitCode, 0u) << find.err;
    EXPECT_NE(find.out.find("morning"), std::string::npos) << find.out;
}

TEST_F(CliUnderWineTest, RefusesACharacterOutsideTheCodePage) {
    const std::wstring korean = quotedW(wide("\xED\x95\x9C"));  // 한
    const CliRun r = run(L"test " + quotedW(program_) + L" Apple " + korean);
    EXPECT_EQ(r.exitCode, 2u);
    EXPECT_NE(r.err.find("'\xED\x95\x9C' (U+D55C)"), std::string::npos) << r.err;

    const CliRun korea = run(L"test --codepage 949 " + quotedW(program_) + L" Apple " + korean);
    EXPECT_EQ(korea.exitCode, 0u) << korea.err;
}

}  // namespace

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    if (argc != 3) {
        std::fprintf(stderr, "usage: cli_wine_tests <lexpatch-cli.exe> <sample.exe>\n");
        return 2;
    }
    cliPath = windowsPath(argv[1]);
    samplePath = windowsPath(argv[2]);
    return RUN_ALL_TESTS();
}
