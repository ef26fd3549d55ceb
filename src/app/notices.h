// The two ways the program speaks to the user outside its window.
#pragma once

#include "bytes/byte_buffer.h"

// The text of the fatal-error box for `message`.
AnsiText fatalErrorText(const AnsiText& message);

// The message of the fatal error for a failed allocation of `requestedBytes`.
AnsiText allocationFailureMessage(long long requestedBytes);

// A task-modal box titled "信息：" with one OK button and no icon (Windows only).
void showNoticeBox(const AnsiText& text);

// Shows the fatal-error box and ends the process at once with exit code -1 (Windows only).
[[noreturn]] void fatalError(const AnsiText& message);
