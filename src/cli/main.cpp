// lexpatch-cli: the command line of the program's commands, for tables of translations.
#include <CLI/CLI.hpp>

#include <exception>
#include <set>
#include <sstream>

#include "cli/code_page.h"
#include "cli/commands.h"
#include "cli/exit_codes.h"
#include "cli/platform.h"

#ifndef LEXPATCH_VERSION
#define LEXPATCH_VERSION "unknown"
#endif

namespace {

const char* const textHelp =
    "Texts are UTF-8 and are written in the target code page. A text may hold the escapes "
    "\\t \\n \\r \\\\ and \\xHH (any byte but 00, written as it is). Put -- before a text "
    "that starts with '-'.";

const char* const exitCodeHelp =
    "Exit codes: 0 success; 1 a text was not found or a replacement did not fit; 2 usage error; "
    "3 input or output error (a file that cannot be read or written, a malformed table).";

void addCommonOptions(CLI::App& command, CommonOptions& common) {
    command.add_option("--codepage", common.codePage, "Code page of the texts in the file (65001 passes UTF-8 through)")
        ->check(CLI::IsMember(std::set<int>(supportedCodePages.begin(), supportedCodePages.end())))
        ->capture_default_str();
    command.add_flag("--json", common.json, "Print the report as one JSON document");
}

// FILE, OLD and NEW, which test and replace share.
void addReplaceOperands(CLI::App& command, ReplaceOptions& options) {
    command.add_option("FILE", options.file, "The executable")->required();
    command.add_option("OLD", options.text, "The text to replace (its first occurrence)")->required();
    command.add_option("NEW", options.replacement, "The replacement")->required();
}

void noMemory(std::int64_t requestedBytes) {
    writeStandardError("lexpatch-cli: not enough memory for " + std::to_string(requestedBytes) + " bytes\n");
    std::exit(exitInputOutput);
}

}  // namespace

int main(int argc, char** argv) {
    setAllocationFailureHandler(noMemory);
    const std::vector<std::string> arguments = commandLineArguments(argc, argv);
    std::vector<const char*> pointers;
    for (const std::string& argument : arguments) pointers.push_back(argument.c_str());

    CLI::App app("Translates texts inside executables in place, as Lexpatch's window does.", "lexpatch-cli");
    // On Windows CLI11 would take "/path" for an option /path; options here are written -x and --xx.
    app.allow_windows_style_options(false);
    app.set_version_flag("--version", std::string("lexpatch-cli ") + LEXPATCH_VERSION);
    app.require_subcommand(1);
    app.footer(std::string(exitCodeHelp) + " Run 'lexpatch-cli COMMAND --help' for a command's options.");

    FindOptions find;
    CLI::App* findCommand = app.add_subcommand(
        "find", "List the texts that contain FRAGMENT, as Next presses from the first byte show them");
    findCommand->add_option("FILE", find.file, "The executable")->required();
    findCommand->add_option("FRAGMENT", find.fragment, "The bytes to look for")->required();
    addCommonOptions(*findCommand, find.common);
    findCommand->footer(std::string(textHelp) + "\n" + exitCodeHelp);

    ReplaceOptions test;
    CLI::App* testCommand = app.add_subcommand("test", "Measure the room of OLD and tell whether NEW fits, as Test does");
    addReplaceOperands(*testCommand, test);
    addCommonOptions(*testCommand, test.common);
    testCommand->footer(std::string(textHelp) + "\n" + exitCodeHelp);

    ReplaceOptions replace;
    CLI::App* replaceCommand = app.add_subcommand("replace", "Replace the first occurrence of OLD by NEW, as Replace does");
    addReplaceOperands(*replaceCommand, replace);
    replaceCommand->add_option("-o,--output", replace.output, "The patched copy (may be FILE itself)")->required();
    addCommonOptions(*replaceCommand, replace.common);
    replaceCommand->footer(std::string(textHelp) + "\n" + exitCodeHelp);

    ApplyOptions apply;
    CLI::App* applyCommand = app.add_subcommand(
        "apply", "Apply a translation table row by row, each row on the result of the rows before");
    applyCommand->add_option("FILE", apply.file, "The executable")->required();
    applyCommand->add_option("TABLE", apply.table, "UTF-8 table: text TAB replacement per line; # starts a comment")
        ->required();
    applyCommand->add_option("-o,--output", apply.output, "The patched copy (may be FILE itself), written only when every row applied");
    applyCommand->add_flag("--keep-going", apply.keepGoing, "Write OUT with the rows that applied even when some did not");
    applyCommand->add_flag("--dry-run", apply.dryRun, "Report every row, write nothing");
    addCommonOptions(*applyCommand, apply.common);
    applyCommand->footer(std::string(textHelp) + "\n" + exitCodeHelp);

    // CLI11 would take an unknown command for a stray argument and only say that one is missing.
    const std::set<std::string> commands = {"find", "test", "replace", "apply"};
    if (arguments.size() >= 2 && !arguments[1].empty() && arguments[1][0] != '-' && commands.count(arguments[1]) == 0) {
        writeStandardError("lexpatch-cli: unknown command '" + arguments[1] + "'; the commands are find, test, replace and apply\n"
                           "Run with --help for more information.\n");
        return exitUsage;
    }

    try {
        app.parse(static_cast<int>(pointers.size()), pointers.data());
    } catch (const CLI::ParseError& e) {
        std::ostringstream out, err;
        const int code = app.exit(e, out, err);
        writeStandardOutput(out.str());
        writeStandardError(err.str());
        return code == 0 ? exitSuccess : exitUsage;
    }

    try {
        if (findCommand->parsed()) return runFind(find);
        if (testCommand->parsed()) return runTest(test);
        if (replaceCommand->parsed()) return runReplace(replace);
        return runApply(apply);
    } catch (const std::exception& e) {
        writeStandardError(std::string("lexpatch-cli: ") + e.what() + "\n");
        return exitInputOutput;
    }
}
