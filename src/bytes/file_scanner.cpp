#include "bytes/file_scanner.h"

#include <algorithm>
#include <cstring>

#include "bytes/find_bytes.h"

FileScanner::FileScanner(ReadableFile& file, std::size_t bufferSize)
    : file_(file), readSize_(std::max<std::size_t>(bufferSize, 1)), buffer_(readSize_) {}

std::size_t FileScanner::windowAt(std::int64_t offset, std::size_t extra) {
    // The buffer only grows, and every read fills it: a window is never smaller than what it
    // keeps of the last one.
    if (buffer_.size() < readSize_ + extra) buffer_.resize(readSize_ + extra);
    const std::size_t capacity = buffer_.size();
    std::size_t kept = 0;
    const std::int64_t windowEnd = windowStart_ + static_cast<std::int64_t>(windowSize_);
    if (offset >= windowStart_ && offset < windowEnd) {
        kept = static_cast<std::size_t>(windowEnd - offset);
        std::memmove(buffer_.data(), buffer_.data() + (offset - windowStart_), kept);
    }
    if (kept == 0 || !windowEndsFile_) {
        const std::size_t wanted = capacity - kept;
        const std::size_t got = file_.readAt(offset + static_cast<std::int64_t>(kept), buffer_.data() + kept, wanted);
        windowEndsFile_ = got < wanted;
        kept += got;
    }
    windowStart_ = offset;
    windowSize_ = kept;
    return kept;
}

std::int64_t FileScanner::find(ByteSpan pattern, std::int64_t from) {
    if (pattern.size == 0) return -1;
    // Consecutive windows overlap by one byte less than the pattern, so that an occurrence cut
    // by the end of one window lies whole in the next.
    const std::size_t overlap = pattern.size - 1;
    std::int64_t at = std::max<std::int64_t>(from, 0);
    while (true) {
        const std::size_t size = windowAt(at, overlap);
        const std::size_t hit = findSpan(buffer_.data(), size, pattern.data, pattern.size, 0);
        if (hit != notFound) return at + static_cast<std::int64_t>(hit);
        if (windowEndsFile_) return -1;
        at += static_cast<std::int64_t>(size - overlap);
    }
}

std::int64_t FileScanner::countZeros(std::int64_t from) {
    std::int64_t zeros = 0;
    std::int64_t at = std::max<std::int64_t>(from, 0);
    while (true) {
        const std::size_t size = windowAt(at, 0);
        std::size_t i = 0;
        while (i < size && buffer_[i] == 0) ++i;
        zeros += static_cast<std::int64_t>(i);
        if (i < size || windowEndsFile_) return zeros;
        at += static_cast<std::int64_t>(size);
    }
}

int FileScanner::byteAt(std::int64_t offset) {
    if (offset < 0) return -1;
    const bool held = offset >= windowStart_ && offset < windowStart_ + static_cast<std::int64_t>(windowSize_);
    if (!held && windowAt(offset, 0) == 0) return -1;
    return buffer_[static_cast<std::size_t>(offset - windowStart_)];
}

std::string FileScanner::textFrom(std::int64_t from, std::int64_t& end) {
    std::string text;
    std::int64_t at = std::max<std::int64_t>(from, 0);
    while (true) {
        const std::size_t size = windowAt(at, 0);
        const void* zero = std::memchr(buffer_.data(), 0, size);
        const std::size_t length = zero ? static_cast<std::size_t>(static_cast<const std::uint8_t*>(zero) - buffer_.data()) : size;
        text.append(reinterpret_cast<const char*>(buffer_.data()), length);
        if (zero || windowEndsFile_) {
            end = at + static_cast<std::int64_t>(length);
            return text;
        }
        at += static_cast<std::int64_t>(size);
    }
}
