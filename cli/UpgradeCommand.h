// vmacgen upgrade FILE [--macro NAME] [--hint USER.MCD] [--dry-run]
#pragma once

#include <span>
#include <string_view>

namespace vmg::cli {

int UpgradeCommand(std::span<const std::string_view> args);

} // namespace vmg::cli
