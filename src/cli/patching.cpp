#include "cli/patching.h"

#include "patch/patch_site.h"

std::vector<Occurrence> browseWalk(FileScanner& file, const ByteBuffer& fragment) {
    std::vector<Occurrence> stops;
    std::int64_t from = 0;
    while (true) {
        const std::int64_t found = file.find(spanOf(fragment), from);
        if (found == -1) break;
        std::int64_t end = 0;
        stops.push_back({found + 1, file.textFrom(found, end)});
        // The walk goes on behind the text's zero byte; a text that ends the file ends it.
        from = end + 1;
        if (from >= file.file().size()) break;
    }
    return stops;
}

Measurement measureAt(FileScanner& file, std::int64_t match, const ByteBuffer& text, const ByteBuffer& replacement) {
    Measurement m;
    m.textLength = bytesLength(text);
    m.replacementLength = bytesLength(replacement);
    if (match == -1) return m;
    const PatchSite site = siteAt(file, match, m.textLength);
    m.found = true;
    m.scanEnd = site.scanEnd;
    m.zeroCount = site.zeroCount;
    m.position = match + 1;
    m.room = m.textLength + site.zeroCount;
    m.fits = replacementFits(m.textLength, site.zeroCount, m.replacementLength);
    return m;
}

Measurement measure(FileScanner& file, const ByteBuffer& text, const ByteBuffer& replacement) {
    return measureAt(file, file.find(spanOf(text), 0), text, replacement);
}
