// Start-up: the program's folder, the main window, the message loop, the end.
#include <windows.h>

#include <cstdlib>
#include <new>

#include "app/main_window.h"
#include "app/notices.h"
#include "files/settings.h"
#include "app/win_system.h"
#include "files/paths.h"
#include "texts/texts.h"

namespace {

ProgramState programState;

void releaseProgramState() { programState.currentFilePath = AnsiText(); }

void reportAllocationFailure(std::int64_t requestedBytes) { fatalError(allocationFailureMessage(requestedBytes)); }

AnsiText findRunDirectory() {
    char executablePath[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, executablePath, MAX_PATH);
    return directoryOf(AnsiText::fromBytes(executablePath, MAX_PATH));
}

}  // namespace

// Every allocation of the program that fails ends it through the fatal-error path.
void* operator new(std::size_t size) {
    if (void* memory = std::malloc(size != 0 ? size : 1)) return memory;
    reportAllocationFailure(static_cast<std::int64_t>(size));
    std::abort();
}
void operator delete(void* memory) noexcept { std::free(memory); }
void operator delete(void* memory, std::size_t) noexcept { std::free(memory); }

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    setAllocationFailureHandler(reportAllocationFailure);
    const AnsiText runDirectory = findRunDirectory();
    SetCurrentDirectoryA(runDirectory.c_str());
    std::atexit(releaseProgramState);

    WinSystem system(settingsPathIn(runDirectory));
    MainWindow window(system, programState);
    if (!window.create(instance)) {
        fatalError(texts::windowNotCreated);
    }

    MSG message;
    while (GetMessageA(&message, nullptr, 0, 0) > 0) {
        if (window.handleNavigationKey(message)) continue;
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    return 0;
}
