// test FILE OLD NEW and replace FILE OLD NEW -o OUT: the window's Test and Replace commands.
#include "cli/command_support.h"
#include "cli/commands.h"
#include "cli/exit_codes.h"
#include "cli/platform.h"
#include "patch/patch_site.h"

namespace {

struct Inputs {
    std::unique_ptr<ReadableFile> file;
    ByteBuffer text;
    ByteBuffer replacement;
};

// The arguments first, so that a bad text is told before any file is read.
std::optional<Inputs> readInputs(CodePage& codePage, const ReplaceOptions& options, int& exitCode) {
    std::optional<ByteBuffer> text = encodeArgument(codePage, options.text, "OLD");
    std::optional<ByteBuffer> replacement = text ? encodeArgument(codePage, options.replacement, "NEW") : std::nullopt;
    if (!replacement) {
        exitCode = exitUsage;
        return std::nullopt;
    }
    std::unique_ptr<ReadableFile> file = openInput(options.file);
    if (!file) {
        exitCode = exitInputOutput;
        return std::nullopt;
    }
    return Inputs{std::move(file), std::move(*text), std::move(*replacement)};
}

std::string measurementText(const Measurement& m) {
    const auto line = [](const char* name, const std::string& value) {
        std::string padded = name;
        padded.resize(20, ' ');
        return padded + value + "\n";
    };
    return line("position", std::to_string(m.position)) + line("text length", std::to_string(m.textLength)) +
           line("zero count", std::to_string(m.zeroCount)) + line("scan end", std::to_string(m.scanEnd)) +
           line("room", std::to_string(m.room)) + line("replacement length", std::to_string(m.replacementLength)) +
           line("fits", m.fits ? "yes" : "no");
}

nlohmann::ordered_json documentFor(const char* command, const ReplaceOptions& options, CodePage& codePage,
                                   const Inputs& inputs, const Measurement& m) {
    nlohmann::ordered_json document;
    document["command"] = command;
    document["file"] = options.file;
    document["codePage"] = codePage.number();
    document["text"] = codePage.show(inputs.text);
    document["replacement"] = codePage.show(inputs.replacement);
    document.update(measurementJson(m));
    return document;
}

std::string notFound(const ReplaceOptions& options, CodePage& codePage, const Inputs& inputs) {
    return inQuotes(codePage.show(inputs.text)) + " does not occur in " + inQuotes(options.file) + "\n";
}

}  // namespace

int runTest(const ReplaceOptions& options) {
    CodePage codePage(options.common.codePage);
    int exitCode = exitSuccess;
    const std::optional<Inputs> inputs = readInputs(codePage, options, exitCode);
    if (!inputs) return exitCode;
    FileScanner scanner(*inputs->file);
    const Measurement m = measure(scanner, inputs->text, inputs->replacement);
    if (options.common.json) {
        printJson(documentFor("test", options, codePage, *inputs, m));
    } else {
        writeStandardOutput(m.found ? measurementText(m) : notFound(options, codePage, *inputs));
    }
    return m.fits ? exitSuccess : exitNotApplied;
}

int runReplace(const ReplaceOptions& options) {
    CodePage codePage(options.common.codePage);
    int exitCode = exitSuccess;
    std::optional<Inputs> inputs = readInputs(codePage, options, exitCode);
    if (!inputs) return exitCode;
    FileScanner scanner(*inputs->file);
    const Measurement m = measure(scanner, inputs->text, inputs->replacement);
    const FileStamp measured = inputs->file->stamp();
    inputs->file.reset();  // OUT may be FILE itself
    bool written = false;
    if (m.fits) {
        const Patch patch = patchFor(PatchSite{m.scanEnd, m.zeroCount}, inputs->text, inputs->replacement);
        const PatchBlock block{patch.roomStart, spanOf(patch.block)};
        written = savePatchedOutput(options.output, options.file, measured, std::span(&block, 1));
    }
    if (options.common.json) {
        nlohmann::ordered_json document = documentFor("replace", options, codePage, *inputs, m);
        document["output"] = options.output;
        document["written"] = written;
        printJson(document);
    } else if (!m.found) {
        writeStandardOutput(notFound(options, codePage, *inputs));
    } else {
        writeStandardOutput(measurementText(m) + (written ? "written to " + inQuotes(options.output) + "\n"
                                                          : std::string("nothing written\n")));
    }
    if (!m.fits) return exitNotApplied;
    return written ? exitSuccess : exitInputOutput;
}
