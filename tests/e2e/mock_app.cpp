// A small stand-in with the window shapes the driver works with: a main window captioned
// "Lexpatch - ...", a status bar, a label, a multi-line edit box whose changes are counted, and
// buttons that show a notice, the open and save dialogs, or start a second instance.
#include <windows.h>
#include <commctrl.h>
#include <commdlg.h>

#include <cstdio>

namespace {

enum : int {
    kStatus = 100,
    kLabel = 101,
    kNoticeButton = 102,
    kEdit = 105,
    kOpenButton = 110,
    kSaveButton = 111,
    kSpawnButton = 112,
};

HWND mainWindow;
int changes;

UINT_PTR CALLBACK hook(HWND, UINT, WPARAM, LPARAM) { return 0; }

void showFileDialog(bool save) {
    char file[MAX_PATH] = "offered.exe";
    OPENFILENAMEA ofn = {};
    // The old form without the Windows 2000 members, as the real program uses; its size differs
    // between 32-bit and 64-bit code.
    ofn.lStructSize = OPENFILENAME_SIZE_VERSION_400A;
    ofn.hwndOwner = mainWindow;
    ofn.lpstrFilter = "Programs (*.exe)\0*.exe\0\0";
    ofn.nFilterIndex = 1;
    ofn.lpstrFile = file;
    ofn.nMaxFile = MAX_PATH;
    ofn.lpstrInitialDir = "C:\\windows";
    ofn.lpstrDefExt = "exe";
    ofn.Flags = OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT | OFN_PATHMUSTEXIST | OFN_FILEMUSTEXIST |
                OFN_EXPLORER | OFN_ENABLESIZING | OFN_ENABLEHOOK;
    ofn.lpfnHook = hook;
    BOOL ok = save ? GetSaveFileNameA(&ofn) : GetOpenFileNameA(&ofn);
    char caption[MAX_PATH + 16];
    snprintf(caption, sizeof caption, "Lexpatch - %s", ok ? file : "cancelled");
    SetWindowTextA(mainWindow, caption);
}

void spawnSecondInstance() {
    char self[MAX_PATH];
    GetModuleFileNameA(nullptr, self, MAX_PATH);
    STARTUPINFOA si = {};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi;
    if (CreateProcessA(self, nullptr, nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi)) {
        CloseHandle(pi.hThread);
        CloseHandle(pi.hProcess);
    }
}

LRESULT CALLBACK labelProc(HWND w, UINT m, WPARAM wp, LPARAM lp) {
    return DefWindowProcA(w, m, wp, lp);
}

LRESULT CALLBACK windowProc(HWND w, UINT m, WPARAM wp, LPARAM lp) {
    switch (m) {
    case WM_COMMAND:
        if (LOWORD(wp) == kEdit && HIWORD(wp) == EN_CHANGE) {
            char text[32];
            snprintf(text, sizeof text, "changes %d", ++changes);
            SetDlgItemTextA(w, kLabel, text);
        } else if (HIWORD(wp) == BN_CLICKED) {
            switch (LOWORD(wp)) {
            case kNoticeButton:
                // "第一" then "第二", like the two start-up notices of the real program.
                MessageBoxA(nullptr, "\xB5\xDA\xD2\xBB", "\xD0\xC5\xCF\xA2\xA3\xBA", MB_OK | MB_TASKMODAL);
                MessageBoxA(nullptr, "\xB5\xDA\xB6\xFE", "\xD0\xC5\xCF\xA2\xA3\xBA", MB_OK | MB_TASKMODAL);
                break;
            case kOpenButton: showFileDialog(false); break;
            case kSaveButton: showFileDialog(true); break;
            case kSpawnButton: spawnSecondInstance(); break;
            }
        }
        return 0;
    case WM_DESTROY:
        PostQuitMessage(7);
        return 0;
    }
    return DefWindowProcA(w, m, wp, lp);
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    InitCommonControls();
    WNDCLASSA wc = {};
    wc.lpfnWndProc = windowProc;
    wc.hInstance = instance;
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    wc.lpszClassName = "MockMain";
    RegisterClassA(&wc);
    wc.lpfnWndProc = labelProc;
    wc.lpszClassName = "LexpatchLabel";
    RegisterClassA(&wc);

    mainWindow = CreateWindowExA(0, "MockMain", "Lexpatch - mock", WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU,
                                 100, 100, 483, 333, nullptr, nullptr, instance, nullptr);
    auto child = [&](const char* cls, const char* text, DWORD style, DWORD ex, int x, int y, int cx,
                     int cy, int id) {
        CreateWindowExA(ex, cls, text, WS_CHILD | WS_VISIBLE | style, x, y, cx, cy, mainWindow,
                        reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), instance, nullptr);
    };
    child(STATUSCLASSNAMEA, "", CCS_BOTTOM, 0, 0, 0, 0, 0, kStatus);
    child("LexpatchLabel", "changes 0", 0, 0, 120, 112, 352, 24, kLabel);
    child("Button", "notice", WS_TABSTOP, 0, 8, 256, 56, 24, kNoticeButton);
    child("Edit", "", WS_TABSTOP | ES_MULTILINE | ES_AUTOVSCROLL | ES_WANTRETURN, WS_EX_CLIENTEDGE,
          40, 8, 432, 48, kEdit);
    child("Button", "open", WS_TABSTOP, 0, 72, 256, 56, 24, kOpenButton);
    child("Button", "save", WS_TABSTOP, 0, 136, 256, 56, 24, kSaveButton);
    child("Button", "spawn", WS_TABSTOP, 0, 200, 256, 56, 24, kSpawnButton);
    HWND status = GetDlgItem(mainWindow, kStatus);
    int edges[3] = {100, 200, -1};
    SendMessageA(status, SB_SETPARTS, 3, reinterpret_cast<LPARAM>(edges));
    SendMessageA(status, SB_SETTEXTA, 1, reinterpret_cast<LPARAM>("\xB2\xE2\xCA\xD4"));  // 测试
    ShowWindow(mainWindow, SW_SHOW);

    MSG msg;
    while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
        if (!IsDialogMessageA(mainWindow, &msg)) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
    }
    return static_cast<int>(msg.wParam);
}
