// The commands that choose and start files, and the steps that make a path the current file.
#pragma once

#include "commands/form.h"

// Makes `path` the current file: state, caption, settings, both dialogs' folder, 编辑框3.
void adoptFilePath(CommandContext& context, const AnsiText& path);

void openCommand(CommandContext& context);              // 按钮1 "打开文件"
void defaultDirectoryCommand(CommandContext& context);  // 按钮3 "默认目录"
void runCommand(CommandContext& context);               // 按钮4 "运行文件"
