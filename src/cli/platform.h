// What lexpatch-cli needs from the operating system beyond the core's file functions: its
// arguments as UTF-8, the standard streams, and paths in the form the core's functions take.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "bytes/byte_buffer.h"

// The program's arguments in UTF-8, the program name first. On Windows they are taken from the
// wide command line (the ANSI one loses every character outside the system's code page).
std::vector<std::string> commandLineArguments(int argc, char** argv);

// Writes UTF-8 text to standard output or standard error. A Windows console gets it as wide
// text; files and pipes get the UTF-8 bytes.
void writeStandardOutput(std::string_view utf8);
void writeStandardError(std::string_view utf8);

bool standardErrorIsTerminal();

// A path argument as the core's file functions take it: the bytes themselves on POSIX systems;
// on Windows the path in the system's ANSI code page, or nothing when that cannot hold it.
std::optional<AnsiText> systemPath(const std::string& utf8Path);

// Why readWholeFile gave the empty buffer for `path`, or openReadableFile nothing: the empty text
// when the file exists and is empty, else a reason such as "no such file".
std::string whyUnreadable(const AnsiText& path);
