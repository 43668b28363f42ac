// The expressions of #IF lines: terms (SYMBOL op VALUE) joined by && and ||, and their reading.
#include "CallCheck.h"
#include "Text.h"

#include <algorithm>
#include <cctype>

namespace vmg::callcheck {

std::string Upper(std::string_view text) {
    std::string out(text);
    for (char& ch : out) {
        if (ch >= 'a' && ch <= 'z') {
            ch = static_cast<char>(ch - 32);
        }
    }
    return out;
}

std::string Value::ToString() const {
    return number ? std::to_string(*number) : word;
}

const std::vector<std::string>& AllKinds() {
    // Every keyword of the 16-bit variant (a superset of the 14-bit one), in code order.
    static const std::vector<std::string> kinds = [] {
        std::vector<std::string> out;
        for (int32_t code = 0; code <= 30; ++code) {
            for (const auto& kind : codegen::SplitTypeDescFor(code, 2).kinds) {
                if (!kind.empty() && std::find(out.begin(), out.end(), kind) == out.end()) {
                    out.push_back(kind);
                }
            }
        }
        return out;
    }();
    return kinds;
}

bool IsKindKeyword(std::string_view word) {
    const std::string upper = Upper(word);
    const auto& kinds = AllKinds();
    return std::find(kinds.begin(), kinds.end(), upper) != kinds.end();
}

namespace {

using detail::isNameChar;
using detail::isNameStart;

// Deep enough for any hand-written condition, shallow enough for any stack.
constexpr int kMaxDepth = 64;

// A number as the compiler's sources write it: decimal, $hex or 0x hex.
std::optional<std::int64_t> readNumber(std::string_view text) {
    int base = 10;
    if (text.starts_with("$")) {
        base = 16;
        text.remove_prefix(1);
    } else if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
        base = 16;
        text.remove_prefix(2);
    }
    if (text.empty() || text.size() > 15) {
        return std::nullopt;
    }
    std::int64_t value = 0;
    for (const char ch : text) {
        const int digit = std::isdigit(static_cast<unsigned char>(ch)) ? ch - '0'
                          : base == 16 && std::isxdigit(static_cast<unsigned char>(ch))
                              ? std::toupper(static_cast<unsigned char>(ch)) - 'A' + 10
                              : -1;
        if (digit < 0) {
            return std::nullopt;
        }
        value = value * base + digit;
    }
    return value;
}

class Parser {
public:
    explicit Parser(std::string_view text) : m_text(text) {}

    std::optional<Expr> parse(std::string* whyNot) {
        skipBlanks();
        if (m_pos == m_text.size()) {
            return fail(whyNot, "no condition");
        }
        auto expr = parseOr(0);
        skipBlanks();
        if (expr && m_pos != m_text.size()) {
            m_why = "unexpected \"" + std::string(m_text.substr(m_pos, 12)) + "\"";
            expr.reset();
        }
        if (!expr && whyNot) {
            *whyNot = m_why;
        }
        return expr;
    }

private:
    std::optional<Expr> fail(std::string* whyNot, std::string why) {
        if (whyNot) {
            *whyNot = std::move(why);
        }
        return std::nullopt;
    }
    std::optional<Expr> error(std::string why) {
        if (m_why.empty()) {
            m_why = std::move(why);
        }
        return std::nullopt;
    }

    void skipBlanks() {
        while (m_pos < m_text.size() && (m_text[m_pos] == ' ' || m_text[m_pos] == '\t')) {
            ++m_pos;
        }
    }
    bool take(std::string_view token) {
        skipBlanks();
        if (m_text.substr(m_pos).starts_with(token)) {
            m_pos += token.size();
            return true;
        }
        return false;
    }

    std::optional<Expr> parseJoined(int depth, Expr::Kind kind) {
        const std::string_view joiner = kind == Expr::Kind::Or ? "||" : "&&";
        auto first =
            kind == Expr::Kind::Or ? parseJoined(depth, Expr::Kind::And) : parseUnary(depth);
        if (!first) {
            return std::nullopt;
        }
        Expr joined;
        joined.kind = kind;
        joined.parts.push_back(std::move(*first));
        while (take(joiner)) {
            auto next =
                kind == Expr::Kind::Or ? parseJoined(depth, Expr::Kind::And) : parseUnary(depth);
            if (!next) {
                return std::nullopt;
            }
            joined.parts.push_back(std::move(*next));
        }
        if (joined.parts.size() == 1) {
            return std::move(joined.parts.front());
        }
        return joined;
    }
    std::optional<Expr> parseOr(int depth) { return parseJoined(depth, Expr::Kind::Or); }

    std::optional<Expr> parseUnary(int depth) {
        if (depth >= kMaxDepth) {
            return error("too deeply nested");
        }
        if (take("(")) {
            auto inner = parseOr(depth + 1);
            if (!inner) {
                return std::nullopt;
            }
            if (!take(")")) {
                return error("a \")\" is missing");
            }
            return inner;
        }
        return parseCompare();
    }

    std::optional<Expr> parseCompare() {
        Expr cmp;
        if (!parseOperand(cmp.lhs)) {
            return std::nullopt;
        }
        static constexpr std::pair<std::string_view, CmpOp> ops[] = {
            {"==", CmpOp::Eq}, {"!=", CmpOp::Ne}, {"<=", CmpOp::Le}, {">=", CmpOp::Ge},
            {"<>", CmpOp::Ne}, {"<", CmpOp::Lt},  {">", CmpOp::Gt},  {"=", CmpOp::Eq}};
        bool found = false;
        for (const auto& [token, op] : ops) {
            if (take(token)) {
                cmp.op = op;
                found = true;
                break;
            }
        }
        if (!found) {
            return error("a comparison operator is missing");
        }
        if (!parseOperand(cmp.rhs)) {
            return std::nullopt;
        }
        return cmp;
    }

    bool parseOperand(Operand& out) {
        skipBlanks();
        const std::size_t start = m_pos;
        if (m_pos < m_text.size() && isNameStart(m_text[m_pos])) {
            while (m_pos < m_text.size() && isNameChar(m_text[m_pos])) {
                ++m_pos;
            }
            const std::string_view word = m_text.substr(start, m_pos - start);
            out.text = Upper(word);
            out.kind = IsKindKeyword(word) ? Operand::Kind::Word : Operand::Kind::Symbol;
            return true;
        }
        if (m_pos < m_text.size() && m_text[m_pos] == '-') {
            ++m_pos;
        }
        while (m_pos < m_text.size() && (isNameChar(m_text[m_pos]) || m_text[m_pos] == '$')) {
            ++m_pos;
        }
        std::string_view digits = m_text.substr(start, m_pos - start);
        const bool negative = digits.starts_with("-");
        if (negative) {
            digits.remove_prefix(1);
        }
        const auto number = readNumber(digits);
        if (!number) {
            error(start < m_text.size()
                      ? "\"" + std::string(m_text.substr(start, 12)) + "\" is no symbol or value"
                      : "a value is missing");
            return false;
        }
        out.kind = Operand::Kind::Number;
        out.number = negative ? -*number : *number;
        return true;
    }

    std::string_view m_text;
    std::size_t m_pos = 0;
    std::string m_why;
};

void collectSymbols(const Expr& expr, std::vector<std::string>& out) {
    if (expr.kind == Expr::Kind::Compare) {
        for (const Operand* o : {&expr.lhs, &expr.rhs}) {
            if (o->kind == Operand::Kind::Symbol &&
                std::find(out.begin(), out.end(), o->text) == out.end()) {
                out.push_back(o->text);
            }
        }
        return;
    }
    for (const Expr& part : expr.parts) {
        collectSymbols(part, out);
    }
}

} // namespace

std::optional<Expr> ParseExpr(std::string_view text, std::string* whyNot) {
    return Parser(text).parse(whyNot);
}

std::vector<std::string> SymbolsOf(const Expr& expr) {
    std::vector<std::string> out;
    collectSymbols(expr, out);
    return out;
}

std::optional<std::pair<std::string, Value>> ParseAssignment(std::string_view text) {
    const auto eq = text.find('=');
    if (eq == std::string_view::npos || eq == 0) {
        return std::nullopt;
    }
    const std::string_view name = text.substr(0, eq);
    if (!isNameStart(name.front()) || !std::all_of(name.begin(), name.end(), isNameChar)) {
        return std::nullopt;
    }
    std::string_view value = text.substr(eq + 1);
    if (value.empty()) {
        return std::nullopt;
    }
    const bool negative = value.starts_with("-");
    if (const auto n = readNumber(negative ? value.substr(1) : value)) {
        return std::pair{Upper(name), Value::Number(negative ? -*n : *n)};
    }
    // A kind keyword is kept in capitals; any other word (a variable's name) as written.
    return std::pair{Upper(name),
                     Value::Word(IsKindKeyword(value) ? Upper(value) : std::string(value))};
}

} // namespace vmg::callcheck
