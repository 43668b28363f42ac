// Fuzzes the cleaning of the editor page's text and both scans, and checks what they promise.
#include "FuzzCheck.h"
#include "IDE_Info.h"
#include "MacroCodeGenerator.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

using namespace vmg;
using vmg::fuzz::check;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const auto lines = ide::CleanPageText(text);
    std::string joined;
    for (const auto& line : lines) {
        // Kept lines are whole, non-empty, tab-free code lines.
        check(!line.empty());
        check(line.find_first_of(std::string_view("\r\n\t\0", 4)) == std::string::npos);
        const auto first = std::find_if(
            line.begin(), line.end(), [](char ch) { return static_cast<unsigned char>(ch) > 32; });
        check(first == line.end() || (*first != '\'' && *first != ';'));
        joined += line;
        joined += '\n';
    }
    // Cleaning what was kept changes nothing.
    check(ide::CleanPageText(joined) == lines);

    const auto labels = ide::ScanLabels(lines);
    check(labels.size() <= lines.size());
    for (const auto& label : labels) {
        check(codegen::IsValidName(label));
    }
    const auto variables = ide::ScanVariables(lines);
    check(variables.size() <= lines.size());
    for (const auto& name : variables) {
        check(name.find_first_of(", ") == std::string::npos);
        for (const char ch : name) {
            check(static_cast<unsigned char>(ch) >= 32);
        }
    }
    return 0;
}
