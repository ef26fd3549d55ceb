#include "app/settings.h"

#include <cstring>

namespace {
constexpr const char* defaultContent = "[main]\r\ndir=\r\nfile=\r\n";
constexpr const char* captionPrefix = "Lexpatch - ";
}  // namespace

ByteBuffer defaultSettingsContent() {
    return ByteBuffer::copyOf(defaultContent, static_cast<std::int32_t>(std::strlen(defaultContent)));
}

AnsiText settingsPathIn(const AnsiText& runDirectory) { return concatText(runDirectory, "\\set.ini"); }

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
        form.showNotice("\xd2\xd1\xd4\xd8\xc8\xeb\xc9\xcf\xb4\xce\xce\xc4\xbc\xfe\xa3\xa1");  // 已载入上次文件！
        form.setCaption(concatText(captionPrefix, path));
    } else {
        // 上次文件 … 不存在！
        form.showNotice(concatText("\xc9\xcf\xb4\xce\xce\xc4\xbc\xfe", path, "\xb2\xbb\xb4\xe6\xd4\xda\xa3\xa1"));
    }

    const AnsiText directory = system.readSetting("dir");
    form.dialog(Control::通用对话框1).initialDirectory = directory;
    form.dialog(Control::通用对话框2).initialDirectory = directory;
    form.setText(Control::编辑框3, directory);

    if (system.pathExists(form.dialog(Control::通用对话框1).initialDirectory)) {
        form.showNotice("\xd2\xd1\xd4\xd8\xc8\xeb\xc4\xac\xc8\xcf\xc4\xbf\xc2\xbc");  // 已载入默认目录
    } else if (loaded) {
        // 文件目录不存在，已使用文件目录！
        form.showNotice("\xce\xc4\xbc\xfe\xc4\xbf\xc2\xbc\xb2\xbb\xb4\xe6\xd4\xda\xa3\xac\xd2\xd1\xca\xb9\xd3\xc3\xce\xc4\xbc\xfe\xc4\xbf\xc2\xbc\xa3\xa1");
    } else {
        form.showNotice("\xce\xde\xc4\xac\xc8\xcf\xc4\xbf\xc2\xbc\xa3\xa1");  // 无默认目录！
    }
}
