#include "app/notices.h"

#include <string>

AnsiText fatalErrorText(const AnsiText& message) {
    const AnsiText heading = "\xd4\xcb\xd0\xd0\xca\xb1\xb3\xf6\xb4\xed!\r\n\r\n";  // 运行时出错!\r\n\r\n
    if (isEmptyText(message)) return heading;
    return concatText(heading, "\xb4\xed\xce\xf3\xd0\xc5\xcf\xa2\xa3\xba", message, "\r\n");  // 错误信息：
}

AnsiText allocationFailureMessage(long long requestedBytes) {
    // 分配 %d 字节内存失败!
    const std::string text = "\xb7\xd6\xc5\xe4 " + std::to_string(requestedBytes) + " \xd7\xd6\xbd\xda\xc4\xda\xb4\xe6\xca\xa7\xb0\xdc!";
    return AnsiText(text.c_str());
}
