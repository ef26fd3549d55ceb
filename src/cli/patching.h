// The window's browse, Test and Replace rules over a file read through a FileScanner.
#pragma once

#include <cstdint>
#include <vector>

#include "bytes/byte_buffer.h"
#include "bytes/file_scanner.h"

// One stop of the browse walk: the text that begins at an occurrence of the fragment.
struct Occurrence {
    std::int64_t position;  // 1-based position of the occurrence
    std::string text;       // from the occurrence to the next zero byte or the end of the file
};

// Every stop that Next presses from the first byte show, until the walk wraps to the first byte
// again (a text that ends the file) or finds nothing more.
std::vector<Occurrence> browseWalk(FileScanner& file, const ByteBuffer& fragment);

// What the Test command measures for a text and its replacement.
struct Measurement {
    bool found = false;
    std::int64_t position = -1;  // 1-based position of the first occurrence; -1 when not found
    std::int64_t scanEnd = -1;   // where the zero count stopped; -1 when not found
    std::int64_t zeroCount = 0;
    std::int64_t textLength = 0;
    std::int64_t replacementLength = 0;
    std::int64_t room = 0;  // textLength + zeroCount when found, else 0
    bool fits = false;      // found, and the replacement is no longer than the room
};

// The measurement of the first occurrence of `text`.
Measurement measure(FileScanner& file, const ByteBuffer& text, const ByteBuffer& replacement);

// The measurement of the occurrence of `text` at the 0-based offset `match`.
Measurement measureAt(FileScanner& file, std::int64_t match, const ByteBuffer& text, const ByteBuffer& replacement);
