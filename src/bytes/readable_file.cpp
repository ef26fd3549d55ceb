#include "bytes/readable_file.h"

#include <algorithm>
#include <cstring>
#include <limits>

std::size_t MemoryFile::readAt(std::int64_t offset, std::uint8_t* into, std::size_t count) {
    if (offset < 0 || offset >= static_cast<std::int64_t>(bytes_.size())) return 0;
    const std::size_t from = static_cast<std::size_t>(offset);
    const std::size_t n = std::min(count, bytes_.size() - from);
    std::memcpy(into, bytes_.data() + from, n);
    return n;
}

ByteBuffer readWholeFile(const AnsiText& path) {
    const std::unique_ptr<ReadableFile> file = openReadableFile(path);
    if (!file) return ByteBuffer();
    const std::int64_t size = file->size();
    if (size <= 0 || size > std::numeric_limits<std::int32_t>::max()) return ByteBuffer();
    ByteBuffer content = ByteBuffer::uninitialized(static_cast<std::int32_t>(size));
    // One request for the whole size; a short read gives the bytes that arrived.
    const std::size_t got = file->readAt(0, content.data(), static_cast<std::size_t>(size));
    content.shrinkTo(static_cast<std::int32_t>(got));
    return content;
}
