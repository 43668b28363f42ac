// Finding the macros of a text: the header lines and the description comments above them.
#include "ImportText.h"

#include <algorithm>

namespace vmg::macimport {
namespace detail {

bool LineCursor::Next(std::string_view& line, int& number) {
    if (m_pos >= m_text.size()) {
        return false;
    }
    std::size_t end = m_pos;
    while (end < m_text.size() && m_text[end] != '\r' && m_text[end] != '\n') {
        ++end;
    }
    if (end == m_text.size()) {
        line = m_text.substr(m_pos);
        m_pos = m_text.size();
    } else {
        line = m_text.substr(m_pos, end - m_pos);
        m_pos = end +
                (m_text[end] == '\r' && end + 1 < m_text.size() && m_text[end + 1] == '\n' ? 2 : 1);
    }
    number = m_next++;
    return true;
}

std::string_view StripTabs(std::string_view line) {
    const std::size_t start = line.find_first_not_of('\t');
    return start == std::string_view::npos ? std::string_view() : line.substr(start);
}

namespace {

bool equalsNoCase(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               const auto up = [](char c) { return c >= 'a' && c <= 'z' ? char(c - 32) : c; };
               return up(x) == up(y);
           });
}

} // namespace

std::optional<std::string_view> HeaderName(std::string_view line) {
    if (line.empty() || line[0] == ' ' || line[0] == '\t' || line[0] == '\'') {
        return std::nullopt;
    }
    const std::size_t blank = line.find_first_of(" \t");
    if (blank == std::string_view::npos) {
        return std::nullopt;
    }
    const std::size_t word = line.find_first_not_of(" \t", blank);
    const std::string_view rest = word == std::string_view::npos ? "" : line.substr(word);
    if (rest.size() < 5 || !equalsNoCase(rest.substr(0, 5), "MACRO") ||
        (rest.size() > 5 && rest[5] != ' ' && rest[5] != '\t')) {
        return std::nullopt;
    }
    return line.substr(0, blank);
}

bool IsEndmLine(std::string_view line) {
    const std::size_t start = line.find_first_not_of(" \t");
    const std::size_t end = line.find_last_not_of(" \t");
    return start != std::string_view::npos &&
           equalsNoCase(line.substr(start, end + 1 - start), "ENDM");
}

} // namespace detail

std::vector<MacroPlace> FindMacros(std::string_view text) {
    std::vector<MacroPlace> found;
    detail::LineCursor cursor(text, 0, 1);
    std::string_view line;
    int number = 0;
    // The run of comment lines that ends at the line before, if any.
    int commentStart = 0;
    std::size_t commentOffset = 0;
    std::size_t offset = 0;
    while (cursor.Next(line, number)) {
        if (const auto name = detail::HeaderName(line)) {
            found.push_back({std::string(*name), commentStart > 0 ? commentStart : number, number,
                             commentStart > 0 ? commentOffset : offset});
            commentStart = 0;
        } else if (!line.empty() && line[0] == '\'') {
            if (commentStart == 0) {
                commentStart = number;
                commentOffset = offset;
            }
        } else {
            commentStart = 0;
        }
        offset = cursor.Offset();
    }
    return found;
}

} // namespace vmg::macimport
