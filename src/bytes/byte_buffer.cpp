#include "bytes/byte_buffer.h"

#include <cstdlib>
#include <cstring>
#include <limits>
#include <new>
#include <vector>

#include "bytes/find_bytes.h"

namespace {

void abortOnAllocationFailure(std::int64_t) { std::abort(); }

AllocationFailureHandler allocationFailureHandler = abortOnAllocationFailure;

constexpr std::int64_t maxLength = std::numeric_limits<std::int32_t>::max();

std::unique_ptr<std::uint8_t[]> allocate(std::int64_t size) {
    if (size <= 0) return nullptr;
    std::uint8_t* bytes = size > maxLength ? nullptr : new (std::nothrow) std::uint8_t[static_cast<std::size_t>(size)];
    if (bytes == nullptr) {
        allocationFailureHandler(size);
        std::abort();  // the handler must not return
    }
    return std::unique_ptr<std::uint8_t[]>(bytes);
}

// memcpy that accepts empty ranges at null pointers.
void copyBytes(std::uint8_t* to, const std::uint8_t* from, std::size_t n) {
    if (n > 0) std::memcpy(to, from, n);
}

std::int32_t clip(std::int64_t value, std::int64_t low, std::int64_t high) {
    return static_cast<std::int32_t>(value < low ? low : (value > high ? high : value));
}

}  // namespace

void setAllocationFailureHandler(AllocationFailureHandler handler) {
    allocationFailureHandler = handler != nullptr ? handler : abortOnAllocationFailure;
}

ByteBuffer::ByteBuffer(std::initializer_list<std::uint8_t> bytes)
    : ByteBuffer(copyOf(bytes.begin(), static_cast<std::int32_t>(bytes.size()))) {}

ByteBuffer::ByteBuffer(const ByteBuffer& other) : ByteBuffer(copyOf(other.data(), other.size())) {}

ByteBuffer& ByteBuffer::operator=(const ByteBuffer& other) {
    if (this != &other) *this = copyOf(other.data(), other.size());
    return *this;
}

ByteBuffer::ByteBuffer(ByteBuffer&& other) noexcept : bytes_(std::move(other.bytes_)), size_(other.size_) {
    other.size_ = 0;
}

ByteBuffer& ByteBuffer::operator=(ByteBuffer&& other) noexcept {
    bytes_ = std::move(other.bytes_);
    size_ = other.size_;
    other.size_ = 0;
    return *this;
}

ByteBuffer ByteBuffer::uninitialized(std::int32_t size) {
    ByteBuffer b;
    b.bytes_ = allocate(size);
    b.size_ = size > 0 ? size : 0;
    return b;
}

ByteBuffer ByteBuffer::copyOf(const void* bytes, std::int32_t size) {
    ByteBuffer b = uninitialized(size);
    copyBytes(b.data(), static_cast<const std::uint8_t*>(bytes), static_cast<std::size_t>(b.size_));
    return b;
}

void ByteBuffer::shrinkTo(std::int32_t size) {
    if (size >= 0 && size < size_) size_ = size;
    if (size_ == 0) bytes_.reset();
}

AnsiText::AnsiText(const char* zeroTerminated) : bytes_(zeroTerminated != nullptr ? zeroTerminated : "") {}

AnsiText AnsiText::fromBytes(const void* bytes, std::size_t size) {
    AnsiText t;
    if (size == 0) return t;
    const void* zero = std::memchr(bytes, 0, size);
    const std::size_t n = zero != nullptr ? static_cast<std::size_t>(static_cast<const char*>(zero) - static_cast<const char*>(bytes)) : size;
    t.bytes_.assign(static_cast<const char*>(bytes), n);
    return t;
}

std::int32_t bytesLength(const ByteBuffer& b) { return b.size(); }

bool bytesEqual(const ByteBuffer& a, const ByteBuffer& b) {
    if (a.size() != b.size()) return false;
    return a.size() == 0 || std::memcmp(a.data(), b.data(), static_cast<std::size_t>(a.size())) == 0;
}

std::int32_t findBytes(const ByteBuffer& haystack, const ByteBuffer& pattern, std::int32_t start) {
    if (pattern.size() == 0) return -1;
    const std::int32_t s = start >= 1 ? start : 1;
    if (s > haystack.size()) return -1;
    const std::size_t at = findSpan(haystack.data(), static_cast<std::size_t>(haystack.size()), pattern.data(),
                                    static_cast<std::size_t>(pattern.size()), static_cast<std::size_t>(s - 1));
    return at == notFound ? -1 : static_cast<std::int32_t>(at + 1);
}

ByteBuffer midBytes(const ByteBuffer& b, std::int32_t start, std::int32_t count) {
    const std::int32_t o = clip(static_cast<std::int64_t>(start) - 1, 0, b.size());
    const std::int32_t n = clip(count, 0, b.size() - o);
    return ByteBuffer::copyOf(b.data() + o, n);
}

ByteBuffer blankBytes(std::int32_t count) {
    ByteBuffer b = ByteBuffer::uninitialized(count);
    if (b.size() > 0) std::memset(b.data(), 0, static_cast<std::size_t>(b.size()));
    return b;
}

ByteBuffer concatBytes(std::initializer_list<const ByteBuffer*> parts) {
    std::int64_t total = 0;
    for (const ByteBuffer* part : parts) total += part->size();
    if (total > maxLength) allocate(total);  // reports the failure
    ByteBuffer result = ByteBuffer::uninitialized(static_cast<std::int32_t>(total));
    std::uint8_t* out = result.data();
    for (const ByteBuffer* part : parts) {
        copyBytes(out, part->data(), static_cast<std::size_t>(part->size()));
        out += part->size();
    }
    return result;
}

ByteBuffer replaceBytes(const ByteBuffer& b, const ByteBuffer& pattern, const ByteBuffer& replacement,
                        std::int32_t start, std::int32_t limit) {
    const std::int64_t o = start - static_cast<std::int64_t>(1) < 0 ? 0 : start - static_cast<std::int64_t>(1);
    const std::int32_t k = limit < 0 ? 0 : limit;
    if (b.size() == 0 || pattern.size() == 0 || o >= b.size() || k == 0) return b;

    const std::size_t size = static_cast<std::size_t>(b.size());
    const std::size_t patternSize = static_cast<std::size_t>(pattern.size());
    const std::size_t replacementSize = static_cast<std::size_t>(replacement.size());

    // First find the occurrences, so that the result is allocated once at its final size.
    std::vector<std::size_t> found;
    std::int64_t total = b.size();
    std::size_t from = static_cast<std::size_t>(o);
    while (static_cast<std::int64_t>(found.size()) < k) {
        const std::size_t at = findSpan(b.data(), size, pattern.data(), patternSize, from);
        if (at == notFound) break;
        found.push_back(at);
        total += static_cast<std::int64_t>(replacementSize) - static_cast<std::int64_t>(patternSize);
        from = at + patternSize;
    }
    if (found.empty()) return b;
    if (total > maxLength) allocate(total);  // reports the failure

    ByteBuffer result = ByteBuffer::uninitialized(static_cast<std::int32_t>(total));
    std::uint8_t* out = result.data();
    std::size_t copied = 0;
    for (const std::size_t at : found) {
        copyBytes(out, b.data() + copied, at - copied);
        out += at - copied;
        copyBytes(out, replacement.data(), replacementSize);
        out += replacementSize;
        copied = at + patternSize;
    }
    copyBytes(out, b.data() + copied, size - copied);
    return result;
}

AnsiText readTextAt(const ByteBuffer& b, std::int32_t& cursor) {
    if (cursor <= 0) return AnsiText();
    if (cursor > b.size()) {
        cursor = -1;
        return AnsiText();
    }
    const std::size_t offset = static_cast<std::size_t>(cursor - 1);
    const std::size_t rest = static_cast<std::size_t>(b.size()) - offset;
    const void* zero = std::memchr(b.data() + offset, 0, rest);
    const std::size_t textSize = zero != nullptr ? static_cast<std::size_t>(static_cast<const std::uint8_t*>(zero) - (b.data() + offset)) : rest;
    const std::int64_t next = static_cast<std::int64_t>(cursor) + static_cast<std::int64_t>(textSize) + 1;
    cursor = next <= b.size() ? static_cast<std::int32_t>(next) : -1;
    return AnsiText::fromBytes(b.data() + offset, textSize);
}

ByteBuffer textToBytes(const AnsiText& t) { return ByteBuffer::copyOf(t.c_str(), t.length()); }

AnsiText intToText(std::int32_t v) { return AnsiText(std::to_string(v).c_str()); }

AnsiText intToText(std::int64_t v) { return AnsiText(std::to_string(v).c_str()); }

AnsiText concatTextList(std::initializer_list<AnsiText> parts) {
    std::string joined;
    for (const AnsiText& part : parts) joined.append(part.view());
    return AnsiText::fromBytes(joined.data(), joined.size());
}

bool isEmptyText(const AnsiText& t) { return t.length() == 0; }
