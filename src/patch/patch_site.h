// Where a text sits in a file, how much room a replacement has there, and the bytes that
// overwrite that room.
#pragma once

#include <cstdint>

#include "bytes/byte_buffer.h"
#include "bytes/file_scanner.h"

struct PatchSite {
    // -1 when the text does not occur; else the 1-based position where the zero count stopped,
    // always match + L(text) + 1 + zeroCount.
    std::int64_t scanEnd = -1;
    // The zero bytes counted from the second byte behind the match on. Counted only when the
    // byte right behind the match is a zero byte; 0 for a match inside a longer text.
    std::int64_t zeroCount = 0;
};

// Measures the first occurrence of `text` in the file.
PatchSite locateIn(FileScanner& file, ByteSpan text);

// Measures the occurrence of a text of `textLength` bytes at the 0-based offset `match`.
PatchSite siteAt(FileScanner& file, std::int64_t match, std::int64_t textLength);

// True when a replacement of `replacementLength` bytes fits the room of `textLength` bytes and
// `zeroCount` zero bytes; the sum is formed in double precision.
bool replacementFits(std::int64_t textLength, std::int64_t zeroCount, std::int64_t replacementLength);

// The bytes that a replacement changes in a file. Filling the room means writing the
// replacement and zero bytes up to the room's end; since the room holds zero bytes from the end
// of the text on, only the replacement and the zeros up to the end of the text, whichever is
// longer, need writing.
struct Patch {
    std::int64_t roomStart = 0;  // 0-based offset of the match
    ByteBuffer block;
};

// For a site of `text` in a file where the replacement fits.
Patch patchFor(const PatchSite& site, const ByteBuffer& text, const ByteBuffer& replacement);
