// A report laid out in aligned columns for people.
#pragma once

#include <string>
#include <vector>

class TextTable {
public:
    enum Align { left, right };
    struct Column {
        std::string heading;
        Align align;
    };

    explicit TextTable(std::vector<Column> columns) : columns_(std::move(columns)) {}

    // One cell per column.
    void addRow(std::vector<std::string> cells) { rows_.push_back(std::move(cells)); }

    // The heading line and the rows, two blanks between columns. Widths count bytes, which is
    // right for the ASCII cells; the last column, which holds the texts, is never padded.
    std::string render() const;

private:
    std::vector<Column> columns_;
    std::vector<std::vector<std::string>> rows_;
};
