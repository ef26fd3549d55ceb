#include "commands/file_commands.h"

#include "files/paths.h"
#include "texts/texts.h"

void adoptFilePath(CommandContext& context, const AnsiText& path) {
    Form& form = context.form;
    const AnsiText chosen = path;  // `path` may be a dialog's own fileName
    context.state.currentFilePath = chosen;
    form.setCaption(concatText(texts::captionPrefix, chosen));
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
    context.form.showNotice(concatText(texts::runFailedBeforeAddress, texts::contactAddress, texts::runFailedAfterAddress));
}
