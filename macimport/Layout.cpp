// What an editor may change in a macro's lines without changing their meaning: indentation,
// runs of blanks, trailing blanks and the letter case of the compiler's words.
#include "ImportText.h"

#include <unordered_map>

namespace vmg::macimport::detail {
namespace {

bool isWordChar(char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '_' ||
           c == '#';
}

bool isBlank(char c) {
    return c == ' ' || c == '\t';
}

std::string upper(std::string_view s) {
    std::string out(s);
    for (char& c : out) {
        if (c >= 'a' && c <= 'z') {
            c = static_cast<char>(c - 32);
        }
    }
    return out;
}

// The compiler's words as the generator spells them, keyed in capitals: the directives, the
// macro words, the symbols it gives a macro, the kinds and the move commands of both cores.
const std::unordered_map<std::string, std::string>& compilerWords() {
    static const auto words = [] {
        std::unordered_map<std::string, std::string> m;
        const auto add = [&](const std::string& w) {
            if (!w.empty()) {
                m.emplace(upper(w), w);
            }
        };
        for (const char* w :
             {"#IF", "#ELSE", "#ENDIF", "#ERROR", "MACRO", "ENDM", "GoSub", "GoTo", "RETURNVALUE",
              "PRM_COUNT", "RETURN_TYPE", "RETURN_VAR", "LST_PRM_TYPE", "LST_PRM_NAME"}) {
            add(w);
        }
        for (int i = 1; i <= codegen::kMaxParams + 1; ++i) {
            add("PRM_" + std::to_string(i));
        }
        for (const int32_t target : {1, 2}) {
            for (int32_t code = 0; code < 32; ++code) {
                const auto& t = codegen::SplitTypeDescFor(code, target);
                for (const auto& k : t.kinds) {
                    add(k);
                }
                for (const auto& mv : t.moves) {
                    add(mv);
                }
            }
        }
        return m;
    }();
    return words;
}

} // namespace

namespace {

// The line without its outer blanks, with each run of blanks outside quotes and comments made
// one blank (collapse) and the compiler's words in the generator's spelling (fold).
std::string normalised(std::string_view line, bool collapse, bool fold) {
    const auto& words = compilerWords();
    std::string out;
    out.reserve(line.size());
    std::size_t i = 0;
    while (i < line.size() && isBlank(line[i])) {
        ++i;
    }
    std::size_t end = line.size();
    while (end > i && isBlank(line[end - 1])) {
        --end;
    }
    bool quoted = false;
    while (i < end) {
        const char c = line[i];
        if (quoted || c == '"') {
            out += c;
            quoted = quoted ? c != '"' : true;
            ++i;
        } else if (c == '\'') {
            out.append(line.substr(i, end - i)); // a comment keeps its letters and blanks
            break;
        } else if (isBlank(c) && collapse) {
            out += ' ';
            while (i < end && isBlank(line[i])) {
                ++i;
            }
        } else if (isWordChar(c)) {
            std::size_t j = i;
            while (j < end && isWordChar(line[j])) {
                ++j;
            }
            const std::string_view word = line.substr(i, j - i);
            const auto known = fold ? words.find(upper(word)) : words.end();
            out.append(known != words.end() ? std::string_view(known->second) : word);
            i = j;
        } else {
            out += c;
            ++i;
        }
    }
    return out;
}

std::string_view leading(std::string_view s) {
    std::size_t n = 0;
    while (n < s.size() && isBlank(s[n])) {
        ++n;
    }
    return s.substr(0, n);
}

std::string_view trailing(std::string_view s) {
    std::size_t n = s.size();
    while (n > 0 && isBlank(s[n - 1])) {
        --n;
    }
    return s.substr(n);
}

} // namespace

std::string CanonicalLine(std::string_view line) {
    return normalised(line, true, true);
}

unsigned LayoutDifferences(std::string_view actual, std::string_view expected) {
    unsigned found = 0;
    if (leading(actual) != leading(expected)) {
        found |= kIndentation;
    }
    if (trailing(actual) != trailing(expected)) {
        found |= kTrailingBlanks;
    }
    if (normalised(actual, false, true) != normalised(expected, false, true)) {
        found |= kInnerBlanks;
    }
    if (normalised(actual, true, false) != normalised(expected, true, false)) {
        found |= kLetterCase;
    }
    return found;
}

std::string DescribeLayout(unsigned differences) {
    std::vector<std::string> parts;
    if (differences & kIndentation) {
        parts.emplace_back("indentation");
    }
    if (differences & kInnerBlanks) {
        parts.emplace_back("blanks between words");
    }
    if (differences & kTrailingBlanks) {
        parts.emplace_back("trailing blanks");
    }
    if (differences & kLetterCase) {
        parts.emplace_back("letter case of the compiler's words");
    }
    std::string out;
    for (std::size_t i = 0; i < parts.size(); ++i) {
        out += (i == 0 ? "" : i + 1 == parts.size() ? " and " : ", ") + parts[i];
    }
    return out;
}

} // namespace vmg::macimport::detail
