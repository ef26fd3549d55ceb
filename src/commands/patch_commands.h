// The commands of the replace and browse areas.
#pragma once

#include "commands/form.h"

void testCommand(CommandContext& context);      // 按钮7 "测试"
void replaceCommand(CommandContext& context);   // 按钮2 "开始替换"
void nextCommand(CommandContext& context);      // 按钮5 "下一个"
void toBelowCommand(CommandContext& context);   // 按钮6 "到下方"
void fragmentChanged(CommandContext& context);  // the text of 编辑框4 changed
