// vmacgen check: lint a macro, its argument-count range, and the simulation of a call.
#pragma once

#include <span>
#include <string_view>

namespace vmg::cli {

// vmacgen check [FILE.mcs] [--code FILE] [--call LINE] [--page PAGE] [--set SYMBOL=VALUE]...
//                [--return-arg N] [--all-kinds]; args are those after "check".
int CheckCommand(std::span<const std::string_view> args);

} // namespace vmg::cli
