// Writing a file so that it is complete or untouched.
#pragma once

#include <cstdint>
#include <span>

#include "bytes/byte_buffer.h"
#include "bytes/readable_file.h"

// Gives the file at `path` the pieces as its whole content, all or nothing: a file that exists
// must be open for writing to us (a running program is not), the pieces go to a new file beside
// it, which is flushed and then moved into its place. On any failure the new file is removed
// and the target keeps its former content.
bool saveFile(const AnsiText& path, std::span<const ByteSpan> pieces);

// New bytes for the 0-based `offset` of a file.
struct PatchBlock {
    std::int64_t offset;
    ByteSpan bytes;
};

// Gives the file at `target` the content of the file at `source` with `blocks` written over it,
// all or nothing, as saveFile does; the blocks come in increasing order of offset, do not
// overlap and lie inside the file. The unchanged bytes are copied without passing through
// memory where the system can, else through one buffer of fixed size. `target` may be `source`
// itself. Fails, with the target as it was, when the source cannot be read, is no longer as
// `measured` (another program changed it since it was measured), or changes while it is copied.
bool savePatchedCopy(const AnsiText& target, const AnsiText& source, const FileStamp& measured,
                     std::span<const PatchBlock> blocks);
