#include <windows.h>

#include <algorithm>
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

// Copies the whole of `from` (`size` bytes) to `to` through one reused buffer.
bool copyFile(HANDLE from, HANDLE to, std::int64_t size) {
    std::vector<std::uint8_t> buffer(std::size_t{4} << 20);
    std::int64_t done = 0;
    while (done < size) {
        const DWORD wanted = static_cast<DWORD>(std::min<std::int64_t>(size - done, static_cast<std::int64_t>(buffer.size())));
        DWORD got = 0;
        if (!ReadFile(from, buffer.data(), wanted, &got, nullptr) || got == 0) return false;  // failed, or ended early
        if (!writeAll(to, {buffer.data(), got})) return false;
        done += got;
    }
    return true;
}

bool stampOf(HANDLE file, FileStamp& stamp) {
    LARGE_INTEGER size{};
    FILETIME lastWrite{};
    if (!GetFileSizeEx(file, &size) || !GetFileTime(file, nullptr, nullptr, &lastWrite)) return false;
    stamp = {size.QuadPart,
             static_cast<std::int64_t>((static_cast<std::uint64_t>(lastWrite.dwHighDateTime) << 32) | lastWrite.dwLowDateTime)};
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
    HANDLE from = CreateFileA(source.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (from == INVALID_HANDLE_VALUE) return false;
    const auto release = [&] {
        if (from != INVALID_HANDLE_VALUE) CloseHandle(from);
        from = INVALID_HANDLE_VALUE;  // the target may be the source, which must be closed to be replaced
    };
    FileStamp before;
    const bool saved = stampOf(from, before) && before == measured && replaceAtomically(
        target,
        [&](HANDLE to) {
            if (!copyFile(from, to, measured.size)) return false;
            for (const PatchBlock& block : blocks) {
                if (!writeAt(to, block.offset, block.bytes)) return false;
            }
            return true;
        },
        release);
    release();
    return saved;
}
