// Wrong usage of a vmacgen command: what was wrong, said in one line before the command's usage.
#pragma once

#include <stdexcept>
#include <string>
#include <string_view>

namespace vmg::cli {

// Thrown by a command's reading of its arguments. vmacgen prints "vmacgen COMMAND: " and the
// text, then that command's usage, and ends with status 2; every command gets the same.
class UsageError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// The line for an argument that a command does not take.
inline std::string UnexpectedArgument(std::string_view arg) {
    return (arg.starts_with("-") ? "unknown option " : "unexpected argument ") + std::string(arg);
}

// The line for an option given without the value it needs.
inline std::string MissingValue(std::string_view option, std::string_view what) {
    return std::string(option) + " needs " + std::string(what);
}

} // namespace vmg::cli
