// vmacgen hint FILE.mcs --into PATH [--dry-run]: the keyword block put into a USER.MCD file.
#pragma once

#include <span>
#include <string_view>

namespace vmg::cli {

// args: everything after "hint". Exit status: 0 done or unchanged, 1 refused or unwritable,
// 2 wrong usage.
int HintIntoCommand(std::span<const std::string_view> args);

} // namespace vmg::cli
