#include "patch/patch_commands.h"

void nextCommand(CommandContext& context) {
    Form& form = context.form;
    std::int32_t& cursor = context.state.searchCursor;
    const AnsiText fragmentText = form.text(Control::编辑框4);
    if (isEmptyText(fragmentText) || isEmptyText(context.state.currentFilePath)) {
        return form.showNotice("\xce\xb4\xca\xe4\xc8\xeb\xbb\xf2\xce\xb4\xd4\xd8\xc8\xeb\xce\xc4\xbc\xfe\xa3\xa1");  // 未输入或未载入文件！
    }
    // One read per press: the text is read from the same bytes that were searched.
    const ByteBuffer file = context.system.readWholeFile(context.state.currentFilePath);
    cursor = findBytes(file, textToBytes(fragmentText), cursor);
    if (cursor == -1) {
        cursor = 1;
        form.setText(Control::编辑框5, "\xb3\xcc\xd0\xf2\xcc\xe1\xca\xbe\xa3\xba\xc3\xbb\xd5\xd2\xb5\xbd");  // 程序提示：没找到
    } else {
        form.setText(Control::编辑框5, readTextAt(file, cursor));
    }
    form.setText(Control::标签5, concatText("\xce\xbb\xd6\xc3\xa3\xba", intToText(cursor)));  // 位置：
}

void toBelowCommand(CommandContext& context) {
    const AnsiText found = context.form.text(Control::编辑框5);
    context.form.setText(Control::编辑框1, found);
    context.form.setText(Control::编辑框2, found);
}

void fragmentChanged(CommandContext& context) { context.state.searchCursor = 1; }
