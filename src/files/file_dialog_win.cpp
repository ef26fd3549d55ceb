#include "files/file_dialog_win.h"

#include <commdlg.h>

#include <cstring>
#include <string>

#include "files/paths.h"

namespace {

constexpr std::size_t fileBufferSize = MAX_PATH;
constexpr std::size_t fileTitleBufferSize = 64;

// Centres the dialog over its owner once it has finished initialising.
UINT_PTR CALLBACK dialogHook(HWND hookWindow, UINT message, WPARAM, LPARAM lParam) {
    if (message != WM_NOTIFY || reinterpret_cast<NMHDR*>(lParam)->code != CDN_INITDONE) return 0;
    HWND dialog = GetParent(hookWindow);
    HWND owner = GetWindow(dialog, GW_OWNER);
    RECT ownerArea;
    RECT dialogArea;
    if (owner == nullptr || !GetWindowRect(owner, &ownerArea) || !GetWindowRect(dialog, &dialogArea)) return 0;
    const int width = dialogArea.right - dialogArea.left;
    const int height = dialogArea.bottom - dialogArea.top;
    const int left = ownerArea.left + (ownerArea.right - ownerArea.left - width) / 2;
    const int top = ownerArea.top + (ownerArea.bottom - ownerArea.top - height) / 2;
    SetWindowPos(dialog, nullptr, left, top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    return 0;
}

// At most `limit` bytes of `text`, never ending inside a double-byte character.
std::size_t cutLength(std::string_view text, std::size_t limit) {
    std::size_t end = 0;
    while (end < text.size()) {
        const std::size_t next = end + characterLength(text, end);
        if (next > limit) break;
        end = next;
    }
    return end;
}

const char* textOrNull(const AnsiText& text) { return isEmptyText(text) ? nullptr : text.c_str(); }

}  // namespace

bool showFileDialog(HWND owner, FileDialog& dialog) {
    const std::string filterList = dialog.filterList();
    char fileBuffer[fileBufferSize] = {};
    std::memcpy(fileBuffer, dialog.fileName.c_str(), cutLength(dialog.fileName.view(), fileBufferSize - 1));
    char fileTitle[fileTitleBufferSize] = {};

    OPENFILENAMEA record{};
    record.lStructSize = OPENFILENAME_SIZE_VERSION_400A;  // the 76-byte form
    record.hwndOwner = owner;
    record.lpstrFilter = filterList.empty() ? nullptr : filterList.c_str();
    record.nFilterIndex = dialog.filterIndex();
    record.lpstrFile = fileBuffer;
    record.nMaxFile = fileBufferSize;
    record.lpstrFileTitle = fileTitle;
    record.nMaxFileTitle = fileTitleBufferSize;
    record.lpstrInitialDir = textOrNull(dialog.initialDirectory);
    record.lpstrTitle = textOrNull(dialog.title);
    record.lpstrDefExt = textOrNull(dialog.defaultExtension);
    record.Flags = dialog.flags();
    record.lpfnHook = dialogHook;

    HWND focus = GetFocus();
    const bool disabledHere = owner != nullptr && IsWindowEnabled(owner);
    if (disabledHere) EnableWindow(owner, FALSE);
    const BOOL confirmed = dialog.kind == FileDialog::Kind::open ? GetOpenFileNameA(&record) : GetSaveFileNameA(&record);
    if (disabledHere) EnableWindow(owner, TRUE);
    if (focus != nullptr && IsWindow(focus)) SetFocus(focus);

    if (!confirmed) return false;
    dialog.fileName = AnsiText::fromBytes(fileBuffer, fileBufferSize);
    return true;
}
