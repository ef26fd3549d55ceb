// The settings file set.ini beside the program: section main, keys file and dir.
#pragma once

#include "bytes/byte_buffer.h"

// What set.ini holds when the program creates it.
ByteBuffer defaultSettingsContent();

// runDirectory followed by "\set.ini".
AnsiText settingsPathIn(const AnsiText& runDirectory);

// The system's private-profile functions on section main of the file at `settingsPath`
// (Windows only).
AnsiText readSetting(const AnsiText& settingsPath, const AnsiText& key);
void writeSetting(const AnsiText& settingsPath, const AnsiText& key, const AnsiText& value);
// Creates or truncates the file and writes `bytes`; false when the path is empty or the open,
// the write or the close fails (Windows only).
bool writeWholeFile(const AnsiText& path, const ByteBuffer& bytes);
