// Path texts in the ANSI code page.
#pragma once

#include <cstddef>

#include "bytes/byte_buffer.h"

// The byte count of the character that starts at `text[at]`: a byte of 0x80 or more starts a
// two-byte character, unless it stands right before the terminator.
std::size_t characterLength(std::string_view text, std::size_t at);

// The part of `path` before its last "\" that starts a character (a 0x5C that is the second byte
// of a double-byte character is no separator); the empty text when that part would be empty or
// there is no separator. D:\work\app.exe gives D:\work, C:\app.exe gives C:, app.exe gives "".
AnsiText directoryOf(const AnsiText& path);
