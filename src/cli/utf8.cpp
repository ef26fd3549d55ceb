#include "cli/utf8.h"

#include <cstdio>

std::size_t decodeUtf8(const unsigned char* bytes, std::size_t size, char32_t& character) {
    if (size == 0) return 0;
    const unsigned char lead = bytes[0];
    if (lead < 0x80) {
        character = lead;
        return 1;
    }
    std::size_t length = 0;
    char32_t value = 0;
    char32_t smallest = 0;  // below this the form is overlong
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2, value = lead & 0x1Fu, smallest = 0x80;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3, value = lead & 0x0Fu, smallest = 0x800;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4, value = lead & 0x07u, smallest = 0x10000;
    } else {
        return 0;
    }
    if (size < length) return 0;
    for (std::size_t i = 1; i < length; ++i) {
        if ((bytes[i] & 0xC0u) != 0x80u) return 0;
        value = (value << 6) | (bytes[i] & 0x3Fu);
    }
    if (value < smallest || value > 0x10FFFF || (value >= 0xD800 && value <= 0xDFFF)) return 0;
    character = value;
    return length;
}

void appendUtf8(std::string& out, char32_t c) {
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (c >> 18));
        out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

std::string codePointName(char32_t character) {
    char name[16];
    std::snprintf(name, sizeof name, "U+%04X", static_cast<unsigned>(character));
    return name;
}
