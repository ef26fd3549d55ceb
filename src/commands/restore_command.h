// The main window's "created" event: the start-up restore from set.ini.
#pragma once

#include "commands/form.h"

// Creates set.ini on the first start, else restores the last file and the default directory
// and says what it found in two notices.
void restoreSettings(CommandContext& context);
