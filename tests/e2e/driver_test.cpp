// The driver against the stand-in program e2e_mock_app.
#include <gtest/gtest.h>

#include "driver.h"

namespace e2e {
namespace {

constexpr int kStatus = 100, kLabel = 101, kNoticeButton = 102, kEdit = 105, kOpenButton = 110,
              kSaveButton = 111, kSpawnButton = 112;

TEST(Driver, TextsStatusBarAndExit) {
    App app(copyProgramInto(freshFolder()));
    HWND main = app.waitMainWindow();
    EXPECT_EQ(windowText(main), "Lexpatch - mock");
    EXPECT_EQ(className(app.control(kLabel)), "LexpatchLabel");
    EXPECT_EQ(windowText(app.control(kLabel)), "changes 0");

    setWindowText(app.control(kEdit), "\xB2\xE2\r\nab");
    EXPECT_EQ(windowText(app.control(kEdit)), "\xB2\xE2\r\nab");
    EXPECT_EQ(windowText(app.control(kLabel)), "changes 0");
    typeText(app.control(kEdit), "\xCA\xD4x");
    EXPECT_EQ(windowText(app.control(kEdit)), "\xCA\xD4x");
    EXPECT_EQ(windowText(app.control(kLabel)), "changes 1");

    EXPECT_EQ(statusBarParts(app.control(kStatus)), (std::vector<int>{100, 200, -1}));
    EXPECT_EQ(statusBarTexts(app.control(kStatus)),
              (std::vector<std::string>{"", "\xB2\xE2\xCA\xD4", ""}));

    std::vector<HWND> children = childrenInZOrder(main);
    ASSERT_EQ(children.size(), 7u);
    EXPECT_EQ(children[0], app.control(kStatus));
    EXPECT_EQ(children[6], app.control(kSpawnButton));
    RECT r = rectInParent(app.control(kEdit));
    EXPECT_EQ(r.left, 40);
    EXPECT_EQ(r.top, 8);
    EXPECT_EQ(width(r), 432);

    app.close();
    EXPECT_EQ(app.waitExit(), 7u);
}

TEST(Driver, NoticesOneAfterTheOther) {
    App app(copyProgramInto(freshFolder()));
    app.waitMainWindow();
    EXPECT_EQ(app.findNotice(), nullptr);
    click(app.control(kNoticeButton));
    Box first = app.waitNotice();
    EXPECT_EQ(first.caption(), "\xD0\xC5\xCF\xA2\xA3\xBA");
    EXPECT_FALSE(IsWindowEnabled(app.mainWindow()));
    EXPECT_EQ(app.takeNotice(), "\xB5\xDA\xD2\xBB");
    EXPECT_EQ(app.takeNotice(), "\xB5\xDA\xB6\xFE");
    EXPECT_TRUE(pollUntil([&] { return IsWindowEnabled(app.mainWindow()) != 0; }));
    EXPECT_EQ(app.findNotice(), nullptr);
}

TEST(Driver, OpenDialogOffersAndChooses) {
    App app(copyProgramInto(freshFolder()));
    app.waitMainWindow();
    click(app.control(kOpenButton));
    FileDialog dialog = app.waitFileDialog();
    EXPECT_EQ(dialog.fileName(), "offered.exe");
    EXPECT_EQ(dialog.folder(), "C:\\windows");
    dialog.pressCancel();
    dialog.waitClosed();
    EXPECT_TRUE(pollUntil([&] { return windowText(app.mainWindow()) == "Lexpatch - cancelled"; }));

    click(app.control(kOpenButton));
    dialog = app.waitFileDialog();
    dialog.choose("C:\\windows\\notepad.exe");
    dialog.waitClosed();
    EXPECT_TRUE(pollUntil(
        [&] { return windowText(app.mainWindow()) == "Lexpatch - C:\\windows\\notepad.exe"; }));
}

TEST(Driver, SaveDialogAsksBeforeOverwriting) {
    std::string folder = freshFolder("\xB2\xE2\xCA\xD4");  // 测试
    App app(copyProgramInto(folder));
    app.waitMainWindow();
    std::string target = folder + "\\old.exe";
    writeFileBytes(target, "old");

    click(app.control(kSaveButton));
    FileDialog dialog = app.waitFileDialog();
    dialog.choose(target);
    Box prompt = dialog.waitBox();
    EXPECT_EQ(prompt.caption(), "\xB4\xED\xCE\xF3");  // 错误
    prompt.press(IDNO);
    EXPECT_TRUE(dialog.isOpen());
    dialog.pressOk();
    dialog.waitBox().press(IDYES);
    dialog.waitClosed();
    EXPECT_TRUE(pollUntil([&] { return windowText(app.mainWindow()) == "Lexpatch - " + target; }));
    EXPECT_EQ(readFileBytes(target), "old");
}

TEST(Driver, EndsWhatTheProgramStarted) {
    HANDLE second = nullptr;
    {
        App app(copyProgramInto(freshFolder()));
        app.waitMainWindow();
        EXPECT_TRUE(app.startedProcesses().empty());
        click(app.control(kSpawnButton));
        std::vector<HWND> windows;
        ASSERT_TRUE(pollUntil([&] { return !(windows = app.startedProgramWindows()).empty(); }));
        EXPECT_EQ(windowText(windows[0]), "Lexpatch - mock");
        ASSERT_EQ(app.startedProcesses().size(), 1u);
        second = OpenProcess(SYNCHRONIZE, FALSE, app.startedProcesses()[0]);
        ASSERT_NE(second, nullptr);
    }
    EXPECT_EQ(WaitForSingleObject(second, kWaitMs), WAIT_OBJECT_0);
    CloseHandle(second);
}

}  // namespace
}  // namespace e2e
