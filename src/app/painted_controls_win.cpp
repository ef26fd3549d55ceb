#include "app/painted_controls.h"

#include <string>

namespace {

// The font a control was given with WM_SETFONT, kept in its window extra bytes.
HFONT controlFont(HWND window) { return reinterpret_cast<HFONT>(GetWindowLongPtrA(window, 0)); }

using Painter = void (*)(HWND window, HDC dc, RECT area);

// Both kinds fill their area with the face colour, then draw on it.
LRESULT paintWith(HWND window, Painter paint) {
    PAINTSTRUCT painting;
    HDC dc = BeginPaint(window, &painting);
    RECT area;
    GetClientRect(window, &area);
    FillRect(dc, &area, GetSysColorBrush(COLOR_BTNFACE));
    paint(window, dc, area);
    EndPaint(window, &painting);
    return 0;
}

void drawCaption(HWND window, HDC dc, RECT area) {
    std::string caption(static_cast<std::size_t>(GetWindowTextLengthA(window)) + 1, '\0');
    const int length = GetWindowTextA(window, caption.data(), static_cast<int>(caption.size()));
    HGDIOBJ previousFont = SelectObject(dc, controlFont(window) != nullptr ? controlFont(window) : GetStockObject(DEFAULT_GUI_FONT));
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, RGB(0, 0, 0));
    DrawTextA(dc, caption.c_str(), length, &area, DT_LEFT | DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX);
    SelectObject(dc, previousFont);
}

void drawTopLine(HWND, HDC dc, RECT area) {
    HPEN pen = CreatePen(PS_SOLID, 1, RGB(0, 0, 0));
    HGDIOBJ previousPen = SelectObject(dc, pen);
    MoveToEx(dc, 0, 0, nullptr);
    LineTo(dc, area.right, 0);
    SelectObject(dc, previousPen);
    DeleteObject(pen);
}

LRESULT handleCommon(HWND window, UINT message, WPARAM wParam, LPARAM lParam, Painter paint) {
    switch (message) {
    case WM_PAINT:
        return paintWith(window, paint);
    case WM_ERASEBKGND:
        return 1;  // painted whole in WM_PAINT
    case WM_SETFONT:
        SetWindowLongPtrA(window, 0, static_cast<LONG_PTR>(wParam));
        if (LOWORD(lParam) != 0) InvalidateRect(window, nullptr, TRUE);
        return 0;
    case WM_GETFONT:
        return reinterpret_cast<LRESULT>(controlFont(window));
    case WM_SETTEXT: {
        const LRESULT result = DefWindowProcA(window, message, wParam, lParam);
        InvalidateRect(window, nullptr, TRUE);
        return result;
    }
    default:
        return DefWindowProcA(window, message, wParam, lParam);
    }
}

LRESULT CALLBACK labelProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    return handleCommon(window, message, wParam, lParam, drawCaption);
}

LRESULT CALLBACK lineProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    return handleCommon(window, message, wParam, lParam, drawTopLine);
}

bool registerClass(HINSTANCE instance, const char* name, WNDPROC procedure) {
    WNDCLASSEXA windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = procedure;
    windowClass.cbWndExtra = sizeof(LONG_PTR);
    windowClass.hInstance = instance;
    windowClass.hCursor = LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW));
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    windowClass.lpszClassName = name;
    return RegisterClassExA(&windowClass) != 0;
}

}  // namespace

bool registerPaintedControls(HINSTANCE instance) {
    return registerClass(instance, labelClassName, labelProcedure) && registerClass(instance, lineClassName, lineProcedure);
}
