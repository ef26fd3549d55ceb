// The current file as the window's commands read it.
#pragma once

#include <memory>

#include "commands/form.h"

// The current file, open for reading. One that cannot be opened, and one of 2^31 bytes or more,
// whose positions the window's 32-bit numbers cannot hold, read as an empty file.
std::unique_ptr<ReadableFile> openCurrentFile(CommandContext& context);
