// The main window as a first start in an empty folder shows it.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <memory>

#include "driver.h"

namespace e2e {
namespace {

enum class Kind { statusBar, label, button, multiLineEdit, singleLineEdit, line };

struct ControlRow {
    const char* name;
    int id;
    Kind kind;
    int left, top, width, height;  // client coordinates; unused for the status bar
    const char* text;
};

// The controls in z-order (top first). Ids are 100 + the place in the window's form, in which
// the two file dialogs (113, 114) come between 编辑框3 and 按钮2 but are no windows.
const ControlRow kControls[] = {
    {"状态条1", 100, Kind::statusBar, 0, 0, 0, 0, ""},
    {"标签5", 101, Kind::label, 120, 112, 352, 24, "\xCE\xBB\xD6\xC3\xA3\xBA" "0"},  // 位置：0
    {"按钮7", 102, Kind::button, 136, 256, 32, 24, "\xB2\xE2\xCA\xD4"},              // 测试
    {"按钮6", 103, Kind::button, 64, 112, 48, 24, "\xB5\xBD\xCF\xC2\xB7\xBD"},        // 到下方
    {"按钮5", 104, Kind::button, 8, 112, 48, 24, "\xCF\xC2\xD2\xBB\xB8\xF6"},         // 下一个
    {"编辑框5", 105, Kind::multiLineEdit, 40, 56, 432, 48, ""},
    {"标签4", 106, Kind::label, 8, 56, 40, 24, "\xBD\xE1\xB9\xFB"},                  // 结果
    {"编辑框4", 107, Kind::multiLineEdit, 40, 8, 432, 48, ""},
    {"标签3", 108, Kind::label, 8, 8, 32, 24, "\xB2\xE9\xD5\xD2"},                   // 查找
    {"外形框1", 109, Kind::line, 0, 143, 478, 1, ""},
    {"按钮4", 110, Kind::button, 416, 256, 56, 24, "\xD4\xCB\xD0\xD0\xCE\xC4\xBC\xFE"},  // 运行文件
    {"按钮3", 111, Kind::button, 352, 256, 56, 24, "\xC4\xAC\xC8\xCF\xC4\xBF\xC2\xBC"},  // 默认目录
    {"编辑框3", 112, Kind::singleLineEdit, 168, 256, 184, 24, ""},
    {"按钮2", 115, Kind::button, 72, 256, 56, 24, "\xBF\xAA\xCA\xBC\xCC\xE6\xBB\xBB"},   // 开始替换
    {"按钮1", 116, Kind::button, 8, 256, 56, 24, "\xB4\xF2\xBF\xAA\xCE\xC4\xBC\xFE"},    // 打开文件
    {"标签2", 117, Kind::label, 8, 200, 40, 24, "\xCC\xE6\xBB\xBB\xCE\xAA"},          // 替换为
    {"编辑框2", 118, Kind::multiLineEdit, 48, 200, 424, 48, ""},
    {"标签1", 119, Kind::label, 8, 152, 40, 24, "\xB1\xBB\xCC\xE6\xBB\xBB"},          // 被替换
    {"编辑框1", 120, Kind::multiLineEdit, 48, 152, 424, 48, ""},
};

const char* windowClassOf(Kind kind) {
    switch (kind) {
    case Kind::statusBar: return "msctls_statusbar32";
    case Kind::label: return "LexpatchLabel";
    case Kind::button: return "Button";
    case Kind::multiLineEdit:
    case Kind::singleLineEdit: return "Edit";
    case Kind::line: return "LexpatchLine";
    }
    return "";
}

bool has(LONG style, LONG bits) { return (style & bits) == bits; }

class FirstStart : public ::testing::Test {
protected:
    void SetUp() override {
        app = std::make_unique<App>(copyProgramInto(freshFolder()));
        main = app->waitMainWindow();
    }

    std::unique_ptr<App> app;
    HWND main = nullptr;
};

TEST_F(FirstStart, WindowIsCentredFixedAndShowsNoFile) {
    // No notice: the window is the only thing the program shows.
    EXPECT_EQ(app->topLevelWindows(), std::vector<HWND>{main});
    EXPECT_EQ(windowText(main), "Lexpatch - \xCE\xDE\xB4\xF2\xBF\xAA\xCE\xC4\xBC\xFE");  // 无打开文件

    RECT r;
    GetWindowRect(main, &r);
    EXPECT_EQ(width(r), 483);
    EXPECT_EQ(height(r), 333);
    EXPECT_EQ(r.left, (GetSystemMetrics(SM_CXSCREEN) - 483) / 2);
    EXPECT_EQ(r.top, (GetSystemMetrics(SM_CYSCREEN) - 333) / 2);

    LONG style = windowStyle(main);
    EXPECT_TRUE(has(style, WS_DLGFRAME));
    EXPECT_FALSE(has(style, WS_THICKFRAME));
    EXPECT_TRUE(has(style, WS_SYSMENU));
    EXPECT_TRUE(has(style, WS_MINIMIZEBOX));
    EXPECT_FALSE(has(style, WS_MAXIMIZEBOX));
    EXPECT_FALSE(has(windowExStyle(main), WS_EX_TOPMOST));
}

TEST_F(FirstStart, ControlsFollowTheFormInZOrder) {
    std::vector<HWND> children = childrenInZOrder(main);
    ASSERT_EQ(children.size(), std::size(kControls));
    RECT client;
    GetClientRect(main, &client);

    for (size_t i = 0; i < children.size(); ++i) {
        const ControlRow& row = kControls[i];
        SCOPED_TRACE(row.name);
        HWND control = children[i];
        EXPECT_EQ(GetDlgCtrlID(control), row.id);
        EXPECT_EQ(className(control), windowClassOf(row.kind));
        EXPECT_EQ(windowText(control), row.text);
        EXPECT_TRUE(IsWindowVisible(control));
        EXPECT_TRUE(IsWindowEnabled(control));

        RECT r = rectInParent(control);
        if (row.kind == Kind::statusBar) {
            EXPECT_EQ(r.left, 0);
            EXPECT_EQ(r.right, client.right);
            EXPECT_EQ(r.bottom, client.bottom);
            EXPECT_GT(height(r), 0);
        } else {
            EXPECT_EQ(r.left, row.left);
            EXPECT_EQ(r.top, row.top);
            EXPECT_EQ(width(r), row.width);
            EXPECT_EQ(height(r), row.height);
        }

        LONG style = windowStyle(control);
        bool typed = row.kind == Kind::button || row.kind == Kind::multiLineEdit ||
                     row.kind == Kind::singleLineEdit;
        EXPECT_EQ(has(style, WS_TABSTOP), typed);
        if (row.kind == Kind::multiLineEdit || row.kind == Kind::singleLineEdit) {
            if (row.kind == Kind::multiLineEdit) {
                EXPECT_TRUE(has(style, ES_MULTILINE | ES_AUTOVSCROLL | ES_WANTRETURN));
                EXPECT_FALSE(has(style, ES_AUTOHSCROLL));
            } else {
                EXPECT_FALSE(has(style, ES_MULTILINE));
                EXPECT_TRUE(has(style, ES_AUTOHSCROLL));
            }
            EXPECT_FALSE(style & (WS_HSCROLL | WS_VSCROLL | ES_READONLY | ES_PASSWORD | ES_NOHIDESEL));
            EXPECT_TRUE(has(windowExStyle(control), WS_EX_CLIENTEDGE));
        }
        if (row.kind == Kind::button) {
            EXPECT_EQ(style & BS_TYPEMASK, BS_PUSHBUTTON);  // and so not BS_DEFPUSHBUTTON
            EXPECT_TRUE(has(style, BS_CENTER | BS_VCENTER | BS_MULTILINE));
        }
        if (row.kind == Kind::statusBar) {
            EXPECT_TRUE(has(style, CCS_BOTTOM));
            EXPECT_FALSE(has(style, SBARS_SIZEGRIP));
            EXPECT_EQ(statusBarParts(control), (std::vector<int>{100, 200, -1}));
            EXPECT_EQ(statusBarTexts(control), (std::vector<std::string>{"", "", ""}));
        }
    }
}

// The keyboard focus of the program's GUI thread.
HWND focusOf(HWND window) {
    GUITHREADINFO info{};
    info.cbSize = sizeof info;
    GetGUIThreadInfo(GetWindowThreadProcessId(window, nullptr), &info);
    return info.hwndFocus;
}

void postKey(HWND target, WPARAM key) {
    PostMessageA(target, WM_KEYDOWN, key, 1);
    PostMessageA(target, WM_KEYUP, key, 0xC0000001);
}

TEST_F(FirstStart, KeysTabThroughTheBoxesAndNeverClose) {
    HWND main = app->mainWindow();
    HWND fragment = app->control(107);  // 编辑框4: focused first
    ASSERT_TRUE(pollUntil([&] { return focusOf(main) == fragment; }));

    // Tab goes on to the result box; Esc does nothing.
    postKey(fragment, VK_TAB);
    ASSERT_TRUE(pollUntil([&] { return focusOf(main) == app->control(105); }));
    postKey(app->control(105), VK_ESCAPE);

    // Enter in a multi-line box becomes a line break of the text.
    HWND result = app->control(105);
    PostMessageA(result, WM_CHAR, 'a', 1);
    PostMessageA(result, WM_CHAR, VK_RETURN, 1);
    PostMessageA(result, WM_CHAR, 'b', 1);
    ASSERT_TRUE(pollUntil([&] { return windowText(result) == "a\r\nb"; })) << windowText(result);
    EXPECT_TRUE(IsWindow(main));
    EXPECT_FALSE(app->hasExited());
}

TEST_F(FirstStart, ClosingEndsWithExitCodeZero) {
    app->close();
    EXPECT_EQ(app->waitExit(), 0u);
}

}  // namespace
}  // namespace e2e
