// Translating the sample program through the real window and the real dialogs: browse, Test,
// Replace and save, failing saves, and Run.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "driver.h"

namespace e2e {
namespace {

constexpr int kStatusBar = 100, kPosition = 101, kTest = 102, kToBelow = 103, kNext = 104,
              kResult = 105, kFragment = 107, kRun = 110, kDirectoryBox = 112, kReplace = 115,
              kOpen = 116, kReplacement = 118, kSearched = 120;

// 位置：
const std::string kPositionPrefix = "\xCE\xBB\xD6\xC3\xA3\xBA";
// 程序提示：没找到
const std::string kNotFound = "\xB3\xCC\xD0\xF2\xCC\xE1\xCA\xBE\xA3\xBA\xC3\xBB\xD5\xD2\xB5\xBD";
// 原长度小于替换后长度，不予替换！
const std::string kTooLong =
    "\xD4\xAD\xB3\xA4\xB6\xC8\xD0\xA1\xD3\xDA\xCC\xE6\xBB\xBB\xBA\xF3\xB3\xA4\xB6\xC8\xA3\xAC\xB2\xBB"
    "\xD3\xE8\xCC\xE6\xBB\xBB\xA3\xA1";
// 保存文件失败，目标文件未被修改！
const std::string kSaveFailed =
    "\xB1\xA3\xB4\xE6\xCE\xC4\xBC\xFE\xCA\xA7\xB0\xDC\xA3\xAC\xC4\xBF\xB1\xEA\xCE\xC4\xBC\xFE\xCE\xB4"
    "\xB1\xBB\xD0\xDE\xB8\xC4\xA3\xA1";
// 额哦~执行失败了！是本程序的问题么？~请将详细信息(文件，您的输入，操作)发到bugs@lexpatch.org
// \r\n如果您按正确方法还不能处理，请用WinHex或HexWorkshop等自行修改。
const std::string kRunFailed =
    "\xB6\xEE\xC5\xB6~\xD6\xB4\xD0\xD0\xCA\xA7\xB0\xDC\xC1\xCB\xA3\xA1\xCA\xC7\xB1\xBE\xB3\xCC\xD0\xF2"
    "\xB5\xC4\xCE\xCA\xCC\xE2\xC3\xB4\xA3\xBF~\xC7\xEB\xBD\xAB\xCF\xEA\xCF\xB8\xD0\xC5\xCF\xA2(\xCE\xC4"
    "\xBC\xFE\xA3\xAC\xC4\xFA\xB5\xC4\xCA\xE4\xC8\xEB\xA3\xAC\xB2\xD9\xD7\xF7)\xB7\xA2\xB5\xBD"
    "bugs@lexpatch.org"
    "\r\n\xC8\xE7\xB9\xFB\xC4\xFA\xB0\xB4\xD5\xFD\xC8\xB7\xB7\xBD\xB7\xA8\xBB\xB9\xB2\xBB\xC4\xDC\xB4\xA6"
    "\xC0\xED\xA3\xAC\xC7\xEB\xD3\xC3WinHex\xBB\xF2HexWorkshop\xB5\xC8\xD7\xD4\xD0\xD0\xD0\xDE\xB8\xC4"
    "\xA1\xA3";

// The sample's texts used here, with the zero count behind each (samples/README.md).
struct SampleText {
    std::string text;
    int zeroCount;
    int room() const { return static_cast<int>(text.size()) + zeroCount; }
};
const SampleText kGreeting{"Good morning", 3};
const SampleText kPear{"Pear", 0};

// 早上好，朋友们! : 15 bytes, the whole room of Good morning.
const std::string kGreetingInChinese = "\xD4\xE7\xC9\xCF\xBA\xC3\xA3\xAC\xC5\xF3\xD3\xD1\xC3\xC7!";
// 早上好，朋友们好 : 16 bytes, one more than the room.
const std::string kGreetingTooLong =
    "\xD4\xE7\xC9\xCF\xBA\xC3\xA3\xAC\xC5\xF3\xD3\xD1\xC3\xC7\xBA\xC3";
// 梨
const std::string kPearInChinese = "\xC0\xE6";

// The 1-based position of the only occurrence of `text` in `bytes`.
int positionOf(const std::string& bytes, const std::string& text) {
    const std::string::size_type at = bytes.find(text);
    EXPECT_NE(at, std::string::npos) << text;
    EXPECT_EQ(bytes.find(text, at + 1), std::string::npos) << text << " occurs more than once";
    return static_cast<int>(at) + 1;
}

// `bytes` with the room of `sample` overwritten by `replacement`, filled up with zero bytes.
std::string patched(const std::string& bytes, const SampleText& sample,
                    const std::string& replacement) {
    const size_t start = static_cast<size_t>(positionOf(bytes, sample.text)) - 1;
    std::string block = replacement;
    block.resize(static_cast<size_t>(sample.room()), '\0');
    return bytes.substr(0, start) + block + bytes.substr(start + block.size());
}

std::string folderOf(const std::string& path) { return path.substr(0, path.find_last_of('\\')); }

void copyFile(const std::string& from, const std::string& to) {
    ASSERT_TRUE(CopyFileA(from.c_str(), to.c_str(), FALSE))
        << from << " to " << to << ": error " << GetLastError();
}

// The texts of the Static controls of a window, sorted.
std::vector<std::string> staticTexts(HWND window) {
    std::vector<std::string> texts;
    for (HWND child : childrenInZOrder(window)) {
        if (className(child) != "Static") continue;
        char buffer[256];
        int n = GetWindowTextA(child, buffer, sizeof buffer);
        texts.emplace_back(buffer, n > 0 ? n : 0);
    }
    std::sort(texts.begin(), texts.end());
    return texts;
}

// What adopting a file changes.
struct Adoption {
    std::string caption;
    std::string settings;  // the whole of set.ini
    std::string directoryBox;
};

// Lexpatch and a copy of the sample program in a fresh folder.
class Translation : public ::testing::Test {
protected:
    void SetUp() override {
        folder = freshFolder();
        samplePath = folder + "\\sample.exe";
        copyFile(sampleProgram(), samplePath);
        original = readFileBytes(samplePath);
        app = std::make_unique<App>(copyProgramInto(folder));
        main = app->waitMainWindow();
    }

    HWND control(int id) const { return app->control(id); }

    // The Open command with `path` typed into the open dialog.
    void open(const std::string& path) {
        click(control(kOpen));
        FileDialog dialog = app->waitFileDialog();
        dialog.choose(path);
        dialog.waitClosed();
        ASSERT_TRUE(pollUntil([&] { return windowText(main) == "Lexpatch - " + path; }))
            << windowText(main);
        waitForMessageLoop(control(kResult));
    }

    // Waits until the save dialog is gone and the Replace command that showed it has ended.
    // (Reading the target before could disturb the save: the file is being replaced.)
    void waitReplaceDone(const FileDialog& save) const {
        ASSERT_TRUE(pollUntil([&] { return !IsWindow(save.window); })) << "the save dialog stayed";
        waitForMessageLoop(control(kResult));
    }

    // Fills the two boxes of the Replace command, clicks it and returns the save dialog.
    FileDialog replace(const std::string& searched, const std::string& replacement) {
        setWindowText(control(kSearched), searched);
        setWindowText(control(kReplacement), replacement);
        click(control(kReplace));
        return app->waitFileDialog();
    }

    std::string setting(const char* key) const {
        char value[MAX_PATH] = {};
        GetPrivateProfileStringA("main", key, "", value, sizeof value,
                                 (folder + "\\set.ini").c_str());
        return value;
    }

    Adoption adoption() const {
        return {windowText(main), readFileBytes(folder + "\\set.ini"),
                windowText(control(kDirectoryBox))};
    }

    void expectNothingAdopted(const Adoption& before) const {
        const Adoption now = adoption();
        EXPECT_EQ(now.caption, before.caption);
        EXPECT_EQ(now.settings, before.settings);
        EXPECT_EQ(now.directoryBox, before.directoryBox);
    }

    // Parts 0 and 1 of the status bar.
    std::vector<std::string> statusOfReplace() const {
        std::vector<std::string> texts = statusBarTexts(control(kStatusBar));
        texts.resize(2);
        return texts;
    }

    // The status bar after Replace found `sample`: the position behind its zero run, the count.
    std::vector<std::string> expectedStatus(const SampleText& sample) const {
        const int end = positionOf(original, sample.text) + static_cast<int>(sample.text.size()) +
                        1 + sample.zeroCount;
        return {std::to_string(end), std::to_string(sample.zeroCount)};
    }

    // The window of the one program that the Run command started.
    HWND waitStartedSample() const {
        HWND found = nullptr;
        pollUntil([&] {
            for (HWND w : app->startedProgramWindows()) {
                if (className(w) == "LexpatchSampleClass") found = w;
            }
            return found != nullptr;
        });
        if (!found) ADD_FAILURE() << "the started program showed no window";
        return found;
    }

    // Replace Pear by 梨, saved over `target` (which exists): the save must fail and leave the
    // target, its folder and the adopted file as they were.
    void expectFailedSave(const std::string& target) {
        const std::string before = readFileBytes(target);
        const std::vector<std::string> names = folderNames(folderOf(target));
        const Adoption adopted = adoption();

        FileDialog save = replace(kPear.text, kPearInChinese);
        save.choose(target);
        save.waitBox().press(IDYES);  // the file exists: replace it
        EXPECT_EQ(app->takeNotice(), kSaveFailed);
        waitForMessageLoop(control(kResult));

        EXPECT_EQ(readFileBytes(target), before);
        EXPECT_EQ(folderNames(folderOf(target)), names);
        expectNothingAdopted(adopted);
    }

    std::string folder;
    std::string samplePath;
    std::string original;  // the sample's bytes
    std::unique_ptr<App> app;
    HWND main = nullptr;
};

TEST_F(Translation, WholeTranslationShowsInTheRunningCopy) {
    open(samplePath);

    // The fragment occurs once, at the greeting: found, then not found, then found again from
    // the start.
    ASSERT_EQ(positionOf(original, "Good mo"), positionOf(original, kGreeting.text));
    typeText(control(kFragment), "Good mo");
    const std::string cursorBehindText =  // just past the text's terminator
        kPositionPrefix + std::to_string(positionOf(original, kGreeting.text) +
                                         static_cast<int>(kGreeting.text.size()) + 1);
    click(control(kNext));
    EXPECT_EQ(windowText(control(kResult)), kGreeting.text);
    EXPECT_EQ(windowText(control(kPosition)), cursorBehindText);
    click(control(kNext));
    EXPECT_EQ(windowText(control(kResult)), kNotFound);
    EXPECT_EQ(windowText(control(kPosition)), kPositionPrefix + "1");
    click(control(kNext));
    EXPECT_EQ(windowText(control(kResult)), kGreeting.text);
    EXPECT_EQ(windowText(control(kPosition)), cursorBehindText);

    click(control(kToBelow));
    EXPECT_EQ(windowText(control(kSearched)), kGreeting.text);
    EXPECT_EQ(windowText(control(kReplacement)), kGreeting.text);
    typeText(control(kReplacement), kGreetingInChinese);

    click(control(kTest));
    // 文本长度：12 后0字节数：3 你输入的文本长度：15 原长大于或等于替换长度，可以替换！
    EXPECT_EQ(app->takeNotice(),
              "\xCE\xC4\xB1\xBE\xB3\xA4\xB6\xC8\xA3\xBA" "12"
              "\r\n\xBA\xF3" "0\xD7\xD6\xBD\xDA\xCA\xFD\xA3\xBA" "3"
              "\r\n\xC4\xE3\xCA\xE4\xC8\xEB\xB5\xC4\xCE\xC4\xB1\xBE\xB3\xA4\xB6\xC8\xA3\xBA" "15"
              "\r\n\xD4\xAD\xB3\xA4\xB4\xF3\xD3\xDA\xBB\xF2\xB5\xC8\xD3\xDA\xCC\xE6\xBB\xBB\xB3\xA4"
              "\xB6\xC8\xA3\xAC\xBF\xC9\xD2\xD4\xCC\xE6\xBB\xBB\xA3\xA1");

    click(control(kReplace));
    FileDialog save = app->waitFileDialog();
    EXPECT_EQ(statusOfReplace(), expectedStatus(kGreeting));
    const std::string copy = folder + "\\translated.exe";
    save.choose(copy);
    waitReplaceDone(save);
    EXPECT_EQ(windowText(main), "Lexpatch - " + copy);

    const std::string written = readFileBytes(copy);
    EXPECT_EQ(written.size(), original.size());
    EXPECT_EQ(written, patched(original, kGreeting, kGreetingInChinese));
    EXPECT_EQ(readFileBytes(samplePath), original);
    EXPECT_EQ(setting("file"), copy);
    EXPECT_EQ(setting("dir"), folder);
    EXPECT_EQ(windowText(control(kDirectoryBox)), folder);

    click(control(kRun));
    HWND translated = waitStartedSample();
    ASSERT_NE(translated, nullptr);
    EXPECT_EQ(processImagePath(app->startedProcesses().at(0)), copy);
    EXPECT_EQ(windowText(translated), "Sample Window");
    std::vector<std::string> labels = {kGreetingInChinese, "Apple", "Pear"};
    std::sort(labels.begin(), labels.end());
    EXPECT_EQ(staticTexts(translated), labels);
}

TEST_F(Translation, ReplacementOneByteTooLongIsRefusedBeforeTheSaveDialog) {
    open(samplePath);
    const std::vector<std::string> names = folderNames(folder);
    const Adoption adopted = adoption();

    setWindowText(control(kSearched), kGreeting.text);
    setWindowText(control(kReplacement), kGreetingTooLong);
    click(control(kReplace));
    EXPECT_EQ(app->takeNotice(), kTooLong);
    waitForMessageLoop(control(kResult));

    EXPECT_EQ(statusOfReplace(), expectedStatus(kGreeting));
    EXPECT_TRUE(IsWindowEnabled(main));
    EXPECT_EQ(app->topLevelWindows(), std::vector<HWND>{main});  // no save dialog
    EXPECT_EQ(readFileBytes(samplePath), original);
    EXPECT_EQ(folderNames(folder), names);
    expectNothingAdopted(adopted);
}

TEST_F(Translation, SavingOverTheCurrentFileAfterTheOverwritePrompt) {
    open(samplePath);
    const std::vector<std::string> names = folderNames(folder);
    const Adoption adopted = adoption();

    FileDialog save = replace(kPear.text, kPearInChinese);
    save.choose(samplePath);
    save.waitBox().press(IDYES);
    waitReplaceDone(save);

    EXPECT_EQ(readFileBytes(samplePath), patched(original, kPear, kPearInChinese));

    EXPECT_EQ(statusOfReplace(), expectedStatus(kPear));
    EXPECT_EQ(folderNames(folder), names);
    expectNothingAdopted(adopted);  // the same path adopted again
    EXPECT_EQ(setting("file"), samplePath);
}

// `gbk` as UTF-8.
std::string utf8Of(const std::string& gbk) {
    std::wstring wide(gbk.size(), L'\0');
    wide.resize(static_cast<size_t>(MultiByteToWideChar(936, MB_ERR_INVALID_CHARS, gbk.data(), static_cast<int>(gbk.size()),
                                                        wide.data(), static_cast<int>(wide.size()))));
    std::string utf8(wide.size() * 3, '\0');
    utf8.resize(static_cast<size_t>(WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()),
                                                        utf8.data(), static_cast<int>(utf8.size()), nullptr, nullptr)));
    return utf8;
}

// The same rows through the window's Replace commands, one after the other, and through the
// native lexpatch-cli's apply: the files agree byte for byte.
TEST_F(Translation, WindowAndCommandLineWriteTheSameBytes) {
    const std::vector<std::pair<std::string, std::string>> rows = {
        {"Sample", "\xD1\xF9\xB1\xBE"},                                          // 样本: inside a longer text
        {"Window", "\xB4\xB0\xBF\xDA\xB3\xCC\xD0\xF2"},                          // 窗口程序
        {"Good morning", "\xD4\xE7\xC9\xCF\xBA\xC3\xA3\xAC\xB7\xAD\xD2\xEB\xD5\xDF"},  // 早上好，翻译者
        {"Apple", "\xC6\xBB\xB9\xFB"},                                            // 苹果
        {"Pear", kPearInChinese},                                                  // 梨
    };
    const std::string windowCopy = folder + "\\window.exe";
    open(samplePath);
    for (size_t i = 0; i < rows.size(); ++i) {
        FileDialog save = replace(rows[i].first, rows[i].second);
        save.choose(windowCopy);
        if (i > 0) save.waitBox().press(IDYES);  // the copy saved by the row before
        waitReplaceDone(save);
        ASSERT_EQ(app->findNotice(), nullptr) << rows[i].first;
    }

    std::string table = "# sample.exe in Chinese\n";
    for (const auto& [text, replacement] : rows) table += text + "\t" + utf8Of(replacement) + "\n";
    writeFileBytes(folder + "\\rows.tsv", table);
    const std::string command = std::string(LEXPATCH_NATIVE_CLI) + " apply '" + unixPathOf(samplePath) + "' '" +
                                unixPathOf(folder + "\\rows.tsv") + "' -o '" + unixPathOf(folder + "\\cli.exe") +
                                "' >/dev/null";
    ASSERT_EQ(runUnixShell(command), 0) << command;

    const std::string byWindow = readFileBytes(windowCopy);
    EXPECT_EQ(byWindow.size(), original.size());
    EXPECT_NE(byWindow, original);
    EXPECT_TRUE(readFileBytes(folder + "\\cli.exe") == byWindow) << "the window and lexpatch-cli differ";
}

TEST_F(Translation, CancelInTheSaveDialogChangesOnlyTheStatusBar) {
    open(samplePath);
    const std::vector<std::string> names = folderNames(folder);
    const Adoption adopted = adoption();

    FileDialog save = replace(kGreeting.text, kGreetingInChinese);
    save.pressCancel();
    waitReplaceDone(save);

    EXPECT_EQ(statusOfReplace(), expectedStatus(kGreeting));
    EXPECT_EQ(app->topLevelWindows(), std::vector<HWND>{main});
    EXPECT_EQ(readFileBytes(samplePath), original);
    EXPECT_EQ(folderNames(folder), names);
    expectNothingAdopted(adopted);
}

TEST_F(Translation, SaveOverAReadOnlyFileFails) {
    const std::string target = folder + "\\target.exe";
    copyFile(samplePath, target);
    ASSERT_TRUE(SetFileAttributesA(target.c_str(), FILE_ATTRIBUTE_READONLY));
    open(samplePath);
    expectFailedSave(target);
}

TEST_F(Translation, SaveOverTheRunningFileFails) {
    open(samplePath);
    click(control(kRun));
    ASSERT_NE(waitStartedSample(), nullptr);
    expectFailedSave(samplePath);
}

// A tmpfs of a few pages mounted on a folder (Linux, as root); unmounted again at the end.
class SmallFileSystem {
public:
    explicit SmallFileSystem(const std::string& folder) : unixFolder_(unixPathOf(folder)) {
        status_ = runUnixShell("mount -t tmpfs -o size=64k lexpatch-test '" + unixFolder_ + "'");
    }
    ~SmallFileSystem() {
        if (mounted()) runUnixShell("umount -l '" + unixFolder_ + "'");
    }
    bool mounted() const { return status_ == 0; }
    int status() const { return status_; }
    // Fills what is left of it with a file of zero bytes.
    void fill() const {
        runUnixShell("head -c 1048576 /dev/zero > '" + unixFolder_ + "/filler' 2>/dev/null");
    }

private:
    std::string unixFolder_;
    int status_ = -1;
};

TEST_F(Translation, SaveOnAFullFileSystemFails) {
    const std::string disk = folder + "\\disk";
    ASSERT_TRUE(CreateDirectoryA(disk.c_str(), nullptr));
    SmallFileSystem small(disk);
    if (!small.mounted()) {
        GTEST_SKIP() << "could not mount a small tmpfs (exit status " << small.status()
                     << "); mounting needs root";
    }
    const std::string target = disk + "\\target.exe";
    copyFile(samplePath, target);
    small.fill();
    ULARGE_INTEGER freeBytes = {};
    ASSERT_TRUE(GetDiskFreeSpaceExA(disk.c_str(), &freeBytes, nullptr, nullptr));
    ASSERT_LT(freeBytes.QuadPart, original.size());

    open(samplePath);
    expectFailedSave(target);
    app.reset();  // let go of the folder before it is unmounted
}

TEST_F(Translation, RunWithoutAFileOrWithADeletedFileShowsTheFailureNotice) {
    click(control(kRun));
    EXPECT_EQ(app->takeNotice(), kRunFailed);

    open(samplePath);
    ASSERT_TRUE(DeleteFileA(samplePath.c_str()));
    click(control(kRun));
    EXPECT_EQ(app->takeNotice(), kRunFailed);
    waitForMessageLoop(control(kResult));
    EXPECT_EQ(app->startedProcesses(), std::vector<DWORD>{});
    EXPECT_EQ(windowText(main), "Lexpatch - " + samplePath);
}

TEST_F(Translation, RunStartsAPathWithBlanksAndNotTheDecoyWithTheShorterName) {
    // Started unquoted, "<folder>\My Tools\app.exe" would run "<folder>\My.exe".
    const std::string tools = folder + "\\My Tools";
    ASSERT_TRUE(CreateDirectoryA(tools.c_str(), nullptr));
    const std::string program = tools + "\\app.exe";
    copyFile(samplePath, program);
    copyFile(samplePath, folder + "\\My.exe");

    open(program);
    click(control(kRun));
    ASSERT_NE(waitStartedSample(), nullptr);
    waitForMessageLoop(control(kResult));
    EXPECT_EQ(app->findNotice(), nullptr);
    std::vector<DWORD> started = app->startedProcesses();
    ASSERT_EQ(started.size(), 1u);
    EXPECT_EQ(processImagePath(started[0]), program);
}

}  // namespace
}  // namespace e2e
