// The --all-kinds table: every kind a parameter accepts passes with one move line, and a kind
// it does not accept fires exactly that parameter's type error.
#include "CallCheck.h"
#include "Text.h"

#include <algorithm>
#include <cctype>

namespace vmg::callcheck {
namespace {

using detail::isNameChar;

// The word (any letter case) stands in the text outside quotes.
bool mentions(std::string_view text, std::string_view word) {
    bool quoted = false;
    for (std::size_t i = 0; i < text.size();) {
        if (text[i] == '"') {
            quoted = !quoted;
        }
        if (quoted || !isNameChar(text[i])) {
            ++i;
            continue;
        }
        std::size_t end = i;
        while (end < text.size() && isNameChar(text[end])) {
            ++end;
        }
        if (end - i == word.size() &&
            std::equal(word.begin(), word.end(), text.begin() + static_cast<std::ptrdiff_t>(i),
                       [](char w, char t) {
                           return w == (t >= 'a' && t <= 'z' ? static_cast<char>(t - 32) : t);
                       })) {
            return true;
        }
        i = end;
    }
    return false;
}

bool anyStatementMentions(const std::vector<Node>& block, std::string_view word) {
    return std::any_of(block.begin(), block.end(), [&](const Node& n) {
        return (n.kind == Node::Kind::Statement && mentions(n.text, word)) ||
               anyStatementMentions(n.then, word) || anyStatementMentions(n.otherwise, word);
    });
}

std::vector<std::string> unique(const std::vector<std::string>& kinds) {
    std::vector<std::string> out;
    for (const auto& k : kinds) {
        if (std::find(out.begin(), out.end(), k) == out.end()) {
            out.push_back(k);
        }
    }
    return out;
}

std::string wrongKind(const std::vector<std::string>& accepted) {
    for (const auto& k : AllKinds()) {
        if (k != "NA" && std::find(accepted.begin(), accepted.end(), k) == accepted.end()) {
            return k;
        }
    }
    return {};
}

std::string describe(const Outcome& o) {
    switch (o.kind) {
    case Outcome::Kind::ErrorFired:
        return "line " + std::to_string(o.line) + " fires \"" + o.text + "\"";
    case Outcome::Kind::Undecided:
        return "undecided at line " + std::to_string(o.line) + ": " + o.text;
    case Outcome::Kind::Expansion:
        break;
    }
    return "no #ERROR fires";
}

// An accepted kind: no #ERROR, and the expected number of move lines for the argument.
void judgeAccepted(KindRow& row, const Outcome& o, std::string_view word, int expected) {
    if (o.kind != Outcome::Kind::Expansion) {
        row.detail = describe(o);
        return;
    }
    const auto moves = std::count_if(o.lines.begin(), o.lines.end(), [&](const ExpandedLine& l) {
        return mentions(l.original, word);
    });
    row.pass = moves == expected;
    row.detail = std::to_string(moves) + " move line" + (moves == 1 ? "" : "s");
    if (!row.pass) {
        row.detail += " (expected " + std::to_string(expected) + ")";
    }
}

// A kind not accepted: exactly the argument's own type test must fire.
void judgeWrong(KindRow& row, const Outcome& o, const std::string& symbol) {
    row.detail = describe(o);
    row.pass = o.kind == Outcome::Kind::ErrorFired && o.owners == std::vector{symbol};
}

struct Runner {
    const MacroText& macro;
    Bindings base;
    KindTable table;

    void run(int param, const std::string& name, const std::string& symbol,
             const std::vector<std::string>& kinds, const std::string& moveWord) {
        if (kinds.empty()) {
            table.rows.push_back({param, name, "-", true, false,
                                  "the catalogue has no kinds for this type on this target"});
            return;
        }
        const int expected = anyStatementMentions(macro.body, moveWord) ? 1 : 0;
        Bindings b = base;
        for (const auto& kind : kinds) {
            b.symbols[symbol] = Value::Word(kind);
            KindRow row{param, name, kind, true, false, {}};
            judgeAccepted(row, Evaluate(macro, b, false), moveWord, expected);
            table.rows.push_back(std::move(row));
        }
        if (const std::string wrong = wrongKind(kinds); !wrong.empty()) {
            b.symbols[symbol] = Value::Word(wrong);
            KindRow row{param, name, wrong, false, false, {}};
            judgeWrong(row, Evaluate(macro, b, false), symbol);
            table.rows.push_back(std::move(row));
        }
    }
};

} // namespace

std::vector<std::string> AcceptedKinds(const codegen::ArgData& arg, int32_t target) {
    const auto& kinds = codegen::SplitTypeDescFor(arg.DataType, target).kinds;
    const std::size_t used = arg.AllowAlt ? kinds.size() : std::min<std::size_t>(4, kinds.size());
    return unique({kinds.begin(), kinds.begin() + static_cast<std::ptrdiff_t>(used)});
}

std::vector<std::string> ReturnKinds(const codegen::ArgData& ret, int32_t target) {
    const auto& kinds = codegen::SplitTypeDescFor(ret.DataType, target).kinds;
    std::vector<std::string> used;
    for (std::size_t e = 0; e < kinds.size(); ++e) {
        if (e == 0 || (ret.AllowAlt && e >= 4)) {
            used.push_back(kinds[e]);
        }
    }
    return unique(used);
}

bool KindTable::AllPass() const {
    return count >= 0 &&
           std::all_of(rows.begin(), rows.end(), [](const KindRow& r) { return r.pass; });
}

KindTable CheckAllKinds(const MacroText& macro, const codegen::MacroDefinition& def, int32_t nIn) {
    const int32_t n = std::clamp<int32_t>(nIn, 0, codegen::kMaxParams);
    const int32_t target = def.Header.Target;
    const int method = def.Header.ReturnMethod;
    Runner r{macro, {}, {}};
    const auto counts = PassingCounts(macro);
    if (counts.empty()) {
        r.table.rows.push_back({0, "count", "-", true, false, DescribeCounts(counts)});
        return r.table;
    }
    r.table.count = counts.back();

    Bindings& b = r.base;
    b.symbols["PRM_COUNT"] = Value::Number(r.table.count);
    for (int32_t i = 1; i <= n; ++i) {
        const auto kinds = AcceptedKinds(def.Params[static_cast<std::size_t>(i - 1)], target);
        if (!kinds.empty()) {
            b.symbols["PRM_" + std::to_string(i)] = Value::Word(kinds.front());
        }
        b.formals["P" + std::to_string(i)] = "A" + std::to_string(i);
    }
    const std::string name = Upper(macro.name.empty() ? def.Header.MacroName : macro.name);
    const std::string k = method == 1 ? "RETURN" : "LST_PRM";
    const auto retKinds = ReturnKinds(def.Return.RetArg, target);
    b.symbols[name + "_RETURN"] = Value::Number(method == 1 ? 1 : 0);
    b.symbols[name + "_LST_PRM"] = Value::Number(method >= 2 ? 1 : 0);
    if (method > 0) {
        if (!retKinds.empty()) {
            b.symbols[k + "_TYPE"] = Value::Word(retKinds.front());
        }
        SetSymbol(b, method == 1 ? "RETURN_VAR" : "LST_PRM_NAME", Value::Word("Result"));
        if (method >= 2) {
            b.formals["RETURNVALUE"] = "Result";
        }
    }

    for (int32_t i = 1; i <= n; ++i) {
        const auto& arg = def.Params[static_cast<std::size_t>(i - 1)];
        const std::string num = std::to_string(i);
        r.run(i, arg.ArgName, "PRM_" + num, AcceptedKinds(arg, target), "P" + num);
    }
    if (method > 0) {
        r.run(0, "return", k + "_TYPE", retKinds, method == 1 ? "RETURN_VAR" : "LST_PRM_NAME");
    }
    return r.table;
}

} // namespace vmg::callcheck
