// Shows a FileDialog as the system's common file dialog (Windows only).
#pragma once

#include <windows.h>

#include "files/file_dialog.h"

// Modal over `owner`: true when the user confirmed, and then dialog.fileName holds the full path
// chosen; false on Cancel or any failure of the system dialog, with nothing changed.
bool showFileDialog(HWND owner, FileDialog& dialog);
