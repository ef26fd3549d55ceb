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
    const ByteBuffer file = context.system.readWholeFile(context.state.currentFilePath);
    cursor = findBytes(file, textToBytes(fragmentText), cursor);
    if (cursor == -1) {
        cursor = 1;
        form.setText(Control::编辑框5, texts::nothingFound);
    } else {
        form.setText(Control::编辑框5, readTextAt(file, cursor));
    }
    form.setText(Control::标签5, concatText(texts::positionPrefix, intToText(cursor)));
}

void toBelowCommand(CommandContext& context) {
    const AnsiText found = context.form.text(Control::编辑框5);
    context.form.setText(Control::编辑框1, found);
    context.form.setText(Control::编辑框2, found);
}

void fragmentChanged(CommandContext& context) { context.state.searchCursor = 1; }
