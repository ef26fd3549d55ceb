// The system's own conversion of single characters to and from one of the double-byte or
// single-byte Windows code pages (936, 950, 932, 949, 1252): glibc iconv on POSIX systems,
// WideCharToMultiByte and MultiByteToWideChar on Windows.
#pragma once

#include <cstddef>
#include <memory>
#include <string>

class CharacterConverter {
public:
    // For one of the code pages above.
    explicit CharacterConverter(int codePage);
    ~CharacterConverter();
    CharacterConverter(const CharacterConverter&) = delete;
    CharacterConverter& operator=(const CharacterConverter&) = delete;

    // Appends the code page's bytes for `character` and returns true, or returns false (and
    // appends nothing) when the code page has no bytes for it.
    bool encode(char32_t character, std::string& out);

    // The length of the character that the `size` bytes start with, which is stored in
    // `character`; 0 when they start with no character of the code page.
    std::size_t decode(const unsigned char* bytes, std::size_t size, char32_t& character);

private:
    struct Handles;
    std::unique_ptr<Handles> handles_;
};
