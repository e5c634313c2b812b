// A Markdown table written row by row; cells are escaped so any text keeps the table's shape.
#pragma once
#include <string>
#include <vector>

class MarkdownTable {
public:
    // Columns by their heading; a heading ending in ':' is right-aligned.
    explicit MarkdownTable(std::vector<std::string> headings);

    void AddRow(std::vector<std::string> cells);
    // The table followed by an empty line; nothing at all without rows.
    std::string Text() const;

private:
    std::vector<std::string> m_headings;
    std::vector<std::vector<std::string>> m_rows;
};

// A code span: `text`.
std::string CodeSpan(const std::string& text);

// "a, b, c"
std::string Join(const std::vector<std::string>& parts, const char* separator = ", ");
