#include "app/win_system.h"

#include "files/settings.h"
#include "files/save_file.h"
#include "files/system_files.h"

ByteBuffer WinSystem::readWholeFile(const AnsiText& path) { return ::readWholeFile(path); }

bool WinSystem::pathExists(const AnsiText& path) { return ::pathExists(path); }

AnsiText WinSystem::readSetting(const AnsiText& key) { return ::readSetting(settingsPath_, key); }

void WinSystem::writeSetting(const AnsiText& key, const AnsiText& value) { ::writeSetting(settingsPath_, key, value); }

bool WinSystem::writeWholeFile(const AnsiText& path, const ByteBuffer& bytes) { return ::writeWholeFile(path, bytes); }

bool WinSystem::saveFile(const AnsiText& path, std::span<const ByteSpan> pieces) { return ::saveFile(path, pieces); }

bool WinSystem::startProgram(const AnsiText& path) { return ::startProgram(path); }
