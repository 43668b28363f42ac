// Fuzzes the ".mcs" reader and the field splitter, and checks a write-read round trip holds.
#include "MacSourceReadWrite.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>

using namespace vmg;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    codegen::MacroDefinition def;
    const auto result = macsource::ReadMacroSourceText(text, def);
    if (result.count < 0 || result.count > codegen::kMaxParams) {
        std::abort();
    }
    for (int n = 0; n < 10; ++n) {
        (void)macsource::CommaField(text, n);
    }
    if (!result.ok) {
        return 0;
    }
    // What the reader accepted and the writer agrees to store must read back the same.
    std::string why;
    if (const auto written = macsource::MacroSourceText(def, result.count, &why)) {
        codegen::MacroDefinition again = def;
        const auto back = macsource::ReadMacroSourceText(*written, again);
        if (!back.ok || back.count != result.count || !(again == def)) {
            std::abort();
        }
    }
    const codegen::Lines lines = codegen::MacroLines(def, result.count);
    (void)codegen::KeyBlock(def, result.count);
    // What the generators without a window accept never gives a kind test without a
    // condition.
    if (!macsource::WhyNotMacroSource(result, def) &&
        macsource::UnavailableTypes(result, def).empty()) {
        for (const std::string& line : lines) {
            if (line.find_first_not_of('\t') != std::string::npos &&
                line.substr(line.find_first_not_of('\t')) == "#IF") {
                std::abort();
            }
        }
    }
    return 0;
}
