// The controls of the main window as data: creation, z-order and dispatch all follow this table.
#pragma once

#include <array>

#include "commands/form.h"

enum class ControlKind { statusBar, label, button, multiLineEdit, singleLineEdit, line, fileDialog };

using CommandHandler = void (*)(CommandContext&);

struct ControlRow {
    Control control;
    ControlKind kind;
    int left, top, width, height;  // client coordinates; the status bar docks at the bottom
    const char* text;              // initial text, code page 936
    bool tabStop;
    CommandHandler onEvent;        // click of a button, text change of an edit box; or none
};

// In creation order, which is also the z-order (first = top).
extern const std::array<ControlRow, 21> controlTable;

// The order in which Tab moves the focus, starting with the control focused at first.
extern const std::array<Control, 12> tabOrder;

// The window ID of a control's child window.
constexpr int controlId(Control control) { return 100 + static_cast<int>(control); }
