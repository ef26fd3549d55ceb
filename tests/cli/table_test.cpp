#include "cli/table.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

WrittenText chars(std::u32string_view text) {
    WrittenText units;
    for (const char32_t c : text) units.push_back({TextUnit::character, c});
    return units;
}

TextUnit raw(unsigned char byte) { return {TextUnit::rawByte, byte}; }

struct EscapeCase {
    std::string written;
    WrittenText expected;
};

TEST(EscapedTextTest, ReadsCharactersAndEscapes) {
    const std::vector<EscapeCase> cases = {
        {"Hello", chars(U"Hello")},
        {"\xE4\xB8\xAD\xE6\x96\x87", chars(U"\u4E2D\u6587")},  // 中文: characters, not bytes
        {"a\\tb\\nc\\rd\\\\e", chars(U"a\tb\nc\rd\\e")},
        {"\\x41\\xfe\\xFE", {raw(0x41), raw(0xFE), raw(0xFE)}},  // both cases of hex digits
        {"\\x81x", {raw(0x81), {TextUnit::character, U'x'}}},    // a lone GBK lead byte goes in as it is
        {"  ", chars(U"  ")},                                    // blanks are a text
        {"\xF0\x9F\x98\x80", chars(U"\U0001F600")},
    };
    for (const EscapeCase& c : cases) {
        const EscapedTextParse parse = parseEscapedText(c.written);
        EXPECT_EQ(parse.error, "") << c.written;
        EXPECT_EQ(parse.units, c.expected) << c.written;
    }
}

struct FaultCase {
    std::string written;
    std::size_t offset;
    std::string errorPart;
};

TEST(EscapedTextTest, NamesEachFaultAndWhereItStarts) {
    const std::vector<FaultCase> cases = {
        {"ab\\q", 2, "unknown escape \\q"},
        {"ab\\", 2, "backslash ends the text"},
        {"\\x4", 0, "two hexadecimal digits"},
        {"a\\xg1", 1, "two hexadecimal digits"},
        {"a\\x00", 1, "zero byte"},
        {std::string("a\0b", 3), 1, "zero byte"},
        {"ab\xC3", 2, "\\xC3 is not UTF-8"},      // cut off
        {"\xC0\x80", 0, "\\xC0 is not UTF-8"},    // overlong zero
        {"x\xED\xA0\x80", 1, "not UTF-8"},        // a surrogate
        {"\x80", 0, "\\x80 is not UTF-8"},        // a stray continuation byte
    };
    for (const FaultCase& c : cases) {
        const EscapedTextParse parse = parseEscapedText(c.written);
        EXPECT_NE(parse.error.find(c.errorPart), std::string::npos) << c.written << ": " << parse.error;
        EXPECT_EQ(parse.errorOffset, c.offset) << c.written;
    }
}

TEST(TableTest, ReadsRowsAndSkipsBlankLinesAndComments) {
    const Table table = parseTable(
        "\xEF\xBB\xBF# a comment\n"           // byte order mark, then a comment
        "Sample Window\t\xE7\xA4\xBA\xE4\xBE\x8B\n"  // 示例
        "\n"
        "#Apple\tnot a row\n"
        "Tab\\there\ta\\\\b\r\n"              // CR LF line end; escapes in both texts
        "Last\tline without newline");
    ASSERT_EQ(table.errors.size(), 0u);
    ASSERT_EQ(table.rows.size(), 3u);
    EXPECT_EQ(table.rows[0].line, 2);
    EXPECT_EQ(table.rows[0].text, chars(U"Sample Window"));
    EXPECT_EQ(table.rows[0].replacement, chars(U"\u793A\u4F8B"));
    EXPECT_EQ(table.rows[1].line, 5);
    EXPECT_EQ(table.rows[1].text, chars(U"Tab\there"));
    EXPECT_EQ(table.rows[1].replacement, chars(U"a\\b"));
    EXPECT_EQ(table.rows[2].line, 6);
    EXPECT_EQ(table.rows[2].replacement, chars(U"line without newline"));
}

TEST(TableTest, ReportsEveryMalformedLineAndKeepsTheOthers) {
    const Table table = parseTable(
        "no tab here\n"
        "\tno text\n"
        "no replacement\t\n"
        "ok\tfine\n"
        "two\ttabs\there\n"
        "bad\tescape \\q\n"
        "   \n");  // blanks but no tab
    ASSERT_EQ(table.rows.size(), 1u);
    EXPECT_EQ(table.rows[0].line, 4);
    const std::vector<std::pair<int, std::string>> expected = {
        {1, "no tab"}, {2, "the text is empty"}, {3, "the replacement is empty"}, {5, "more than one tab"},
        {6, "column 12 (replacement): unknown escape \\q"}, {7, "no tab"}};
    ASSERT_EQ(table.errors.size(), expected.size());
    for (std::size_t i = 0; i < expected.size(); ++i) {
        EXPECT_EQ(table.errors[i].line, expected[i].first);
        EXPECT_NE(table.errors[i].message.find(expected[i].second), std::string::npos) << table.errors[i].message;
    }
}

}  // namespace
