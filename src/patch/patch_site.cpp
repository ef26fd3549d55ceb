#include "patch/patch_site.h"

PatchSite locateIn(const ByteBuffer& file, const ByteBuffer& text) {
    const std::int32_t match = findBytes(file, text, 1);
    if (match == -1) return PatchSite{};
    const std::int64_t behind = static_cast<std::int64_t>(match) + bytesLength(text);  // the byte right after the match
    std::int64_t scan = behind + 1;
    std::int32_t zeros = 0;
    // A match whose next byte is not a terminator lies inside a longer text: its room is the
    // text alone, so that the room never spans a byte that is not zero.
    const bool terminated = behind <= bytesLength(file) && file.data()[behind - 1] == 0;
    if (terminated) {
        while (scan <= bytesLength(file) && file.data()[scan - 1] == 0) {
            ++scan;
            ++zeros;
        }
    }
    return PatchSite{static_cast<std::int32_t>(scan), zeros};
}

bool replacementFits(std::int32_t textLength, std::int32_t zeroCount, std::int32_t replacementLength) {
    return (static_cast<double>(textLength) + zeroCount) - replacementLength >= -0.0000001;
}

Patch patchFor(const PatchSite& site, const ByteBuffer& text, const ByteBuffer& replacement) {
    const std::int32_t roomLength = bytesLength(text) + site.zeroCount;
    Patch patch;
    patch.roomStart = site.scanEnd - roomLength - 1 - 1;
    patch.block = concatBytes(replacement, blankBytes(roomLength - bytesLength(replacement)));
    return patch;
}
