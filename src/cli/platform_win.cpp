#include <windows.h>

#include <shellapi.h>

#include <limits>

#include "cli/platform.h"

namespace {

std::string toUtf8(const wchar_t* wide, int length) {
    const int size = WideCharToMultiByte(CP_UTF8, 0, wide, length, nullptr, 0, nullptr, nullptr);
    std::string utf8(static_cast<std::size_t>(size > 0 ? size : 0), '\0');
    if (size > 0) WideCharToMultiByte(CP_UTF8, 0, wide, length, utf8.data(), size, nullptr, nullptr);
    return utf8;
}

std::wstring toWide(std::string_view utf8) {
    const int size = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(size > 0 ? size : 0), L'\0');
    if (size > 0) MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), wide.data(), size);
    return wide;
}

bool isConsole(HANDLE handle) {
    DWORD mode = 0;
    return handle != INVALID_HANDLE_VALUE && handle != nullptr && GetConsoleMode(handle, &mode) != 0;
}

void writeTo(DWORD which, std::string_view utf8) {
    const HANDLE handle = GetStdHandle(which);
    if (handle == INVALID_HANDLE_VALUE || handle == nullptr || utf8.empty()) return;
    if (isConsole(handle)) {
        const std::wstring wide = toWide(utf8);
        DWORD written = 0;
        WriteConsoleW(handle, wide.data(), static_cast<DWORD>(wide.size()), &written, nullptr);
        return;
    }
    while (!utf8.empty()) {
        DWORD written = 0;
        if (!WriteFile(handle, utf8.data(), static_cast<DWORD>(utf8.size()), &written, nullptr) || written == 0) return;
        utf8.remove_prefix(written);
    }
}

}  // namespace

std::vector<std::string> commandLineArguments(int, char**) {
    std::vector<std::string> arguments;
    int count = 0;
    wchar_t** wide = CommandLineToArgvW(GetCommandLineW(), &count);
    if (wide == nullptr) return arguments;
    for (int i = 0; i < count; ++i) arguments.push_back(toUtf8(wide[i], -1).c_str());
    LocalFree(wide);
    return arguments;
}

void writeStandardOutput(std::string_view utf8) { writeTo(STD_OUTPUT_HANDLE, utf8); }

void writeStandardError(std::string_view utf8) { writeTo(STD_ERROR_HANDLE, utf8); }

bool standardErrorIsTerminal() { return isConsole(GetStdHandle(STD_ERROR_HANDLE)); }

std::optional<AnsiText> systemPath(const std::string& utf8Path) {
    const std::wstring wide = toWide(utf8Path);
    if (wide.empty()) return AnsiText();
    const int size = WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, wide.data(), static_cast<int>(wide.size()),
                                         nullptr, 0, nullptr, nullptr);
    std::string ansi(static_cast<std::size_t>(size > 0 ? size : 0), '\0');
    BOOL usedDefault = FALSE;
    if (size <= 0 || WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, wide.data(), static_cast<int>(wide.size()),
                                         ansi.data(), size, nullptr, &usedDefault) != size || usedDefault) {
        return std::nullopt;
    }
    return AnsiText(ansi.c_str());
}

std::string whyUnreadable(const AnsiText& path) {
    const DWORD attributes = GetFileAttributesA(path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) {
        const DWORD error = GetLastError();
        return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND ? "no such file" : "cannot be opened";
    }
    if ((attributes & FILE_ATTRIBUTE_DIRECTORY) != 0) return "is a folder";
    const HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        const DWORD error = GetLastError();
        if (error == ERROR_SHARING_VIOLATION) return "is open for writing in another program";
        return error == ERROR_ACCESS_DENIED ? "access is denied" : "cannot be opened";
    }
    LARGE_INTEGER size{};
    const bool sized = GetFileSizeEx(file, &size) != 0;
    CloseHandle(file);
    if (!sized) return "could not be read";
    if (size.QuadPart > std::numeric_limits<std::int32_t>::max()) return "is 2 GiB or larger, more than a table can be";
    return size.QuadPart == 0 ? "" : "could not be read";
}
