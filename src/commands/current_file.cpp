#include "commands/current_file.h"

#include <limits>

std::unique_ptr<ReadableFile> openCurrentFile(CommandContext& context) {
    std::unique_ptr<ReadableFile> file = context.system.openFile(context.state.currentFilePath);
    if (file && file->size() <= std::numeric_limits<std::int32_t>::max()) return file;
    return std::make_unique<MemoryFile>(std::string());
}
