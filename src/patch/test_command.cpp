#include "patch/patch_commands.h"
#include "patch/patch_site.h"

void testCommand(CommandContext& context) {
    Form& form = context.form;
    if (isEmptyText(form.text(Control::编辑框1)) || isEmptyText(form.text(Control::编辑框2)) ||
        isEmptyText(context.state.currentFilePath)) {
        form.showNotice("\xce\xb4\xca\xe4\xc8\xeb\xbb\xf2\xce\xb4\xd4\xd8\xc8\xeb\xce\xc4\xbc\xfe\xa3\xa1");  // 未输入或未载入文件！
        return;
    }
    const std::int32_t textLength = bytesLength(textToBytes(form.text(Control::编辑框1)));
    const std::int32_t replacementLength = bytesLength(textToBytes(form.text(Control::编辑框2)));
    const PatchSite site = locateText(context);
    if (site.scanEnd == -1) {
        form.showNotice("\xd5\xd2\xb2\xbb\xb5\xbd\xb4\xcb\xce\xc4\xb1\xbe\xa3\xa1");  // 找不到此文本！
        return;
    }
    form.showNotice(testReport(textLength, site.zeroCount, replacementLength));
}
