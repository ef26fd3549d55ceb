#include "files/file_commands.h"

#include "files/paths.h"

void adoptFilePath(CommandContext& context, const AnsiText& path) {
    Form& form = context.form;
    const AnsiText chosen = path;  // `path` may be a dialog's own fileName
    context.state.currentFilePath = chosen;
    form.setCaption(concatText("Lexpatch - ", chosen));
    context.system.writeSetting("file", chosen);
    const AnsiText directory = directoryOf(chosen);
    context.system.writeSetting("dir", directory);
    form.dialog(Control::通用对话框1).initialDirectory = directory;
    form.dialog(Control::通用对话框2).initialDirectory = directory;
    form.setText(Control::编辑框3, directory);
}

void openCommand(CommandContext& context) {
    FileDialog& dialog = context.form.dialog(Control::通用对话框1);
    if (!context.form.show(dialog)) return;
    adoptFilePath(context, dialog.fileName);
}

void defaultDirectoryCommand(CommandContext& context) {
    const AnsiText directory = context.form.text(Control::编辑框3);
    if (!context.system.pathExists(directory)) return;
    context.form.dialog(Control::通用对话框1).initialDirectory = directory;
    context.form.dialog(Control::通用对话框2).initialDirectory = directory;
    context.system.writeSetting("dir", directory);
}

void runCommand(CommandContext& context) {
    if (context.system.startProgram(context.state.currentFilePath)) return;
    // 额哦~执行失败了！是本程序的问题么？~请将详细信息(文件，您的输入，操作)发到 … \r\n如果您按正确方法还不能处理，请用WinHex或HexWorkshop等自行修改。
    context.form.showNotice(concatText(
        "\xb6\xee\xc5\xb6~\xd6\xb4\xd0\xd0\xca\xa7\xb0\xdc\xc1\xcb\xa3\xa1\xca\xc7\xb1\xbe\xb3\xcc\xd0\xf2\xb5\xc4\xce\xca\xcc\xe2\xc3\xb4\xa3\xbf~\xc7\xeb\xbd\xab\xcf\xea\xcf\xb8\xd0\xc5\xcf\xa2(\xce\xc4\xbc\xfe\xa3\xac\xc4\xfa\xb5\xc4\xca\xe4\xc8\xeb\xa3\xac\xb2\xd9\xd7\xf7)\xb7\xa2\xb5\xbd",
        "bugs@lexpatch.org",
        "\r\n\xc8\xe7\xb9\xfb\xc4\xfa\xb0\xb4\xd5\xfd\xc8\xb7\xb7\xbd\xb7\xa8\xbb\xb9\xb2\xbb\xc4\xdc\xb4\xa6\xc0\xed\xa3\xac\xc7\xeb\xd3\xc3WinHex\xbb\xf2HexWorkshop\xb5\xc8\xd7\xd4\xd0\xd0\xd0\xde\xb8\xc4\xa1\xa3"));
}
