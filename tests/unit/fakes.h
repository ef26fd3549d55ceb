// A window and a system in memory, recording what the commands do to them in one log.
#pragma once

#include <algorithm>
#include <array>
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "commands/form.h"

struct Log {
    std::vector<std::string> events;
    void add(std::string event) { events.push_back(std::move(event)); }
};

class FakeForm final : public Form {
public:
    explicit FakeForm(Log& log) : log_(log), openDialog(executableDialog(FileDialog::Kind::open)),
                                  saveDialog(executableDialog(FileDialog::Kind::save)) {}

    AnsiText text(Control control) override {
        reads.push_back(control);
        return texts[control];
    }
    void setText(Control control, const AnsiText& text) override {
        texts[control] = text;
        log_.add("text " + std::to_string(static_cast<int>(control)) + "=" + std::string(text.view()));
    }
    void setCaption(const AnsiText& text) override {
        caption = text;
        log_.add("caption=" + std::string(text.view()));
    }
    void setStatusText(std::int32_t part, const AnsiText& text) override {
        if (part >= 0 && part < 3) status[static_cast<std::size_t>(part)] = text;
    }
    void showNotice(const AnsiText& text) override {
        notices.push_back(text);
        log_.add("notice=" + std::string(text.view()));
    }
    FileDialog& dialog(Control which) override { return which == Control::通用对话框2 ? saveDialog : openDialog; }
    bool show(FileDialog& dialog) override {
        shown.push_back({dialog.kind, dialog.fileName, dialog.initialDirectory});
        if (whileShown) whileShown();
        if (answers.empty() || !answers.front().has_value()) {
            if (!answers.empty()) answers.pop_front();
            return false;
        }
        dialog.fileName = *answers.front();
        answers.pop_front();
        return true;
    }

    struct Showing {
        FileDialog::Kind kind;
        AnsiText offeredName;
        AnsiText initialDirectory;
    };

    std::map<Control, AnsiText> texts;
    std::vector<Control> reads;
    AnsiText caption = "Lexpatch - \xce\xde\xb4\xf2\xbf\xaa\xce\xc4\xbc\xfe";
    std::array<AnsiText, 3> status;
    std::vector<AnsiText> notices;
    std::deque<std::optional<AnsiText>> answers;  // what the user picks in the next dialogs; nullopt cancels
    std::vector<Showing> shown;
    std::function<void()> whileShown;  // what happens elsewhere while a dialog is up

private:
    Log& log_;

public:
    FileDialog openDialog;
    FileDialog saveDialog;
};

// A file that holds its bytes but tells a size of 2^31 bytes, as a file too large for the
// window's positions does.
class OversizedFile final : public ReadableFile {
public:
    explicit OversizedFile(std::unique_ptr<ReadableFile> bytes) : bytes_(std::move(bytes)) {}
    FileStamp stamp() const override { return {std::int64_t{1} << 31, bytes_->stamp().lastWrite}; }
    std::size_t readAt(std::int64_t offset, std::uint8_t* into, std::size_t count) override {
        return bytes_->readAt(offset, into, count);
    }

private:
    std::unique_ptr<ReadableFile> bytes_;
};

class FakeSystem final : public System {
public:
    explicit FakeSystem(Log& log) : log_(log) {}

    std::unique_ptr<ReadableFile> openFile(const AnsiText& path) override {
        ++fileReads;
        const auto found = files.find(std::string(path.view()));
        if (found == files.end()) return nullptr;
        const ByteBuffer& bytes = found->second;
        auto file = std::make_unique<MemoryFile>(std::string(reinterpret_cast<const char*>(bytes.data()), static_cast<std::size_t>(bytes.size())),
                                                 versions[found->first]);
        if (oversized.count(found->first) == 0) return file;
        return std::make_unique<OversizedFile>(std::move(file));
    }
    bool pathExists(const AnsiText& path) override {
        const std::string key(path.view());
        return files.count(key) != 0 || folders.count(key) != 0;
    }
    AnsiText settingsPath() override { return "C:\\tools\\set.ini"; }
    AnsiText readSetting(const AnsiText& key) override { return settings[std::string(key.view())]; }
    void writeSetting(const AnsiText& key, const AnsiText& value) override {
        settings[std::string(key.view())] = value;
        log_.add("setting " + std::string(key.view()) + "=" + std::string(value.view()));
    }
    bool writeWholeFile(const AnsiText& path, const ByteBuffer& bytes) override {
        log_.add("write " + std::string(path.view()));
        if (!writable) return false;
        store(std::string(path.view()), bytes);
        return true;
    }
    bool savePatchedCopy(const AnsiText& target, const AnsiText& source, const FileStamp& measured,
                         std::span<const PatchBlock> blocks) override {
        log_.add("save " + std::string(target.view()));
        if (failingSaves.count(std::string(target.view())) != 0) return false;
        const auto found = files.find(std::string(source.view()));
        if (found == files.end() || FileStamp{found->second.size(), versions[found->first]} != measured) return false;
        ByteBuffer copy = found->second;
        for (const PatchBlock& block : blocks) std::copy(block.bytes.data, block.bytes.data + block.bytes.size, copy.data() + block.offset);
        store(std::string(target.view()), copy);
        return true;
    }
    // Gives a file new content, as another program would; its version changes.
    void store(const std::string& path, const ByteBuffer& bytes) {
        files[path] = bytes;
        ++versions[path];
    }
    bool startProgram(const AnsiText& path) override {
        started.push_back(path);
        return files.count(std::string(path.view())) != 0;
    }

    std::map<std::string, ByteBuffer> files;
    std::map<std::string, std::int64_t> versions;  // the last-write time of each file
    std::set<std::string> folders;
    std::map<std::string, AnsiText> settings;
    std::set<std::string> failingSaves;
    std::set<std::string> oversized;  // files that report a size of 2^31 bytes
    std::vector<AnsiText> started;
    bool writable = true;
    int fileReads = 0;

private:
    Log& log_;
};

// A window, a system and the program state, wired together as the program does.
struct Harness {
    Log log;
    FakeForm form{log};
    FakeSystem system{log};
    ProgramState state;
    CommandContext context{form, system, state};
};
