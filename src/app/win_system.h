// The system services of the running program (Windows only).
#pragma once

#include "commands/form.h"

class WinSystem final : public System {
public:
    explicit WinSystem(AnsiText settingsPath) : settingsPath_(std::move(settingsPath)) {}

    std::unique_ptr<ReadableFile> openFile(const AnsiText& path) override;
    bool pathExists(const AnsiText& path) override;
    AnsiText settingsPath() override { return settingsPath_; }
    AnsiText readSetting(const AnsiText& key) override;
    void writeSetting(const AnsiText& key, const AnsiText& value) override;
    bool writeWholeFile(const AnsiText& path, const ByteBuffer& bytes) override;
    bool savePatchedCopy(const AnsiText& target, const AnsiText& source, const FileStamp& measured,
                         std::span<const PatchBlock> blocks) override;
    bool startProgram(const AnsiText& path) override;

private:
    AnsiText settingsPath_;
};
