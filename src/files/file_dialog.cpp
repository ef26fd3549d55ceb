#include "files/file_dialog.h"

#include "files/paths.h"
#include "texts/texts.h"

namespace {

// The flag values of the system's dialog record.
constexpr std::uint32_t ofnOverwritePrompt = 0x2;
constexpr std::uint32_t ofnHideReadOnly = 0x4;
constexpr std::uint32_t ofnNoChangeDir = 0x8;
constexpr std::uint32_t ofnEnableHook = 0x20;
constexpr std::uint32_t ofnPathMustExist = 0x800;
constexpr std::uint32_t ofnFileMustExist = 0x1000;
constexpr std::uint32_t ofnCreatePrompt = 0x2000;
constexpr std::uint32_t ofnExplorer = 0x80000;
constexpr std::uint32_t ofnEnableSizing = 0x800000;

bool isWhiteSpace(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f'; }

std::string trimmedFilter(const AnsiText& filter) {
    std::string text(filter.view());
    while (!text.empty() && isWhiteSpace(text.back())) text.pop_back();
    return text;
}

}  // namespace

std::uint32_t FileDialog::flags() const {
    std::uint32_t word = ofnHideReadOnly;
    if (createPrompt) word |= ofnCreatePrompt;
    if (fileMustExist) word |= ofnFileMustExist;
    if (overwritePrompt) word |= ofnOverwritePrompt;
    if (pathMustExist) word |= ofnPathMustExist;
    if (noChangeDirectory) word |= ofnNoChangeDir;
    return word | ofnExplorer | ofnEnableSizing | ofnEnableHook;
}

std::string FileDialog::filterList() const {
    std::string list = trimmedFilter(filter);
    if (list.empty()) return list;
    if (list.size() < 2 || list.compare(list.size() - 2, 2, "||") != 0) list += "||";
    for (std::size_t at = 0; at < list.size(); at += characterLength(list, at)) {
        if (list[at] == '|') list[at] = '\0';
    }
    return list;
}

std::uint32_t FileDialog::filterIndex() const {
    if (trimmedFilter(filter).empty()) return 0;
    return initialFilter >= 0 ? static_cast<std::uint32_t>(initialFilter) + 1 : 1;
}

FileDialog executableDialog(FileDialog::Kind kind) {
    FileDialog dialog;
    dialog.kind = kind;
    dialog.filter = texts::executableFilter;
    dialog.initialFilter = 0;
    dialog.defaultExtension = "exe";
    dialog.fileMustExist = true;
    dialog.overwritePrompt = true;
    dialog.pathMustExist = true;
    return dialog;
}
