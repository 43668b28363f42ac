// Reads the names and declared types of a page's Dim lines.
#include "PageDeclarations.h"

#include "MacroCodeGenerator.h"

namespace vmg::ide {
namespace {

bool isBlank(char ch) {
    return static_cast<unsigned char>(ch) <= 32;
}

std::string_view trim(std::string_view text) {
    while (!text.empty() && isBlank(text.front())) {
        text.remove_prefix(1);
    }
    while (!text.empty() && isBlank(text.back())) {
        text.remove_suffix(1);
    }
    return text;
}

char upper(char ch) {
    return ch >= 'a' && ch <= 'z' ? static_cast<char>(ch - 32) : ch;
}

// The position of the word "AS" standing alone (blanks either side), or npos.
std::size_t findAs(std::string_view text) {
    for (std::size_t i = 1; i + 3 < text.size(); ++i) {
        if (isBlank(text[i - 1]) && upper(text[i]) == 'A' && upper(text[i + 1]) == 'S' &&
            isBlank(text[i + 2])) {
            return i;
        }
    }
    return std::string_view::npos;
}

} // namespace

std::vector<DeclaredVariable> DeclarationsOf(std::string_view line) {
    const std::string_view text = trim(line);
    if (text.size() < 5 || upper(text[0]) != 'D' || upper(text[1]) != 'I' ||
        upper(text[2]) != 'M' || !isBlank(text[3])) {
        return {};
    }
    std::string_view names = text.substr(4);
    std::string type;
    if (const auto as = findAs(names); as != std::string_view::npos) {
        std::string_view rest = trim(names.substr(as + 2));
        std::size_t end = 0;
        while (end < rest.size() && !isBlank(rest[end]) && rest[end] != '=' && rest[end] != '\'') {
            ++end;
        }
        type = std::string(rest.substr(0, end));
        names = names.substr(0, as);
    }
    std::vector<DeclaredVariable> out;
    while (!names.empty()) {
        const auto comma = names.find(',');
        std::string_view one = trim(names.substr(0, comma));
        names = comma == std::string_view::npos ? std::string_view() : names.substr(comma + 1);
        const auto bracket = one.find('[');
        const bool isArray = bracket != std::string_view::npos;
        one = trim(one.substr(0, bracket));
        if (codegen::IsValidName(one)) {
            out.push_back({std::string(one), type, isArray});
        }
    }
    return out;
}

std::vector<DeclaredVariable> ScanDeclarations(const std::vector<std::string>& lines) {
    std::vector<DeclaredVariable> out;
    for (const auto& line : lines) {
        for (auto& d : DeclarationsOf(line)) {
            out.push_back(std::move(d));
        }
    }
    return out;
}

} // namespace vmg::ide
