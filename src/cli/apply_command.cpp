// apply FILE TABLE -o OUT: the table's rows as a series of Replace commands, each on the result
// of the rows before, in memory; then one all-or-nothing save.
#include <algorithm>
#include <vector>

#include "cli/command_support.h"
#include "cli/commands.h"
#include "cli/exit_codes.h"
#include "cli/platform.h"
#include "cli/progress.h"
#include "cli/table.h"
#include "cli/text_table.h"
#include "patch/patch_site.h"

namespace {

struct EncodedRow {
    int line;
    ByteBuffer text;
    ByteBuffer replacement;
};

struct RowOutcome {
    int line;
    std::string text;  // shown forms
    std::string replacement;
    Measurement measurement;  // measured on the result of the rows before
};

// A progress bar is worth drawing from about this much searching on (rows times file size).
constexpr std::int64_t longRunBytes = std::int64_t{1} << 30;

std::string rowName(const ApplyOptions& options, int line) { return options.table + ":" + std::to_string(line) + ": "; }

// Every row in the code page's bytes, or nothing after an error message for each bad line.
std::optional<std::vector<EncodedRow>> readTable(const ApplyOptions& options, CodePage& codePage) {
    std::optional<ByteBuffer> content = readInput(options.table, "TABLE");
    if (!content) return std::nullopt;
    const Table table = parseTable(std::string_view(reinterpret_cast<const char*>(content->data()),
                                                    static_cast<std::size_t>(bytesLength(*content))));
    bool ok = table.errors.empty();
    for (const TableError& error : table.errors) reportError(rowName(options, error.line) + error.message);

    std::vector<EncodedRow> rows;
    for (const TableRow& row : table.rows) {
        EncodedText text = codePage.encode(row.text);
        EncodedText replacement = codePage.encode(row.replacement);
        for (const auto& [encoded, what] : {std::pair{&text, "text"}, std::pair{&replacement, "replacement"}}) {
            if (!encoded->unconvertible) continue;
            reportError(rowName(options, row.line) + "the " + what + " holds " + describeCharacter(*encoded->unconvertible) +
                        ", which code page " + std::to_string(codePage.number()) + " cannot hold");
            ok = false;
        }
        rows.push_back({row.line, std::move(text.bytes), std::move(replacement.bytes)});
    }
    if (!ok) return std::nullopt;
    return rows;
}

const char* resultOf(const Measurement& m) { return !m.found ? "not found" : (m.fits ? "applied" : "too long"); }

std::string humanReport(const ApplyOptions& options, const std::vector<RowOutcome>& outcomes, bool written) {
    TextTable table({{"line", TextTable::right}, {"position", TextTable::right}, {"room", TextTable::right},
                     {"new", TextTable::right}, {"result", TextTable::left}, {"text -> replacement", TextTable::left}});
    int applied = 0, notFound = 0, tooLong = 0;
    for (const RowOutcome& row : outcomes) {
        const Measurement& m = row.measurement;
        applied += m.fits ? 1 : 0;
        notFound += m.found ? 0 : 1;
        tooLong += m.found && !m.fits ? 1 : 0;
        table.addRow({std::to_string(row.line), m.found ? std::to_string(m.position) : "-", m.found ? std::to_string(m.room) : "-",
                      std::to_string(m.replacementLength), resultOf(m), "\"" + row.text + "\" -> \"" + row.replacement + "\""});
    }
    std::string report = table.render();
    report += std::to_string(outcomes.size()) + (outcomes.size() == 1 ? " row: " : " rows: ") + std::to_string(applied) +
              " applied, " + std::to_string(notFound) + " not found, " + std::to_string(tooLong) + " too long\n";
    if (options.dryRun) {
        report += "dry run: nothing written\n";
    } else if (written) {
        report += "written to " + inQuotes(options.output) + "\n";
    } else if (applied != static_cast<int>(outcomes.size()) && !options.keepGoing) {
        report += inQuotes(options.output) + " not written: not every row applied (--keep-going writes the rows that did)\n";
    } else {
        report += inQuotes(options.output) + " not written\n";
    }
    return report;
}

nlohmann::ordered_json jsonReport(const ApplyOptions& options, int codePage, const std::vector<RowOutcome>& outcomes, bool written) {
    nlohmann::ordered_json document;
    document["command"] = "apply";
    document["file"] = options.file;
    document["table"] = options.table;
    document["output"] = options.output;
    document["codePage"] = codePage;
    document["dryRun"] = options.dryRun;
    document["keepGoing"] = options.keepGoing;
    document["rows"] = nlohmann::ordered_json::array();
    for (const RowOutcome& row : outcomes) {
        nlohmann::ordered_json j;
        j["line"] = row.line;
        j["text"] = row.text;
        j["replacement"] = row.replacement;
        j.update(measurementJson(row.measurement));
        j["applied"] = row.measurement.fits;
        document["rows"].push_back(std::move(j));
    }
    document["written"] = written;
    return document;
}

}  // namespace

int runApply(const ApplyOptions& options) {
    if (options.output.empty() && !options.dryRun) {
        reportError("apply needs -o OUT, or --dry-run to write nothing");
        return exitUsage;
    }
    CodePage codePage(options.common.codePage);
    const std::optional<std::vector<EncodedRow>> rows = readTable(options, codePage);
    if (!rows) return exitInputOutput;
    std::optional<ByteBuffer> file = readInput(options.file, "FILE");
    if (!file) return exitInputOutput;

    std::vector<RowOutcome> outcomes;
    bool allApplied = true;
    {
        const std::int64_t work = static_cast<std::int64_t>(rows->size()) * bytesLength(*file);
        Progress progress(static_cast<std::int64_t>(rows->size()), standardErrorIsTerminal() && work >= longRunBytes, "applying rows");
        for (const EncodedRow& row : *rows) {
            MemoryFile current(std::string(reinterpret_cast<const char*>(file->data()), static_cast<std::size_t>(file->size())));
            FileScanner scanner(current);
            const Measurement m = measure(scanner, row.text, row.replacement);
            if (m.fits) {
                const Patch patch = patchFor(PatchSite{m.scanEnd, m.zeroCount}, row.text, row.replacement);
                std::copy(patch.block.data(), patch.block.data() + patch.block.size(), file->data() + patch.roomStart);
            }
            allApplied = allApplied && m.fits;
            outcomes.push_back({row.line, codePage.show(row.text), codePage.show(row.replacement), m});
            progress.advance();
        }
    }
    const bool write = !options.dryRun && (allApplied || options.keepGoing);
    const bool written = write && saveOutput(options.output, *file);

    if (options.common.json) {
        printJson(jsonReport(options, codePage.number(), outcomes, written));
    } else {
        writeStandardOutput(humanReport(options, outcomes, written));
    }
    if (write && !written) return exitInputOutput;
    return allApplied ? exitSuccess : exitNotApplied;
}
