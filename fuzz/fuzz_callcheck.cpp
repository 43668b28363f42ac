// Fuzzes the call check's reader and evaluator on any text, and checks what they promise.
#include "CallCheck.h"
#include "FuzzCheck.h"

#include <cstddef>
#include <cstdint>
#include <string_view>

using namespace vmg;
using vmg::fuzz::check;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const callcheck::MacroText macro = callcheck::ReadMacro(text);
    for (const auto& f : macro.findings) {
        check(f.line >= 0 && f.line <= macro.lineCount);
    }
    const auto counts = callcheck::PassingCounts(macro);
    check(counts.size() <= macro.formals.size() + 3);
    // The text's first line doubles as a call line.
    const std::string_view call = text.substr(0, text.find_first_of("\r\n"));
    const auto analysis = callcheck::AnalyseCall(call, macro, {{{"V", "BYTE"}}, {"L"}});
    const auto outcome = callcheck::Evaluate(macro, analysis.bindings);
    check(outcome.lines.size() <= static_cast<std::size_t>(macro.lineCount));
    if (outcome.kind != callcheck::Outcome::Kind::Expansion) {
        check(outcome.line >= 1 && outcome.line <= macro.lineCount);
    }
    return 0;
}
