// The window's browse, Test and Replace rules over a file already in memory.
#pragma once

#include <cstdint>
#include <vector>

#include "bytes/byte_buffer.h"

// One stop of the browse walk: the text that begins at an occurrence of the fragment.
struct Occurrence {
    std::int32_t position;  // 1-based position of the occurrence
    AnsiText text;          // from the occurrence to the next zero byte or the end of the file
};

// Every stop that Next presses from the first byte show, until the walk wraps to the first byte
// again (a text that ends the file) or finds nothing more.
std::vector<Occurrence> browseWalk(const ByteBuffer& file, const ByteBuffer& fragment);

// What the Test command measures for a text and its replacement.
struct Measurement {
    bool found = false;
    std::int32_t position = -1;  // 1-based position of the first occurrence; -1 when not found
    std::int32_t scanEnd = -1;   // where the zero count stopped; -1 when not found
    std::int32_t zeroCount = 0;
    std::int32_t textLength = 0;
    std::int32_t replacementLength = 0;
    std::int32_t room = 0;  // textLength + zeroCount when found, else 0
    bool fits = false;      // found, and the replacement is no longer than the room
};

Measurement measure(const ByteBuffer& file, const ByteBuffer& text, const ByteBuffer& replacement);

// Does what one Replace command does to the file's bytes: when the text is found and the
// replacement fits, its room is overwritten, in place, by the replacement padded with zero
// bytes. The file keeps its size. Returns the measurement made before the change.
Measurement replaceInPlace(ByteBuffer& file, const ByteBuffer& text, const ByteBuffer& replacement);
