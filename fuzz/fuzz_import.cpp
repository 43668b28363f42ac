// Fuzzes the importer on any bytes (code text or RTF; after a NUL, a keyword file): a macro is
// refused, or its definition generates exactly its lines (the count bounds aside when the
// importer says they were the earlier ones, the layout aside when it says the layout differs).
#include "FuzzCheck.h"
#include "ImportText.h"
#include "MacroCodeGenerator.h"
#include "MacroImport.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

using namespace vmg;
using vmg::fuzz::check;

namespace {

// On lines in the compiler's reading (no indentation, one blank between words).
bool isBoundLine(std::string_view line) {
    return line.starts_with("#IF (PRM_COUNT > ") || line.starts_with("#IF (PRM_COUNT < ");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    const std::size_t nul = input.find('\0');
    const std::string text = macimport::CodeText(input.substr(0, nul));
    const std::string_view keywords =
        nul == std::string_view::npos ? std::string_view() : input.substr(nul + 1);
    const auto lines = codegen::SplitLines(text, false);
    int imported = 0;
    for (const macimport::MacroPlace& place : macimport::FindMacros(text)) {
        check(place.FirstLine >= 1 && place.FirstLine <= place.HeaderLine);
        check(static_cast<std::size_t>(place.HeaderLine) <= lines.size());
        const auto hint = macimport::FindKeywordHint(keywords, place.Name, "fuzz");
        const auto r = macimport::ImportMacro(text, place, hint ? &*hint : nullptr);
        if (!r.Ok) {
            check(r.Message.starts_with("line "));
            continue;
        }
        const codegen::Lines generated = codegen::MacroLines(r.Definition, r.ParamCount);
        check(r.LastLine - r.FirstLine + 1 == static_cast<int>(generated.size()));
        for (std::size_t i = 0; i < generated.size(); ++i) {
            const std::string_view actual = lines[static_cast<std::size_t>(r.FirstLine - 1) + i];
            if (actual == generated[i]) {
                continue;
            }
            const std::string a = macimport::detail::CanonicalLine(actual);
            const std::string g = macimport::detail::CanonicalLine(generated[i]);
            check((r.LayoutLines > 0 && a == g) ||
                  (r.OldBounds && isBoundLine(a) && isBoundLine(g) &&
                   a.substr(0, 16) == g.substr(0, 16)));
        }
        if (++imported == 4) {
            break; // a few per input keep each run short
        }
    }
    return 0;
}
