// Files read piece by piece at any offset, so that no command needs a whole file in memory.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

#include "bytes/byte_buffer.h"

// What tells one version of a file from another: its size and its last-write time.
struct FileStamp {
    std::int64_t size = 0;
    std::int64_t lastWrite = 0;  // in the system's own units
    bool operator==(const FileStamp& other) const = default;
};

// A file open for reading.
class ReadableFile {
public:
    virtual ~ReadableFile() = default;
    // The file as it was when it was opened.
    virtual FileStamp stamp() const = 0;
    std::int64_t size() const { return stamp().size; }
    // Reads up to `count` bytes from the 0-based `offset` on into `into` and returns how many
    // arrived: fewer only at the end of the file (none past it) or when the read fails.
    virtual std::size_t readAt(std::int64_t offset, std::uint8_t* into, std::size_t count) = 0;
};

// Opens the existing regular file at `path` for reading, letting other programs read it but not
// write it. Nothing for the empty path and for a file that cannot be opened so (missing, a
// folder, no access, held open for writing).
std::unique_ptr<ReadableFile> openReadableFile(const AnsiText& path);

// Bytes in memory as a file.
class MemoryFile final : public ReadableFile {
public:
    explicit MemoryFile(std::string bytes, std::int64_t lastWrite = 0)
        : bytes_(std::move(bytes)), lastWrite_(lastWrite) {}

    FileStamp stamp() const override { return {static_cast<std::int64_t>(bytes_.size()), lastWrite_}; }
    std::size_t readAt(std::int64_t offset, std::uint8_t* into, std::size_t count) override;

private:
    std::string bytes_;
    std::int64_t lastWrite_;
};
