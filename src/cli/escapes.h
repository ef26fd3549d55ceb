// Texts as users write them and as the program shows them: UTF-8 with the escapes \t, \n, \r,
// \\ and \xHH. Written texts come from tables and arguments; shown texts are the same form, so
// anything shown can be written back.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

// One piece of a written text: a character, which the target code page turns into bytes, or a
// byte written as \xHH, which goes into the file as it is (even one the code page does not use
// on its own, such as a lone lead byte).
struct TextUnit {
    enum Kind { character, rawByte } kind;
    char32_t value;

    bool operator==(const TextUnit&) const = default;
};
using WrittenText = std::vector<TextUnit>;

struct EscapedTextParse {
    WrittenText units;
    std::string error;        // empty when the text is well formed
    std::size_t errorOffset;  // where the fault starts: a 0-based byte offset into the text
};

// Reads a written text. Errors: bytes that are not UTF-8,
// a zero byte (also as \x00: a text ends at its first zero byte in the file), an unknown escape,
// \x not followed by two hexadecimal digits, and a backslash that ends the text.
EscapedTextParse parseEscapedText(std::string_view utf8);

// Appends a character read from a file in its shown form: \\, \t, \n and \r for those four,
// \xHH for the other control characters (below 20, and 7F), else its UTF-8 form.
void appendShownCharacter(std::string& out, char32_t character);

// Appends \xHH: a byte that is no character of the code page.
void appendShownByte(std::string& out, unsigned char byte);
