#include "cli/escapes.h"

#include "cli/utf8.h"

namespace {

int hexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

EscapedTextParse failure(std::size_t offset, std::string what) { return {{}, std::move(what), offset}; }

}  // namespace

EscapedTextParse parseEscapedText(std::string_view utf8) {
    EscapedTextParse parse{{}, {}, 0};
    const auto* bytes = reinterpret_cast<const unsigned char*>(utf8.data());
    std::size_t i = 0;
    while (i < utf8.size()) {
        if (utf8[i] != '\\') {
            char32_t c = 0;
            const std::size_t length = decodeUtf8(bytes + i, utf8.size() - i, c);
            if (length == 0) {
                std::string byte;
                appendShownByte(byte, bytes[i]);
                return failure(i, "the byte " + byte + " is not UTF-8 (write raw bytes as \\xHH)");
            }
            if (c == 0) return failure(i, "a text cannot hold a zero byte");
            parse.units.push_back({TextUnit::character, c});
            i += length;
            continue;
        }
        if (i + 1 == utf8.size()) return failure(i, "a backslash ends the text (write a backslash as \\\\)");
        const char escape = utf8[i + 1];
        switch (escape) {
        case 't': parse.units.push_back({TextUnit::character, U'\t'}); i += 2; continue;
        case 'n': parse.units.push_back({TextUnit::character, U'\n'}); i += 2; continue;
        case 'r': parse.units.push_back({TextUnit::character, U'\r'}); i += 2; continue;
        case '\\': parse.units.push_back({TextUnit::character, U'\\'}); i += 2; continue;
        case 'x': {
            const int high = i + 2 < utf8.size() ? hexValue(utf8[i + 2]) : -1;
            const int low = i + 3 < utf8.size() ? hexValue(utf8[i + 3]) : -1;
            if (high < 0 || low < 0) return failure(i, "\\x must be followed by two hexadecimal digits");
            const int value = high * 16 + low;
            if (value == 0) return failure(i, "a text cannot hold a zero byte (\\x00)");
            parse.units.push_back({TextUnit::rawByte, static_cast<char32_t>(value)});
            i += 4;
            continue;
        }
        default: {
            const bool printable = escape > ' ' && escape < 0x7F;
            const std::string named = printable ? std::string("\\") + escape + " " : std::string();
            return failure(i, "unknown escape " + named + "(the escapes are \\t \\n \\r \\\\ \\xHH)");
        }
        }
    }
    return parse;
}

void appendShownCharacter(std::string& out, char32_t c) {
    switch (c) {
    case U'\\': out += "\\\\"; return;
    case U'\t': out += "\\t"; return;
    case U'\n': out += "\\n"; return;
    case U'\r': out += "\\r"; return;
    default: break;
    }
    if (c < 0x20 || c == 0x7F) return appendShownByte(out, static_cast<unsigned char>(c));
    appendUtf8(out, c);
}

void appendShownByte(std::string& out, unsigned char byte) {
    static const char digits[] = "0123456789ABCDEF";
    out += "\\x";
    out += digits[byte >> 4];
    out += digits[byte & 0x0F];
}
