// Reading and writing single characters of UTF-8.
#pragma once

#include <cstddef>
#include <string>

// The length (1 to 4) of the well-formed UTF-8 character at the start of the `size` bytes, which
// is stored in `character`; 0 when they do not start with one (a stray continuation byte, an
// overlong form, a surrogate, a value past U+10FFFF, or a character cut off by the end).
std::size_t decodeUtf8(const unsigned char* bytes, std::size_t size, char32_t& character);

// Appends the UTF-8 form of `character` (at most U+10FFFF, not a surrogate).
void appendUtf8(std::string& out, char32_t character);

// "U+20AC" for the character 0x20AC: at least four hexadecimal digits.
std::string codePointName(char32_t character);
