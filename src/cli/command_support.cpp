#include "cli/command_support.h"

#include "cli/platform.h"
#include "cli/utf8.h"
#include "files/save_file.h"

void reportError(const std::string& message) { writeStandardError("lexpatch-cli: " + message + "\n"); }

std::string inQuotes(const std::string& name) { return "'" + name + "'"; }

namespace {

std::optional<AnsiText> pathFor(const std::string& path) {
    std::optional<AnsiText> system = systemPath(path);
    if (!system) reportError("the path " + inQuotes(path) + " has characters that the system's ANSI code page cannot hold");
    return system;
}

}  // namespace

std::optional<ByteBuffer> readInput(const std::string& path, const char* role) {
    const std::optional<AnsiText> system = pathFor(path);
    if (!system) return std::nullopt;
    ByteBuffer content = readWholeFile(*system);
    if (bytesLength(content) == 0) {
        const std::string why = whyUnreadable(*system);
        if (!why.empty()) {
            reportError(std::string("cannot read ") + role + " " + inQuotes(path) + ": " + why);
            return std::nullopt;
        }
    }
    return content;
}

std::unique_ptr<ReadableFile> openInput(const std::string& path) {
    const std::optional<AnsiText> system = pathFor(path);
    if (!system) return nullptr;
    std::unique_ptr<ReadableFile> file = openReadableFile(*system);
    if (!file) reportError("cannot read FILE " + inQuotes(path) + ": " + whyUnreadable(*system));
    return file;
}

std::string describeCharacter(char32_t character) {
    std::string shown;
    appendShownCharacter(shown, character);
    return "the character " + inQuotes(shown) + " (" + codePointName(character) + ")";
}

std::optional<ByteBuffer> encodeArgument(CodePage& codePage, const std::string& value, const char* argument) {
    const EscapedTextParse parse = parseEscapedText(value);
    if (!parse.error.empty()) {
        reportError(std::string("argument ") + argument + ", column " + std::to_string(parse.errorOffset + 1) + ": " + parse.error);
        return std::nullopt;
    }
    if (parse.units.empty()) {
        reportError(std::string("argument ") + argument + " is empty");
        return std::nullopt;
    }
    EncodedText encoded = codePage.encode(parse.units);
    if (encoded.unconvertible) {
        reportError(std::string("argument ") + argument + ": " + describeCharacter(*encoded.unconvertible) +
                    " cannot be written in code page " + std::to_string(codePage.number()));
        return std::nullopt;
    }
    return std::move(encoded.bytes);
}

namespace {

void reportUnwritable(const std::string& path) {
    reportError("cannot write " + inQuotes(path) + "; it keeps its former content (is its folder there, and is it "
                "a writable file that no program is running from?)");
}

}  // namespace

bool saveOutput(const std::string& path, const ByteBuffer& bytes) {
    const std::optional<AnsiText> system = pathFor(path);
    if (!system) return false;
    const ByteSpan whole{bytes.data(), static_cast<std::size_t>(bytesLength(bytes))};
    if (saveFile(*system, std::span<const ByteSpan>(&whole, 1))) return true;
    reportUnwritable(path);
    return false;
}

bool savePatchedOutput(const std::string& path, const std::string& source, const FileStamp& measured,
                       std::span<const PatchBlock> blocks) {
    const std::optional<AnsiText> target = pathFor(path);
    const std::optional<AnsiText> from = target ? pathFor(source) : std::nullopt;
    if (!from) return false;
    if (savePatchedCopy(*target, *from, measured, blocks)) return true;
    const std::unique_ptr<ReadableFile> now = openReadableFile(*from);
    if (!now || now->stamp() != measured) {
        reportError(inQuotes(source) + " changed while it was being patched; " + inQuotes(path) + " keeps its former content");
    } else {
        reportUnwritable(path);
    }
    return false;
}

nlohmann::ordered_json measurementJson(const Measurement& m) {
    nlohmann::ordered_json j;
    j["found"] = m.found;
    j["position"] = m.position;
    j["textLength"] = m.textLength;
    j["zeroCount"] = m.zeroCount;
    j["scanEnd"] = m.scanEnd;
    j["room"] = m.room;
    j["replacementLength"] = m.replacementLength;
    j["fits"] = m.fits;
    return j;
}

void printJson(const nlohmann::ordered_json& document) {
    // Paths are bytes on POSIX systems and need not be UTF-8; the texts always are.
    writeStandardOutput(document.dump(2, ' ', false, nlohmann::ordered_json::error_handler_t::replace) + "\n");
}
