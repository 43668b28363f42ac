// The plain-text reports that vmacgen prints and the wizard's check window shows.
#include "CallCheck.h"

#include <algorithm>

namespace vmg::callcheck {
namespace {

std::string padded(std::string text, std::size_t width) {
    if (text.size() < width) {
        text.append(width - text.size(), ' ');
    }
    return text;
}

} // namespace

std::string FormatFindings(const std::vector<Finding>& findings) {
    if (findings.empty()) {
        return "lint: no findings\n";
    }
    std::string out;
    for (const Finding& f : findings) {
        out += f.line > 0 ? "line " + std::to_string(f.line) : std::string("text");
        out += f.severity == Severity::Error ? ": error: " : ": warning: ";
        out += f.text;
        out += '\n';
    }
    return out;
}

std::string FormatOutcome(const Outcome& o) {
    switch (o.kind) {
    case Outcome::Kind::ErrorFired:
        return "outcome: line " + std::to_string(o.line) + " fires #ERROR \"" + o.text + "\"\n";
    case Outcome::Kind::Undecided:
        return "outcome: undecided at line " + std::to_string(o.line) + ": " + o.text +
               " (set it by hand)\n";
    case Outcome::Kind::Expansion:
        break;
    }
    std::string out = "outcome: no #ERROR fires; the expansion (" + std::to_string(o.lines.size()) +
                      " line" + (o.lines.size() == 1 ? "" : "s") + "):\n";
    for (const ExpandedLine& l : o.lines) {
        out += "  " + padded(std::to_string(l.line) + ":", 6) + l.text + "\n";
    }
    return out;
}

std::string FormatCall(const CallAnalysis& call, const Bindings& used) {
    std::string out;
    for (const auto& note : call.notes) {
        out += "note: " + note + "\n";
    }
    if (call.inLine) {
        out += "return variable " + call.returnVar + ": " +
               (call.returnKind.empty() ? "unknown" : call.returnKind) + "\n";
    }
    for (std::size_t i = 0; i < call.args.size(); ++i) {
        const CallArg& a = call.args[i];
        out += "argument " + std::to_string(i + 1) + " " + a.text + ": " +
               (a.kind.empty() ? "unknown" : a.kind) + " (" + a.why + ")";
        if (static_cast<int>(i) + 1 == call.returnArg) {
            out += ", taken as the return value";
        }
        out += "\n";
    }
    out += "symbols:";
    for (const auto& [name, value] : used.symbols) {
        out += " " + name + "=" + value.ToString();
    }
    out += "\nassumptions (our model of the compiler, not the compiler):\n";
    for (const auto& a : CallAssumptions()) {
        out += "  - " + a + "\n";
    }
    return out;
}

std::string FormatKindTable(const KindTable& table) {
    std::string out;
    out += table.count >= 0 ? "all kinds, at argument count " + std::to_string(table.count) + ":\n"
                            : std::string("all kinds:\n");
    std::size_t nameWidth = 6;
    for (const KindRow& r : table.rows) {
        nameWidth = std::max(nameWidth, r.name.size() + 1);
    }
    for (const KindRow& r : table.rows) {
        const std::string param = r.param > 0 ? "P" + std::to_string(r.param) : std::string("-");
        out += padded(param, 4) + padded(r.name, nameWidth) +
               padded(r.kind + (r.accepted ? "" : " (wrong)"), 26) +
               (r.pass ? "ok    " : "FAIL  ") + r.detail + "\n";
    }
    return out;
}

} // namespace vmg::callcheck
