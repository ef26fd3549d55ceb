#include <gtest/gtest.h>

#include <vector>

#include "fakes.h"
#include "gbk.h"
#include "commands/patch_commands.h"
#include "patch/patch_site.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

ByteBuffer buf(const Bytes& bytes) { return ByteBuffer::copyOf(bytes.data(), static_cast<std::int32_t>(bytes.size())); }
Bytes bytesOf(const ByteBuffer& b) { return Bytes(b.data(), b.data() + b.size()); }

PatchSite locateIn(const Bytes& file, const ByteBuffer& text) {
    MemoryFile memory(std::string(file.begin(), file.end()));
    FileScanner scanner(memory);
    return locateIn(scanner, spanOf(text));
}

struct SiteCase {
    const char* what;
    Bytes file;
    std::int32_t scanEnd;
    std::int32_t zeroCount;
};

TEST(LocateTest, MeasuresTheRoomOfTheFirstOccurrence) {
    const ByteBuffer abc{0x61, 0x62, 0x63};
    const std::vector<SiteCase> cases = {
        {"usual layout", {0x41, 0x61, 0x62, 0x63, 0x00, 0x00, 0x00, 0x41}, 8, 2},
        {"not found", {0x61, 0x62, 0x00}, -1, 0},
        {"non-zero byte behind the match: the text alone", {0x61, 0x62, 0x63, 0x64, 0x00, 0x00}, 5, 0},
        {"inside a longer text", {0x61, 0x62, 0x63, 0x64, 0x65, 0x00}, 5, 0},
        {"match ends the file", {0x41, 0x61, 0x62, 0x63}, 6, 0},
        {"one zero byte left", {0x61, 0x62, 0x63, 0x00}, 5, 0},
        {"one other byte left", {0x61, 0x62, 0x63, 0x64}, 5, 0},
        {"zero run to the end", {0x61, 0x62, 0x63, 0x00, 0x00, 0x00}, 7, 2},
        {"only the first occurrence counts", {0x61, 0x62, 0x63, 0x00, 0x41, 0x61, 0x62, 0x63, 0x00, 0x00, 0x00}, 5, 0},
    };
    for (const SiteCase& c : cases) {
        const PatchSite site = locateIn(c.file, abc);
        EXPECT_EQ(site.scanEnd, c.scanEnd) << c.what;
        EXPECT_EQ(site.zeroCount, c.zeroCount) << c.what;
    }
    EXPECT_EQ(locateIn(Bytes{0x61}, ByteBuffer()).scanEnd, -1);  // an empty text is never found
}

TEST(LocateTest, FitsRuleIncludesEquality) {
    EXPECT_TRUE(replacementFits(3, 2, 5));
    EXPECT_FALSE(replacementFits(3, 2, 6));
    EXPECT_TRUE(replacementFits(2147483647, 2147483647, 2147483647));  // no 32-bit overflow
}

// The Replace command writes only the bytes that change; the file must be what one replaceBytes
// of the text and its zero run by the replacement padded to the room gives.
TEST(LocateTest, PatchEqualsReplacingTheTextAndItsZeros) {
    const Bytes file = {0x48, 0x69, 0x00, 0x61, 0x62, 0x63, 0x00, 0x00, 0x00, 0x00, 0x7a, 0x61, 0x62, 0x63, 0x00};
    const ByteBuffer text{0x61, 0x62, 0x63};
    for (const ByteBuffer& replacement : {ByteBuffer{0x78}, ByteBuffer{0x78, 0x79, 0x7a, 0x77, 0x76, 0x75}}) {
        const PatchSite site = locateIn(file, text);
        const Patch patch = patchFor(site, text, replacement);
        const std::int32_t room = bytesLength(text) + static_cast<std::int32_t>(site.zeroCount);
        Bytes patched = file;
        std::copy(patch.block.data(), patch.block.data() + patch.block.size(), patched.begin() + patch.roomStart);
        const ByteBuffer pattern = concatBytes(text, blankBytes(static_cast<std::int32_t>(site.zeroCount)));
        const ByteBuffer roomBlock = concatBytes(replacement, blankBytes(room - bytesLength(replacement)));
        EXPECT_EQ(patched, bytesOf(replaceBytes(buf(file), pattern, roomBlock, 1, 1)));
    }
}

class TestCommandTest : public ::testing::Test {
protected:
    Harness h;
    void SetUp() override {
        h.system.files["C:\\a.exe"] = buf({0x41, 0x61, 0x62, 0x63, 0x00, 0x00, 0x00, 0x41});
        h.state.currentFilePath = "C:\\a.exe";
        h.form.texts[Control::编辑框1] = "abc";
        h.form.texts[Control::编辑框2] = gbk(u8"汉字");
    }
};

TEST_F(TestCommandTest, ReportsTheLengthsAndWhetherItFits) {
    testCommand(h.context);
    ASSERT_EQ(h.form.notices.size(), 1u);
    EXPECT_EQ(h.form.notices[0], gbk(u8"文本长度：3\r\n后0字节数：2\r\n你输入的文本长度：4\r\n原长大于或等于替换长度，可以替换！"));

    h.form.texts[Control::编辑框2] = gbk(u8"三个字");
    testCommand(h.context);
    EXPECT_EQ(h.form.notices[1], gbk(u8"文本长度：3\r\n后0字节数：2\r\n你输入的文本长度：6\r\n原长小于替换长度，无法替换！"));
    EXPECT_TRUE(h.log.events.size() == 2) << "Test changes nothing but shows its notice";
}

TEST_F(TestCommandTest, EmptyInputsAndMissingTexts) {
    const AnsiText noInput = gbk(u8"未输入或未载入文件！");
    h.form.texts[Control::编辑框1] = "";
    testCommand(h.context);
    h.form.texts[Control::编辑框1] = "abc";
    h.form.texts[Control::编辑框2] = "";
    testCommand(h.context);
    h.form.texts[Control::编辑框2] = "x";
    h.state.currentFilePath = "";
    testCommand(h.context);
    h.state.currentFilePath = "C:\\gone.exe";
    testCommand(h.context);
    h.state.currentFilePath = "C:\\a.exe";
    h.form.texts[Control::编辑框1] = " ";  // blanks are a text like any other
    testCommand(h.context);
    EXPECT_EQ(h.form.notices, (std::vector<AnsiText>{noInput, noInput, noInput, gbk(u8"找不到此文本！"), gbk(u8"找不到此文本！")}));
}

// The window's positions are 32-bit: a file of 2^31 bytes or more reads as an empty one in
// every command that reads the file.
TEST_F(TestCommandTest, FileOf2GiBOrMoreReadsAsEmpty) {
    h.system.oversized.insert("C:\\a.exe");
    testCommand(h.context);
    EXPECT_EQ(h.form.notices, std::vector<AnsiText>{gbk(u8"找不到此文本！")});
    h.form.texts[Control::编辑框4] = "abc";
    nextCommand(h.context);
    EXPECT_EQ(h.form.texts[Control::编辑框5], gbk(u8"程序提示：没找到"));
    h.form.answers.push_back(AnsiText("C:\\b.exe"));
    replaceCommand(h.context);
    EXPECT_EQ(h.form.notices.back(), gbk(u8"找不到文本！"));
}

class ReplaceCommandTest : public ::testing::Test {
protected:
    Harness h;
    // "Hello" at P = 3, zero bytes at P+5..P+8, a non-zero byte at P+9.
    const Bytes source = {0x41, 0x42, 'H', 'e', 'l', 'l', 'o', 0, 0, 0, 0, 0x43, 0x44};
    void SetUp() override {
        h.system.files["D:\\work\\app.exe"] = buf(source);
        h.state.currentFilePath = "D:\\work\\app.exe";
        h.form.texts[Control::编辑框1] = "Hello";
        h.form.texts[Control::编辑框2] = "Bye";
    }
};

TEST_F(ReplaceCommandTest, PatchesTheRoomSavesAndAdoptsTheCopy) {
    h.form.answers.push_back(AnsiText("D:\\out\\new.exe"));
    replaceCommand(h.context);
    EXPECT_TRUE(h.form.notices.empty());
    EXPECT_EQ(h.form.status[0], AnsiText("12"));  // P + 9
    EXPECT_EQ(h.form.status[1], AnsiText("3"));
    EXPECT_EQ(bytesOf(h.system.files["D:\\out\\new.exe"]), (Bytes{0x41, 0x42, 'B', 'y', 'e', 0, 0, 0, 0, 0, 0, 0x43, 0x44}));
    EXPECT_EQ(bytesOf(h.system.files["D:\\work\\app.exe"]), source);
    EXPECT_EQ(h.state.currentFilePath, AnsiText("D:\\out\\new.exe"));
    EXPECT_EQ(h.system.fileReads, 1);
    EXPECT_EQ(h.log.events, (std::vector<std::string>{"save D:\\out\\new.exe", "caption=Lexpatch - D:\\out\\new.exe",
                                                      "setting file=D:\\out\\new.exe", "setting dir=D:\\out",
                                                      "text 12=D:\\out"}));
    EXPECT_EQ(h.form.openDialog.initialDirectory, AnsiText("D:\\out"));
    EXPECT_EQ(h.form.saveDialog.initialDirectory, AnsiText("D:\\out"));

    // The next Replace works on the saved copy.
    h.form.texts[Control::编辑框1] = "Bye";
    h.form.texts[Control::编辑框2] = "12345678";  // exactly the room
    h.form.answers.push_back(AnsiText("D:\\out\\new.exe"));
    replaceCommand(h.context);
    EXPECT_EQ(bytesOf(h.system.files["D:\\out\\new.exe"]), (Bytes{0x41, 0x42, '1', '2', '3', '4', '5', '6', '7', '8', 0, 0x43, 0x44}));
}

TEST_F(ReplaceCommandTest, TooLongReplacementShowsTheSiteAndWritesNothing) {
    h.form.texts[Control::编辑框2] = "123456789";
    replaceCommand(h.context);
    EXPECT_EQ(h.form.notices, std::vector<AnsiText>{gbk(u8"原长度小于替换后长度，不予替换！")});
    EXPECT_EQ(h.form.status[0], AnsiText("12"));
    EXPECT_EQ(h.form.status[1], AnsiText("3"));
    EXPECT_TRUE(h.form.shown.empty());
    EXPECT_EQ(h.system.files.size(), 1u);
}

TEST_F(ReplaceCommandTest, ValidatesInOrderAndReadsTheReplacementOnlyAfterTheText) {
    const AnsiText empty = gbk(u8"未载入文件或输入框为空！");
    h.form.texts[Control::编辑框1] = "";
    replaceCommand(h.context);
    EXPECT_EQ(h.form.reads, std::vector<Control>{Control::编辑框1});
    h.form.texts[Control::编辑框1] = "Hello";
    h.form.texts[Control::编辑框2] = "";
    replaceCommand(h.context);
    h.form.texts[Control::编辑框2] = "Bye";
    h.state.currentFilePath = "";
    replaceCommand(h.context);
    h.state.currentFilePath = "D:\\work\\gone.exe";
    replaceCommand(h.context);
    EXPECT_EQ(h.form.notices, (std::vector<AnsiText>{empty, empty, empty, gbk(u8"找不到文本！")}));
    EXPECT_TRUE(isEmptyText(h.form.status[0]));
}

TEST_F(ReplaceCommandTest, CancelChangesOnlyTheStatusBar) {
    h.form.answers.push_back(std::nullopt);
    replaceCommand(h.context);
    EXPECT_EQ(h.form.status[0], AnsiText("12"));
    EXPECT_TRUE(h.log.events.empty());
    EXPECT_EQ(h.state.currentFilePath, AnsiText("D:\\work\\app.exe"));
}

TEST_F(ReplaceCommandTest, FailedSaveIsReportedAndNothingIsAdopted) {
    h.system.failingSaves.insert("D:\\locked.exe");
    h.form.answers.push_back(AnsiText("D:\\locked.exe"));
    replaceCommand(h.context);
    EXPECT_EQ(h.form.notices, std::vector<AnsiText>{gbk(u8"保存文件失败，目标文件未被修改！")});
    EXPECT_EQ(h.log.events, (std::vector<std::string>{"save D:\\locked.exe", "notice=" + gbkBytes(u8"保存文件失败，目标文件未被修改！")}));
    EXPECT_EQ(h.state.currentFilePath, AnsiText("D:\\work\\app.exe"));
    EXPECT_TRUE(isEmptyText(h.form.saveDialog.initialDirectory));
}

TEST_F(ReplaceCommandTest, FileChangedWhileTheDialogWasUpIsNotMixedIntoTheCopy) {
    h.form.whileShown = [&] { h.system.store("D:\\work\\app.exe", buf({'H', 'e', 'l', 'l', 'o', 0, 0, 0, 0})); };
    h.form.answers.push_back(AnsiText("D:\\out\\new.exe"));
    replaceCommand(h.context);
    EXPECT_EQ(h.form.notices, std::vector<AnsiText>{gbk(u8"保存文件失败，目标文件未被修改！")});
    EXPECT_EQ(h.system.files.count("D:\\out\\new.exe"), 0u);
    EXPECT_EQ(h.state.currentFilePath, AnsiText("D:\\work\\app.exe"));
}

TEST_F(ReplaceCommandTest, MatchInsideALongerTextOverwritesExactlyThatOccurrence) {
    // "Hell" inside "Hello\0\0\0": a room counted across the "o" would be 7 bytes, and the text
    // with three zeros behind it occurs only later, where nobody measured.
    h.system.files["D:\\work\\app.exe"] = buf({'H', 'e', 'l', 'l', 'o', 0, 0, 0, 'H', 'e', 'l', 'l', 0, 0, 0, 0, 0x41});
    h.form.texts[Control::编辑框1] = "Hell";
    h.form.texts[Control::编辑框2] = "Ha";
    h.form.answers.push_back(AnsiText("D:\\work\\app.exe"));
    replaceCommand(h.context);
    EXPECT_EQ(h.form.status[1], AnsiText("0"));
    EXPECT_EQ(bytesOf(h.system.files["D:\\work\\app.exe"]),
              (Bytes{'H', 'a', 0, 0, 'o', 0, 0, 0, 'H', 'e', 'l', 'l', 0, 0, 0, 0, 0x41}));
}

TEST_F(ReplaceCommandTest, ChineseOfTheSameByteLengthFitsWithoutZeros) {
    h.system.files["D:\\work\\app.exe"] = buf({'F', 'i', 'l', 'e', 0, 'x'});
    h.form.texts[Control::编辑框1] = "File";
    h.form.texts[Control::编辑框2] = gbk(u8"文件");
    h.form.answers.push_back(AnsiText("D:\\work\\zh.exe"));
    replaceCommand(h.context);
    const std::string expected = gbkBytes(u8"文件") + std::string("\0x", 2);
    EXPECT_EQ(bytesOf(h.system.files["D:\\work\\zh.exe"]), Bytes(expected.begin(), expected.end()));
}

class BrowseTest : public ::testing::Test {
protected:
    Harness h;
    void SetUp() override {
        h.system.files["C:\\a.exe"] = buf({0x61, 0x62, 0x00, 0x78, 0x61, 0x62, 0x00, 0x61, 0x62});
        h.state.currentFilePath = "C:\\a.exe";
        h.form.texts[Control::编辑框4] = "ab";
        fragmentChanged(h.context);
    }
    // One press: what 编辑框5 shows and the position 标签5 ends in.
    std::pair<AnsiText, AnsiText> press() {
        nextCommand(h.context);
        const std::string label(h.form.texts[Control::标签5].view());
        const std::string prefix = gbkBytes(u8"位置：");
        EXPECT_EQ(label.substr(0, prefix.size()), prefix);
        return {h.form.texts[Control::编辑框5], AnsiText(label.substr(prefix.size()).c_str())};
    }
};

TEST_F(BrowseTest, WalksTheTextsAndStartsAgain) {
    EXPECT_EQ(h.state.searchCursor, 1);
    using P = std::pair<AnsiText, AnsiText>;
    EXPECT_EQ(press(), P("ab", "4"));
    EXPECT_EQ(press(), P("ab", "8"));  // the occurrence inside "xab", not the text around it
    EXPECT_EQ(press(), P("ab", "-1"));
    EXPECT_EQ(press(), P("ab", "4"));
    EXPECT_EQ(h.system.fileReads, 4);  // one read per press
}

TEST_F(BrowseTest, MissesResetTheCursor) {
    const AnsiText notFound = gbk(u8"程序提示：没找到");
    using P = std::pair<AnsiText, AnsiText>;
    h.system.files["C:\\a.exe"] = buf({0x61, 0x62, 0x61, 0x62, 0x00, 0x63});  // two occurrences in one text
    EXPECT_EQ(press(), P("abab", "6"));
    EXPECT_EQ(press(), P(notFound, "1"));
    EXPECT_EQ(press(), P("abab", "6"));

    // Another file opened: the old cursor lies past its end.
    h.system.files["C:\\b.exe"] = buf({0x61, 0x62});
    h.state.currentFilePath = "C:\\b.exe";
    EXPECT_EQ(press(), P(notFound, "1"));
    EXPECT_EQ(press(), P("ab", "-1"));

    toBelowCommand(h.context);
    h.state.currentFilePath = "C:\\gone.exe";
    EXPECT_EQ(press(), P(notFound, "1"));
    toBelowCommand(h.context);
    EXPECT_EQ(h.form.texts[Control::编辑框1], notFound);
    EXPECT_EQ(h.form.texts[Control::编辑框2], notFound);
}

TEST_F(BrowseTest, NeedsAFragmentAndAFile) {
    h.form.texts[Control::编辑框5] = "kept";
    h.form.texts[Control::编辑框4] = "";
    nextCommand(h.context);
    h.form.texts[Control::编辑框4] = "ab";
    h.state.currentFilePath = "";
    nextCommand(h.context);
    EXPECT_EQ(h.form.notices, (std::vector<AnsiText>{gbk(u8"未输入或未载入文件！"), gbk(u8"未输入或未载入文件！")}));
    EXPECT_EQ(h.state.searchCursor, 1);
    EXPECT_EQ(h.form.texts[Control::编辑框5], AnsiText("kept"));
    EXPECT_EQ(h.system.fileReads, 0);
}

}  // namespace
