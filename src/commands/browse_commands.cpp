#include "bytes/file_scanner.h"
#include "commands/current_file.h"
#include "commands/patch_commands.h"
#include "texts/texts.h"

void nextCommand(CommandContext& context) {
    Form& form = context.form;
    std::int32_t& cursor = context.state.searchCursor;
    const AnsiText fragmentText = form.text(Control::编辑框4);
    if (isEmptyText(fragmentText) || isEmptyText(context.state.currentFilePath)) {
        return form.showNotice(texts::missingInputOrFile);
    }
    // One read per press: the text is read from the same bytes that were searched.
    const std::unique_ptr<ReadableFile> file = openCurrentFile(context);
    FileScanner scanner(*file);
    const ByteBuffer fragment = textToBytes(fragmentText);
    // A cursor of 1 or less searches from the first byte.
    const std::int64_t found = scanner.find(spanOf(fragment), cursor < 1 ? 0 : cursor - 1);
    if (found == -1) {
        cursor = 1;
        form.setText(Control::编辑框5, texts::nothingFound);
    } else {
        std::int64_t end = 0;
        const std::string text = scanner.textFrom(found, end);
        // Past the text and its zero byte, or -1 once that lies past the last byte.
        const std::int64_t next = end + 2;
        cursor = next <= file->size() ? static_cast<std::int32_t>(next) : -1;
        form.setText(Control::编辑框5, AnsiText::fromBytes(text.data(), text.size()));
    }
    form.setText(Control::标签5, concatText(texts::positionPrefix, intToText(cursor)));
}

void toBelowCommand(CommandContext& context) {
    const AnsiText found = context.form.text(Control::编辑框5);
    context.form.setText(Control::编辑框1, found);
    context.form.setText(Control::编辑框2, found);
}

void fragmentChanged(CommandContext& context) { context.state.searchCursor = 1; }
