#include <array>

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

    // One read: the site is measured on the same bytes that are patched.
    const ByteBuffer source = context.system.readWholeFile(context.state.currentFilePath);
    const ByteBuffer oldBytes = textToBytes(oldText);
    const ByteBuffer newBytes = textToBytes(newText);
    const PatchSite site = locateIn(source, oldBytes);
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

    // The patched copy is written in three pieces: the bytes before the room, the block, the rest.
    const std::size_t before = static_cast<std::size_t>(patch.roomStart);
    const std::size_t after = before + static_cast<std::size_t>(bytesLength(patch.block));
    const std::array<ByteSpan, 3> pieces = {{
        {source.data(), before},
        {patch.block.data(), static_cast<std::size_t>(bytesLength(patch.block))},
        {source.data() + after, static_cast<std::size_t>(bytesLength(source)) - after},
    }};
    if (!context.system.saveFile(target, pieces)) {
        return form.showNotice(texts::saveFailed);
    }
    adoptFilePath(context, target);
}
