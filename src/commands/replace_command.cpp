#include "commands/current_file.h"
#include "commands/file_commands.h"
#include "commands/patch_commands.h"
#include "patch/patch_site.h"
#include "texts/texts.h"

void replaceCommand(CommandContext& context) {
    Form& form = context.form;
    const AnsiText oldText = form.text(Control::编辑框1);
    if (isEmptyText(oldText)) return form.showNotice(texts::missingFileOrInput);
    const AnsiText newText = form.text(Control::编辑框2);
    if (isEmptyText(newText) || isEmptyText(context.state.currentFilePath)) {
        return form.showNotice(texts::missingFileOrInput);
    }

    const ByteBuffer oldBytes = textToBytes(oldText);
    const ByteBuffer newBytes = textToBytes(newText);
    // One read measures the site; the save copies the file as it was then, or fails.
    FileStamp measured;
    PatchSite site;
    {
        const std::unique_ptr<ReadableFile> source = openCurrentFile(context);
        FileScanner scanner(*source);
        site = locateIn(scanner, spanOf(oldBytes));
        measured = source->stamp();
    }
    if (site.scanEnd == -1) return form.showNotice(texts::textNotFound);

    form.setStatusText(0, intToText(site.scanEnd));
    form.setStatusText(1, intToText(site.zeroCount));
    if (!replacementFits(bytesLength(oldBytes), site.zeroCount, bytesLength(newBytes))) {
        return form.showNotice(texts::replacementTooLong);
    }
    const Patch patch = patchFor(site, oldBytes, newBytes);

    FileDialog& dialog = form.dialog(Control::通用对话框2);
    if (!form.show(dialog)) return;
    const AnsiText target = dialog.fileName;

    const PatchBlock block{patch.roomStart, spanOf(patch.block)};
    if (!context.system.savePatchedCopy(target, context.state.currentFilePath, measured, std::span(&block, 1))) {
        return form.showNotice(texts::saveFailed);
    }
    adoptFilePath(context, target);
}
