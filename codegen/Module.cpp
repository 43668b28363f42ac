// The one macro definition of the run and the two generated line lists.
#include "MacroCodeGenerator.h"

namespace vmg::codegen {
namespace {

struct ModuleState {
    MacroDefinition definition;
    Lines codeLines;
    Lines keyBlockLines;
};

ModuleState& state() {
    static ModuleState s;
    return s;
}

} // namespace

MacroDefinition& Definition() {
    return state().definition;
}
MacGen& MacroHeader() {
    return state().definition.Header;
}
ParamArray& ParamTable() {
    return state().definition.Params;
}
RetData& ReturnDef() {
    return state().definition.Return;
}
const Lines& CodeLines() {
    return state().codeLines;
}
const Lines& KeyBlockLines() {
    return state().keyBlockLines;
}

void ResetModule() {
    state() = ModuleState{};
}

const Lines& GenerateMacro(int32_t n) {
    state().codeLines = MacroLines(state().definition, n);
    return state().codeLines;
}

const Lines& BuildKeyBlock(int32_t n) {
    state().keyBlockLines = KeyBlock(state().definition, n);
    return state().keyBlockLines;
}

std::string HintToRtf() {
    const Lines& lines = state().keyBlockLines;
    return HintLineToRtf(lines.size() >= 4 ? std::string_view(lines[3]) : std::string_view());
}

std::vector<std::string_view> SplitLines(std::string_view text, bool keepFinalEmpty) {
    std::vector<std::string_view> lines;
    std::size_t start = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r' || text[i] == '\n') {
            lines.push_back(text.substr(start, i - start));
            if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') {
                ++i;
            }
            start = i + 1;
        }
    }
    if (start < text.size() || keepFinalEmpty) {
        lines.push_back(text.substr(start));
    }
    return lines;
}

std::string JoinCrLf(const Lines& lines) {
    std::string out;
    std::size_t size = 0;
    for (const std::string& line : lines) {
        size += line.size() + 2;
    }
    out.reserve(size);
    for (const std::string& line : lines) {
        out += line;
        out += "\r\n";
    }
    return out;
}

} // namespace vmg::codegen
