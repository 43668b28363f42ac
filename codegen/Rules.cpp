// The name rule and the FSR register rule that guard what the user types.
#include "MacroCodeGenerator.h"

#include <algorithm>

namespace vmg::codegen {

bool IsValidName(std::string_view text) {
    if (text.empty() || static_cast<unsigned char>(text.front()) <= 64) {
        return false;
    }
    return std::all_of(text.begin(), text.end(), [](char ch) {
        const auto c = static_cast<unsigned char>(ch);
        return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
    });
}

bool AreValidNames(std::string_view argName, std::string_view varName, bool skipVar) {
    if (!IsValidName(argName)) {
        return false;
    }
    return skipVar || IsValidName(varName);
}

bool CheckFsrUse(const MacroDefinition& def, int32_t count) {
    // 16-bit cores have FSR0..FSR2; the 14-bit core has a single FSR, tracked as register 1.
    std::array<bool, 3> used{};
    bool ok = true;
    const int32_t last = std::clamp<int32_t>(count, 0, kMaxParams);
    for (int32_t i = 0; i < last; ++i) {
        const std::string& name = def.Params[static_cast<std::size_t>(i)].VarName;
        if (name.find("FSR") == std::string::npos) {
            continue;
        }
        std::size_t reg = 1;
        if (def.Header.Target == 2) {
            const char lastChar = name.back();
            reg =
                (lastChar >= '0' && lastChar <= '9') ? static_cast<std::size_t>(lastChar - '0') : 0;
            if (reg >= used.size()) {
                continue; // FSR3..FSR9 name no register of these cores
            }
        }
        if (used[reg]) {
            ok = false;
        }
        used[reg] = true;
    }
    return ok;
}

bool CheckFsrUse(int32_t count) {
    return CheckFsrUse(Definition(), count);
}

} // namespace vmg::codegen
