// The Win32 services against the real system: file reads and writes, the profile functions,
// find-first-file, the all-or-nothing save.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>

#include <string>
#include <vector>

#include "files/settings.h"
#include "bytes/byte_buffer.h"
#include "files/save_file.h"
#include "files/system_files.h"

namespace {

std::string bytesOf(const ByteBuffer& b) { return std::string(reinterpret_cast<const char*>(b.data()), static_cast<std::size_t>(b.size())); }

class ServicesTest : public ::testing::Test {
protected:
    std::string folder;

    void SetUp() override {
        char temp[MAX_PATH];
        GetTempPathA(MAX_PATH, temp);
        folder = std::string(temp) + "lexpatch-win-" + std::to_string(GetCurrentProcessId()) + "-" +
                 ::testing::UnitTest::GetInstance()->current_test_info()->name();
        CreateDirectoryA(folder.c_str(), nullptr);
    }
    void TearDown() override {
        WIN32_FIND_DATAA found;
        const HANDLE search = FindFirstFileA((folder + "\\*").c_str(), &found);
        if (search != INVALID_HANDLE_VALUE) {
            do {
                const std::string path = folder + "\\" + found.cFileName;
                SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
                DeleteFileA(path.c_str());
                RemoveDirectoryA(path.c_str());
            } while (FindNextFileA(search, &found));
            FindClose(search);
        }
        RemoveDirectoryA(folder.c_str());
    }
    std::string path(const std::string& name) const { return folder + "\\" + name; }
    void put(const std::string& name, const std::string& content) const {
        const HANDLE file = CreateFileA(path(name).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
        DWORD written = 0;
        WriteFile(file, content.data(), static_cast<DWORD>(content.size()), &written, nullptr);
        CloseHandle(file);
    }
    std::string contentOf(const std::string& name) const { return bytesOf(readWholeFile(AnsiText(path(name).c_str()))); }
    std::vector<std::string> names() const {
        std::vector<std::string> result;
        WIN32_FIND_DATAA found;
        const HANDLE search = FindFirstFileA((folder + "\\*").c_str(), &found);
        if (search == INVALID_HANDLE_VALUE) return result;
        do {
            if (found.cFileName[0] != '.') result.emplace_back(found.cFileName);
        } while (FindNextFileA(search, &found));
        FindClose(search);
        return result;
    }
};

TEST_F(ServicesTest, ReadWholeFile) {
    const std::string content("MZ\0\x90\xff text\0\0", 12);
    put("app.exe", content);
    put("empty.exe", "");
    CreateDirectoryA(path("sub").c_str(), nullptr);
    EXPECT_EQ(contentOf("app.exe"), content);
    EXPECT_EQ(contentOf("empty.exe"), "");
    EXPECT_EQ(contentOf("missing.exe"), "");
    EXPECT_EQ(contentOf("sub"), "");
    EXPECT_EQ(bytesOf(readWholeFile(AnsiText())), "");

    // Held open for writing by someone else: others may read only when writers share, and
    // this read does not share writing.
    const HANDLE writer = CreateFileA(path("app.exe").c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                      OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(writer, INVALID_HANDLE_VALUE);
    EXPECT_EQ(contentOf("app.exe"), "");
    CloseHandle(writer);
    // Held open for reading: fine.
    const HANDLE reader = CreateFileA(path("app.exe").c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    EXPECT_EQ(contentOf("app.exe"), content);
    CloseHandle(reader);
}

TEST_F(ServicesTest, FileTooLargeForABufferReadsAsEmpty) {
    for (const long long bytes : {1LL << 31, (1LL << 32) + 1}) {  // the second wraps to 1
        const HANDLE file = CreateFileA(path("huge.exe").c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
        LARGE_INTEGER size;
        size.QuadPart = bytes;
        ASSERT_TRUE(SetFilePointerEx(file, size, nullptr, FILE_BEGIN) && SetEndOfFile(file));
        CloseHandle(file);
        EXPECT_EQ(contentOf("huge.exe"), "") << bytes;
    }
}

TEST_F(ServicesTest, WriteWholeFileCreatesOrTruncates) {
    const AnsiText settings(path("set.ini").c_str());
    put("set.ini", std::string(100, 'x'));
    EXPECT_TRUE(writeWholeFile(settings, defaultSettingsContent()));
    EXPECT_EQ(contentOf("set.ini"), std::string("[main]\r\ndir=\r\nfile=\r\n"));
    EXPECT_EQ(contentOf("set.ini").size(), 21u);
    EXPECT_TRUE(writeWholeFile(AnsiText(path("new.bin").c_str()), ByteBuffer()));
    EXPECT_EQ(names().size(), 2u);
    EXPECT_FALSE(writeWholeFile(AnsiText(), ByteBuffer{1}));
    EXPECT_FALSE(writeWholeFile(AnsiText(path("no\\such\\folder.bin").c_str()), ByteBuffer{1}));
}

TEST_F(ServicesTest, SettingsThroughTheProfileFunctions) {
    const AnsiText settings(path("set.ini").c_str());
    EXPECT_EQ(readSetting(settings, "file"), AnsiText());  // no file
    writeWholeFile(settings, defaultSettingsContent());
    EXPECT_EQ(readSetting(settings, "dir"), AnsiText());   // dir=
    EXPECT_EQ(readSetting(settings, "other"), AnsiText()); // no such key
    writeSetting(settings, "file", "C:\\x\\a.exe");
    EXPECT_EQ(contentOf("set.ini"), "[main]\r\ndir=\r\nfile=C:\\x\\a.exe\r\n");
    writeSetting(settings, "dir", "C:\\x");
    writeSetting(settings, "dir", "");
    EXPECT_NE(contentOf("set.ini").find("dir=\r\n"), std::string::npos);  // an empty write keeps the key
    put("set.ini", "[main]\r\nfile=\"C:\\q u\\a.exe\"\r\ndir=  C:\\d  \r\n");
    EXPECT_EQ(readSetting(settings, "file"), AnsiText("C:\\q u\\a.exe"));
    EXPECT_EQ(readSetting(settings, "dir"), AnsiText("C:\\d"));
    const std::string chinese = "D:\\\xce\xc4\xbc\xfe\\\xb3\xcc\xd0\xf2.exe";  // D:\文件\程序.exe
    writeSetting(settings, "file", AnsiText(chinese.c_str()));
    EXPECT_EQ(readSetting(settings, "file"), AnsiText(chinese.c_str()));
}

TEST_F(ServicesTest, PathExists) {
    put("app.exe", "MZ");
    CreateDirectoryA(path("sub").c_str(), nullptr);
    struct Case {
        std::string text;
        bool exists;
    };
    const std::vector<Case> cases = {
        {path("app.exe"), true}, {path("sub"), true},       {path("*.exe"), true},  {path("a?p.exe"), true},
        {path("sub\\"), false},  {path("missing"), false},  {path("*.dll"), false}, {"", false},
        {"C:\\", false},
    };
    for (const Case& c : cases) EXPECT_EQ(pathExists(AnsiText(c.text.c_str())), c.exists) << c.text;
}

TEST_F(ServicesTest, SaveFileIsAllOrNothing) {
    const std::string a = "before-";
    const std::string b = "block";
    const std::string c = "-after";
    const std::vector<ByteSpan> pieces = {{reinterpret_cast<const std::uint8_t*>(a.data()), a.size()},
                                          {reinterpret_cast<const std::uint8_t*>(b.data()), b.size()},
                                          {reinterpret_cast<const std::uint8_t*>(c.data()), c.size()}};
    // A new file, and an existing one replaced whole.
    EXPECT_TRUE(saveFile(AnsiText(path("new.exe").c_str()), pieces));
    EXPECT_EQ(contentOf("new.exe"), "before-block-after");
    put("old.exe", std::string(1000, 'o'));
    EXPECT_TRUE(saveFile(AnsiText(path("old.exe").c_str()), pieces));
    EXPECT_EQ(contentOf("old.exe"), "before-block-after");

    // A read-only file, a file another program holds without sharing, a folder, a missing folder.
    put("readonly.exe", "keep");
    SetFileAttributesA(path("readonly.exe").c_str(), FILE_ATTRIBUTE_READONLY);
    EXPECT_FALSE(saveFile(AnsiText(path("readonly.exe").c_str()), pieces));
    EXPECT_EQ(contentOf("readonly.exe"), "keep");
    put("held.exe", "held");
    const HANDLE holder = CreateFileA(path("held.exe").c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    EXPECT_FALSE(saveFile(AnsiText(path("held.exe").c_str()), pieces));
    CloseHandle(holder);
    EXPECT_EQ(contentOf("held.exe"), "held");
    CreateDirectoryA(path("sub").c_str(), nullptr);
    EXPECT_FALSE(saveFile(AnsiText(path("sub").c_str()), pieces));
    EXPECT_FALSE(saveFile(AnsiText(path("gone\\x.exe").c_str()), pieces));
    EXPECT_FALSE(saveFile(AnsiText(), pieces));

    std::vector<std::string> left = names();
    std::sort(left.begin(), left.end());
    EXPECT_EQ(left, (std::vector<std::string>{"held.exe", "new.exe", "old.exe", "readonly.exe", "sub"}));  // no temporary file left
}

}  // namespace
