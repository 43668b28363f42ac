// Walks the tree with a call's symbol values: the first #ERROR that fires, or the expansion.
#include "CallCheck.h"

#include <cctype>

namespace vmg::callcheck {
namespace {

bool sameWord(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) {
        return false;
    }
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (std::toupper(static_cast<unsigned char>(a[i])) !=
            std::toupper(static_cast<unsigned char>(b[i]))) {
            return false;
        }
    }
    return true;
}

bool isNameChar(char ch) {
    return std::isalnum(static_cast<unsigned char>(ch)) || ch == '_';
}

enum class Truth { False, True, Unknown };

class Walker {
public:
    Walker(const MacroText& macro, const Bindings& bindings, bool countOnly)
        : m_macro(macro), m_bindings(bindings), m_countOnly(countOnly) {
        // Each symbol is looked up once per walk, not once per comparison.
        m_values.reserve(macro.symbolNames.size());
        for (const auto& name : macro.symbolNames) {
            const auto it = bindings.symbols.find(name);
            m_values.push_back(it == bindings.symbols.end() ? nullptr : &it->second);
            m_countSymbol.push_back(name == "PRM_COUNT");
        }
    }

    Outcome run() {
        walk(m_macro.body, nullptr);
        return std::move(m_outcome);
    }

private:
    const Value* valueOf(const Operand& o) {
        if (o.symbol >= 0 && static_cast<std::size_t>(o.symbol) < m_values.size()) {
            return m_values[static_cast<std::size_t>(o.symbol)];
        }
        const auto it = m_bindings.symbols.find(o.text);
        return it == m_bindings.symbols.end() ? nullptr : &it->second;
    }

    Truth compare(const Expr& e) {
        Value left, right;
        for (auto [operand, into] : {std::pair{&e.lhs, &left}, std::pair{&e.rhs, &right}}) {
            if (operand->kind == Operand::Kind::Symbol) {
                const Value* v = valueOf(*operand);
                if (!v) {
                    return unknown(operand->text + " has no value");
                }
                *into = *v;
            } else if (operand->kind == Operand::Kind::Number) {
                *into = Value::Number(operand->number);
            } else {
                *into = Value::Word(operand->text);
            }
        }
        if (left.number && right.number) {
            const std::int64_t a = *left.number, b = *right.number;
            switch (e.op) {
            case CmpOp::Eq:
                return a == b ? Truth::True : Truth::False;
            case CmpOp::Ne:
                return a != b ? Truth::True : Truth::False;
            case CmpOp::Lt:
                return a < b ? Truth::True : Truth::False;
            case CmpOp::Gt:
                return a > b ? Truth::True : Truth::False;
            case CmpOp::Le:
                return a <= b ? Truth::True : Truth::False;
            case CmpOp::Ge:
                return a >= b ? Truth::True : Truth::False;
            }
        }
        if (e.op != CmpOp::Eq && e.op != CmpOp::Ne) {
            return unknown("a kind has no order: " + left.ToString() + " and " + right.ToString());
        }
        const bool same = !left.number && !right.number && sameWord(left.word, right.word);
        return (e.op == CmpOp::Eq) == same ? Truth::True : Truth::False;
    }

    Truth unknown(std::string why) {
        if (m_why.empty()) {
            m_why = std::move(why);
        }
        return Truth::Unknown;
    }

    // Three-valued: a false term decides an && whatever the others, a true one an ||.
    Truth eval(const Expr& e) {
        if (e.kind == Expr::Kind::Compare) {
            return compare(e);
        }
        const Truth decides = e.kind == Expr::Kind::And ? Truth::False : Truth::True;
        bool open = false;
        for (const Expr& part : e.parts) {
            const Truth t = eval(part);
            if (t == decides) {
                return decides;
            }
            open = open || t == Truth::Unknown;
        }
        if (open) {
            return Truth::Unknown;
        }
        return decides == Truth::False ? Truth::True : Truth::False;
    }

    bool readsOnlyCount(const Expr& e) const {
        if (e.kind != Expr::Kind::Compare) {
            for (const Expr& part : e.parts) {
                if (!readsOnlyCount(part)) {
                    return false;
                }
            }
            return true;
        }
        for (const Operand* o : {&e.lhs, &e.rhs}) {
            if (o->kind == Operand::Kind::Symbol &&
                (o->symbol < 0 || !m_countSymbol[static_cast<std::size_t>(o->symbol)])) {
                return false;
            }
        }
        return true;
    }

    // False when the walk has stopped (an #ERROR fired or a condition was undecided).
    bool walk(const std::vector<Node>& block, const Node* innermost) {
        for (const Node& node : block) {
            if (!visit(node, innermost)) {
                return false;
            }
        }
        return true;
    }

    bool visit(const Node& node, const Node* innermost) {
        switch (node.kind) {
        case Node::Kind::Statement:
            if (!m_countOnly) {
                m_outcome.lines.push_back({node.line, substitute(node.text), node.text});
            }
            return true;
        case Node::Kind::Error:
            m_outcome.kind = Outcome::Kind::ErrorFired;
            m_outcome.line = node.line;
            m_outcome.text = node.text;
            if (innermost && innermost->condition) {
                m_outcome.owners = SymbolsOf(*innermost->condition);
            }
            m_outcome.lines.clear();
            return false;
        case Node::Kind::If:
            break;
        }
        if (!node.condition) {
            return stopUndecided(node.line, "its condition cannot be read");
        }
        if (m_countOnly && !readsOnlyCount(*node.condition)) {
            return true; // not a count check
        }
        m_why.clear();
        const Truth t = eval(*node.condition);
        if (t == Truth::Unknown) {
            return stopUndecided(node.line, m_why);
        }
        return walk(t == Truth::True ? node.then : node.otherwise, &node);
    }

    bool stopUndecided(int line, std::string why) {
        m_outcome.kind = Outcome::Kind::Undecided;
        m_outcome.line = line;
        m_outcome.text = std::move(why);
        m_outcome.lines.clear();
        return false;
    }

    // Formals and the return symbols become the call's text; quoted text stays as it is.
    std::string substitute(const std::string& text) const {
        if (m_bindings.formals.empty()) {
            return text;
        }
        std::string out;
        out.reserve(text.size() + 16);
        bool quoted = false;
        for (std::size_t i = 0; i < text.size();) {
            const char ch = text[i];
            if (ch == '"') {
                quoted = !quoted;
            }
            if (quoted || !isNameChar(ch)) {
                out += ch;
                ++i;
                continue;
            }
            std::size_t end = i;
            while (end < text.size() && isNameChar(text[end])) {
                ++end;
            }
            const std::string word = Upper(std::string_view(text).substr(i, end - i));
            const auto it = m_bindings.formals.find(word);
            out.append(it == m_bindings.formals.end() ? text.substr(i, end - i) : it->second);
            i = end;
        }
        return out;
    }

    const MacroText& m_macro;
    const Bindings& m_bindings;
    bool m_countOnly;
    std::vector<const Value*> m_values;
    std::vector<bool> m_countSymbol;
    std::string m_why;
    Outcome m_outcome;
};

} // namespace

Outcome Evaluate(const MacroText& macro, const Bindings& bindings) {
    return Walker(macro, bindings, false).run();
}

void SetSymbol(Bindings& bindings, const std::string& name, const Value& value) {
    const std::string key = Upper(name);
    bindings.symbols[key] = value;
    if (key == "RETURN_VAR" || key == "LST_PRM_NAME") {
        bindings.formals[key] = value.ToString();
    }
}

std::vector<int> PassingCounts(const MacroText& macro) {
    std::vector<int> counts;
    const int top = static_cast<int>(macro.formals.size()) + 2;
    for (int c = 0; c <= top; ++c) {
        Bindings b;
        b.symbols["PRM_COUNT"] = Value::Number(c);
        if (Walker(macro, b, true).run().kind == Outcome::Kind::Expansion) {
            counts.push_back(c);
        }
    }
    return counts;
}

std::string DescribeCounts(const std::vector<int>& counts) {
    if (counts.empty()) {
        return "no argument count passes the count checks";
    }
    std::string out;
    for (std::size_t i = 0; i < counts.size();) {
        std::size_t j = i;
        while (j + 1 < counts.size() && counts[j + 1] == counts[j] + 1) {
            ++j;
        }
        if (!out.empty()) {
            out += ", ";
        }
        out += std::to_string(counts[i]);
        if (j > i) {
            out += "-" + std::to_string(counts[j]);
        }
        i = j + 1;
    }
    return out;
}

} // namespace vmg::callcheck
