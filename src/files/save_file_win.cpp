#include <windows.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "files/save_file.h"

namespace {

bool canReplace(const AnsiText& path) {
    const DWORD attributes = GetFileAttributesA(path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) return GetLastError() == ERROR_FILE_NOT_FOUND;
    if ((attributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_READONLY)) != 0) return false;
    const HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                    nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    CloseHandle(file);
    return true;
}

bool writeAll(HANDLE file, const ByteSpan& piece) {
    std::size_t done = 0;
    while (done < piece.size) {
        const DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(piece.size - done, 1u << 30));
        DWORD written = 0;
        if (!WriteFile(file, piece.data + done, chunk, &written, nullptr) || written == 0) return false;
        done += written;
    }
    return true;
}


bool writeAt(HANDLE file, std::int64_t offset, const ByteSpan& bytes) {
    std::size_t done = 0;
    while (done < bytes.size) {
        const std::uint64_t at = static_cast<std::uint64_t>(offset) + done;
        OVERLAPPED position{};
        position.Offset = static_cast<DWORD>(at);
        position.OffsetHigh = static_cast<DWORD>(at >> 32);
        const DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(bytes.size - done, 1u << 30));
        DWORD written = 0;
        if (!WriteFile(file, bytes.data + done, chunk, &written, &position) || written == 0) return false;
        done += written;
    }
    return true;
}

// Copies the whole of `from` to `to` through one reused buffer.
bool copyFile(ReadableFile& from, HANDLE to) {
    std::vector<std::uint8_t> buffer(std::size_t{4} << 20);
    const std::int64_t size = from.size();
    std::int64_t done = 0;
    while (done < size) {
        const std::size_t wanted = static_cast<std::size_t>(std::min<std::int64_t>(size - done, static_cast<std::int64_t>(buffer.size())));
        const std::size_t got = from.readAt(done, buffer.data(), wanted);
        if (got != wanted || !writeAll(to, {buffer.data(), got})) return false;  // failed, or ended early
        done += static_cast<std::int64_t>(got);
    }
    return true;
}

// Gives `path`, which canReplace allowed, the content that `write` puts into a new file beside
// it, all or nothing; `release` runs once the new file is complete and before it is moved into
// place.
template <class Write, class Release>
bool replaceAtomically(const AnsiText& path, Write write, Release release) {
    const std::string temporary = std::string(path.view()) + "." + std::to_string(GetCurrentProcessId()) + ".lexpatch-tmp";
    const HANDLE file = CreateFileA(temporary.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    bool written = write(file);
    written = FlushFileBuffers(file) && written;
    written = CloseHandle(file) && written;
    release();
    if (written && MoveFileExA(temporary.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        return true;
    }
    DeleteFileA(temporary.c_str());
    return false;
}

}  // namespace

bool saveFile(const AnsiText& path, std::span<const ByteSpan> pieces) {
    if (isEmptyText(path) || !canReplace(path)) return false;
    return replaceAtomically(
        path,
        [&](HANDLE file) {
            for (const ByteSpan& piece : pieces) {
                if (!writeAll(file, piece)) return false;
            }
            return true;
        },
        [] {});
}

bool savePatchedCopy(const AnsiText& target, const AnsiText& source, const FileStamp& measured,
                     std::span<const PatchBlock> blocks) {
    // Before the source is opened, which keeps the target from being opened for writing when it
    // is the source itself.
    if (isEmptyText(target) || isEmptyText(source) || !canReplace(target)) return false;
    // Shared for reading only: no program can change the source while it is copied. A read/write
    // loop rather than CopyFileEx, which would open the source again without that guarantee.
    std::unique_ptr<ReadableFile> from = openReadableFile(source);
    if (!from || from->stamp() != measured) return false;
    return replaceAtomically(
        target,
        [&](HANDLE to) {
            if (!copyFile(*from, to)) return false;
            for (const PatchBlock& block : blocks) {
                if (!writeAt(to, block.offset, block.bytes)) return false;
            }
            return true;
        },
        [&] { from.reset(); });  // the target may be the source, which must be closed to be replaced
}
