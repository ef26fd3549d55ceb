// What the commands share: reading their inputs with a clear message for each failure, turning
// text arguments into the code page's bytes, saving the result, and printing.
#pragma once

#include <memory>
#include <optional>
#include <span>
#include <string>

#include <nlohmann/json.hpp>

#include "bytes/byte_buffer.h"
#include "bytes/readable_file.h"
#include "cli/code_page.h"
#include "cli/patching.h"
#include "files/save_file.h"

// "lexpatch-cli: " and the message on standard error.
void reportError(const std::string& message);

// 'name', with the quotes, for messages.
std::string inQuotes(const std::string& name);

// The whole file named by the argument `role` (TABLE), or nothing after an error message.
std::optional<ByteBuffer> readInput(const std::string& path, const char* role);

// The executable named by the argument FILE, open for reading, or nothing after an error message.
std::unique_ptr<ReadableFile> openInput(const std::string& path);

// The code page's bytes of a text argument (escapes.h), or nothing after an error message
// naming the argument: a malformed text, an empty one, or a character the code page lacks.
std::optional<ByteBuffer> encodeArgument(CodePage& codePage, const std::string& value, const char* argument);

// "the character '한' (U+D55C)"
std::string describeCharacter(char32_t character);

// Gives `path` the bytes as its whole content, all or nothing; false after an error message.
bool saveOutput(const std::string& path, const ByteBuffer& bytes);

// Gives `path` the content of the file `source` as it was `measured`, with `blocks` written over
// it, all or nothing (savePatchedCopy); false after an error message.
bool savePatchedOutput(const std::string& path, const std::string& source, const FileStamp& measured,
                       std::span<const PatchBlock> blocks);

// The measurement's fields, shared by the JSON documents of test, replace and apply.
nlohmann::ordered_json measurementJson(const Measurement& m);

// The document, indented, on standard output.
void printJson(const nlohmann::ordered_json& document);
