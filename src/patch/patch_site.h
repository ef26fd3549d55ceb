// Where a text sits in a file, how much room a replacement has there, and the bytes that
// overwrite that room.
#pragma once

#include <cstdint>

#include "bytes/byte_buffer.h"

struct PatchSite {
    // -1 when the text does not occur; else the 1-based position where the zero count stopped,
    // always match + L(text) + 1 + zeroCount.
    std::int32_t scanEnd = -1;
    // The zero bytes counted from the second byte behind the match on. Counted only when the
    // byte right behind the match is a zero byte; 0 for a match inside a longer text.
    std::int32_t zeroCount = 0;
};

// Measures the first occurrence of `text` in `file`.
PatchSite locateIn(const ByteBuffer& file, const ByteBuffer& text);

// True when a replacement of `replacementLength` bytes fits the room of `textLength` bytes and
// `zeroCount` zero bytes; the sum is formed in double precision.
bool replacementFits(std::int32_t textLength, std::int32_t zeroCount, std::int32_t replacementLength);

// The room of a located text and the block that fills it: the replacement padded with zero
// bytes to the room's length. The patched file is the file with `block` at `roomStart`.
struct Patch {
    std::int32_t roomStart = 0;  // 0-based offset of the match
    ByteBuffer block;
};

// For a site of `text` in a file where the replacement fits.
Patch patchFor(const PatchSite& site, const ByteBuffer& text, const ByteBuffer& replacement);
