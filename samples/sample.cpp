// A small window whose caption and labels are zero-terminated byte strings
// with a known layout, for the end-to-end tests to translate in place.
#include <windows.h>

namespace {

// All texts live in one object: the order of the members and the zero bytes
// between them are fixed, and the compiler can neither merge nor drop a part
// of an object whose address is handed out. Every text is ANSI bytes shown
// through the "A" functions, so code page 936 bytes written over them later
// show as Chinese.
struct SampleTexts {
    char caption[32];  // "Sample Window": 19 zero bytes behind it
    char greeting[16]; // "Good morning": 4 zero bytes behind it
    char fruits[11];   // "Apple" and "Pear", each followed by one zero byte only
    char guard;        // not zero: ends the zero run of the last text
};

const SampleTexts kTexts = {
    "Sample Window",
    "Good morning",
    "Apple\0Pear",
    '#',
};

const char* const kFirstFruit = kTexts.fruits;
const char* const kSecondFruit = kTexts.fruits + sizeof "Apple";

const char kClassName[] = "LexpatchSampleClass";

void addLabel(HWND parent, const char* text, int y)
{
    HWND label = CreateWindowExA(0, "STATIC", text, WS_CHILD | WS_VISIBLE | SS_LEFT,
                                 20, y, 260, 24, parent, nullptr, GetModuleHandleA(nullptr), nullptr);
    SendMessageA(label, WM_SETFONT, reinterpret_cast<WPARAM>(GetStockObject(DEFAULT_GUI_FONT)), FALSE);
}

LRESULT CALLBACK windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_CREATE:
        addLabel(window, kTexts.greeting, 20);
        addLabel(window, kFirstFruit, 50);
        addLabel(window, kSecondFruit, 80);
        return 0;
    case WM_DESTROY:
        PostQuitMessage(0);
        return 0;
    default:
        return DefWindowProcA(window, message, wParam, lParam);
    }
}

} // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int showCommand)
{
    WNDCLASSA windowClass{};
    windowClass.lpfnWndProc = windowProc;
    windowClass.hInstance = instance;
    windowClass.hCursor = LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW));
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    windowClass.lpszClassName = kClassName;
    if (!RegisterClassA(&windowClass))
        return 1;

    HWND window = CreateWindowExA(0, kClassName, "", WS_OVERLAPPEDWINDOW,
                                  CW_USEDEFAULT, CW_USEDEFAULT, 320, 180,
                                  nullptr, nullptr, instance, nullptr);
    if (!window)
        return 1;
    SetWindowTextA(window, kTexts.caption);
    ShowWindow(window, showCommand);
    UpdateWindow(window);

    MSG message;
    while (GetMessageA(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    return static_cast<int>(message.wParam);
}
