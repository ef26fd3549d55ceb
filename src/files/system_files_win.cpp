#include <windows.h>

#include <string>

#include "files/system_files.h"

bool pathExists(const AnsiText& path) {
    WIN32_FIND_DATAA found;
    const HANDLE search = FindFirstFileA(path.c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return false;
    FindClose(search);
    return true;
}

bool startProgram(const AnsiText& path) {
    // Quoted, so that a path with blanks names this file and no shorter one.
    std::string commandLine;
    if (!isEmptyText(path)) {
        commandLine.append(1, '"').append(path.view()).append(1, '"');
    }
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = SW_SHOWNORMAL;
    PROCESS_INFORMATION process{};
    const char* application = isEmptyText(path) ? nullptr : path.c_str();
    if (!CreateProcessA(application, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process)) {
        return false;
    }
    WaitForInputIdle(process.hProcess, 1000);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return true;
}
