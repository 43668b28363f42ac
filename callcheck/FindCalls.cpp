// Finding the calls of a macro on a page, statement by statement, and simulating each.
#include "CallCheck.h"
#include "Text.h"

namespace vmg::callcheck {
namespace {

using detail::isNameChar;
using detail::isNameStart;
using detail::trim;

std::size_t nameLength(std::string_view text) {
    if (text.empty() || !isNameStart(text.front())) {
        return 0;
    }
    std::size_t n = 1;
    while (n < text.size() && isNameChar(text[n])) {
        ++n;
    }
    return n;
}

// The name a statement calls, "[Var =] Name[ arguments]"; empty when it calls none.
std::string_view calledName(std::string_view statement) {
    std::size_t n = nameLength(statement);
    if (n == 0) {
        return {};
    }
    std::string_view rest = trim(statement.substr(n));
    if (rest.starts_with("=") && !rest.starts_with("==")) {
        statement = trim(rest.substr(1));
        n = nameLength(statement);
    }
    if (n == 0 || (n < statement.size() && statement[n] != ' ' && statement[n] != '\t')) {
        return {};
    }
    // A macro's own header, "Name MACRO ...", is no call.
    rest = trim(statement.substr(n));
    if (Upper(rest.substr(0, 5)) == "MACRO" &&
        (rest.size() == 5 || rest[5] == ' ' || rest[5] == '\t')) {
        return {};
    }
    return statement.substr(0, n);
}

// The statements of one line, each with whether a ':' ends it; a comment mark ends the line.
template <typename Visit> void statements(std::string_view line, Visit visit) {
    bool quoted = false;
    std::size_t start = 0;
    for (std::size_t i = 0; i < line.size(); ++i) {
        const char ch = line[i];
        if (ch == '"') {
            quoted = !quoted;
        } else if (!quoted && (ch == ':' || ch == '\'' || ch == ';')) {
            visit(trim(line.substr(start, i - start)), ch == ':');
            if (ch != ':') {
                return;
            }
            start = i + 1;
        }
    }
    visit(trim(line.substr(start)), false); // an unclosed quote ends at the line's end
}

} // namespace

std::vector<FoundCall> FindCalls(std::string_view text, std::string_view macroName) {
    std::vector<FoundCall> found;
    const std::string upperName = Upper(macroName);
    int number = 0;
    std::size_t pos = 0;
    while (pos < text.size()) {
        std::size_t end = text.find_first_of("\r\n", pos);
        end = end == std::string_view::npos ? text.size() : end;
        const std::string_view line = text.substr(pos, end - pos);
        ++number;
        bool first = true;
        statements(line, [&](std::string_view s, bool colon) {
            // "Name:" at the start of a line is a label, not a call.
            const bool label = first && colon && nameLength(s) == s.size();
            first = false;
            const std::string_view name = label ? std::string_view() : calledName(s);
            if (!name.empty() && (upperName.empty() || Upper(name) == upperName)) {
                found.push_back({number, std::string(s), std::string(name)});
            }
        });
        pos =
            end < text.size() && text[end] == '\r' && end + 1 < text.size() && text[end + 1] == '\n'
                ? end + 2
                : end + 1;
    }
    return found;
}

std::vector<CallResult> CheckCalls(const MacroText& macro, std::string_view pageText,
                                   const PageNames& page) {
    std::vector<CallResult> out;
    if (macro.name.empty()) {
        return out; // a text without a MACRO header: nothing calls it
    }
    for (FoundCall& call : FindCalls(pageText, macro.name)) {
        const CallAnalysis analysis = AnalyseCall(call.text, macro, page);
        out.push_back({std::move(call), Evaluate(macro, analysis.bindings, false)});
    }
    return out;
}

std::string FormatCallResult(const CallResult& r) {
    std::string out = "line " + std::to_string(r.call.line) + ": " + r.call.text + ": ";
    switch (r.outcome.kind) {
    case Outcome::Kind::Expansion:
        return out + "passes";
    case Outcome::Kind::ErrorFired:
        return out + "fires #ERROR \"" + r.outcome.text + "\"";
    default:
        return out + "cannot be decided (" + r.outcome.text + ")";
    }
}

} // namespace vmg::callcheck
