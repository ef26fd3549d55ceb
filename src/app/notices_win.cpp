#include <windows.h>

#include "app/notices.h"
#include "texts/texts.h"

void showNoticeBox(const AnsiText& text) {
    MessageBoxA(nullptr, text.c_str(), texts::noticeTitle, MB_OK | MB_TASKMODAL);
}

void fatalError(const AnsiText& message) {
    MessageBoxA(nullptr, fatalErrorText(message).c_str(), texts::fatalErrorTitle, MB_ICONERROR);
    TerminateProcess(GetCurrentProcess(), static_cast<UINT>(-1));
    ExitProcess(static_cast<UINT>(-1));
}
