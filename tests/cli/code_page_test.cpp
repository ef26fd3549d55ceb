#include "cli/code_page.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

namespace {

std::string bytesOf(const ByteBuffer& b) { return std::string(reinterpret_cast<const char*>(b.data()), static_cast<std::size_t>(b.size())); }

WrittenText written(const std::string& utf8) {
    const EscapedTextParse parse = parseEscapedText(utf8);
    EXPECT_EQ(parse.error, "") << utf8;
    return parse.units;
}

struct EncodeCase {
    int codePage;
    std::string utf8;
    std::string bytes;
};

// The same texts in each direction: encoding gives the code page's bytes, showing those bytes
// gives the text back.
const std::vector<EncodeCase> characterCases = {
    {936, "\xE4\xB8\xAD\xE6\x96\x87", "\xD6\xD0\xCE\xC4"},                 // 中文
    {936, "Good \xE6\x97\xA9\xE4\xB8\x8A\xE5\xA5\xBD", "Good \xD4\xE7\xC9\xCF\xBA\xC3"},  // Good 早上好
    {950, "\xE4\xB8\xAD\xE6\x96\x87", "\xA4\xA4\xA4\xE5"},                 // 中文 in Big5
    {932, "\xE6\x97\xA5\xE6\x9C\xAC", "\x93\xFA\x96\x7B"},                 // 日本 in Shift JIS
    {932, "\xEF\xBD\xB1", "\xB1"},                                          // half-width katakana ｱ: one byte
    {949, "\xED\x95\x9C\xEA\xB5\xAD", "\xC7\xD1\xB1\xB9"},                 // 한국
    {1252, "caf\xC3\xA9 \xE2\x82\xAC", "caf\xE9 \x80"},                     // café €
    {65001, "\xE4\xB8\xAD\xF0\x9F\x98\x80", "\xE4\xB8\xAD\xF0\x9F\x98\x80"},  // 中😀 passes through
};

TEST(CodePageTest, EncodesCharactersInTheTargetCodePage) {
    for (const EncodeCase& c : characterCases) {
        CodePage codePage(c.codePage);
        const EncodedText encoded = codePage.encode(written(c.utf8));
        EXPECT_FALSE(encoded.unconvertible) << c.codePage << " " << c.utf8;
        EXPECT_EQ(bytesOf(encoded.bytes), c.bytes) << c.codePage << " " << c.utf8;
    }
}

TEST(CodePageTest, ShowsBytesAsUtf8) {
    for (const EncodeCase& c : characterCases) {
        CodePage codePage(c.codePage);
        EXPECT_EQ(codePage.show(reinterpret_cast<const std::uint8_t*>(c.bytes.data()), c.bytes.size()), c.utf8) << c.codePage;
    }
}

TEST(CodePageTest, RawBytesAndEscapedCharactersGoInAsTheyAre) {
    CodePage gbk(936);
    EXPECT_EQ(bytesOf(gbk.encode(written("\\xD6\\xD0a\\x81\\t\\\\")).bytes), "\xD6\xD0" "a\x81\t\\");
}

TEST(CodePageTest, NamesTheFirstCharacterTheCodePageLacks) {
    const std::vector<std::pair<int, char32_t>> cases = {
        {936, U'\uD55C'},      // 한 is not in GBK
        {950, U'\uD55C'},
        {932, U'\uD55C'},
        {949, U'\U0001F600'},  // 😀
        {1252, U'\u4E2D'},     // 中
    };
    for (const auto& [number, lacking] : cases) {
        CodePage codePage(number);
        WrittenText text = written("ab");
        text.push_back({TextUnit::character, lacking});
        text.push_back({TextUnit::character, U'\u00A0'});
        const EncodedText encoded = codePage.encode(text);
        ASSERT_TRUE(encoded.unconvertible) << number;
        EXPECT_EQ(*encoded.unconvertible, lacking) << number;
    }
}

TEST(CodePageTest, ShowsBytesThatAreNoCharacterAsEscapes) {
    struct ShowCase {
        int codePage;
        std::string bytes;
        std::string shown;
    };
    const std::vector<ShowCase> cases = {
        {936, "\xD6\xD0\xFF", "\xE4\xB8\xAD\\xFF"},  // 中, then a byte that starts nothing
        {936, "a\xD6", "a\\xD6"},                     // a lead byte that the end cuts off
        {936, "\xD6\x7F", "\\xD6\\x7F"},              // a lead byte before a byte that is no trail byte
        {936, "tab\there\\\r\n\x01", "tab\\there\\\\\\r\\n\\x01"},  // control characters and the backslash
        {65001, "ok\xC3(", "ok\\xC3("},               // not UTF-8
        {1252, "\xE9", "\xC3\xA9"},
    };
    for (const ShowCase& c : cases) {
        CodePage codePage(c.codePage);
        EXPECT_EQ(codePage.show(reinterpret_cast<const std::uint8_t*>(c.bytes.data()), c.bytes.size()), c.shown)
            << c.codePage;
    }
}

// Whatever a file holds, its shown form written back gives the same bytes: a text that find
// lists can be put into a table as it is.
TEST(CodePageTest, ShownBytesWriteBackToTheSameBytes) {
    std::mt19937 random(20240611);
    for (const int number : supportedCodePages) {
        CodePage codePage(number);
        for (int round = 0; round < 200; ++round) {
            std::string bytes(1 + random() % 24, '\0');
            for (char& b : bytes) b = static_cast<char>(1 + random() % 255);
            const std::string shown = codePage.show(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size());
            const EscapedTextParse parse = parseEscapedText(shown);
            ASSERT_EQ(parse.error, "") << number << ": " << shown;
            const EncodedText again = codePage.encode(parse.units);
            ASSERT_FALSE(again.unconvertible) << number << ": " << shown;
            ASSERT_EQ(bytesOf(again.bytes), bytes) << number << ": " << shown;
        }
    }
}

}  // namespace
