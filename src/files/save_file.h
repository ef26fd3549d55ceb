// Writing a whole file so that it is complete or untouched.
#pragma once

#include <span>

#include "bytes/byte_buffer.h"

// Gives the file at `path` the pieces as its whole content, all or nothing: a file that exists
// must be open for writing to us (a running program is not), the pieces go to a new file beside
// it, which is flushed and then moved into its place. On any failure the new file is removed
// and the target keeps its former content.
bool saveFile(const AnsiText& path, std::span<const ByteSpan> pieces);
