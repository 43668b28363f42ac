// The variables a page's Dim lines declare, with their declared type: what a call's argument
// is taken to be when it names one of them.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace vmg::ide {

struct DeclaredVariable {
    std::string name;     // without any "[size]"
    std::string type;     // the word after "As", as written; empty when there is none
    bool isArray = false; // declared with "[size]"
    bool operator==(const DeclaredVariable&) const = default;
};

// Every variable a Dim line declares ("Dim X, Y As Word" declares both); nothing for other lines.
std::vector<DeclaredVariable> DeclarationsOf(std::string_view line);
// The declarations of every line, in page order.
std::vector<DeclaredVariable> ScanDeclarations(const std::vector<std::string>& lines);

} // namespace vmg::ide
