// Reads a macro text into its tree (header, #IF blocks, #ERROR and statement lines) and lints it.
#include "CallCheck.h"
#include "Text.h"

#include <algorithm>
#include <cctype>

namespace vmg::callcheck {
namespace {

using detail::isNameChar;
using detail::trim;

// The line starts with the word (any letter case) and no name character follows it.
bool startsWithWord(std::string_view line, std::string_view word) {
    if (line.size() < word.size() || Upper(line.substr(0, word.size())) != word) {
        return false;
    }
    return line.size() == word.size() || !isNameChar(line[word.size()]);
}

// "Name MACRO formals": the name and the formals' text, when the line is a header.
std::optional<std::pair<std::string_view, std::string_view>> headerParts(std::string_view t) {
    const auto blank = t.find_first_of(" \t");
    if (blank == std::string_view::npos) {
        return std::nullopt;
    }
    const std::string_view rest = trim(t.substr(blank));
    if (!startsWithWord(rest, "MACRO")) {
        return std::nullopt;
    }
    return std::pair{t.substr(0, blank), rest.substr(5)};
}

// "P" and digits: the formal's number, else 0.
int formalNumber(std::string_view word) {
    if (word.size() < 2 || word.size() > 4 || (word[0] != 'P' && word[0] != 'p')) {
        return 0;
    }
    int n = 0;
    for (const char ch : word.substr(1)) {
        if (!std::isdigit(static_cast<unsigned char>(ch))) {
            return 0;
        }
        n = n * 10 + (ch - '0');
    }
    return n;
}

struct Frame {
    Node* node;
    bool inElse = false;
};

class Reader {
public:
    MacroText read(std::string_view text) {
        const auto lines = codegen::SplitLines(text, false);
        m_out.lineCount = static_cast<int>(lines.size());
        const int header = findHeader(lines);
        for (std::size_t i = 0; i < lines.size(); ++i) {
            const int number = static_cast<int>(i) + 1;
            const std::string_view t = trim(lines[i]);
            if (t.empty() || t.front() == '\'') {
                continue;
            }
            if (number < header) {
                add(number, Severity::Error, "text before the MACRO header");
            } else if (number == header) {
                readHeader(t, number);
            } else if (m_endm > 0) {
                afterEndm(t, number);
            } else {
                bodyLine(t, number);
            }
        }
        finish();
        return std::move(m_out);
    }

private:
    void add(int line, Severity severity, std::string text) {
        m_out.findings.push_back({line, severity, std::move(text)});
    }

    int findHeader(const std::vector<std::string_view>& lines) {
        for (std::size_t i = 0; i < lines.size(); ++i) {
            const std::string_view t = trim(lines[i]);
            if (!t.empty() && t.front() != '\'' && headerParts(t)) {
                return static_cast<int>(i) + 1;
            }
        }
        return 0;
    }

    void readHeader(std::string_view t, int number) {
        const auto [name, formals] = *headerParts(t);
        m_out.name = std::string(name);
        m_out.headerLine = number;
        std::string_view rest = formals;
        while (!trim(rest).empty()) {
            const auto comma = rest.find(',');
            const std::string_view formal = trim(rest.substr(0, comma));
            rest = comma == std::string_view::npos ? std::string_view() : rest.substr(comma + 1);
            if (formal.empty()) {
                continue;
            }
            if (m_out.hasReturnValue) {
                add(number, Severity::Error, "a formal after RETURNVALUE");
            }
            if (Upper(formal) == "RETURNVALUE") {
                m_out.hasReturnValue = true;
            } else if (formalNumber(formal) == m_out.paramFormals + 1) {
                ++m_out.paramFormals;
            } else {
                add(number, Severity::Error,
                    "formal \"" + std::string(formal) + "\" where P" +
                        std::to_string(m_out.paramFormals + 1) + " belongs");
            }
            m_out.formals.emplace_back(formal);
        }
    }

    std::vector<Node>& block() {
        if (m_open.empty()) {
            return m_out.body;
        }
        Frame& top = m_open.back();
        return top.inElse ? top.node->otherwise : top.node->then;
    }

    void bodyLine(std::string_view t, int number) {
        if (startsWithWord(t, "#IF")) {
            readIf(t.substr(3), number);
        } else if (startsWithWord(t, "#ELSE")) {
            if (m_open.empty()) {
                add(number, Severity::Error, "#ELSE without #IF");
            } else if (m_open.back().inElse) {
                add(number, Severity::Error,
                    "a second #ELSE in the #IF block of line " +
                        std::to_string(m_open.back().node->line));
            } else {
                m_open.back().inElse = true;
            }
        } else if (startsWithWord(t, "#ENDIF")) {
            if (m_open.empty()) {
                add(number, Severity::Error, "#ENDIF without #IF");
            } else {
                m_open.pop_back();
            }
        } else if (startsWithWord(t, "#ERROR")) {
            readError(trim(t.substr(6)), number);
        } else if (startsWithWord(t, "ENDM")) {
            closeOpenBlocks("before ENDM");
            m_endm = number;
        } else {
            if (t.front() == '#') {
                add(number, Severity::Warning, "a directive this check does not know");
            }
            readStatement(t, number);
        }
    }

    void readIf(std::string_view rest, int number) {
        Node node;
        node.kind = Node::Kind::If;
        node.line = number;
        std::string why;
        node.condition = ParseExpr(rest, &why);
        if (!node.condition) {
            add(number, Severity::Error, "the #IF condition cannot be read: " + why);
        } else {
            internSymbols(*node.condition, number);
        }
        auto& into = block();
        into.push_back(std::move(node));
        m_open.push_back({&into.back()});
    }

    void readError(std::string_view rest, int number) {
        Node node;
        node.kind = Node::Kind::Error;
        node.line = number;
        if (rest.starts_with("\"")) {
            const auto close = rest.find('"', 1);
            if (close == std::string_view::npos) {
                add(number, Severity::Error, "#ERROR without its closing quote");
                node.text = std::string(rest.substr(1));
            } else {
                node.text = std::string(rest.substr(1, close - 1));
            }
        } else {
            add(number, Severity::Error, "#ERROR without its quoted text");
            node.text = std::string(rest);
        }
        block().push_back(std::move(node));
    }

    void readStatement(std::string_view t, int number) {
        lintFormals(t, number);
        block().push_back({Node::Kind::Statement, number, std::string(t), std::nullopt, {}, {}});
    }

    // A move line whose command is empty starts with its formal; a formal beyond the header's
    // is a call of nothing.
    void lintFormals(std::string_view t, int number) {
        bool quoted = false;
        bool first = true;
        for (std::size_t i = 0; i < t.size();) {
            if (t[i] == '"') {
                quoted = !quoted;
                ++i;
                continue;
            }
            if (quoted || !isNameChar(t[i])) {
                ++i;
                continue;
            }
            std::size_t end = i;
            while (end < t.size() && isNameChar(t[end])) {
                ++end;
            }
            const std::string_view word = t.substr(i, end - i);
            const int formal = formalNumber(word);
            const bool returnValue = Upper(word) == "RETURNVALUE";
            if (first && (formal > 0 || returnValue) && trim(t.substr(end)).starts_with(",")) {
                add(number, Severity::Warning, "a move line with no command");
            }
            if (m_out.headerLine > 0 &&
                (formal > m_out.paramFormals || (returnValue && !m_out.hasReturnValue))) {
                add(number, Severity::Error,
                    std::string(word) + " is used, but the header has no such formal");
            }
            first = false;
            i = end;
        }
    }

    bool knownSymbol(const std::string& s) const {
        if (s == "PRM_COUNT" || s == "RETURN_TYPE" || s == "LST_PRM_TYPE" || s == "RETURN_VAR" ||
            s == "LST_PRM_NAME") {
            return true;
        }
        if (s.starts_with("PRM_") && s.size() > 4 &&
            std::all_of(s.begin() + 4, s.end(), [](char c) { return c >= '0' && c <= '9'; })) {
            return true;
        }
        const std::string name = Upper(m_out.name);
        for (const std::string_view suffix : {"_RETURN", "_LST_PRM"}) {
            if (s.ends_with(suffix) && (name.empty() || s.size() == name.size() + suffix.size()) &&
                (name.empty() || s.starts_with(name))) {
                return true;
            }
        }
        return false;
    }

    void internSymbols(Expr& expr, int number) {
        if (expr.kind != Expr::Kind::Compare) {
            for (Expr& part : expr.parts) {
                internSymbols(part, number);
            }
            return;
        }
        for (Operand* o : {&expr.lhs, &expr.rhs}) {
            if (o->kind != Operand::Kind::Symbol) {
                continue;
            }
            auto& names = m_out.symbolNames;
            const auto at = std::find(names.begin(), names.end(), o->text);
            o->symbol = static_cast<int>(at - names.begin());
            if (at == names.end()) {
                names.push_back(o->text);
                m_known.push_back(knownSymbol(o->text));
            }
            if (!m_known[static_cast<std::size_t>(o->symbol)]) {
                add(number, Severity::Error, "unknown symbol " + o->text);
            }
        }
    }

    void afterEndm(std::string_view t, int number) {
        if (startsWithWord(t, "ENDM")) {
            add(number, Severity::Error,
                "a second ENDM (the first is on line " + std::to_string(m_endm) + ")");
        } else if (!m_afterReported) {
            add(number, Severity::Error, "text after ENDM");
            m_afterReported = true;
        }
    }

    void closeOpenBlocks(const std::string& where) {
        for (const Frame& f : m_open) {
            add(f.node->line, Severity::Error, "#IF left open " + where);
        }
        m_open.clear();
    }

    void finish() {
        if (m_out.headerLine == 0) {
            add(0, Severity::Error, "no MACRO header");
        }
        closeOpenBlocks(m_endm > 0 ? "before ENDM" : "at the end of the text");
        if (m_endm == 0) {
            add(0, Severity::Error, "no ENDM");
        }
        // Line order, findings about the whole text last.
        std::stable_sort(m_out.findings.begin(), m_out.findings.end(),
                         [](const Finding& a, const Finding& b) {
                             const auto key = [](int line) { return line == 0 ? INT32_MAX : line; };
                             return key(a.line) < key(b.line);
                         });
    }

    MacroText m_out;
    std::vector<Frame> m_open;
    std::vector<bool> m_known;
    int m_endm = 0;
    bool m_afterReported = false;
};

} // namespace

MacroText ReadMacro(std::string_view text) {
    return Reader().read(text);
}

bool HasErrors(const std::vector<Finding>& findings) {
    return std::any_of(findings.begin(), findings.end(),
                       [](const Finding& f) { return f.severity == Severity::Error; });
}

} // namespace vmg::callcheck
