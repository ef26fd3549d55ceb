// The system services of the running program (Windows only).
#pragma once

#include "commands/form.h"

class WinSystem final : public System {
public:
    explicit WinSystem(AnsiText settingsPath) : settingsPath_(std::move(settingsPath)) {}

    ByteBuffer readWholeFile(const AnsiText& path) override;
    bool pathExists(const AnsiText& path) override;
    AnsiText settingsPath() override { return settingsPath_; }
    AnsiText readSetting(const AnsiText& key) override;
    void writeSetting(const AnsiText& key, const AnsiText& value) override;
    bool writeWholeFile(const AnsiText& path, const ByteBuffer& bytes) override;
    bool saveFile(const AnsiText& path, std::span<const ByteSpan> pieces) override;
    bool startProgram(const AnsiText& path) override;

private:
    AnsiText settingsPath_;
};
