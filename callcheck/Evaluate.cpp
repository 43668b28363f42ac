// Walks the tree with a call's symbol values: the first #ERROR that fires, or the expansion.
#include "CallCheck.h"
#include "Text.h"

#include <cctype>

namespace vmg::callcheck {
namespace {

using detail::isNameChar;

char upper(char ch) {
    return ch >= 'a' && ch <= 'z' ? static_cast<char>(ch - 32) : ch;
}

bool sameWord(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) {
        return false;
    }
    if (a == b) {
        return true;
    }
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (upper(a[i]) != upper(b[i])) {
            return false;
        }
    }
    return true;
}

enum class Truth { False, True, Unknown };

class Walker {
public:
    Walker(const MacroText& macro, const Bindings& bindings, bool countOnly, bool withText)
        : m_macro(macro), m_bindings(bindings), m_countOnly(countOnly), m_withText(withText) {
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

    // An operand's value as a view: no value is copied in the innermost loop.
    struct View {
        bool known = false;
        std::optional<std::int64_t> number;
        std::string_view word;
    };
    View viewOf(const Operand& o) {
        if (o.kind == Operand::Kind::Number) {
            return {true, o.number, {}};
        }
        if (o.kind == Operand::Kind::Word) {
            return {true, std::nullopt, o.text};
        }
        const Value* v = valueOf(o);
        return v ? View{true, v->number, v->word} : View{};
    }

    Truth compare(const Expr& e) {
        const View left = viewOf(e.lhs), right = viewOf(e.rhs);
        if (!left.known || !right.known) {
            return unknown((left.known ? e.rhs : e.lhs).text + " has no value");
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
        const auto text = [](const View& v) {
            return v.number ? std::to_string(*v.number) : std::string(v.word);
        };
        if (e.op != CmpOp::Eq && e.op != CmpOp::Ne) {
            return unknown("a kind has no order: " + text(left) + " and " + text(right));
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
                m_outcome.lines.push_back(
                    {node.line, m_withText ? substitute(node.text) : std::string(), node.text});
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
    bool m_withText;
    std::vector<const Value*> m_values;
    std::vector<bool> m_countSymbol;
    std::string m_why;
    Outcome m_outcome;
};

} // namespace

Outcome Evaluate(const MacroText& macro, const Bindings& bindings, bool withText) {
    return Walker(macro, bindings, false, withText).run();
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
        if (Walker(macro, b, true, false).run().kind == Outcome::Kind::Expansion) {
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
