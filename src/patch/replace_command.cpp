#include <array>

#include "files/file_commands.h"
#include "patch/patch_commands.h"
#include "patch/patch_site.h"

void replaceCommand(CommandContext& context) {
    Form& form = context.form;
    const AnsiText oldText = form.text(Control::编辑框1);
    if (isEmptyText(oldText)) return form.showNotice("\xce\xb4\xd4\xd8\xc8\xeb\xce\xc4\xbc\xfe\xbb\xf2\xca\xe4\xc8\xeb\xbf\xf2\xce\xaa\xbf\xd5\xa3\xa1");  // 未载入文件或输入框为空！
    const AnsiText newText = form.text(Control::编辑框2);
    if (isEmptyText(newText) || isEmptyText(context.state.currentFilePath)) {
        return form.showNotice("\xce\xb4\xd4\xd8\xc8\xeb\xce\xc4\xbc\xfe\xbb\xf2\xca\xe4\xc8\xeb\xbf\xf2\xce\xaa\xbf\xd5\xa3\xa1");  // 未载入文件或输入框为空！
    }

    // One read: the site is measured on the same bytes that are patched.
    const ByteBuffer source = context.system.readWholeFile(context.state.currentFilePath);
    const ByteBuffer oldBytes = textToBytes(oldText);
    const ByteBuffer newBytes = textToBytes(newText);
    const PatchSite site = locateIn(source, oldBytes);
    if (site.scanEnd == -1) return form.showNotice("\xd5\xd2\xb2\xbb\xb5\xbd\xce\xc4\xb1\xbe\xa3\xa1");  // 找不到文本！

    form.setStatusText(0, intToText(site.scanEnd));
    form.setStatusText(1, intToText(site.zeroCount));
    if (!replacementFits(bytesLength(oldBytes), site.zeroCount, bytesLength(newBytes))) {
        return form.showNotice("\xd4\xad\xb3\xa4\xb6\xc8\xd0\xa1\xd3\xda\xcc\xe6\xbb\xbb\xba\xf3\xb3\xa4\xb6\xc8\xa3\xac\xb2\xbb\xd3\xe8\xcc\xe6\xbb\xbb\xa3\xa1");  // 原长度小于替换后长度，不予替换！
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
        return form.showNotice("\xb1\xa3\xb4\xe6\xce\xc4\xbc\xfe\xca\xa7\xb0\xdc\xa3\xac\xc4\xbf\xb1\xea\xce\xc4\xbc\xfe\xce\xb4\xb1\xbb\xd0\xde\xb8\xc4\xa3\xa1");  // 保存文件失败，目标文件未被修改！
    }
    adoptFilePath(context, target);
}
