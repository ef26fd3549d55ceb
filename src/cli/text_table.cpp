#include "cli/text_table.h"

#include <algorithm>

std::string TextTable::render() const {
    std::vector<std::size_t> widths;
    for (const Column& column : columns_) widths.push_back(column.heading.size());
    for (const auto& row : rows_) {
        for (std::size_t i = 0; i < row.size() && i < widths.size(); ++i) widths[i] = std::max(widths[i], row[i].size());
    }
    std::string out;
    const auto addLine = [&](const std::vector<std::string>& cells) {
        std::string line;
        for (std::size_t i = 0; i < columns_.size(); ++i) {
            const std::string& cell = i < cells.size() ? cells[i] : std::string();
            const bool last = i + 1 == columns_.size();
            const std::string padding(widths[i] - std::min(widths[i], cell.size()), ' ');
            if (i > 0) line += "  ";
            if (columns_[i].align == right) line += padding;
            line += cell;
            if (columns_[i].align == left && !last) line += padding;
        }
        out += line + "\n";
    };
    std::vector<std::string> headings;
    for (const Column& column : columns_) headings.push_back(column.heading);
    addLine(headings);
    for (const auto& row : rows_) addLine(row);
    return out;
}
