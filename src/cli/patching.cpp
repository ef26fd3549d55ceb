#include "cli/patching.h"

#include <cstring>

#include "patch/patch_site.h"

std::vector<Occurrence> browseWalk(const ByteBuffer& file, const ByteBuffer& fragment) {
    std::vector<Occurrence> stops;
    std::int32_t cursor = 1;
    while (true) {
        cursor = findBytes(file, fragment, cursor);
        if (cursor == -1) break;
        const std::int32_t position = cursor;
        stops.push_back({position, readTextAt(file, cursor)});
        if (cursor == -1) break;
    }
    return stops;
}

Measurement measure(const ByteBuffer& file, const ByteBuffer& text, const ByteBuffer& replacement) {
    Measurement m;
    m.textLength = bytesLength(text);
    m.replacementLength = bytesLength(replacement);
    const PatchSite site = locateIn(file, text);
    if (site.scanEnd == -1) return m;
    m.found = true;
    m.scanEnd = site.scanEnd;
    m.zeroCount = site.zeroCount;
    m.position = site.scanEnd - m.textLength - 1 - site.zeroCount;
    m.room = m.textLength + site.zeroCount;
    m.fits = replacementFits(m.textLength, site.zeroCount, m.replacementLength);
    return m;
}

Measurement replaceInPlace(ByteBuffer& file, const ByteBuffer& text, const ByteBuffer& replacement) {
    const Measurement m = measure(file, text, replacement);
    if (m.fits) {
        const Patch patch = patchFor(PatchSite{m.scanEnd, m.zeroCount}, text, replacement);
        std::memcpy(file.data() + patch.roomStart, patch.block.data(), static_cast<std::size_t>(bytesLength(patch.block)));
    }
    return m;
}
