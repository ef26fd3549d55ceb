// What the program remembers in set.ini and gives back at the next start: the start-up notices,
// the Open command through the real open dialog and the Default-directory command.
#include <windows.h>

#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <vector>

#include "driver.h"

namespace e2e {
namespace {

constexpr int kDefaultDirectoryButton = 111;  // 按钮3 "默认目录"
constexpr int kDirectoryBox = 112;            // 编辑框3
constexpr int kOpenButton = 116;              // 按钮1 "打开文件"

const std::string kCaptionPrefix = "Lexpatch - ";
const std::string kNoFileCaption = kCaptionPrefix + "\xCE\xDE\xB4\xF2\xBF\xAA\xCE\xC4\xBC\xFE";  // 无打开文件
const std::string kDefaultSettings = "[main]\r\ndir=\r\nfile=\r\n";

const std::string kLastFile = "\xC9\xCF\xB4\xCE\xCE\xC4\xBC\xFE";       // 上次文件
const std::string kDoesNotExist = "\xB2\xBB\xB4\xE6\xD4\xDA\xA3\xA1";   // 不存在！
const std::string kNoDefaultFolder =                                     // 无默认目录！
    "\xCE\xDE\xC4\xAC\xC8\xCF\xC4\xBF\xC2\xBC\xA3\xA1";
const std::string kLastFileLoaded =                                      // 已载入上次文件！
    "\xD2\xD1\xD4\xD8\xC8\xEB\xC9\xCF\xB4\xCE\xCE\xC4\xBC\xFE\xA3\xA1";
const std::string kDefaultFolderLoaded =                                 // 已载入默认目录
    "\xD2\xD1\xD4\xD8\xC8\xEB\xC4\xAC\xC8\xCF\xC4\xBF\xC2\xBC";
const std::string kFolderGoneUsingFileFolder =                           // 文件目录不存在，已使用文件目录！
    "\xCE\xC4\xBC\xFE\xC4\xBF\xC2\xBC\xB2\xBB\xB4\xE6\xD4\xDA\xA3\xAC"
    "\xD2\xD1\xCA\xB9\xD3\xC3\xCE\xC4\xBC\xFE\xC4\xBF\xC2\xBC\xA3\xA1";

// set.ini as the system's profile functions leave it once both keys have been written.
std::string settingsWith(const std::string& dir, const std::string& file) {
    return "[main]\r\ndir=" + dir + "\r\nfile=" + file + "\r\n";
}

void makeFolder(const std::string& path) {
    ASSERT_TRUE(CreateDirectoryA(path.c_str(), nullptr)) << path << ", error " << GetLastError();
}

// Answers the next start-up notice and returns its text, after checking that it came while the
// main window already existed but was not yet visible.
std::string takeNoticeBeforeWindowShows(App& app) {
    Box notice = app.waitNotice();
    HWND main = app.findMainWindowShownOrHidden();
    EXPECT_NE(main, nullptr) << "a start-up notice before the main window was created";
    if (main) {
        EXPECT_FALSE(IsWindowVisible(main)) << "the main window shows behind a start-up notice";
    }
    std::string text = notice.text();
    notice.press(IDOK);
    return text;
}

// Answers the two start-up notices, waits for the main window and checks that nothing else
// came up. Returns the two texts in the order they came.
std::vector<std::string> startPastNotices(App& app) {
    std::vector<std::string> texts;
    texts.push_back(takeNoticeBeforeWindowShows(app));
    texts.push_back(takeNoticeBeforeWindowShows(app));
    HWND main = app.waitMainWindow();
    EXPECT_EQ(app.topLevelWindows(), std::vector<HWND>{main});
    return texts;
}

// What the program shows and keeps about the current file.
struct Remembered {
    std::string caption;
    std::string directoryBox;  // 编辑框3
    std::string settings;      // set.ini
    bool operator==(const Remembered&) const = default;
};

void PrintTo(const Remembered& r, std::ostream* out) {
    *out << "{caption " << ::testing::PrintToString(r.caption) << ", directory box "
         << ::testing::PrintToString(r.directoryBox) << ", set.ini "
         << ::testing::PrintToString(r.settings) << "}";
}

std::string directoryBoxText(const App& app) { return windowText(app.control(kDirectoryBox)); }

Remembered remembered(const App& app, const std::string& ini) {
    return {windowText(app.mainWindow()), directoryBoxText(app), readFileBytes(ini)};
}

// Shows the open dialog with 按钮1.
FileDialog showOpenDialog(App& app) {
    click(app.control(kOpenButton));
    return app.waitFileDialog();
}

// Cancels the dialog and checks, for a short while, that nothing changes.
void cancelChangesNothing(App& app, const FileDialog& dialog, const std::string& ini) {
    const Remembered before = remembered(app, ini);
    dialog.pressCancel();
    dialog.waitClosed();
    ASSERT_TRUE(pollUntil([&] { return IsWindowEnabled(app.mainWindow()) != 0; }))
        << "the main window stayed disabled after the dialog closed";
    EXPECT_FALSE(pollUntil([&] { return remembered(app, ini) != before; }, 300));
    EXPECT_EQ(remembered(app, ini), before);
}

// Opens `path` through the real open dialog and waits until 编辑框3 shows `folder`, the last
// thing the Open command does.
void openThroughDialog(App& app, const std::string& path, const std::string& folder) {
    FileDialog dialog = showOpenDialog(app);
    dialog.choose(path);
    dialog.waitClosed();
    ASSERT_TRUE(pollUntil([&] { return directoryBoxText(app) == folder; }))
        << "the directory box shows " << ::testing::PrintToString(directoryBoxText(app));
}

// Types `text` into 编辑框3 and clicks 按钮3.
void setDefaultDirectory(const App& app, const std::string& text) {
    setWindowText(app.control(kDirectoryBox), text);
    click(app.control(kDefaultDirectoryButton));
}

void closeApp(App& app) {
    app.close();
    EXPECT_EQ(app.waitExit(), 0u);
}

TEST(Settings, FirstStartWritesTheDefaultsAndTheSecondFindsNothing) {
    const std::string folder = freshFolder();
    const std::string exe = copyProgramInto(folder);
    const std::string ini = folder + "\\set.ini";
    const Remembered nothing{kNoFileCaption, "", kDefaultSettings};
    {
        App app(exe);
        HWND main = app.waitMainWindow();
        EXPECT_EQ(app.topLevelWindows(), std::vector<HWND>{main});  // no notice
        EXPECT_EQ(remembered(app, ini), nothing);
        closeApp(app);
    }
    App app(exe);
    EXPECT_EQ(startPastNotices(app), (std::vector<std::string>{kLastFile + kDoesNotExist, kNoDefaultFolder}));
    EXPECT_EQ(remembered(app, ini), nothing);
    closeApp(app);
    EXPECT_EQ(readFileBytes(ini), kDefaultSettings);  // neither start-up nor the end writes it
}

// Where the program and the file to open live, below the test's fresh folder.
struct Layout {
    const char* label;
    const char* programFolder;  // "" for the fresh folder itself
    const char* programName;
    const char* fileFolder;
    const char* fileName;
};

// 誠 is D5 5C in code page 936: its second byte is a backslash that is no separator. In the
// program's own name it must not move set.ini, in the opened file's name not the folder.
const Layout kLayouts[] = {
    {"Ascii", "", "lexpatch.exe", "files", "app.exe"},
    {"Chinese", "\xBA\xBA\xBB\xAF",                // 汉化
     "\xB9\xA4\xBE\xDF\xD5\x5C" ".exe",            // 工具誠.exe
     "\xD6\xD0\xCE\xC4\xC4\xBF\xC2\xBC",           // 中文目录
     "\xB3\xCC\xD0\xF2\xD5\x5C" ".exe"},           // 程序誠.exe
};

class OpenAndRestart : public ::testing::TestWithParam<Layout> {};

TEST_P(OpenAndRestart, TheOpenedFileAndItsFolderComeBack) {
    const Layout& layout = GetParam();
    const std::string root = freshFolder();
    std::string programFolder = root;
    if (*layout.programFolder) {
        programFolder += std::string("\\") + layout.programFolder;
        makeFolder(programFolder);
    }
    const std::string fileFolder = root + "\\" + layout.fileFolder;
    const std::string file = fileFolder + "\\" + layout.fileName;
    makeFolder(fileFolder);
    writeFileBytes(file, "MZ");
    const std::string exe = programFolder + "\\" + layout.programName;
    ASSERT_TRUE(CopyFileA(programUnderTest().c_str(), exe.c_str(), FALSE)) << "error " << GetLastError();
    const std::string ini = programFolder + "\\set.ini";
    const Remembered opened{kCaptionPrefix + file, fileFolder, settingsWith(fileFolder, file)};
    {
        App app(exe);
        app.waitMainWindow();
        EXPECT_EQ(remembered(app, ini), (Remembered{kNoFileCaption, "", kDefaultSettings}));
        cancelChangesNothing(app, showOpenDialog(app), ini);

        openThroughDialog(app, file, fileFolder);
        EXPECT_EQ(remembered(app, ini), opened);

        // The dialog offers the file last opened: the system puts the name of the full path it
        // gets into the box and starts in the path's folder.
        FileDialog again = showOpenDialog(app);
        EXPECT_EQ(again.fileName(), layout.fileName);
        EXPECT_EQ(again.folder(), fileFolder);
        cancelChangesNothing(app, again, ini);
        closeApp(app);
    }
    App app(exe);
    EXPECT_EQ(startPastNotices(app), (std::vector<std::string>{kLastFileLoaded, kDefaultFolderLoaded}));
    EXPECT_EQ(remembered(app, ini), opened);
    FileDialog dialog = showOpenDialog(app);
    EXPECT_EQ(dialog.fileName(), "");  // only the folder is remembered across starts
    EXPECT_EQ(dialog.folder(), fileFolder);
    cancelChangesNothing(app, dialog, ini);
    closeApp(app);
    EXPECT_EQ(readFileBytes(ini), opened.settings);
}

INSTANTIATE_TEST_SUITE_P(Paths, OpenAndRestart, ::testing::ValuesIn(kLayouts),
                         [](const ::testing::TestParamInfo<Layout>& info) { return info.param.label; });

TEST(Settings, RestartAfterTheDefaultFolderWasRemovedKeepsTheFile) {
    const std::string folder = freshFolder();
    const std::string exe = copyProgramInto(folder);
    const std::string ini = folder + "\\set.ini";
    const std::string files = folder + "\\files";
    const std::string file = files + "\\app.exe";
    const std::string elsewhere = folder + "\\elsewhere";
    makeFolder(files);
    makeFolder(elsewhere);
    writeFileBytes(file, "MZ");
    const Remembered elsewhereChosen{kCaptionPrefix + file, elsewhere, settingsWith(elsewhere, file)};
    {
        App app(exe);
        app.waitMainWindow();
        openThroughDialog(app, file, files);
        setDefaultDirectory(app, elsewhere);
        EXPECT_EQ(remembered(app, ini), elsewhereChosen);

        // The dialog gets the full path of the last file besides the other folder, and the
        // system starts in the file's folder: it was given more than the name.
        FileDialog dialog = showOpenDialog(app);
        EXPECT_EQ(dialog.fileName(), "app.exe");
        EXPECT_EQ(dialog.folder(), files);
        cancelChangesNothing(app, dialog, ini);
        closeApp(app);
    }
    ASSERT_TRUE(RemoveDirectoryA(elsewhere.c_str())) << "error " << GetLastError();

    App app(exe);
    EXPECT_EQ(startPastNotices(app), (std::vector<std::string>{kLastFileLoaded, kFolderGoneUsingFileFolder}));
    EXPECT_EQ(remembered(app, ini), elsewhereChosen);  // 编辑框3 shows the folder that is gone
    closeApp(app);
}

TEST(Settings, DefaultDirectoryTakesOnlyAPathThatExists) {
    const std::string folder = freshFolder();
    const std::string exe = copyProgramInto(folder);
    const std::string ini = folder + "\\set.ini";
    const std::string chosen = folder + "\\chosen";
    const std::string other = folder + "\\other";
    makeFolder(chosen);
    makeFolder(other);

    App app(exe);
    app.waitMainWindow();
    setDefaultDirectory(app, chosen);
    const std::string accepted = settingsWith(chosen, "");
    EXPECT_EQ(remembered(app, ini), (Remembered{kNoFileCaption, chosen, accepted}));

    for (const std::string& refused : {other + "\\", folder + "\\missing", std::string()}) {
        SCOPED_TRACE("typed: \"" + refused + "\"");
        setDefaultDirectory(app, refused);
        EXPECT_FALSE(pollUntil([&] { return app.findNotice() != nullptr; }, 500));
        EXPECT_EQ(remembered(app, ini), (Remembered{kNoFileCaption, refused, accepted}));
    }

    // The dialogs still start in the folder last accepted, not in a refused one.
    FileDialog dialog = showOpenDialog(app);
    EXPECT_EQ(dialog.folder(), chosen);
    cancelChangesNothing(app, dialog, ini);
    closeApp(app);
}

}  // namespace
}  // namespace e2e
