#include "files/paths.h"

std::size_t characterLength(std::string_view text, std::size_t at) {
    const bool leadByte = static_cast<unsigned char>(text[at]) >= 0x80;
    return leadByte && at + 1 < text.size() ? 2 : 1;
}

AnsiText directoryOf(const AnsiText& path) {
    const std::string_view bytes = path.view();
    std::size_t separator = bytes.size();  // none yet
    for (std::size_t at = 0; at < bytes.size(); at += characterLength(bytes, at)) {
        if (bytes[at] == '\\') separator = at;
    }
    if (separator == bytes.size() || separator == 0) return AnsiText();
    return AnsiText::fromBytes(bytes.data(), separator);
}
