// FileScanner over tiny buffers, so that texts, zero runs and fragments are cut by the border
// between two reads at every offset, against plain searches of the whole bytes.
#include <gtest/gtest.h>

#include <random>
#include <string>

#include "bytes/file_scanner.h"
#include "patch/patch_site.h"

namespace {

ByteSpan spanOfText(const std::string& s) { return {reinterpret_cast<const std::uint8_t*>(s.data()), s.size()}; }

// The room of the first occurrence, measured on the whole bytes at once.
PatchSite modelSite(const std::string& file, const std::string& text) {
    const std::size_t match = text.empty() ? std::string::npos : file.find(text);
    if (match == std::string::npos) return PatchSite{};
    const std::size_t behind = match + text.size();
    std::int64_t zeros = 0;
    if (behind < file.size() && file[behind] == 0) {
        while (behind + 1 + static_cast<std::size_t>(zeros) < file.size() && file[behind + 1 + static_cast<std::size_t>(zeros)] == 0) ++zeros;
    }
    return PatchSite{static_cast<std::int64_t>(behind) + 2 + zeros, zeros};
}

TEST(FileScannerTest, TextsZeroRunsAndFragmentsCutByABorderAtEveryOffset) {
    for (const std::size_t bufferSize : {1, 2, 3, 4, 7}) {
        for (std::size_t at = 0; at <= 3 * bufferSize; ++at) {
            const std::string lead(at, 'x');
            struct Case {
                const char* what;
                std::string file;
                std::int64_t scanEnd, zeroCount;
            };
            const Case cases[] = {
                {"text, zero run, another text", lead + std::string("abc\0\0\0y", 7) + "tail", static_cast<std::int64_t>(at) + 7, 2},
                {"zero run to the end", lead + std::string("abc\0\0\0", 6), static_cast<std::int64_t>(at) + 7, 2},
                {"text ends the file", lead + "abc", static_cast<std::int64_t>(at) + 5, 0},
                {"inside a longer text", lead + std::string("abcd\0\0", 6), static_cast<std::int64_t>(at) + 5, 0},
            };
            for (const Case& c : cases) {
                MemoryFile file(c.file);
                FileScanner scanner(file, bufferSize);
                const std::string where = std::string(c.what) + ", buffer " + std::to_string(bufferSize) + ", at " + std::to_string(at);
                EXPECT_EQ(scanner.find(spanOfText("abc"), 0), static_cast<std::int64_t>(at)) << where;
                const PatchSite site = locateIn(scanner, spanOfText("abc"));
                EXPECT_EQ(site.scanEnd, c.scanEnd) << where;
                EXPECT_EQ(site.zeroCount, c.zeroCount) << where;
                std::int64_t end = -1;
                const std::string text = scanner.textFrom(static_cast<std::int64_t>(at), end);
                const std::size_t zero = c.file.find('\0', at);
                EXPECT_EQ(text, c.file.substr(at, zero == std::string::npos ? std::string::npos : zero - at)) << where;
                EXPECT_EQ(end, static_cast<std::int64_t>(zero == std::string::npos ? c.file.size() : zero)) << where;
            }
        }
    }
}

TEST(FileScannerTest, AgreesWithWholeBytesOnRandomFiles) {
    std::mt19937 random(20261211);
    auto pick = [&](int low, int high) { return std::uniform_int_distribution<int>(low, high)(random); };
    const std::string alphabets[] = {std::string("\0a", 2), "ab", std::string("\0ab", 3)};
    auto randomText = [&](const std::string& alphabet, int maxLength) {
        std::string s(static_cast<std::size_t>(pick(0, maxLength)), ' ');
        for (char& c : s) c = alphabet[static_cast<std::size_t>(pick(0, static_cast<int>(alphabet.size()) - 1))];
        return s;
    };
    for (int round = 0; round < 20000; ++round) {
        const std::string& alphabet = alphabets[round % 3];
        const std::string bytes = randomText(alphabet, 24);
        const std::string pattern = randomText(alphabet, 4);
        const std::int64_t from = pick(-1, static_cast<int>(bytes.size()) + 1);
        MemoryFile file(bytes);
        FileScanner scanner(file, static_cast<std::size_t>(pick(1, 6)));
        const std::string where = "round " + std::to_string(round);

        const std::size_t expected = pattern.empty() ? std::string::npos : bytes.find(pattern, static_cast<std::size_t>(std::max<std::int64_t>(from, 0)));
        ASSERT_EQ(scanner.find(spanOfText(pattern), from), expected == std::string::npos ? -1 : static_cast<std::int64_t>(expected)) << where;

        const PatchSite site = locateIn(scanner, spanOfText(pattern));
        const PatchSite model = modelSite(bytes, pattern);
        ASSERT_EQ(site.scanEnd, model.scanEnd) << where;
        ASSERT_EQ(site.zeroCount, model.zeroCount) << where;

        const std::size_t start = static_cast<std::size_t>(std::max<std::int64_t>(from, 0));
        std::int64_t zeros = 0;
        while (start + static_cast<std::size_t>(zeros) < bytes.size() && bytes[start + static_cast<std::size_t>(zeros)] == 0) ++zeros;
        ASSERT_EQ(scanner.countZeros(from), zeros) << where;
        ASSERT_EQ(scanner.byteAt(from), from >= 0 && from < static_cast<std::int64_t>(bytes.size()) ? static_cast<unsigned char>(bytes[static_cast<std::size_t>(from)]) : -1) << where;
    }
}

}  // namespace
