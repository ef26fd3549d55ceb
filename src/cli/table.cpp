#include "cli/table.h"

namespace {

constexpr std::string_view byteOrderMark = "\xEF\xBB\xBF";

// Reads one of the two texts of a row, whose first byte is at `column` (0-based) of the line.
bool readText(std::string_view written, std::size_t column, const char* what, int line, WrittenText& text,
              std::vector<TableError>& errors) {
    if (written.empty()) {
        errors.push_back({line, std::string("the ") + what + " is empty"});
        return false;
    }
    EscapedTextParse parse = parseEscapedText(written);
    if (!parse.error.empty()) {
        const std::size_t lineColumn = column + parse.errorOffset + 1;
        errors.push_back({line, "column " + std::to_string(lineColumn) + " (" + what + "): " + parse.error});
        return false;
    }
    text = std::move(parse.units);
    return true;
}

}  // namespace

Table parseTable(std::string_view content) {
    Table table;
    if (content.substr(0, byteOrderMark.size()) == byteOrderMark) content.remove_prefix(byteOrderMark.size());
    int line = 0;
    while (!content.empty()) {
        ++line;
        const std::size_t end = content.find('\n');
        std::string_view row = content.substr(0, end);
        content.remove_prefix(end == std::string_view::npos ? content.size() : end + 1);
        if (!row.empty() && row.back() == '\r') row.remove_suffix(1);
        if (row.empty() || row.front() == '#') continue;

        const std::size_t tab = row.find('\t');
        if (tab == std::string_view::npos) {
            table.errors.push_back({line, "no tab between the text and its replacement"});
            continue;
        }
        if (row.find('\t', tab + 1) != std::string_view::npos) {
            table.errors.push_back({line, "more than one tab (write a tab inside a text as \\t)"});
            continue;
        }
        TableRow parsed{line, {}, {}};
        const bool textOk = readText(row.substr(0, tab), 0, "text", line, parsed.text, table.errors);
        const bool replacementOk = readText(row.substr(tab + 1), tab + 1, "replacement", line, parsed.replacement, table.errors);
        if (textOk && replacementOk) table.rows.push_back(std::move(parsed));
    }
    return table;
}
