// The file-system and process services behind the file commands (Windows only).
#pragma once

#include "bytes/byte_buffer.h"

// True when a find-first-file search for the text finds anything: an existing file or folder,
// or a wildcard pattern that matches. False for the empty text and a path ending in "\".
bool pathExists(const AnsiText& path);

// Starts exactly the program file at `path`, quoted, with no arguments, shown normally, and
// waits at most 1000 ms for it to be ready for input. False when it cannot be started.
bool startProgram(const AnsiText& path);
