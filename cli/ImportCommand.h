// vmacgen import: a macro in a code file read back into its macro source file.
#pragma once

#include <span>
#include <string_view>

namespace vmg::cli {

// vmacgen import FILE [--macro NAME] [--hint FILE] [-o OUT.mcs]; args are those after "import".
// "import --help" prints its usage on standard output.
int ImportCommand(std::span<const std::string_view> args);

} // namespace vmg::cli
