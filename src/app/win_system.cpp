#include "app/win_system.h"

#include "files/settings.h"
#include "files/save_file.h"
#include "files/system_files.h"

std::unique_ptr<ReadableFile> WinSystem::openFile(const AnsiText& path) { return openReadableFile(path); }

bool WinSystem::pathExists(const AnsiText& path) { return ::pathExists(path); }

AnsiText WinSystem::readSetting(const AnsiText& key) { return ::readSetting(settingsPath_, key); }

void WinSystem::writeSetting(const AnsiText& key, const AnsiText& value) { ::writeSetting(settingsPath_, key, value); }

bool WinSystem::writeWholeFile(const AnsiText& path, const ByteBuffer& bytes) { return ::writeWholeFile(path, bytes); }

bool WinSystem::savePatchedCopy(const AnsiText& target, const AnsiText& source, const FileStamp& measured,
                                std::span<const PatchBlock> blocks) {
    return ::savePatchedCopy(target, source, measured, blocks);
}

bool WinSystem::startProgram(const AnsiText& path) { return ::startProgram(path); }
