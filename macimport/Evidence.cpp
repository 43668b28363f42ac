// Reading a macro's lines, each by its own shape, into what they show of the definition. The
// lines are not checked here against each other: the generator's text of the result is.
#include "ImportText.h"

#include <algorithm>
#include <array>
#include <charconv>

namespace vmg::macimport::detail {
namespace {

bool eat(std::string_view& text, std::string_view prefix) {
    if (!text.starts_with(prefix)) {
        return false;
    }
    text.remove_prefix(prefix.size());
    return true;
}

// A decimal number of at most six digits at the start of the text.
std::optional<int32_t> eatNumber(std::string_view& text) {
    std::size_t digits = 0;
    while (digits < text.size() && digits < 6 && text[digits] >= '0' && text[digits] <= '9') {
        ++digits;
    }
    int32_t value = 0;
    if (digits == 0 ||
        std::from_chars(text.data(), text.data() + digits, value).ec != std::errc()) {
        return std::nullopt;
    }
    text.remove_prefix(digits);
    return value;
}

// The entries of "(LEAD E1) && (LEAD E2)..." after `first`, each entry running to its ")".
std::optional<std::vector<std::string>> entries(std::string_view text, std::string_view first,
                                                std::string_view lead) {
    if (!eat(text, first)) {
        return std::nullopt;
    }
    std::vector<std::string> out;
    for (;;) {
        if (!eat(text, lead)) {
            return std::nullopt;
        }
        const std::size_t close = text.find(')');
        if (close == std::string_view::npos) {
            return std::nullopt;
        }
        out.emplace_back(text.substr(0, close));
        text.remove_prefix(close + 1);
        if (text.empty()) {
            return out;
        }
        if (!eat(text, " && (")) {
            return std::nullopt;
        }
    }
}

// The P formals of the header, and whether it ends in RETURNVALUE.
void readHeader(std::string_view line, Evidence& e) {
    const std::size_t macro = line.find(' ');
    std::string_view rest =
        macro == std::string_view::npos ? std::string_view() : line.substr(macro);
    e.ReturnValue = rest.ends_with(" RETURNVALUE");
    while (!rest.empty()) {
        const std::size_t p = rest.find(" P");
        if (p == std::string_view::npos) {
            break;
        }
        rest.remove_prefix(p + 2);
        if (eatNumber(rest)) {
            ++e.Count;
        }
    }
    e.Count = std::min(e.Count, codegen::kMaxParams);
    e.Params.resize(static_cast<std::size_t>(e.Count));
}

// The return part's lines for one return word (RETURN or LST_PRM), formed once per macro.
struct ReturnShapes {
    std::string Word;
    std::string Absent, Present; // the presence tests of a mandatory and an optional return
    std::string TypeLead;        // "WORD_TYPE !=" of the kind test's entries
    std::string MoveTest;        // "#IF (WORD_TYPE == "
    ReturnShapes(std::string_view word, std::string_view name)
        : Word(word), Absent("#IF (" + std::string(name) + "_" + Word + " != 1)"),
          Present("#IF (" + std::string(name) + "_" + Word + " == 1)"), TypeLead(Word + "_TYPE !="),
          MoveTest("#IF (" + Word + "_TYPE == ") {}
};

struct Reader {
    Evidence& e;
    std::string errorPrefix;
    std::array<ReturnShapes, 2> shapes{ReturnShapes("RETURN", e.Name),
                                       ReturnShapes("LST_PRM", e.Name)};
    int pendingMove = 0;        // the parameter whose move line comes next
    bool pendingReturn = false; // the return value's move line comes next

    Evidence::Param* param(std::optional<int32_t> i) {
        return i && *i >= 1 && *i <= e.Count ? &e.Params[static_cast<std::size_t>(*i - 1)]
                                             : nullptr;
    }

    void line(std::string_view t) {
        const int move = pendingMove;
        const bool returnMove = pendingReturn;
        pendingMove = 0;
        pendingReturn = false;
        if ((move > 0 && moveLine(t, move)) || (returnMove && returnMoveLine(t))) {
            return;
        }
        if (t.starts_with("#IF (PRM_") && condition(t.substr(9))) {
            return;
        }
        if (t.starts_with("#IF(PRM_")) {
            kindTest(t);
        } else if (t.starts_with(errorPrefix) && t.ends_with('"')) {
            error(t.substr(errorPrefix.size(), t.size() - errorPrefix.size() - 1));
        } else if (t == "'Place your code here.....") {
            e.Skeleton = true;
        } else if ((t.starts_with("GoSub ") || t.starts_with("GoTo ")) && !e.GoSub) {
            e.GoSub = t.starts_with("GoSub ");
            e.SubName = std::string(t.substr(*e.GoSub ? 6 : 5));
        } else {
            returnLine(t);
        }
    }

    // "#IF (PRM_COUNT ..." and "#IF (PRM_i == KIND)"; false for anything else (a macro
    // called PRM has "#IF (PRM_RETURN != 1)").
    bool condition(std::string_view t) {
        if (eat(t, "COUNT ")) {
            const bool upper = eat(t, "> ");
            if (upper || eat(t, "< ")) {
                if (const auto bound = eatNumber(t); bound && t == ")") {
                    (upper ? e.Upper : e.Lower) = bound;
                }
            } else if (t == "== 0)") {
                e.NoParamsBranch = true;
            }
            return true;
        }
        const auto i = eatNumber(t);
        if (param(i) != nullptr && t.starts_with(" == ") && t.ends_with(')')) {
            pendingMove = *i;
            return true;
        }
        return false;
    }

    void kindTest(std::string_view t) {
        std::string_view digits = t.substr(8);
        const auto i = eatNumber(digits);
        Evidence::Param* p = param(i);
        if (p == nullptr || !p->Kinds.empty()) {
            return;
        }
        const std::string lead = "PRM_" + std::to_string(*i) + " != ";
        if (auto kinds = entries(t, "#IF(", lead)) {
            p->Kinds = std::move(*kinds);
        }
    }

    // "NAME - ARG(Parami) Should be TEXT"; the count and return messages carry nothing.
    void error(std::string_view body) {
        for (std::size_t at = body.find("(Param"); at != std::string_view::npos;
             at = body.find("(Param", at + 1)) {
            std::string_view rest = body.substr(at + 6);
            Evidence::Param* p = param(eatNumber(rest));
            if (p != nullptr && eat(rest, ") Should be ")) {
                if (!p->ArgName) {
                    p->ArgName = std::string(body.substr(0, at));
                    p->Text = std::string(rest);
                }
                return;
            }
        }
    }

    // "MOVE Pi, DEST": the move may be empty (the Label type's NA entries).
    bool moveLine(std::string_view t, int i) {
        const std::string formal = " P" + std::to_string(i) + ", ";
        const std::size_t at = t.find(formal);
        if (at == std::string_view::npos || t.substr(0, at).find(' ') != std::string_view::npos) {
            return false;
        }
        e.Params[static_cast<std::size_t>(i - 1)].Dests.emplace_back(t.substr(at + formal.size()));
        return true;
    }

    // The presence test, the return kind test and the return move conditions.
    void returnLine(std::string_view t) {
        for (const ReturnShapes& r : shapes) {
            if (!e.ReturnWord && (t == r.Absent || t == r.Present)) {
                e.ReturnWord = r.Word;
                e.ReturnOptional = t == r.Present;
                return;
            }
            if (e.ReturnKinds.empty()) {
                if (auto kinds = entries(t, "#IF(", r.TypeLead)) {
                    e.ReturnKinds = std::move(*kinds);
                    return;
                }
            }
            if (t.starts_with(r.MoveTest) && t.ends_with(')')) {
                pendingReturn = true;
                return;
            }
        }
    }

    // "MOVE DEST, K S", K and S from the presence test's word.
    bool returnMoveLine(std::string_view t) {
        if (!e.ReturnWord) {
            return false;
        }
        const std::string tail =
            ", " + *e.ReturnWord + (*e.ReturnWord == "RETURN" ? "_VAR" : "_NAME");
        const std::size_t blank = t.find(' ');
        if (blank == std::string_view::npos || !t.ends_with(tail) ||
            blank + 1 + tail.size() > t.size()) {
            return false;
        }
        e.ReturnDests.emplace_back(t.substr(blank + 1, t.size() - tail.size() - blank - 1));
        return true;
    }
};

} // namespace

std::optional<std::string> MostNamed(const std::vector<std::string>& dests) {
    std::optional<std::string> best;
    std::ptrdiff_t most = 0;
    for (const std::string& d : dests) {
        const std::ptrdiff_t count = std::count(dests.begin(), dests.end(), d);
        if (count > most) {
            most = count;
            best = d;
        }
    }
    return best;
}

Evidence ReadEvidence(const std::vector<std::string_view>& block, std::string_view name,
                      std::vector<std::string> description) {
    Evidence e;
    e.Description = std::move(description);
    e.Name = std::string(name);
    if (block.empty()) {
        return e;
    }
    readHeader(block.front(), e);
    Reader r{e, "#ERROR \"" + e.Name + " - "};
    for (std::size_t i = 1; i < block.size(); ++i) {
        r.line(StripTabs(block[i]));
    }
    return e;
}

} // namespace vmg::macimport::detail
