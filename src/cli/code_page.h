// The target code page of a run: how written texts become the file's bytes, and how bytes read
// from the file are shown.
#pragma once

#include <array>
#include <memory>
#include <optional>
#include <string>

#include "bytes/byte_buffer.h"
#include "cli/character_converter.h"
#include "cli/escapes.h"

// The code pages a run may name; 65001 (UTF-8) passes texts through unchanged.
constexpr std::array<int, 6> supportedCodePages = {936, 950, 932, 949, 1252, 65001};
bool isSupportedCodePage(int number);

struct EncodedText {
    ByteBuffer bytes;
    // The first character that the code page cannot hold; then `bytes` is incomplete.
    std::optional<char32_t> unconvertible;
};

class CodePage {
public:
    // For a supported code page.
    explicit CodePage(int number);

    int number() const { return number_; }

    // The bytes of a written text: each character in the code page's bytes, each \xHH byte as
    // it is. A character counts as held only when its bytes show as that same character again.
    EncodedText encode(const WrittenText& text);

    // The bytes in their shown form (see escapes.h): each character of the code page in UTF-8,
    // each byte that starts no character as \xHH. Encoding the shown form, read back as a
    // written text, gives the same bytes again.
    std::string show(const std::uint8_t* bytes, std::size_t size);
    std::string show(const AnsiText& text) {
        return show(reinterpret_cast<const std::uint8_t*>(text.c_str()), static_cast<std::size_t>(text.length()));
    }
    std::string show(const ByteBuffer& bytes) { return show(bytes.data(), static_cast<std::size_t>(bytes.size())); }

private:
    // The length of the character the bytes start with, or 0; only characters whose encoding
    // gives back exactly these bytes count.
    std::size_t decode(const unsigned char* bytes, std::size_t size, char32_t& character);

    int number_;
    std::unique_ptr<CharacterConverter> converter_;  // none for 65001
};
