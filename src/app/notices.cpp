#include "app/notices.h"

#include <string>

#include "texts/texts.h"

AnsiText fatalErrorText(const AnsiText& message) {
    if (isEmptyText(message)) return texts::fatalErrorHeading;
    return concatText(texts::fatalErrorHeading, texts::fatalErrorMessagePrefix, message, "\r\n");
}

AnsiText allocationFailureMessage(long long requestedBytes) {
    const std::string text = texts::allocationFailedBeforeSize + std::to_string(requestedBytes) + texts::allocationFailedAfterSize;
    return AnsiText(text.c_str());
}
