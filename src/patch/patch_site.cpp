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

PatchSite locateText(CommandContext& context) {
    const ByteBuffer text = textToBytes(context.form.text(Control::编辑框1));
    return locateIn(context.system.readWholeFile(context.state.currentFilePath), text);
}

bool replacementFits(std::int32_t textLength, std::int32_t zeroCount, std::int32_t replacementLength) {
    return (static_cast<double>(textLength) + zeroCount) - replacementLength >= -0.0000001;
}

AnsiText testReport(std::int32_t textLength, std::int32_t zeroCount, std::int32_t replacementLength) {
    const AnsiText verdict = replacementFits(textLength, zeroCount, replacementLength)
                                 ? "\xd4\xad\xb3\xa4\xb4\xf3\xd3\xda\xbb\xf2\xb5\xc8\xd3\xda\xcc\xe6\xbb\xbb\xb3\xa4\xb6\xc8\xa3\xac\xbf\xc9\xd2\xd4\xcc\xe6\xbb\xbb\xa3\xa1"  // 原长大于或等于替换长度，可以替换！
                                 : "\xd4\xad\xb3\xa4\xd0\xa1\xd3\xda\xcc\xe6\xbb\xbb\xb3\xa4\xb6\xc8\xa3\xac\xce\xde\xb7\xa8\xcc\xe6\xbb\xbb\xa3\xa1";  // 原长小于替换长度，无法替换！
    return concatText("\xce\xc4\xb1\xbe\xb3\xa4\xb6\xc8\xa3\xba", intToText(textLength),                      // 文本长度：
                      "\r\n\xba\xf3" "0\xd7\xd6\xbd\xda\xca\xfd\xa3\xba", intToText(zeroCount),              // \r\n后0字节数：
                      "\r\n\xc4\xe3\xca\xe4\xc8\xeb\xb5\xc4\xce\xc4\xb1\xbe\xb3\xa4\xb6\xc8\xa3\xba", intToText(replacementLength),  // \r\n你输入的文本长度：
                      "\r\n", verdict);
}

Patch patchFor(const PatchSite& site, const ByteBuffer& text, const ByteBuffer& replacement) {
    const std::int32_t roomLength = bytesLength(text) + site.zeroCount;
    Patch patch;
    patch.roomStart = site.scanEnd - roomLength - 1 - 1;
    patch.block = concatBytes(replacement, blankBytes(roomLength - bytesLength(replacement)));
    return patch;
}
