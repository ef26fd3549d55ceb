// The file-system and process services behind the file commands (Windows only).
#pragma once

#include <span>

#include "app/form.h"
#include "bytes/byte_buffer.h"

// True when a find-first-file search for the text finds anything: an existing file or folder,
// or a wildcard pattern that matches. False for the empty text and a path ending in "\".
bool pathExists(const AnsiText& path);

// Gives the file at `path` the pieces as its whole content, all or nothing: a file that exists
// must be open for writing to us (a running program is not), the pieces go to a new file beside
// it, which is flushed and then moved into its place. On any failure the new file is removed
// and the target keeps its former content.
bool saveFile(const AnsiText& path, std::span<const ByteSpan> pieces);

// Starts exactly the program file at `path`, quoted, with no arguments, shown normally, and
// waits at most 1000 ms for it to be ready for input. False when it cannot be started.
bool startProgram(const AnsiText& path);
