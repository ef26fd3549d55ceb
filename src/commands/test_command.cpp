#include "commands/current_file.h"
#include "commands/patch_commands.h"
#include "patch/patch_site.h"
#include "texts/texts.h"

namespace {

// Measures the text of 编辑框1 in the current file, both read afresh.
PatchSite locateText(CommandContext& context) {
    const ByteBuffer text = textToBytes(context.form.text(Control::编辑框1));
    const std::unique_ptr<ReadableFile> file = openCurrentFile(context);
    FileScanner scanner(*file);
    return locateIn(scanner, spanOf(text));
}

AnsiText testReport(std::int32_t textLength, std::int64_t zeroCount, std::int32_t replacementLength) {
    const AnsiText verdict = replacementFits(textLength, zeroCount, replacementLength) ? texts::reportFits : texts::reportDoesNotFit;
    return concatText(texts::reportTextLength, intToText(textLength), texts::reportZeroCount, intToText(zeroCount),
                      texts::reportReplacementLength, intToText(replacementLength), texts::reportLineBreak, verdict);
}

}  // namespace

void testCommand(CommandContext& context) {
    Form& form = context.form;
    if (isEmptyText(form.text(Control::编辑框1)) || isEmptyText(form.text(Control::编辑框2)) ||
        isEmptyText(context.state.currentFilePath)) {
        form.showNotice(texts::missingInputOrFile);
        return;
    }
    const std::int32_t textLength = bytesLength(textToBytes(form.text(Control::编辑框1)));
    const std::int32_t replacementLength = bytesLength(textToBytes(form.text(Control::编辑框2)));
    const PatchSite site = locateText(context);
    if (site.scanEnd == -1) {
        form.showNotice(texts::textNotFoundForTest);
        return;
    }
    form.showNotice(testReport(textLength, site.zeroCount, replacementLength));
}
