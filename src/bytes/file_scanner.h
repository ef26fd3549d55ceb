// Searches and reads of a file front to back through one buffer that every call reuses, so that
// memory stays the same whatever the size of the file. Offsets are 0-based; the file ends where
// a read first comes back short.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "bytes/byte_buffer.h"
#include "bytes/readable_file.h"

class FileScanner {
public:
    // Small enough that a read is still in the processor's cache when it is searched: a search
    // through 512 KiB reads runs at the speed of the read alone, through 4 MiB ones about 25 %
    // slower.
    static constexpr std::size_t defaultBufferSize = std::size_t{512} << 10;

    // `bufferSize` bytes of the file are read at a time (at least 1); a search for a longer
    // pattern takes a buffer that holds one such read and the pattern.
    explicit FileScanner(ReadableFile& file, std::size_t bufferSize = defaultBufferSize);

    ReadableFile& file() { return file_; }

    // The offset of the first occurrence of `pattern` that begins at or after `from` (0 when
    // negative), or -1. An empty pattern is never found.
    std::int64_t find(ByteSpan pattern, std::int64_t from);

    // How many zero bytes follow each other from `from` on; 0 at or past the end.
    std::int64_t countZeros(std::int64_t from);

    // The byte at `offset`, or -1 when it lies past the end.
    int byteAt(std::int64_t offset);

    // The bytes from `from` up to the next zero byte or the end of the file; `end` becomes the
    // offset of that zero byte, or that of the end when there is none.
    std::string textFrom(std::int64_t from, std::int64_t& end);

private:
    // Makes the window begin at `offset` and hold at least a read of `bufferSize` bytes and
    // `extra` more (fewer at the end of the file); returns its size. Bytes the window already
    // holds are moved, not read again.
    std::size_t windowAt(std::int64_t offset, std::size_t extra);

    ReadableFile& file_;
    std::size_t readSize_;
    std::vector<std::uint8_t> buffer_;
    std::int64_t windowStart_ = 0;
    std::size_t windowSize_ = 0;
    bool windowEndsFile_ = false;  // the window's last read came back short
};
