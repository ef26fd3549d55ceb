// The labels and the separator line of the main window: child windows that paint themselves
// (Windows only).
#pragma once

#include <windows.h>

constexpr const char* labelClassName = "LexpatchLabel";
constexpr const char* lineClassName = "LexpatchLine";

// Registers both window classes; false when that fails.
bool registerPaintedControls(HINSTANCE instance);
