#include "patch/patch_site.h"

#include <algorithm>

PatchSite locateIn(FileScanner& file, ByteSpan text) {
    const std::int64_t match = file.find(text, 0);
    if (match == -1) return PatchSite{};
    return siteAt(file, match, static_cast<std::int64_t>(text.size));
}

PatchSite siteAt(FileScanner& file, std::int64_t match, std::int64_t textLength) {
    const std::int64_t behind = match + textLength;  // 0-based offset of the byte right after the match
    // A match whose next byte is not a terminator lies inside a longer text: its room is the
    // text alone, so that the room never spans a byte that is not zero.
    const std::int64_t zeros = file.byteAt(behind) == 0 ? file.countZeros(behind + 1) : 0;
    return PatchSite{behind + 2 + zeros, zeros};
}

bool replacementFits(std::int64_t textLength, std::int64_t zeroCount, std::int64_t replacementLength) {
    return (static_cast<double>(textLength) + static_cast<double>(zeroCount)) - static_cast<double>(replacementLength) >= -0.0000001;
}

Patch patchFor(const PatchSite& site, const ByteBuffer& text, const ByteBuffer& replacement) {
    const std::int64_t roomLength = bytesLength(text) + site.zeroCount;
    const std::int32_t written = std::max(bytesLength(text), bytesLength(replacement));
    Patch patch;
    patch.roomStart = site.scanEnd - roomLength - 1 - 1;
    patch.block = concatBytes(replacement, blankBytes(written - bytesLength(replacement)));
    return patch;
}
