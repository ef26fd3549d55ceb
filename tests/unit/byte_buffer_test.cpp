#include "bytes/byte_buffer.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <random>
#include <vector>

#include "gbk.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

ByteBuffer buf(const Bytes& bytes) { return ByteBuffer::copyOf(bytes.data(), static_cast<std::int32_t>(bytes.size())); }

Bytes bytesOf(const ByteBuffer& b) { return Bytes(b.data(), b.data() + b.size()); }

Bytes bytesOf(const AnsiText& t) { return Bytes(t.view().begin(), t.view().end()); }

TEST(ByteBufferTest, EmptyBufferIsOrdinaryValue) {
    const ByteBuffer empty;
    EXPECT_EQ(bytesLength(empty), 0);
    EXPECT_TRUE(bytesEqual(empty, ByteBuffer()));
    EXPECT_FALSE(bytesEqual(empty, blankBytes(1)));
    EXPECT_TRUE(bytesEqual(concatBytes(empty, empty), empty));
    EXPECT_TRUE(bytesEqual(midBytes(empty, 1, 5), empty));
    EXPECT_TRUE(bytesEqual(replaceBytes(empty, ByteBuffer{0x61}, ByteBuffer{0x62}, 1, 1), empty));
    std::int32_t cursor = 1;
    EXPECT_TRUE(isEmptyText(readTextAt(empty, cursor)));
    EXPECT_EQ(cursor, -1);
}

TEST(ByteBufferTest, ValuesAreIndependentCopies) {
    ByteBuffer a{1, 2, 3};
    ByteBuffer b = a;
    b.data()[0] = 9;
    EXPECT_EQ(bytesOf(a), (Bytes{1, 2, 3}));
    const ByteBuffer joined = concatBytes(a, b);
    EXPECT_EQ(bytesOf(joined), (Bytes{1, 2, 3, 9, 2, 3}));
    EXPECT_EQ(bytesOf(a), (Bytes{1, 2, 3}));
}

struct FindCase {
    Bytes haystack;
    Bytes pattern;
    std::int32_t start;
    std::int32_t expected;
};

TEST(ByteBufferTest, FindBytes) {
    const std::vector<FindCase> cases = {
        {{}, {}, 1, -1},                            // empty pattern never found, not even in the empty haystack
        {{0x61}, {}, 1, -1},
        {{0x61}, {}, 0, -1},
        {{0x61, 0x62}, {0x61}, 0, 1},               // start 0 searches from the first byte
        {{0x61, 0x62}, {0x61}, -1, 1},
        {{0x61, 0x62}, {0x62}, 3, -1},              // start L + 1: nothing, even for a pattern ending the buffer
        {{0x00, 0x61, 0x00, 0x61}, {0x61}, 1, 2},
        {{0x00, 0x61, 0x00, 0x61}, {0x61}, 3, 4},   // a position in the whole haystack
        {{0x00, 0x61, 0x00, 0x61}, {0x61}, 5, -1},
        {{0x61, 0x62}, {0x61, 0x62, 0x63}, 1, -1},  // longer than the haystack
        {{0x61, 0x61, 0x61}, {0x61, 0x61}, 1, 1},   // overlapping occurrences
        {{0x61, 0x61, 0x61}, {0x61, 0x61}, 2, 2},
        {{0x61, 0x61, 0x61}, {0x61, 0x61}, 3, -1},  // fewer bytes left than the pattern holds
        {{0xb0, 0xa1, 0xa1, 0xb0}, {0xa1, 0xb0}, 1, 3},  // raw bytes: a match may start inside a character
        {{0x00, 0x00, 0x00, 0x41}, {0x00, 0x00, 0x41}, 1, 2},
    };
    for (const FindCase& c : cases) {
        EXPECT_EQ(findBytes(buf(c.haystack), buf(c.pattern), c.start), c.expected)
            << "start " << c.start << ", haystack of " << c.haystack.size() << ", pattern of " << c.pattern.size();
    }
}

struct MidCase {
    std::int32_t start;
    std::int32_t count;
    Bytes expected;
};

TEST(ByteBufferTest, MidBytesClipsStartAndCount) {
    const ByteBuffer b{0x61, 0x62, 0x63};
    const std::vector<MidCase> cases = {
        {0, 1, {0x61}},      {-5, 2, {0x61, 0x62}}, {2, 100, {0x62, 0x63}}, {4, 1, {}},
        {1, -1, {}},         {1, 0, {}},            {3, 1, {0x63}},         {1, 3, {0x61, 0x62, 0x63}},
        {2147483647, 1, {}}, {1, 2147483647, {0x61, 0x62, 0x63}},
    };
    for (const MidCase& c : cases) {
        EXPECT_EQ(bytesOf(midBytes(b, c.start, c.count)), c.expected) << "start " << c.start << " count " << c.count;
    }
}

TEST(ByteBufferTest, PastTheEndIsNeverAZeroByte) {
    for (const ByteBuffer& b : {ByteBuffer(), ByteBuffer{0x00}, ByteBuffer{0x61, 0x00}}) {
        EXPECT_FALSE(bytesEqual(midBytes(b, bytesLength(b) + 1, 1), blankBytes(1)));
    }
}

TEST(ByteBufferTest, BlankAndConcat) {
    EXPECT_EQ(bytesLength(blankBytes(0)), 0);
    EXPECT_EQ(bytesLength(blankBytes(-3)), 0);
    EXPECT_EQ(bytesOf(blankBytes(3)), (Bytes{0, 0, 0}));
    const ByteBuffer b{0x61, 0x00};
    EXPECT_TRUE(bytesEqual(concatBytes(b, blankBytes(0)), b));
    EXPECT_EQ(bytesOf(concatBytes(ByteBuffer(), b, ByteBuffer{0x62})), (Bytes{0x61, 0x00, 0x62}));
}

struct ReplaceCase {
    Bytes b, pattern, replacement;
    std::int32_t start, limit;
    Bytes expected;
};

TEST(ByteBufferTest, ReplaceBytes) {
    const Bytes aaa = {0x61, 0x61, 0x61};
    const std::vector<ReplaceCase> cases = {
        {aaa, {0x61, 0x61}, {0x62}, 1, 1, {0x62, 0x61}},
        {aaa, {0x61, 0x61}, {0x62}, 1, 2, {0x62, 0x61}},  // never overlapping
        {aaa, {0x61, 0x61}, {0x62}, 2, 1, {0x61, 0x62}},
        {aaa, {0x61}, {0x61, 0x61}, 1, 5, {0x61, 0x61, 0x61, 0x61, 0x61, 0x61}},  // inserted bytes are not scanned
        {aaa, {0x61}, {}, 0, 2, {0x61}},
        {aaa, {0x63}, {0x62}, 1, 1, aaa},                 // absent pattern
        {aaa, {}, {0x62}, 1, 1, aaa},                     // empty pattern
        {aaa, {0x61}, {0x62}, 1, 0, aaa},                 // limit 0
        {aaa, {0x61}, {0x62}, 1, -1, aaa},                // negative limit
        {aaa, {0x61}, {0x62}, 4, 1, aaa},                 // start beyond the end
        {aaa, {0x61}, {0x62}, -7, 1, {0x62, 0x61, 0x61}},
        {{}, {0x61}, {0x62}, 1, 1, {}},
        {{0x61, 0x00, 0x00, 0x41}, {0x61, 0x00}, {0x62, 0x63}, 1, 1, {0x62, 0x63, 0x00, 0x41}},
    };
    for (const ReplaceCase& c : cases) {
        EXPECT_EQ(bytesOf(replaceBytes(buf(c.b), buf(c.pattern), buf(c.replacement), c.start, c.limit)), c.expected)
            << "start " << c.start << " limit " << c.limit;
    }
}

struct ReadCase {
    std::int32_t cursor;
    Bytes text;
    std::int32_t next;
};

TEST(ByteBufferTest, ReadTextAtMovesTheCursor) {
    const ByteBuffer b{0x61, 0x62, 0x00, 0x63, 0x64};
    const std::vector<ReadCase> cases = {
        {1, {0x61, 0x62}, 4}, {2, {0x62}, 4}, {3, {}, 4},  // a zero byte at the cursor: the empty text
        {4, {0x63, 0x64}, -1}, {5, {0x64}, -1}, {6, {}, -1}, {0, {}, 0}, {-1, {}, -1}, {-9, {}, -9},
    };
    for (const ReadCase& c : cases) {
        std::int32_t cursor = c.cursor;
        EXPECT_EQ(bytesOf(readTextAt(b, cursor)), c.text) << "cursor " << c.cursor;
        EXPECT_EQ(cursor, c.next) << "cursor " << c.cursor;
    }
    std::int32_t cursor = 1;
    EXPECT_EQ(bytesOf(readTextAt(ByteBuffer{0x61, 0x00}, cursor)), Bytes{0x61});
    EXPECT_EQ(cursor, -1);  // the terminator was the last byte
    cursor = 1;
    EXPECT_EQ(bytesOf(readTextAt(ByteBuffer{0x61, 0x00, 0x62}, cursor)), Bytes{0x61});
    EXPECT_EQ(cursor, 3);  // the last byte is still inside
}

TEST(ByteBufferTest, Texts) {
    EXPECT_EQ(bytesLength(textToBytes(AnsiText())), 0);
    EXPECT_EQ(bytesLength(textToBytes(gbk(u8"汉字"))), 4);
    EXPECT_TRUE(isEmptyText(AnsiText("")));
    EXPECT_FALSE(isEmptyText(AnsiText(" ")));
    EXPECT_EQ(concatText("ab", AnsiText(), "c"), AnsiText("abc"));
    EXPECT_TRUE(isEmptyText(concatText(AnsiText(), "")));
    const char withZero[] = {'a', 'b', '\0', 'c'};
    EXPECT_EQ(AnsiText::fromBytes(withZero, sizeof withZero), AnsiText("ab"));
    for (const auto& [value, text] : std::vector<std::pair<std::int32_t, const char*>>{
             {0, "0"}, {-1, "-1"}, {42, "42"}, {-2147483647 - 1, "-2147483648"}, {2147483647, "2147483647"}}) {
        EXPECT_EQ(intToText(value), AnsiText(text));
    }
}

class ReadWholeFileTest : public ::testing::Test {
protected:
    std::filesystem::path folder = std::filesystem::temp_directory_path() /
                                   ("lexpatch-read-" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) +
                                    "-" + ::testing::UnitTest::GetInstance()->current_test_info()->name());
    void SetUp() override { std::filesystem::create_directories(folder); }
    void TearDown() override { std::filesystem::remove_all(folder); }
    AnsiText write(const char* name, const Bytes& content) {
        const std::filesystem::path path = folder / name;
        std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(content.data()),
                                                     static_cast<std::streamsize>(content.size()));
        return AnsiText(path.string().c_str());
    }
};

TEST_F(ReadWholeFileTest, GivesTheWholeFileOrTheEmptyBuffer) {
    const Bytes content = {0x61, 0x00, 0xff, 0x00, 0x62};
    EXPECT_EQ(bytesOf(readWholeFile(write("a.exe", content))), content);
    EXPECT_EQ(bytesLength(readWholeFile(write("empty.exe", {}))), 0);
    EXPECT_EQ(bytesLength(readWholeFile(AnsiText())), 0);
    EXPECT_EQ(bytesLength(readWholeFile(AnsiText((folder / "missing.exe").string().c_str()))), 0);
    EXPECT_EQ(bytesLength(readWholeFile(AnsiText(folder.string().c_str()))), 0);  // a folder
}

TEST_F(ReadWholeFileTest, FileTooLargeForABufferReadsAsEmpty) {
    const std::filesystem::path path = folder / "huge.exe";
    std::ofstream(path, std::ios::binary).put('M');
    for (const std::uintmax_t size : {std::uintmax_t{1} << 31, (std::uintmax_t{1} << 32) + 1}) {  // the second wraps to 1
        std::filesystem::resize_file(path, size);  // sparse: costs no disk
        EXPECT_EQ(bytesLength(readWholeFile(AnsiText(path.string().c_str()))), 0) << size;
    }
}

// A deliberately naive model of the byte operations, to catch clipping and off-by-one faults.
namespace model {

std::int32_t find(const Bytes& h, const Bytes& p, std::int32_t start) {
    if (p.empty()) return -1;
    const std::int64_t s = start < 1 ? 1 : start;
    for (std::int64_t pos = s; pos + static_cast<std::int64_t>(p.size()) - 1 <= static_cast<std::int64_t>(h.size()); ++pos) {
        bool same = true;
        for (std::size_t i = 0; i < p.size(); ++i) same = same && h[static_cast<std::size_t>(pos - 1) + i] == p[i];
        if (same) return static_cast<std::int32_t>(pos);
    }
    return -1;
}

Bytes mid(const Bytes& b, std::int32_t start, std::int32_t count) {
    Bytes out;
    for (std::int64_t pos = start < 1 ? 1 : start; pos <= static_cast<std::int64_t>(b.size()); ++pos) {
        if (static_cast<std::int64_t>(out.size()) >= count) break;
        out.push_back(b[static_cast<std::size_t>(pos - 1)]);
    }
    return out;
}

Bytes replace(const Bytes& b, const Bytes& p, const Bytes& r, std::int32_t start, std::int32_t limit) {
    if (b.empty() || p.empty() || limit <= 0) return b;
    Bytes out;
    std::size_t i = 0;
    std::int32_t done = 0;
    for (; i < b.size() && static_cast<std::int64_t>(i) < static_cast<std::int64_t>(start) - 1; ++i) out.push_back(b[i]);
    while (i < b.size()) {
        if (done < limit && i + p.size() <= b.size() && Bytes(b.begin() + static_cast<long>(i), b.begin() + static_cast<long>(i + p.size())) == p) {
            out.insert(out.end(), r.begin(), r.end());
            i += p.size();
            ++done;
        } else {
            out.push_back(b[i++]);
        }
    }
    return out;
}

Bytes readText(const Bytes& b, std::int32_t& cursor) {
    if (cursor <= 0) return {};
    if (cursor > static_cast<std::int32_t>(b.size())) {
        cursor = -1;
        return {};
    }
    Bytes text;
    std::int32_t pos = cursor;
    while (pos <= static_cast<std::int32_t>(b.size()) && b[static_cast<std::size_t>(pos - 1)] != 0) text.push_back(b[static_cast<std::size_t>(pos++ - 1)]);
    pos += 1;  // past the terminator, or past the end
    cursor = pos <= static_cast<std::int32_t>(b.size()) ? pos : -1;
    return text;
}

}  // namespace model

TEST(ByteBufferTest, AgreesWithNaiveModelOnRandomBuffers) {
    std::mt19937 random(20261211);
    const std::vector<Bytes> alphabets = {{0x00, 0x61}, {0x61, 0x62}, {0x00, 0x61, 0x62}, {0x00, 0x81, 0x5c}};
    auto pick = [&](int low, int high) { return std::uniform_int_distribution<int>(low, high)(random); };
    auto randomBytes = [&](const Bytes& alphabet, int maxLength) {
        Bytes b(static_cast<std::size_t>(pick(0, maxLength)));
        for (auto& byte : b) byte = alphabet[static_cast<std::size_t>(pick(0, static_cast<int>(alphabet.size()) - 1))];
        return b;
    };
    for (int round = 0; round < 20000; ++round) {
        const Bytes& alphabet = alphabets[static_cast<std::size_t>(round) % alphabets.size()];
        const Bytes h = randomBytes(alphabet, 12);
        const Bytes p = randomBytes(alphabet, 3);
        const Bytes r = randomBytes(alphabet, 3);
        const std::int32_t n = static_cast<std::int32_t>(h.size());
        const std::int32_t start = pick(-2, n + 2);
        const std::int32_t count = pick(-2, n + 2);
        const std::int32_t limit = pick(-1, 3);
        ASSERT_EQ(findBytes(buf(h), buf(p), start), model::find(h, p, start)) << "round " << round;
        ASSERT_EQ(bytesOf(midBytes(buf(h), start, count)), model::mid(h, start, count)) << "round " << round;
        ASSERT_EQ(bytesOf(replaceBytes(buf(h), buf(p), buf(r), start, limit)), model::replace(h, p, r, start, limit))
            << "round " << round;
        std::int32_t cursor = start;
        std::int32_t modelCursor = start;
        ASSERT_EQ(bytesOf(readTextAt(buf(h), cursor)), model::readText(h, modelCursor)) << "round " << round;
        ASSERT_EQ(cursor, modelCursor) << "round " << round;
    }
}

}  // namespace
