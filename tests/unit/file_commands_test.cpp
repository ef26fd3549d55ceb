#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/notices.h"
#include "commands/restore_command.h"
#include "files/settings.h"
#include "fakes.h"
#include "commands/file_commands.h"
#include "files/paths.h"
#include "gbk.h"

namespace {

TEST(PathsTest, DirectoryOf) {
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"D:\\work\\app.exe", "D:\\work"},
        {"C:\\app.exe", "C:"},
        {"\\app.exe", ""},
        {"app.exe", ""},
        {"", ""},
        {"\\\\server\\share\\app.exe", "\\\\server\\share"},
        {"D:\\work\\", "D:\\work"},
        {gbkBytes(u8"D:\\表\\a.exe"), gbkBytes(u8"D:\\表")},   // 表 is B1 ED
        {gbkBytes(u8"D:\\新表\\a.exe"), gbkBytes(u8"D:\\新表")},
        {gbkBytes(u8"D:\\a\\運.exe"), "D:\\a"},                // 運 ends in 5C: no separator
        {gbkBytes(u8"D:\\功"), "D:"},                            // 功 is B9 A6
        {"D:\\x\\\x81", "D:\\x"},                               // a lead byte right before the end
    };
    EXPECT_EQ(static_cast<unsigned char>(gbkBytes(u8"運")[1]), 0x5c);
    for (const auto& [path, directory] : cases) {
        EXPECT_EQ(directoryOf(AnsiText(path.c_str())), AnsiText(directory.c_str())) << path;
    }
    const std::string trail = gbkBytes(u8"D:\\a\\運");  // ends in the 5C of a character
    EXPECT_EQ(directoryOf(AnsiText(trail.c_str())), AnsiText("D:\\a"));
}

TEST(FileDialogTest, FlagsAndFilterList) {
    FileDialog dialog = executableDialog(FileDialog::Kind::save);
    EXPECT_EQ(dialog.flags(), 0x4u | 0x2u | 0x800u | 0x1000u | 0x20u | 0x80000u | 0x800000u);
    EXPECT_EQ(dialog.filterList(), gbkBytes(u8"可执行文件(*.exe)") + std::string("\0*.exe\0\0", 8));
    EXPECT_EQ(dialog.filterIndex(), 1u);
    dialog.noChangeDirectory = true;
    dialog.createPrompt = true;
    EXPECT_EQ(dialog.flags() & 0x2008u, 0x2008u);

    const std::vector<std::pair<std::string, std::string>> filters = {
        {"a|b||", std::string("a\0b\0\0", 5)},      // already ends in ||: no second ||
        {"a|b \t\r\n", std::string("a\0b\0\0", 5)},  // trailing white space removed
        {"  ", ""},
        {"", ""},
        {gbkBytes(u8"表|*.x"), gbkBytes(u8"表") + std::string("\0*.x\0\0", 6)},
    };
    for (const auto& [filter, list] : filters) {
        dialog.filter = AnsiText(filter.c_str());
        EXPECT_EQ(dialog.filterList(), list) << filter;
    }
    // A | that is the second byte of a character stays.
    const std::string withBar = "\x81|x|y";
    dialog.filter = AnsiText(withBar.c_str());
    EXPECT_EQ(dialog.filterList(), std::string("\x81|x\0y\0\0", 7));
    EXPECT_EQ(dialog.filterIndex(), 1u);
    dialog.initialFilter = 2;
    EXPECT_EQ(dialog.filterIndex(), 3u);
    dialog.initialFilter = -4;
    EXPECT_EQ(dialog.filterIndex(), 1u);
    dialog.filter = " ";
    EXPECT_EQ(dialog.filterIndex(), 0u);
}

TEST(FileCommandsTest, OpenAdoptsThePathInOrder) {
    Harness h;
    h.form.answers.push_back(AnsiText("D:\\work\\app.exe"));
    openCommand(h.context);
    EXPECT_EQ(h.state.currentFilePath, AnsiText("D:\\work\\app.exe"));
    EXPECT_EQ(h.log.events, (std::vector<std::string>{"caption=Lexpatch - D:\\work\\app.exe", "setting file=D:\\work\\app.exe",
                                                      "setting dir=D:\\work", "text 12=D:\\work"}));
    EXPECT_EQ(h.form.openDialog.initialDirectory, AnsiText("D:\\work"));
    EXPECT_EQ(h.form.saveDialog.initialDirectory, AnsiText("D:\\work"));
    EXPECT_EQ(h.form.openDialog.fileName, AnsiText("D:\\work\\app.exe"));
    EXPECT_TRUE(isEmptyText(h.form.saveDialog.fileName));

    h.form.answers.push_back(std::nullopt);  // Cancel: nothing changes
    h.log.events.clear();
    openCommand(h.context);
    EXPECT_TRUE(h.log.events.empty());
    EXPECT_EQ(h.form.shown.back().offeredName, AnsiText("D:\\work\\app.exe"));  // the last path is offered again

    h.form.answers.push_back(AnsiText("app.exe"));
    openCommand(h.context);
    EXPECT_EQ(h.system.settings["dir"], AnsiText(""));  // written empty, not deleted
    EXPECT_EQ(h.log.events.back(), "text 12=");
}

TEST(FileCommandsTest, DefaultDirectoryNeedsSomethingThatExists) {
    Harness h;
    h.system.folders.insert("C:\\Windows");
    for (const char* text : {"C:\\Windows\\", "C:\\missing", ""}) {
        h.form.texts[Control::编辑框3] = text;
        defaultDirectoryCommand(h.context);
    }
    EXPECT_TRUE(h.log.events.empty());
    EXPECT_TRUE(isEmptyText(h.form.openDialog.initialDirectory));

    h.form.texts[Control::编辑框3] = "C:\\Windows";
    defaultDirectoryCommand(h.context);
    EXPECT_EQ(h.log.events, std::vector<std::string>{"setting dir=C:\\Windows"});
    EXPECT_EQ(h.form.openDialog.initialDirectory, AnsiText("C:\\Windows"));
    EXPECT_EQ(h.form.saveDialog.initialDirectory, AnsiText("C:\\Windows"));
    EXPECT_TRUE(h.form.notices.empty());
}

TEST(FileCommandsTest, RunReportsAFileThatCannotStart) {
    Harness h;
    runCommand(h.context);  // no file
    h.system.files["C:\\My Tools\\app.exe"] = ByteBuffer{0x4d, 0x5a};
    h.state.currentFilePath = "C:\\My Tools\\app.exe";
    runCommand(h.context);
    EXPECT_EQ(h.system.started, (std::vector<AnsiText>{"", "C:\\My Tools\\app.exe"}));
    ASSERT_EQ(h.form.notices.size(), 1u);
    EXPECT_EQ(h.form.notices[0], concatText(gbk(u8"额哦~执行失败了！是本程序的问题么？~请将详细信息(文件，您的输入，操作)发到"),
                                            "bugs@lexpatch.org",
                                            gbk(u8"\r\n如果您按正确方法还不能处理，请用WinHex或HexWorkshop等自行修改。")));
}

TEST(RestoreSettingsTest, FirstStartCreatesTheDefaultFileQuietly) {
    Harness h;
    restoreSettings(h.context);
    const std::string content = "[main]\r\ndir=\r\nfile=\r\n";
    const ByteBuffer& written = h.system.files["C:\\tools\\set.ini"];
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(written.data()), static_cast<std::size_t>(written.size())), content);
    EXPECT_EQ(h.log.events, std::vector<std::string>{"write C:\\tools\\set.ini"});

    Harness readOnly;
    readOnly.system.writable = false;
    restoreSettings(readOnly.context);
    EXPECT_TRUE(readOnly.form.notices.empty());
}

struct RestoreCase {
    const char* what;
    const char* file;
    const char* dir;
    std::vector<const char8_t*> notices;
    bool captionShowsFile;
};

TEST(RestoreSettingsTest, TwoNoticesByWhatExists) {
    const std::vector<RestoreCase> cases = {
        {"nothing remembered", "", "", {u8"上次文件不存在！", u8"无默认目录！"}, false},
        {"file and folder exist", "D:\\work\\app.exe", "D:\\work", {u8"已载入上次文件！", u8"已载入默认目录"}, true},
        {"folder gone", "D:\\work\\app.exe", "D:\\gone", {u8"已载入上次文件！", u8"文件目录不存在，已使用文件目录！"}, true},
        {"file gone", "D:\\gone.exe", "D:\\work", {u8"上次文件D:\\gone.exe不存在！", u8"已载入默认目录"}, false},
        {"drive root", "D:\\gone.exe", "C:\\", {u8"上次文件D:\\gone.exe不存在！", u8"无默认目录！"}, false},
    };
    for (const RestoreCase& c : cases) {
        Harness h;
        h.system.files["C:\\tools\\set.ini"] = ByteBuffer{};
        h.system.files["D:\\work\\app.exe"] = ByteBuffer{0x4d};
        h.system.folders.insert("D:\\work");
        h.system.settings["file"] = c.file;
        h.system.settings["dir"] = c.dir;
        restoreSettings(h.context);
        std::vector<AnsiText> expected;
        for (const char8_t* notice : c.notices) expected.push_back(gbk(notice));
        EXPECT_EQ(h.form.notices, expected) << c.what;
        EXPECT_EQ(h.state.currentFilePath, AnsiText(c.file)) << c.what;  // kept even when it names nothing
        EXPECT_EQ(h.form.caption, c.captionShowsFile ? concatText("Lexpatch - ", c.file) : gbk(u8"Lexpatch - 无打开文件")) << c.what;
        EXPECT_EQ(h.form.texts[Control::编辑框3], AnsiText(c.dir)) << c.what;
        EXPECT_EQ(h.form.openDialog.initialDirectory, AnsiText(c.dir)) << c.what;
        EXPECT_EQ(h.form.saveDialog.initialDirectory, AnsiText(c.dir)) << c.what;
        EXPECT_EQ(h.state.searchCursor, 0);
    }
}

TEST(NoticesTest, FatalErrorText) {
    EXPECT_EQ(fatalErrorText(gbk(u8"载入启动窗口失败")), gbk(u8"运行时出错!\r\n\r\n错误信息：载入启动窗口失败\r\n"));
    EXPECT_EQ(fatalErrorText(""), gbk(u8"运行时出错!\r\n\r\n"));
    EXPECT_EQ(allocationFailureMessage(1048576), gbk(u8"分配 1048576 字节内存失败!"));
}

}  // namespace
