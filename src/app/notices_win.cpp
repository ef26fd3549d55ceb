#include <windows.h>

#include "app/notices.h"

void showNoticeBox(const AnsiText& text) {
    MessageBoxA(nullptr, text.c_str(), "\xd0\xc5\xcf\xa2\xa3\xba", MB_OK | MB_TASKMODAL);  // 信息：
}

void fatalError(const AnsiText& message) {
    MessageBoxA(nullptr, fatalErrorText(message).c_str(), "\xb4\xed\xce\xf3", MB_ICONERROR);  // 错误
    TerminateProcess(GetCurrentProcess(), static_cast<UINT>(-1));
    ExitProcess(static_cast<UINT>(-1));
}
