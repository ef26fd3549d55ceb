// Counted byte strings and zero-terminated ANSI texts, and every operation the commands build on.
//
// Rules shared by all operations:
// - positions are 1-based; position L + 1 is just past the end of a buffer of length L;
// - -1 means "not found" (findBytes) or "the end was passed" (the cursor of readTextAt);
// - nothing fails loudly: positions and counts out of range are clipped, a search that cannot
//   succeed gives -1, a file that cannot be read gives the empty buffer;
// - buffers and texts are values: no operation changes its arguments.
#pragma once

#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <memory>
#include <string>
#include <string_view>

// A sequence of bytes of any value, zero bytes included, with a signed 32-bit length.
class ByteBuffer {
public:
    ByteBuffer() = default;
    ByteBuffer(std::initializer_list<std::uint8_t> bytes);
    ByteBuffer(const ByteBuffer& other);
    ByteBuffer& operator=(const ByteBuffer& other);
    ByteBuffer(ByteBuffer&& other) noexcept;
    ByteBuffer& operator=(ByteBuffer&& other) noexcept;
    ~ByteBuffer() = default;

    // A buffer of `size` bytes whose content is left for the caller to fill (size >= 0).
    static ByteBuffer uninitialized(std::int32_t size);
    static ByteBuffer copyOf(const void* bytes, std::int32_t size);

    const std::uint8_t* data() const { return bytes_.get(); }
    std::uint8_t* data() { return bytes_.get(); }
    std::int32_t size() const { return size_; }

    // Gives up bytes beyond `size` (0 <= size <= current size).
    void shrinkTo(std::int32_t size);

private:
    std::unique_ptr<std::uint8_t[]> bytes_;
    std::int32_t size_ = 0;
};

// A zero-terminated byte string in the system's ANSI code page. It never holds a zero byte;
// its length counts bytes, not characters.
class AnsiText {
public:
    AnsiText() = default;
    // The bytes up to the first zero byte.
    AnsiText(const char* zeroTerminated);  // NOLINT(google-explicit-constructor): texts are written as literals
    // The bytes up to the first zero byte among the `size` bytes, or all of them.
    static AnsiText fromBytes(const void* bytes, std::size_t size);

    const char* c_str() const { return bytes_.c_str(); }
    std::int32_t length() const { return static_cast<std::int32_t>(bytes_.size()); }
    std::string_view view() const { return bytes_; }

    bool operator==(const AnsiText& other) const = default;

private:
    std::string bytes_;
};

// A run of bytes owned by someone else.
struct ByteSpan {
    const std::uint8_t* data;
    std::size_t size;
};

// The bytes of b, for as long as b lives unchanged.
inline ByteSpan spanOf(const ByteBuffer& b) { return {b.data(), static_cast<std::size_t>(b.size())}; }

// Where memory for a buffer could not be obtained. The default ends the process; the program
// installs its fatal-error path here.
using AllocationFailureHandler = void (*)(std::int64_t requestedBytes);
void setAllocationFailureHandler(AllocationFailureHandler handler);

// The number of bytes in b; 0 for the empty buffer.
std::int32_t bytesLength(const ByteBuffer& b);

// True when a and b have the same length and the same bytes. The empty buffer equals only the
// empty buffer (not a buffer holding one zero byte).
bool bytesEqual(const ByteBuffer& a, const ByteBuffer& b);

// The 1-based position of the first occurrence of `pattern` that begins at or after `start`,
// or -1. An empty pattern is never found. A start below 1 searches from the first byte; a start
// past the end gives -1. Occurrences may overlap: every candidate position is tried.
std::int32_t findBytes(const ByteBuffer& haystack, const ByteBuffer& pattern, std::int32_t start);

// At most `count` bytes from `start` on. A start below 1 reads from the first byte, a start past
// the end gives the empty buffer; a negative count gives the empty buffer, a count past the end
// stops at the end.
ByteBuffer midBytes(const ByteBuffer& b, std::int32_t start, std::int32_t count);

// `count` zero bytes; the empty buffer for a count of 0 or below.
ByteBuffer blankBytes(std::int32_t count);

// The bytes of each part in turn; empty parts add nothing.
ByteBuffer concatBytes(std::initializer_list<const ByteBuffer*> parts);
template <class... Buffers>
ByteBuffer concatBytes(const ByteBuffer& first, const Buffers&... rest) {
    return concatBytes({&first, &rest...});
}

// A copy of b in which at most `limit` occurrences of `pattern`, found from `start` on, are
// replaced by `replacement`, left to right and never overlapping (the scan resumes behind each
// replaced occurrence, and inserted bytes are never scanned). A start below 1 scans from the
// first byte; an empty b, an empty pattern, a start past the end or a limit of 0 or below give
// an exact copy.
ByteBuffer replaceBytes(const ByteBuffer& b, const ByteBuffer& pattern, const ByteBuffer& replacement,
                        std::int32_t start, std::int32_t limit);

// The zero-terminated text at `cursor`, which moves past it and its terminator.
// - cursor 0 or below: the empty text, the cursor keeps its value;
// - cursor past the end: the empty text, the cursor becomes -1;
// - otherwise the bytes up to the next zero byte (or the end); the cursor becomes the position
//   after that zero byte, or -1 when that lies past the last byte.
AnsiText readTextAt(const ByteBuffer& b, std::int32_t& cursor);

// The bytes of t, without the terminator.
ByteBuffer textToBytes(const AnsiText& t);

// The decimal form of v: "-" for negative values, no leading zeros, no plus sign, no blanks.
AnsiText intToText(std::int32_t v);
// The same for the 64-bit positions of files of any size.
AnsiText intToText(std::int64_t v);

// The bytes of each part in turn, as a text.
AnsiText concatTextList(std::initializer_list<AnsiText> parts);
template <class... Texts>
AnsiText concatText(const Texts&... parts) {
    return concatTextList({AnsiText(parts)...});
}

// True when t has no bytes. A text of blanks is not empty.
bool isEmptyText(const AnsiText& t);

// The whole content of the file at `path`, opened for reading with others allowed to read but
// not to write. The empty buffer for an empty path, a file that cannot be opened (missing, a
// folder, no access, held open for writing), an empty file, a failed read, and a file of 2^31
// bytes or more. A short read gives the bytes that arrived.
ByteBuffer readWholeFile(const AnsiText& path);
