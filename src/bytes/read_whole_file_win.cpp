// readWholeFile on Windows: one read of the whole file, shared for reading only.
#include <windows.h>

#include <limits>

#include "bytes/byte_buffer.h"

ByteBuffer readWholeFile(const AnsiText& path) {
    if (isEmptyText(path)) return ByteBuffer();
    const HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                    FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return ByteBuffer();
    ByteBuffer content;
    LARGE_INTEGER size{};
    if (GetFileSizeEx(file, &size) && size.QuadPart > 0 && size.QuadPart <= std::numeric_limits<std::int32_t>::max()) {
        content = ByteBuffer::uninitialized(static_cast<std::int32_t>(size.QuadPart));
        DWORD got = 0;
        if (ReadFile(file, content.data(), static_cast<DWORD>(content.size()), &got, nullptr)) {
            content.shrinkTo(static_cast<std::int32_t>(got));
        } else {
            content = ByteBuffer();
        }
    }
    CloseHandle(file);
    return content;
}
