#include <windows.h>

#include <vector>

#include "files/settings.h"

namespace {
constexpr const char* section = "main";
constexpr DWORD readBufferSize = 10240;
}  // namespace

AnsiText readSetting(const AnsiText& settingsPath, const AnsiText& key) {
    std::vector<char> value(readBufferSize, '\0');
    GetPrivateProfileStringA(section, key.c_str(), nullptr, value.data(), readBufferSize, settingsPath.c_str());
    return AnsiText::fromBytes(value.data(), value.size());
}

void writeSetting(const AnsiText& settingsPath, const AnsiText& key, const AnsiText& value) {
    WritePrivateProfileStringA(section, key.c_str(), value.c_str(), settingsPath.c_str());
}

bool writeWholeFile(const AnsiText& path, const ByteBuffer& bytes) {
    if (isEmptyText(path)) return false;
    const HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    bool written = true;
    if (bytes.size() > 0) {
        DWORD count = 0;
        written = WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &count, nullptr) &&
                  count == static_cast<DWORD>(bytes.size());
    }
    const bool closed = CloseHandle(file) != 0;
    return written && closed;
}
