#include "app/control_table.h"

#include "files/file_commands.h"
#include "patch/patch_commands.h"

using K = ControlKind;
using C = Control;

const std::array<ControlRow, 21> controlTable = {{
    {C::状态条1, K::statusBar, 0, 0, 0, 0, "", false, nullptr},
    {C::标签5, K::label, 120, 112, 352, 24, "\xce\xbb\xd6\xc3\xa3\xba" "0", false, nullptr},  // 位置：0
    {C::按钮7, K::button, 136, 256, 32, 24, "\xb2\xe2\xca\xd4", true, testCommand},             // 测试
    {C::按钮6, K::button, 64, 112, 48, 24, "\xb5\xbd\xcf\xc2\xb7\xbd", true, toBelowCommand},   // 到下方
    {C::按钮5, K::button, 8, 112, 48, 24, "\xcf\xc2\xd2\xbb\xb8\xf6", true, nextCommand},       // 下一个
    {C::编辑框5, K::multiLineEdit, 40, 56, 432, 48, "", true, nullptr},
    {C::标签4, K::label, 8, 56, 40, 24, "\xbd\xe1\xb9\xfb", false, nullptr},                    // 结果
    {C::编辑框4, K::multiLineEdit, 40, 8, 432, 48, "", true, fragmentChanged},
    {C::标签3, K::label, 8, 8, 32, 24, "\xb2\xe9\xd5\xd2", false, nullptr},                     // 查找
    {C::外形框1, K::line, 0, 143, 478, 1, "", false, nullptr},
    {C::按钮4, K::button, 416, 256, 56, 24, "\xd4\xcb\xd0\xd0\xce\xc4\xbc\xfe", true, runCommand},  // 运行文件
    {C::按钮3, K::button, 352, 256, 56, 24, "\xc4\xac\xc8\xcf\xc4\xbf\xc2\xbc", true, defaultDirectoryCommand},  // 默认目录
    {C::编辑框3, K::singleLineEdit, 168, 256, 184, 24, "", true, nullptr},
    {C::通用对话框2, K::fileDialog, 0, 0, 0, 0, "", false, nullptr},
    {C::通用对话框1, K::fileDialog, 0, 0, 0, 0, "", false, nullptr},
    {C::按钮2, K::button, 72, 256, 56, 24, "\xbf\xaa\xca\xbc\xcc\xe6\xbb\xbb", true, replaceCommand},  // 开始替换
    {C::按钮1, K::button, 8, 256, 56, 24, "\xb4\xf2\xbf\xaa\xce\xc4\xbc\xfe", true, openCommand},  // 打开文件
    {C::标签2, K::label, 8, 200, 40, 24, "\xcc\xe6\xbb\xbb\xce\xaa", false, nullptr},           // 替换为
    {C::编辑框2, K::multiLineEdit, 48, 200, 424, 48, "", true, nullptr},
    {C::标签1, K::label, 8, 152, 40, 24, "\xb1\xbb\xcc\xe6\xbb\xbb", false, nullptr},           // 被替换
    {C::编辑框1, K::multiLineEdit, 48, 152, 424, 48, "", true, nullptr},
}};

// Top to bottom, left to right, as the boxes and buttons are laid out.
const std::array<Control, 12> tabOrder = {
    C::编辑框4, C::编辑框5, C::按钮5, C::按钮6, C::编辑框1, C::编辑框2,
    C::按钮1, C::按钮2, C::按钮7, C::编辑框3, C::按钮3, C::按钮4,
};
