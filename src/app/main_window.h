// MainWindow: the program's one window, built from the control table, and the Form the commands
// work on (Windows only).
#pragma once

#include <windows.h>

#include <array>

#include "app/control_table.h"
#include "commands/form.h"
#include "files/file_dialog.h"

class MainWindow final : public Form {
public:
    MainWindow(System& system, ProgramState& state);
    MainWindow(const MainWindow&) = delete;
    MainWindow& operator=(const MainWindow&) = delete;

    // Builds the window and its controls hidden, runs the created handler, then shows the window
    // if it still exists. False when the window could not be created.
    bool create(HINSTANCE instance);

    // Moves the focus along the tab order; true when `message` was such a key and is handled.
    bool handleNavigationKey(const MSG& message);

    AnsiText text(Control control) override;
    void setText(Control control, const AnsiText& text) override;
    void setCaption(const AnsiText& caption) override;
    void setStatusText(std::int32_t part, const AnsiText& text) override;
    void showNotice(const AnsiText& text) override;
    FileDialog& dialog(Control which) override;
    bool show(FileDialog& dialog) override;

private:
    static LRESULT CALLBACK windowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT handle(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    void onCommand(int id, int notification);
    bool createControls(HINSTANCE instance);
    HWND child(Control control) const { return children_[static_cast<std::size_t>(control)]; }

    System& system_;
    ProgramState& state_;
    CommandContext context_;
    HWND window_ = nullptr;
    HWND focusBeforeDeactivation_ = nullptr;
    std::array<HWND, controlTable.size()> children_{};
    std::array<AnsiText, 3> statusTexts_;
    FileDialog openDialog_;
    FileDialog saveDialog_;
};
