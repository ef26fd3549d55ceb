#include "commands/restore_command.h"

#include "files/settings.h"
#include "texts/texts.h"

void restoreSettings(CommandContext& context) {
    Form& form = context.form;
    System& system = context.system;
    if (!system.pathExists(system.settingsPath())) {
        system.writeWholeFile(system.settingsPath(), defaultSettingsContent());
        return;
    }

    context.state.currentFilePath = system.readSetting("file");
    const AnsiText& path = context.state.currentFilePath;
    const bool loaded = !isEmptyText(path) && system.pathExists(path);
    if (loaded) {
        form.showNotice(texts::lastFileLoaded);
        form.setCaption(concatText(texts::captionPrefix, path));
    } else {
        form.showNotice(concatText(texts::lastFileBeforePath, path, texts::lastFileAfterPath));
    }

    const AnsiText directory = system.readSetting("dir");
    form.dialog(Control::通用对话框1).initialDirectory = directory;
    form.dialog(Control::通用对话框2).initialDirectory = directory;
    form.setText(Control::编辑框3, directory);

    if (system.pathExists(form.dialog(Control::通用对话框1).initialDirectory)) {
        form.showNotice(texts::defaultDirectoryLoaded);
    } else if (loaded) {
        form.showNotice(texts::fileDirectoryUsed);
    } else {
        form.showNotice(texts::noDefaultDirectory);
    }
}
