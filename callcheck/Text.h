// The few character rules the directive reader, the expressions and the call line share.
#pragma once

#include <string_view>

namespace vmg::callcheck::detail {

// Blanks and tabs off both ends.
inline std::string_view trim(std::string_view text) {
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) {
        text.remove_prefix(1);
    }
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) {
        text.remove_suffix(1);
    }
    return text;
}

// ASCII only, whatever the process's locale: a code-page-1252 letter is no part of a symbol.
inline bool isNameStart(char ch) {
    return (ch >= 'A' && ch <= 'Z') || (ch >= 'a' && ch <= 'z') || ch == '_';
}

inline bool isNameChar(char ch) {
    return isNameStart(ch) || (ch >= '0' && ch <= '9');
}

} // namespace vmg::callcheck::detail
