// savePatchedCopy on the real file system: the copy with its blocks, over the source itself, and
// the refusals that leave the target as it was.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#ifdef _WIN32
#include <windows.h>
#endif

#include "bytes/readable_file.h"
#include "files/save_file.h"

namespace {

namespace fs = std::filesystem;

class SavePatchedCopyTest : public ::testing::Test {
protected:
    fs::path folder = fs::temp_directory_path() / ("lexpatch-save-" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) +
                                                   "-" + ::testing::UnitTest::GetInstance()->current_test_info()->name());
    void SetUp() override { fs::create_directories(folder); }
    void TearDown() override { fs::remove_all(folder); }

    AnsiText at(const std::string& name) const { return AnsiText((folder / name).string().c_str()); }
    void put(const std::string& name, const std::string& content) const {
        std::ofstream(folder / name, std::ios::binary).write(content.data(), static_cast<std::streamsize>(content.size()));
    }
    std::string contentOf(const std::string& name) const {
        std::ifstream in(folder / name, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }
    FileStamp stampOf(const std::string& name) const { return openReadableFile(at(name))->stamp(); }
    std::vector<std::string> names() const {
        std::vector<std::string> result;
        for (const fs::directory_entry& entry : fs::directory_iterator(folder)) result.push_back(entry.path().filename().string());
        std::sort(result.begin(), result.end());
        return result;
    }
};

PatchBlock blockAt(std::int64_t offset, const std::string& bytes) {
    return {offset, {reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size()}};
}

TEST_F(SavePatchedCopyTest, CopiesTheSourceWithTheBlocksOverIt) {
    // Larger than one copy step, so that the blocks fall into different steps.
    std::string source(9 << 20, '\0');
    for (std::size_t i = 0; i < source.size(); i += 7) source[i] = static_cast<char>('a' + i % 26);
    put("app.exe", source);
    const std::string first = "first", second = "across a 4 MiB border", last = "end";
    const std::int64_t border = std::int64_t{4} << 20;
    const std::vector<PatchBlock> blocks = {blockAt(0, first), blockAt(border - 5, second),
                                            blockAt(static_cast<std::int64_t>(source.size() - last.size()), last)};
    std::string expected = source;
    expected.replace(0, first.size(), first);
    expected.replace(static_cast<std::size_t>(border - 5), second.size(), second);
    expected.replace(source.size() - last.size(), last.size(), last);

    ASSERT_TRUE(savePatchedCopy(at("copy.exe"), at("app.exe"), stampOf("app.exe"), blocks));
    EXPECT_TRUE(contentOf("copy.exe") == expected);
    EXPECT_TRUE(contentOf("app.exe") == source);

    // Over the source itself.
    ASSERT_TRUE(savePatchedCopy(at("app.exe"), at("app.exe"), stampOf("app.exe"), blocks));
    EXPECT_TRUE(contentOf("app.exe") == expected);
    EXPECT_EQ(names(), (std::vector<std::string>{"app.exe", "copy.exe"}));
}

TEST_F(SavePatchedCopyTest, ASourceThatChangedSinceItWasMeasuredIsNotCopied) {
    const std::string block = "XY";
    const std::vector<PatchBlock> blocks = {blockAt(1, block)};
    put("app.exe", "abcdef");
    put("out.exe", "former");
    const FileStamp measured = stampOf("app.exe");

    put("app.exe", "abcdefgh");  // another size
    EXPECT_FALSE(savePatchedCopy(at("out.exe"), at("app.exe"), measured, blocks));
    put("app.exe", "abcdef");  // the same size, written later
    fs::last_write_time(folder / "app.exe", fs::last_write_time(folder / "app.exe") + std::chrono::seconds(2));
    EXPECT_FALSE(savePatchedCopy(at("out.exe"), at("app.exe"), measured, blocks));
    EXPECT_FALSE(savePatchedCopy(at("out.exe"), at("gone.exe"), measured, blocks));
    EXPECT_EQ(contentOf("out.exe"), "former");

    EXPECT_TRUE(savePatchedCopy(at("out.exe"), at("app.exe"), stampOf("app.exe"), blocks));
    EXPECT_EQ(contentOf("out.exe"), "aXYdef");
    EXPECT_EQ(names(), (std::vector<std::string>{"app.exe", "out.exe"}));  // no temporary file left
}

#ifdef _WIN32
TEST_F(SavePatchedCopyTest, ASourceThatAnotherProgramHoldsOpenForWritingIsNotCopied) {
    put("app.exe", "abcdef");
    const FileStamp measured = stampOf("app.exe");
    const HANDLE writer = CreateFileA(at("app.exe").c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                      OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(writer, INVALID_HANDLE_VALUE);
    EXPECT_FALSE(savePatchedCopy(at("out.exe"), at("app.exe"), measured, {}));
    CloseHandle(writer);
    EXPECT_EQ(names(), std::vector<std::string>{"app.exe"});
}
#endif

}  // namespace
