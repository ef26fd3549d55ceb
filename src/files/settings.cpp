#include "files/settings.h"

#include <cstring>

namespace {
constexpr const char* defaultContent = "[main]\r\ndir=\r\nfile=\r\n";
}  // namespace

ByteBuffer defaultSettingsContent() {
    return ByteBuffer::copyOf(defaultContent, static_cast<std::int32_t>(std::strlen(defaultContent)));
}

AnsiText settingsPathIn(const AnsiText& runDirectory) { return concatText(runDirectory, "\\set.ini"); }
