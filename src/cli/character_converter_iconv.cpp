// CharacterConverter over glibc iconv, one character per call: the character travels as
// UTF-32LE, four bytes, so an output of four bytes holds exactly one decoded character.
#include <iconv.h>

#include <cstdint>
#include <stdexcept>

#include "cli/character_converter.h"

namespace {

// glibc's names of the Windows code pages.
const char* iconvName(int codePage) {
    switch (codePage) {
    case 936: return "CP936";
    case 950: return "CP950";
    case 932: return "CP932";
    case 949: return "CP949";
    case 1252: return "CP1252";
    default: return nullptr;
    }
}

iconv_t openConversion(const char* to, const char* from) {
    const iconv_t cd = iconv_open(to, from);
    if (cd == reinterpret_cast<iconv_t>(-1)) {
        throw std::runtime_error(std::string("iconv cannot convert from ") + from + " to " + to);
    }
    return cd;
}

}  // namespace

struct CharacterConverter::Handles {
    iconv_t toCodePage;
    iconv_t fromCodePage;
};

CharacterConverter::CharacterConverter(int codePage) {
    const char* name = iconvName(codePage);
    if (name == nullptr) throw std::invalid_argument("code page " + std::to_string(codePage) + " is not supported");
    const iconv_t to = openConversion(name, "UTF-32LE");
    iconv_t from;
    try {
        from = openConversion("UTF-32LE", name);
    } catch (...) {
        iconv_close(to);
        throw;
    }
    handles_ = std::make_unique<Handles>(Handles{to, from});
}

CharacterConverter::~CharacterConverter() {
    iconv_close(handles_->toCodePage);
    iconv_close(handles_->fromCodePage);
}

bool CharacterConverter::encode(char32_t character, std::string& out) {
    char in[4] = {static_cast<char>(character & 0xFF), static_cast<char>((character >> 8) & 0xFF),
                  static_cast<char>((character >> 16) & 0xFF), static_cast<char>((character >> 24) & 0xFF)};
    char converted[16];
    char* inPointer = in;
    std::size_t inLeft = sizeof in;
    char* outPointer = converted;
    std::size_t outLeft = sizeof converted;
    iconv(handles_->toCodePage, nullptr, nullptr, nullptr, nullptr);
    // A result above 0 counts characters converted "irreversibly": not the character asked for.
    if (iconv(handles_->toCodePage, &inPointer, &inLeft, &outPointer, &outLeft) != 0 || inLeft != 0) return false;
    out.append(converted, static_cast<std::size_t>(outPointer - converted));
    return true;
}

std::size_t CharacterConverter::decode(const unsigned char* bytes, std::size_t size, char32_t& character) {
    unsigned char decoded[4];
    // iconv takes a non-const input pointer but does not write through it.
    char* inPointer = reinterpret_cast<char*>(const_cast<unsigned char*>(bytes));
    std::size_t inLeft = size;
    char* outPointer = reinterpret_cast<char*>(decoded);
    std::size_t outLeft = sizeof decoded;
    iconv(handles_->fromCodePage, nullptr, nullptr, nullptr, nullptr);
    // The output holds one character: iconv stops behind it, at the end of the input or with an
    // error about what follows. Nothing written means the bytes start with no character.
    iconv(handles_->fromCodePage, &inPointer, &inLeft, &outPointer, &outLeft);
    if (outLeft != 0) return 0;
    character = static_cast<char32_t>(decoded[0] | (decoded[1] << 8) | (decoded[2] << 16) |
                                      (static_cast<std::uint32_t>(decoded[3]) << 24));
    return size - inLeft;
}
