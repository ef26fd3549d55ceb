#include <windows.h>

#include <algorithm>
#include <string>

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

}  // namespace

bool saveFile(const AnsiText& path, std::span<const ByteSpan> pieces) {
    if (isEmptyText(path) || !canReplace(path)) return false;
    const std::string temporary = std::string(path.view()) + "." + std::to_string(GetCurrentProcessId()) + ".lexpatch-tmp";
    const HANDLE file = CreateFileA(temporary.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    bool written = true;
    for (const ByteSpan& piece : pieces) {
        written = written && writeAll(file, piece);
    }
    written = FlushFileBuffers(file) && written;
    written = CloseHandle(file) && written;
    if (written && MoveFileExA(temporary.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        return true;
    }
    DeleteFileA(temporary.c_str());
    return false;
}
