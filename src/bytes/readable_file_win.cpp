// Readable files on Windows: opened shared for reading only, read at offsets.
#include <windows.h>

#include <algorithm>

#include "bytes/readable_file.h"

namespace {

class WinFile final : public ReadableFile {
public:
    WinFile(HANDLE handle, FileStamp stamp) : handle_(handle), stamp_(stamp) {}
    ~WinFile() override { CloseHandle(handle_); }
    WinFile(const WinFile&) = delete;
    WinFile& operator=(const WinFile&) = delete;

    FileStamp stamp() const override { return stamp_; }

    std::size_t readAt(std::int64_t offset, std::uint8_t* into, std::size_t count) override {
        std::size_t got = 0;
        while (got < count) {
            const std::uint64_t at = static_cast<std::uint64_t>(offset) + got;
            OVERLAPPED position{};
            position.Offset = static_cast<DWORD>(at);
            position.OffsetHigh = static_cast<DWORD>(at >> 32);
            const DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(count - got, 1u << 30));
            DWORD n = 0;
            if (!ReadFile(handle_, into + got, chunk, &n, &position) || n == 0) break;
            got += n;
        }
        return got;
    }

private:
    HANDLE handle_;
    FileStamp stamp_;
};

}  // namespace

std::unique_ptr<ReadableFile> openReadableFile(const AnsiText& path) {
    if (isEmptyText(path)) return nullptr;
    const HANDLE handle = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                      FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle == INVALID_HANDLE_VALUE) return nullptr;
    LARGE_INTEGER size{};
    FILETIME lastWrite{};
    if (!GetFileSizeEx(handle, &size) || !GetFileTime(handle, nullptr, nullptr, &lastWrite)) {
        CloseHandle(handle);
        return nullptr;
    }
    const std::int64_t written = static_cast<std::int64_t>((static_cast<std::uint64_t>(lastWrite.dwHighDateTime) << 32) |
                                                           lastWrite.dwLowDateTime);
    return std::make_unique<WinFile>(handle, FileStamp{size.QuadPart, written});
}
