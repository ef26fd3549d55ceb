#include "app/control_table.h"

#include "commands/file_commands.h"
#include "commands/patch_commands.h"
#include "texts/texts.h"

using K = ControlKind;
using C = Control;

const std::array<ControlRow, 21> controlTable = {{
    {C::状态条1, K::statusBar, 0, 0, 0, 0, "", false, nullptr},
    {C::标签5, K::label, 120, 112, 352, 24, texts::initialPosition, false, nullptr},
    {C::按钮7, K::button, 136, 256, 32, 24, texts::testButton, true, testCommand},
    {C::按钮6, K::button, 64, 112, 48, 24, texts::toBelowButton, true, toBelowCommand},
    {C::按钮5, K::button, 8, 112, 48, 24, texts::nextButton, true, nextCommand},
    {C::编辑框5, K::multiLineEdit, 40, 56, 432, 48, "", true, nullptr},
    {C::标签4, K::label, 8, 56, 40, 24, texts::resultLabel, false, nullptr},
    {C::编辑框4, K::multiLineEdit, 40, 8, 432, 48, "", true, fragmentChanged},
    {C::标签3, K::label, 8, 8, 32, 24, texts::findLabel, false, nullptr},
    {C::外形框1, K::line, 0, 143, 478, 1, "", false, nullptr},
    {C::按钮4, K::button, 416, 256, 56, 24, texts::runButton, true, runCommand},
    {C::按钮3, K::button, 352, 256, 56, 24, texts::defaultDirectoryButton, true, defaultDirectoryCommand},
    {C::编辑框3, K::singleLineEdit, 168, 256, 184, 24, "", true, nullptr},
    {C::通用对话框2, K::fileDialog, 0, 0, 0, 0, "", false, nullptr},
    {C::通用对话框1, K::fileDialog, 0, 0, 0, 0, "", false, nullptr},
    {C::按钮2, K::button, 72, 256, 56, 24, texts::replaceButton, true, replaceCommand},
    {C::按钮1, K::button, 8, 256, 56, 24, texts::openButton, true, openCommand},
    {C::标签2, K::label, 8, 200, 40, 24, texts::newTextLabel, false, nullptr},
    {C::编辑框2, K::multiLineEdit, 48, 200, 424, 48, "", true, nullptr},
    {C::标签1, K::label, 8, 152, 40, 24, texts::oldTextLabel, false, nullptr},
    {C::编辑框1, K::multiLineEdit, 48, 152, 424, 48, "", true, nullptr},
}};

// Top to bottom, left to right, as the boxes and buttons are laid out.
const std::array<Control, 12> tabOrder = {
    C::编辑框4, C::编辑框5, C::按钮5, C::按钮6, C::编辑框1, C::编辑框2,
    C::按钮1, C::按钮2, C::按钮7, C::编辑框3, C::按钮3, C::按钮4,
};
