// The translation table: UTF-8 text, one row per line, the text and its replacement separated
// by one tab. Blank lines and lines that start with "#" are skipped; a UTF-8 byte order mark at
// the start and a carriage return at the end of a line are ignored. Both texts are written texts
// (escapes.h) and must not be empty: Replace refuses an empty box too.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "cli/escapes.h"

struct TableRow {
    int line;  // 1-based line of the table
    WrittenText text;
    WrittenText replacement;
};

struct TableError {
    int line;
    std::string message;
};

struct Table {
    std::vector<TableRow> rows;
    std::vector<TableError> errors;  // every malformed line, in order; rows then holds the others
};

Table parseTable(std::string_view content);
