// Fuzzes the call finder and the upgrade plan on any bytes (a page; after a NUL, a macro text):
// each call found lies on the page and names the macro; a plan that changes nothing gives the
// text back byte for byte, and the text a plan gives is not changed by a second one.
#include "CallCheck.h"
#include "FuzzCheck.h"
#include "Upgrade.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

using namespace vmg;
using vmg::fuzz::check;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    const std::size_t nul = input.find('\0');
    const std::string_view page = input.substr(0, nul);
    const std::string_view macroText =
        nul == std::string_view::npos ? std::string_view() : input.substr(nul + 1);
    const callcheck::MacroText macro = callcheck::ReadMacro(macroText);
    const int lines = static_cast<int>(std::count(page.begin(), page.end(), '\n') +
                                       std::count(page.begin(), page.end(), '\r')) +
                      1;
    for (const auto& r : callcheck::CheckCalls(macro, page, {})) {
        check(r.call.line >= 1 && r.call.line <= lines);
        check(!r.call.text.empty() &&
              callcheck::Upper(r.call.name) == callcheck::Upper(macro.name));
        check(page.find(r.call.text) != std::string_view::npos);
        callcheck::FormatCallResult(r);
    }
    const upgrade::UpgradePlan plan = upgrade::PlanUpgrade(page, {});
    check(plan.Changed || plan.NewText.empty() || plan.NewText == page);
    if (plan.Changed) {
        check(!upgrade::PlanUpgrade(plan.NewText, {}).Changed); // a second run changes nothing
    }
    return 0;
}
