#include "app/main_window.h"

#include <commctrl.h>

#include <algorithm>

#include "app/notices.h"
#include "app/painted_controls.h"
#include "commands/restore_command.h"
#include "files/file_dialog_win.h"
#include "texts/texts.h"

namespace {

constexpr const char* windowClassName = "LexpatchMainWindow";
constexpr int windowWidth = 483;
constexpr int windowHeight = 333;
constexpr int statusPartRightEdges[3] = {100, 200, -1};

struct ChildClass {
    const char* className;
    DWORD style;
    DWORD extendedStyle;
};

ChildClass childClassOf(ControlKind kind) {
    constexpr DWORD editBase = WS_CHILD | ES_LEFT;
    switch (kind) {
    case ControlKind::statusBar:
        return {STATUSCLASSNAMEA, WS_CHILD | CCS_BOTTOM | SBT_TOOLTIPS, 0};
    case ControlKind::label:
        return {labelClassName, WS_CHILD, 0};
    case ControlKind::line:
        return {lineClassName, WS_CHILD, 0};
    case ControlKind::button:
        return {"BUTTON", WS_CHILD | BS_PUSHBUTTON | BS_CENTER | BS_VCENTER | BS_MULTILINE, 0};
    case ControlKind::multiLineEdit:
        return {"EDIT", editBase | ES_MULTILINE | ES_AUTOVSCROLL | ES_WANTRETURN, WS_EX_CLIENTEDGE};
    case ControlKind::singleLineEdit:
        return {"EDIT", editBase | ES_AUTOHSCROLL, WS_EX_CLIENTEDGE};
    case ControlKind::fileDialog:
        break;
    }
    return {nullptr, 0, 0};
}

// The height a single-line box needs to show its font.
int singleLineHeight(HWND edit, HFONT font, int height) {
    HDC dc = GetDC(edit);
    HGDIOBJ previous = SelectObject(dc, font);
    TEXTMETRICA metrics{};
    GetTextMetricsA(dc, &metrics);
    SelectObject(dc, previous);
    ReleaseDC(edit, dc);
    return std::max(height, static_cast<int>(metrics.tmHeight) + 2 * GetSystemMetrics(SM_CYEDGE));
}

}  // namespace

MainWindow::MainWindow(System& system, ProgramState& state)
    : system_(system),
      state_(state),
      context_{*this, system_, state_},
      openDialog_(executableDialog(FileDialog::Kind::open)),
      saveDialog_(executableDialog(FileDialog::Kind::save)) {}

bool MainWindow::create(HINSTANCE instance) {
    INITCOMMONCONTROLSEX commonControls{sizeof commonControls, ICC_BAR_CLASSES};
    InitCommonControlsEx(&commonControls);
    if (!registerPaintedControls(instance)) return false;

    WNDCLASSEXA windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = windowProcedure;
    windowClass.hInstance = instance;
    windowClass.hCursor = LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW));
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    windowClass.lpszClassName = windowClassName;
    windowClass.hIcon = static_cast<HICON>(LoadImageA(instance, "DEFAULT_ICON", IMAGE_ICON, GetSystemMetrics(SM_CXICON),
                                                      GetSystemMetrics(SM_CYICON), 0));
    windowClass.hIconSm = static_cast<HICON>(LoadImageA(instance, "DEFAULT_ICON", IMAGE_ICON,
                                                        GetSystemMetrics(SM_CXSMICON), GetSystemMetrics(SM_CYSMICON), 0));
    if (RegisterClassExA(&windowClass) == 0) return false;

    const int left = (GetSystemMetrics(SM_CXSCREEN) - windowWidth) / 2;
    const int top = (GetSystemMetrics(SM_CYSCREEN) - windowHeight) / 2;
    const DWORD style = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;  // WS_CAPTION holds WS_DLGFRAME
    window_ = CreateWindowExA(WS_EX_APPWINDOW, windowClassName, texts::initialCaption, style, left, top, windowWidth,
                              windowHeight, nullptr, nullptr, instance, this);
    if (window_ == nullptr) return false;

    RECT outer;
    GetWindowRect(window_, &outer);
    if (outer.right - outer.left != windowWidth || outer.bottom - outer.top != windowHeight) {
        MoveWindow(window_, left, top, windowWidth, windowHeight, FALSE);
    }
    SendMessageA(window_, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(windowClass.hIcon));
    SendMessageA(window_, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(windowClass.hIconSm));
    SendMessageA(window_, WM_SETFONT, reinterpret_cast<WPARAM>(GetStockObject(DEFAULT_GUI_FONT)), FALSE);

    // A fixed frame: nothing to size or maximize in the system menu.
    HMENU systemMenu = GetSystemMenu(window_, FALSE);
    DeleteMenu(systemMenu, SC_SIZE, MF_BYCOMMAND);
    DeleteMenu(systemMenu, SC_MAXIMIZE, MF_BYCOMMAND);

    if (!createControls(instance)) {
        DestroyWindow(window_);
        window_ = nullptr;
        return false;
    }

    restoreSettings(context_);  // the window's "created" event

    if (IsWindow(window_)) {
        ShowWindow(window_, SW_SHOW);
        SetFocus(child(tabOrder.front()));
    }
    return true;
}

bool MainWindow::createControls(HINSTANCE instance) {
    const HFONT font = static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
    for (const ControlRow& row : controlTable) {
        const ChildClass childClass = childClassOf(row.kind);
        if (childClass.className == nullptr) continue;  // the file dialogs are no windows
        const DWORD style = childClass.style | WS_CLIPSIBLINGS | (row.tabStop ? WS_TABSTOP : 0);
        HWND control = CreateWindowExA(childClass.extendedStyle, childClass.className, row.text, style, row.left,
                                       row.top, row.width, row.height, window_,
                                       reinterpret_cast<HMENU>(static_cast<INT_PTR>(controlId(row.control))), instance,
                                       nullptr);
        if (control == nullptr) return false;
        children_[static_cast<std::size_t>(row.control)] = control;
        SendMessageA(control, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
        if (row.kind == ControlKind::multiLineEdit || row.kind == ControlKind::singleLineEdit) {
            SendMessageA(control, EM_SETLIMITTEXT, 0, 0);  // the system's own limit
        }
        if (row.kind == ControlKind::singleLineEdit) {
            const int height = singleLineHeight(control, font, row.height);
            if (height != row.height) MoveWindow(control, row.left, row.top, row.width, height, FALSE);
        }
        if (row.kind == ControlKind::statusBar) {
            SendMessageA(control, SB_SETPARTS, 3, reinterpret_cast<LPARAM>(statusPartRightEdges));
            for (WPARAM part = 0; part < 3; ++part) {
                SendMessageA(control, SB_SETTEXTA, part, reinterpret_cast<LPARAM>(""));
                SendMessageA(control, SB_SETTIPTEXTA, part, reinterpret_cast<LPARAM>(""));
            }
        }
    }

    // Z-order as the table lists the controls, the first on top.
    HWND above = HWND_TOP;
    for (const ControlRow& row : controlTable) {
        HWND control = child(row.control);
        if (control == nullptr) continue;
        SetWindowPos(control, above, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
        above = control;
    }
    for (HWND control : children_) {
        if (control != nullptr) ShowWindow(control, SW_SHOWNA);
    }
    return true;
}

bool MainWindow::handleNavigationKey(const MSG& message) {
    if (message.message != WM_KEYDOWN || window_ == nullptr || !IsChild(window_, message.hwnd)) return false;
    if (message.wParam == VK_ESCAPE) return true;  // no key closes the window
    if (message.wParam != VK_TAB || (GetKeyState(VK_CONTROL) & 0x8000) != 0) return false;
    const bool backwards = (GetKeyState(VK_SHIFT) & 0x8000) != 0;
    const auto focused = std::find_if(tabOrder.begin(), tabOrder.end(),
                                      [&](Control control) { return child(control) == GetFocus(); });
    const std::size_t count = tabOrder.size();
    std::size_t next = 0;
    if (focused != tabOrder.end()) {
        const std::size_t at = static_cast<std::size_t>(focused - tabOrder.begin());
        next = backwards ? (at + count - 1) % count : (at + 1) % count;
    }
    HWND target = child(tabOrder[next]);
    SetFocus(target);
    char className[8];
    GetClassNameA(target, className, sizeof className);
    if (lstrcmpiA(className, "Edit") == 0) SendMessageA(target, EM_SETSEL, 0, -1);  // as dialogs do
    return true;
}

AnsiText MainWindow::text(Control control) {
    HWND window = child(control);
    if (window == nullptr) return AnsiText();
    const int length = GetWindowTextLengthA(window);
    if (length <= 0) return AnsiText();
    std::string bytes(static_cast<std::size_t>(length) + 1, '\0');
    const int got = GetWindowTextA(window, bytes.data(), length + 1);
    return AnsiText::fromBytes(bytes.data(), static_cast<std::size_t>(std::max(got, 0)));
}

void MainWindow::setText(Control control, const AnsiText& text) {
    if (HWND window = child(control)) SetWindowTextA(window, text.c_str());
}

void MainWindow::setCaption(const AnsiText& caption) { SetWindowTextA(window_, caption.c_str()); }

void MainWindow::setStatusText(std::int32_t part, const AnsiText& text) {
    if (part < 0 || part >= static_cast<std::int32_t>(statusTexts_.size())) return;
    statusTexts_[static_cast<std::size_t>(part)] = text;
    SendMessageA(child(Control::状态条1), SB_SETTEXTA, static_cast<WPARAM>(part) | 0,
                 reinterpret_cast<LPARAM>(statusTexts_[static_cast<std::size_t>(part)].c_str()));
}

void MainWindow::showNotice(const AnsiText& text) { showNoticeBox(text); }

FileDialog& MainWindow::dialog(Control which) { return which == Control::通用对话框2 ? saveDialog_ : openDialog_; }

bool MainWindow::show(FileDialog& dialog) { return showFileDialog(window_, dialog); }

LRESULT CALLBACK MainWindow::windowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        auto* self = static_cast<MainWindow*>(reinterpret_cast<CREATESTRUCTA*>(lParam)->lpCreateParams);
        SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
        self->window_ = window;
    }
    auto* self = reinterpret_cast<MainWindow*>(GetWindowLongPtrA(window, GWLP_USERDATA));
    if (self == nullptr) return DefWindowProcA(window, message, wParam, lParam);
    return self->handle(window, message, wParam, lParam);
}

LRESULT MainWindow::handle(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_COMMAND:
        onCommand(LOWORD(wParam), HIWORD(wParam));
        return 0;
    case WM_SIZE:
        if (HWND statusBar = child(Control::状态条1)) SendMessageA(statusBar, WM_SIZE, 0, 0);
        return 0;
    case WM_ACTIVATE:
        // Give the focus back to the control that had it when the window was left.
        if (LOWORD(wParam) == WA_INACTIVE) {
            focusBeforeDeactivation_ = GetFocus();
        } else if (focusBeforeDeactivation_ != nullptr && IsChild(window_, focusBeforeDeactivation_)) {
            SetFocus(focusBeforeDeactivation_);
            return 0;
        }
        break;
    case WM_DESTROY:
        PostQuitMessage(0);
        return 0;
    case WM_NCDESTROY:
        SetWindowLongPtrA(window, GWLP_USERDATA, 0);
        window_ = nullptr;
        children_.fill(nullptr);
        break;
    default:
        break;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

void MainWindow::onCommand(int id, int notification) {
    for (const ControlRow& row : controlTable) {
        if (controlId(row.control) != id || row.onEvent == nullptr) continue;
        const bool fires = (row.kind == ControlKind::button && notification == BN_CLICKED) ||
                           (row.kind == ControlKind::multiLineEdit && notification == EN_CHANGE);
        if (fires) row.onEvent(context_);
        return;
    }
}
