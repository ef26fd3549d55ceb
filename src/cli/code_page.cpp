#include "cli/code_page.h"

#include <algorithm>

#include "cli/utf8.h"

namespace {

constexpr int utf8CodePage = 65001;

ByteBuffer bytesOf(const std::string& s) { return ByteBuffer::copyOf(s.data(), static_cast<std::int32_t>(s.size())); }

}  // namespace

bool isSupportedCodePage(int number) {
    return std::find(supportedCodePages.begin(), supportedCodePages.end(), number) != supportedCodePages.end();
}

CodePage::CodePage(int number) : number_(number) {
    if (number != utf8CodePage) converter_ = std::make_unique<CharacterConverter>(number);
}

EncodedText CodePage::encode(const WrittenText& text) {
    std::string bytes;
    for (const TextUnit& unit : text) {
        if (unit.kind == TextUnit::rawByte) {
            bytes += static_cast<char>(unit.value);
            continue;
        }
        if (converter_ == nullptr) {
            appendUtf8(bytes, unit.value);
            continue;
        }
        const std::size_t start = bytes.size();
        char32_t shownAs = 0;
        const bool held = converter_->encode(unit.value, bytes) &&
                          converter_->decode(reinterpret_cast<const unsigned char*>(bytes.data()) + start,
                                             bytes.size() - start, shownAs) == bytes.size() - start &&
                          shownAs == unit.value;
        if (!held) {
            bytes.resize(start);
            return {bytesOf(bytes), unit.value};
        }
    }
    return {bytesOf(bytes), std::nullopt};
}

std::size_t CodePage::decode(const unsigned char* bytes, std::size_t size, char32_t& character) {
    if (converter_ == nullptr) return decodeUtf8(bytes, size, character);
    const std::size_t length = converter_->decode(bytes, size, character);
    if (length == 0) return 0;
    // A character whose own bytes are others (a code page with two byte forms of one character)
    // would be written back differently: such bytes are shown as bytes.
    std::string again;
    if (!converter_->encode(character, again) || again.size() != length || again.compare(0, length, reinterpret_cast<const char*>(bytes), length) != 0) {
        return 0;
    }
    return length;
}

std::string CodePage::show(const std::uint8_t* bytes, std::size_t size) {
    std::string shown;
    std::size_t i = 0;
    while (i < size) {
        char32_t c = 0;
        const std::size_t length = decode(bytes + i, size - i, c);
        if (length == 0) {
            appendShownByte(shown, bytes[i]);
            ++i;
            continue;
        }
        appendShownCharacter(shown, c);
        i += length;
    }
    return shown;
}
