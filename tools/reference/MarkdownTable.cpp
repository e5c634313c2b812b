// A Markdown table written row by row; cells are escaped so any text keeps the table's shape.
#include "tools/reference/MarkdownTable.h"

#include <stdexcept>

namespace {

// A cell is one line; a '|' would end it early.
std::string Escape(const std::string& cell)
{
    std::string result;
    for (char ch : cell) {
        if (ch == '|')
            result += "\\|";
        else if (ch == '\r')
            continue;
        else if (ch == '\n')
            result += "<br>";
        else
            result += ch;
    }
    return result;
}

}  // namespace

MarkdownTable::MarkdownTable(std::vector<std::string> headings) : m_headings(std::move(headings)) {}

void MarkdownTable::AddRow(std::vector<std::string> cells)
{
    if (cells.size() != m_headings.size())
        throw std::logic_error("a table row with " + std::to_string(cells.size()) + " cells for "
                               + std::to_string(m_headings.size()) + " columns");
    m_rows.push_back(std::move(cells));
}

std::string MarkdownTable::Text() const
{
    if (m_rows.empty())
        return {};
    std::string heading = "|";
    std::string rule = "|";
    for (const std::string& title : m_headings) {
        const bool right = !title.empty() && title.back() == ':';
        heading += " " + Escape(right ? title.substr(0, title.size() - 1) : title) + " |";
        rule += right ? "---:|" : "---|";
    }
    std::string text = heading + "\n" + rule + "\n";
    for (const std::vector<std::string>& row : m_rows) {
        text += "|";
        for (const std::string& cell : row)
            text += " " + Escape(cell) + " |";
        text += "\n";
    }
    return text + "\n";
}

std::string CodeSpan(const std::string& text)
{
    // A backtick inside needs a longer fence; the library's names have none.
    if (text.find('`') != std::string::npos)
        return "`` " + text + " ``";
    return "`" + text + "`";
}

std::string Join(const std::vector<std::string>& parts, const char* separator)
{
    std::string result;
    for (const std::string& part : parts) {
        if (!result.empty())
            result += separator;
        result += part;
    }
    return result;
}
