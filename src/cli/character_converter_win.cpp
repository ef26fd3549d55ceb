// CharacterConverter over the Windows code page functions, one character per call.
#include <windows.h>

#include <stdexcept>
#include <string>

#include "cli/character_converter.h"

struct CharacterConverter::Handles {
    UINT codePage;
};

CharacterConverter::CharacterConverter(int codePage) {
    if (!IsValidCodePage(static_cast<UINT>(codePage))) {
        throw std::invalid_argument("code page " + std::to_string(codePage) + " is not installed");
    }
    handles_ = std::make_unique<Handles>(Handles{static_cast<UINT>(codePage)});
}

CharacterConverter::~CharacterConverter() = default;

bool CharacterConverter::encode(char32_t character, std::string& out) {
    wchar_t wide[2];
    int wideLength = 1;
    if (character >= 0x10000) {
        wide[0] = static_cast<wchar_t>(0xD800 + ((character - 0x10000) >> 10));
        wide[1] = static_cast<wchar_t>(0xDC00 + ((character - 0x10000) & 0x3FF));
        wideLength = 2;
    } else {
        wide[0] = static_cast<wchar_t>(character);
    }
    char converted[16];
    BOOL usedDefault = FALSE;
    // No best fit: a character the code page lacks must not turn into a look-alike.
    const int length = WideCharToMultiByte(handles_->codePage, WC_NO_BEST_FIT_CHARS, wide, wideLength, converted,
                                           sizeof converted, nullptr, &usedDefault);
    if (length <= 0 || usedDefault) return false;
    out.append(converted, static_cast<std::size_t>(length));
    return true;
}

std::size_t CharacterConverter::decode(const unsigned char* bytes, std::size_t size, char32_t& character) {
    if (size == 0) return 0;
    const std::size_t length = IsDBCSLeadByteEx(handles_->codePage, bytes[0]) ? 2 : 1;
    if (size < length) return 0;
    wchar_t wide[2];
    const int wideLength = MultiByteToWideChar(handles_->codePage, MB_ERR_INVALID_CHARS, reinterpret_cast<const char*>(bytes),
                                               static_cast<int>(length), wide, 2);
    if (wideLength == 1 && (wide[0] < 0xD800 || wide[0] > 0xDFFF)) {
        character = wide[0];
    } else if (wideLength == 2 && wide[0] >= 0xD800 && wide[0] <= 0xDBFF && wide[1] >= 0xDC00 && wide[1] <= 0xDFFF) {
        character = 0x10000 + ((static_cast<char32_t>(wide[0]) - 0xD800) << 10) + (static_cast<char32_t>(wide[1]) - 0xDC00);
    } else {
        return 0;
    }
    return length;
}
