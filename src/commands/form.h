// The seam between the commands and the world: the main window as the commands see it, the
// system services they call, and the program state they share.
#pragma once

#include <cstdint>
#include <memory>
#include <span>

#include "bytes/byte_buffer.h"
#include "bytes/readable_file.h"
#include "files/file_dialog.h"
#include "files/save_file.h"

// The controls of the main window, in creation order (which is also their z-order).
enum class Control {
    状态条1,
    标签5,
    按钮7,
    按钮6,
    按钮5,
    编辑框5,
    标签4,
    编辑框4,
    标签3,
    外形框1,
    按钮4,
    按钮3,
    编辑框3,
    通用对话框2,
    通用对话框1,
    按钮2,
    按钮1,
    标签2,
    编辑框2,
    标签1,
    编辑框1,
};

// The main window: control texts, the caption, the status bar, notices and the file dialogs.
class Form {
public:
    virtual ~Form() = default;
    // The whole text of an edit box or the caption of a label, line breaks as CR LF.
    virtual AnsiText text(Control control) = 0;
    virtual void setText(Control control, const AnsiText& text) = 0;
    virtual void setCaption(const AnsiText& caption) = 0;
    // Sets the text of status bar part `part` (0-based); other indexes are ignored.
    virtual void setStatusText(std::int32_t part, const AnsiText& text) = 0;
    // Tells the user something in a modal box and returns once it is dismissed.
    virtual void showNotice(const AnsiText& text) = 0;
    // 通用对话框1 (open) or 通用对话框2 (save).
    virtual FileDialog& dialog(Control which) = 0;
    // Shows the dialog modally: true when the user confirmed, and then its fileName holds the
    // chosen full path; false when cancelled or failed, and then nothing has changed.
    virtual bool show(FileDialog& dialog) = 0;
};

// The system services the commands reach.
class System {
public:
    virtual ~System() = default;
    // The file at `path` open for reading, shared for reading only; nothing when it cannot be
    // opened so.
    virtual std::unique_ptr<ReadableFile> openFile(const AnsiText& path) = 0;
    // True when a file or folder matches the text (a find-first-file search).
    virtual bool pathExists(const AnsiText& path) = 0;
    // The settings file beside the program and its keys of section main.
    virtual AnsiText settingsPath() = 0;
    virtual AnsiText readSetting(const AnsiText& key) = 0;
    virtual void writeSetting(const AnsiText& key, const AnsiText& value) = 0;
    // Replaces the whole content of a file; true on success.
    virtual bool writeWholeFile(const AnsiText& path, const ByteBuffer& bytes) = 0;
    // Gives the file at `target` the content of the file at `source` with the blocks written over
    // it, all or nothing (savePatchedCopy); false, with the target as it was, when that cannot be
    // done or the source is no longer as `measured`.
    virtual bool savePatchedCopy(const AnsiText& target, const AnsiText& source, const FileStamp& measured,
                                 std::span<const PatchBlock> blocks) = 0;
    // Starts the program file at `path` with no arguments; false when it cannot be started.
    virtual bool startProgram(const AnsiText& path) = 0;
};

// The state kept between commands.
struct ProgramState {
    AnsiText currentFilePath;       // empty: no file loaded
    std::int32_t searchCursor = 0;  // where the next browse search starts
};

// What every command works with.
struct CommandContext {
    Form& form;
    System& system;
    ProgramState& state;
};
