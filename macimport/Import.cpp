// Rebuilding a definition from a macro's lines: a candidate for each target, generated with
// the real generator and compared line by line; the first that gives the lines back is taken.
#include "ImportText.h"

#include <algorithm>
#include <array>

namespace vmg::macimport {
namespace {

using detail::Evidence;

// The longest macro the generator writes has some 550 lines below its header.
constexpr int kMaxBlockLines = 2048;

// The macro's lines from its first description line on: the description, the header, and the
// lines below it up to the next header (which is kept as the last line) or the end.
struct Block {
    std::vector<std::string> Description;
    std::vector<std::string_view> Lines;
    std::size_t HeaderIndex = 0;
    detail::LineCursor Rest; // after the last line kept
    bool AtNextHeader = false;
};

Block collect(std::string_view text, const MacroPlace& place) {
    Block b{{}, {}, 0, detail::LineCursor(text, place.FirstOffset, place.FirstLine), false};
    std::string_view line;
    int number = 0;
    while (b.Rest.Next(line, number)) {
        b.Lines.push_back(line);
        if (number < place.HeaderLine) {
            b.Description.emplace_back(line.substr(1));
            continue;
        }
        if (number == place.HeaderLine) {
            b.HeaderIndex = b.Lines.size() - 1;
            continue;
        }
        if (detail::HeaderName(line)) {
            b.AtNextHeader = true;
            break;
        }
        if (number - place.HeaderLine >= kMaxBlockLines) {
            break;
        }
    }
    return b;
}

// The lines the evidence is read from: the header down to the first ENDM.
std::vector<std::string_view> macroLines(const Block& b) {
    std::vector<std::string_view> out;
    for (std::size_t i = b.HeaderIndex; i < b.Lines.size(); ++i) {
        if (i > b.HeaderIndex && detail::HeaderName(b.Lines[i])) {
            break;
        }
        out.push_back(b.Lines[i]);
        if (detail::IsEndmLine(b.Lines[i])) {
            break;
        }
    }
    return out;
}

const char* targetName(int32_t target) {
    switch (target) {
    case 0:
        return "Both (0)";
    case 1:
        return "14 Bit (1)";
    case 2:
        return "16 Bit (2)";
    default:
        return "3, which no target button shows (only a macro source file gives it)";
    }
}

// The type code whose first kind is `keyword` in the target's catalogue; 0 for none.
int32_t typeOfKeyword(std::string_view keyword, int32_t target) {
    for (const int32_t code : {2, 3, 4, 5, 6, 7, 9, 22, 23}) {
        const auto& kinds = codegen::SplitTypeDescFor(code, target).kinds;
        if (!kinds.empty() && kinds.front() == keyword) {
            return code;
        }
    }
    return 0;
}

// The variable a destination was made from: "_X" from "X", "FSR0L" from "FSR0" on 16-bit
// cores. A two-letter name beginning with "_" is not a name the wizard takes.
std::string variableOf(std::string dest, bool fsrSuffix) {
    if (fsrSuffix && dest.starts_with("FSR") && dest.ends_with('L')) {
        dest.pop_back();
    }
    if (dest.size() == 2 && dest[0] == '_') {
        dest.erase(0, 1);
    }
    return dest;
}

std::string joinDescription(const std::vector<std::string>& lines) {
    std::string out;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        out += lines[i];
        if (i + 1 < lines.size()) {
            out += "\r\n";
        }
    }
    // An empty last comment line stands for a line break at the end of the text.
    if (!lines.empty() && lines.back().empty()) {
        out += "\r\n";
    }
    return out;
}

// "parameter 2" or "parameters 1, 2 and 4".
std::string parameterList(const std::vector<int>& numbers) {
    std::string out = numbers.size() == 1 ? "parameter " : "parameters ";
    for (std::size_t i = 0; i < numbers.size(); ++i) {
        out += (i == 0                    ? ""
                : i + 1 == numbers.size() ? " and "
                                          : ", ") +
               std::to_string(numbers[i]);
    }
    return out;
}

struct Candidate {
    codegen::MacroDefinition Def;
    int32_t Count = 0;
    int32_t Least = 0; // M: the fewest arguments of a call
    bool OldBounds = false;
    std::vector<std::string> Notes;
};

// Optional flags: the count checks give the last mandatory parameter; before it the keyword
// block's Optional words, else mandatory as the wizard keeps them.
void optionalFlags(const Evidence& e, Candidate& c, const KeywordHint* hint) {
    auto& d = c.Def;
    const int32_t n = c.Count;
    const bool parameterReturn = d.Header.ReturnMethod == 2;
    c.OldBounds = parameterReturn && n > 0 && e.Upper == n - 1;
    c.Least = e.NoParamsBranch ? 0 : e.Lower.value_or(n) - (c.OldBounds ? 1 : 0);
    const int32_t r = parameterReturn && !d.Return.RetArg.Optional ? 1 : 0;
    const int32_t last = std::clamp(c.Least - r, 0, n);
    bool hintFits = hint != nullptr && hint->ParamsRead &&
                    hint->ParamNames.size() == static_cast<std::size_t>(n);
    for (int32_t i = 0; hintFits && i < n; ++i) {
        hintFits = hint->ParamNames[static_cast<std::size_t>(i)] ==
                   d.Params[static_cast<std::size_t>(i)].ArgName;
    }
    std::vector<int> fromHint, fromDefault, against;
    for (int32_t i = 1; i <= n; ++i) {
        bool& optional = d.Params[static_cast<std::size_t>(i - 1)].Optional;
        optional = i > last;
        const bool said = hintFits && hint->ParamOptional[static_cast<std::size_t>(i - 1)];
        if (i < last) {
            optional = said;
            (hintFits ? fromHint : fromDefault).push_back(i);
        } else if (hintFits && said != optional) {
            against.push_back(i);
        }
    }
    if (hint != nullptr && hint->ParamsRead && !hintFits && n > 0) {
        c.Notes.push_back(
            "the keyword block in " + hint->Source +
            " lists other parameters than the macro; its Optional words are not used");
    }
    const std::string lastOne = ", before the last mandatory parameter " + std::to_string(last);
    if (!fromHint.empty()) {
        c.Notes.push_back("Optional of " + parameterList(fromHint) + lastOne +
                          ": from the Optional words of the keyword block in " + hint->Source);
    }
    if (!fromDefault.empty()) {
        c.Notes.push_back("Optional of " + parameterList(fromDefault) + lastOne +
                          ": off, as the wizard keeps it; the text cannot tell");
    }
    if (!against.empty()) {
        c.Notes.push_back("the keyword block's Optional words disagree with the count checks at " +
                          parameterList(against) + "; the count checks are taken");
    }
}

// Allow Alt where the type shows no alternative kinds: as every flag that the text shows, when
// it shows some and all are set (Allow Type Conversion ticks them all), else off.
void hiddenAllowAlt(Candidate& c, const std::vector<int>& hidden, const std::vector<bool>& shown,
                    bool returnHidden) {
    const bool on = !shown.empty() && std::ranges::all_of(shown, [](bool b) { return b; });
    for (const int i : hidden) {
        c.Def.Params[static_cast<std::size_t>(i - 1)].AllowAlt = on;
    }
    if (returnHidden) {
        c.Def.Return.RetArg.AllowAlt = on;
    }
    if (hidden.empty() && !returnHidden) {
        return;
    }
    std::string which = hidden.empty() ? std::string() : parameterList(hidden);
    if (returnHidden) {
        which += which.empty() ? "the return value" : " and the return value";
    }
    const bool one = hidden.size() + (returnHidden ? 1 : 0) == 1;
    c.Notes.push_back("Allow Alt of " + which + ": " + (on ? "on" : "off") +
                      (on ? ", as every Allow Alt the text shows" : ", the wizard's default") +
                      (one ? "; its type has" : "; their types have") +
                      " no alternative kinds to show it");
}

void parameters(const Evidence& e, Candidate& c, std::vector<int>& hidden,
                std::vector<bool>& shown) {
    const int32_t target = c.Def.Header.Target;
    std::vector<int> unknown, noDest;
    for (int32_t i = 1; i <= c.Count; ++i) {
        const Evidence::Param& p = e.Params[static_cast<std::size_t>(i - 1)];
        codegen::ArgData& a = c.Def.Params[static_cast<std::size_t>(i - 1)];
        a.ArgName = p.ArgName.value_or("");
        a.DataType = p.Kinds.empty() ? 0 : typeOfKeyword(p.Kinds.front(), target);
        const auto& kinds = codegen::SplitTypeDescFor(a.DataType, target).kinds;
        if (kinds.size() > 4) {
            a.AllowAlt = p.Kinds.size() > 4;
            shown.push_back(a.AllowAlt);
        } else {
            hidden.push_back(i);
        }
        if (kinds.empty()) {
            unknown.push_back(i);
        }
        const auto dest = detail::MostNamed(p.Dests);
        a.VarName = dest ? variableOf(*dest, target == 2) : std::string();
        if (!dest && !e.Skeleton && !kinds.empty()) {
            noDest.push_back(i);
        }
    }
    if (!unknown.empty()) {
        c.Notes.push_back("data type of " + parameterList(unknown) +
                          ": 0, as the kind tests name no type of the target's catalogue");
    }
    if (e.Skeleton && c.Count > 0) {
        c.Notes.push_back("destination variables: none (Build Skeleton: the text has none)");
    } else if (!unknown.empty() || !noDest.empty()) {
        auto all = unknown;
        all.insert(all.end(), noDest.begin(), noDest.end());
        std::ranges::sort(all);
        c.Notes.push_back("destination variable of " + parameterList(all) +
                          ": none (the text moves nothing there)");
    }
}

void returnValue(const Evidence& e, Candidate& c, bool& hidden, std::vector<bool>& shown) {
    codegen::RetData& r = c.Def.Return;
    r.UseGoSub = e.GoSub.value_or(true);
    r.UseGoTo = !r.UseGoSub;
    r.SubName = e.SubName;
    if (!e.GoSub) {
        c.Notes.push_back("subroutine: none, called with GoSub (the text has no call line)");
    }
    if (c.Def.Header.ReturnMethod <= 0) {
        return;
    }
    const int32_t target = c.Def.Header.Target;
    codegen::ArgData& a = r.RetArg;
    a.Optional = e.ReturnOptional;
    a.DataType = e.ReturnKinds.empty() ? 0 : typeOfKeyword(e.ReturnKinds.front(), target);
    const auto& kinds = codegen::SplitTypeDescFor(a.DataType, target).kinds;
    if (kinds.size() > 4) {
        a.AllowAlt = e.ReturnKinds.size() > 1;
        shown.push_back(a.AllowAlt);
    } else {
        hidden = true;
    }
    const auto dest = detail::MostNamed(e.ReturnDests);
    a.VarName = dest ? variableOf(*dest, false) : std::string();
    if (kinds.empty()) {
        c.Notes.push_back("data type and variable of the return value: 0 and none, as its kind "
                          "test names no type of the target's catalogue");
    }
}

Candidate build(const Evidence& e, int32_t target, const KeywordHint* hint) {
    Candidate c;
    c.Count = e.Count;
    codegen::MacGen& h = c.Def.Header;
    h.MacroName = e.Name;
    h.ReturnMethod = e.ReturnValue ? 2 : !e.ReturnWord ? 0 : *e.ReturnWord == "RETURN" ? 1 : 3;
    h.Target = target;
    h.Skeleton = e.Skeleton;
    h.Description = joinDescription(e.Description);
    h.ArgCount = e.Count;
    if (h.ReturnMethod == 3) {
        c.Notes.push_back("return method: 3, as the LST_PRM symbols without RETURNVALUE show "
                          "(only a macro source file gives it)");
    }
    std::vector<int> hidden;
    std::vector<bool> shown;
    bool returnHidden = false;
    parameters(e, c, hidden, shown);
    returnValue(e, c, returnHidden, shown);
    hiddenAllowAlt(c, hidden, shown, returnHidden);
    optionalFlags(e, c, hint);
    return c;
}

// The generator's lines for a candidate, in the earlier bounds when the text has them.
codegen::Lines expectedLines(const Candidate& c) {
    codegen::Lines lines = codegen::MacroLines(c.Def, c.Count);
    if (c.OldBounds) {
        const std::size_t upper =
            c.Def.Header.Description.empty()
                ? 1
                : codegen::SplitLines(c.Def.Header.Description, false).size() + 1;
        lines[upper] = "#IF (PRM_COUNT > " + std::to_string(c.Count - 1) + ")";
        if (c.Least > 0) {
            lines[upper + 3] = "\t#IF (PRM_COUNT < " + std::to_string(c.Least + 1) + ")";
        }
    }
    return lines;
}

std::string shown(std::string_view line) {
    line = detail::StripTabs(line);
    if (line.empty()) {
        return "an empty line";
    }
    return line.size() > 100 ? std::string(line.substr(0, 100)) + "..." : std::string(line);
}

// How the lines differ from the generator's in layout alone.
struct Layout {
    int Lines = 0;
    unsigned Differences = 0;
};

// The index of the first line that departs (lines.size() when none), with the reason. A line
// that departs only in layout counts in `layout`.
std::size_t compare(const codegen::Lines& expected, const Block& b, int firstLine, std::string& why,
                    Layout& layout) {
    layout = {};
    for (std::size_t i = 0; i < expected.size(); ++i) {
        const auto number = [&] {
            return "line " + std::to_string(firstLine + static_cast<int>(i));
        };
        if (i >= b.Lines.size()) {
            why = number() + ": expected " + shown(expected[i]) + ", found the end of the text";
            return i;
        }
        const std::string_view actual = b.Lines[i];
        if (actual == expected[i]) {
            continue;
        }
        // A description line is the user's own text: it departs only by its letters.
        if (i >= b.HeaderIndex &&
            detail::CanonicalLine(actual) == detail::CanonicalLine(expected[i])) {
            ++layout.Lines;
            layout.Differences |= detail::LayoutDifferences(actual, expected[i]);
            continue;
        }
        why = number() + ": expected " + shown(expected[i]) + ", found " + shown(actual);
        return i;
    }
    return expected.size();
}

// A line ENDM between the macro's end and the next header.
std::string secondEndm(Block& b, std::size_t end, int firstLine) {
    const int last = firstLine + static_cast<int>(end) - 1;
    const auto refusal = [&](int line) {
        return "line " + std::to_string(line) + ": a second ENDM (the macro ends on line " +
               std::to_string(last) + ")";
    };
    for (std::size_t i = end; i < b.Lines.size(); ++i) {
        if (detail::HeaderName(b.Lines[i])) {
            return {};
        }
        if (detail::IsEndmLine(b.Lines[i])) {
            return refusal(firstLine + static_cast<int>(i));
        }
    }
    std::string_view line;
    int number = 0;
    while (!b.AtNextHeader && b.Rest.Next(line, number)) {
        if (detail::HeaderName(line)) {
            break;
        }
        if (detail::IsEndmLine(line)) {
            return refusal(number);
        }
    }
    return {};
}

// Why the chosen target, when the text alone does not decide it.
std::string targetNote(int32_t chosen, const std::array<bool, 4>& fits, const KeywordHint* hint,
                       bool fsrLow) {
    std::string others;
    for (int32_t t = 0; t < 3; ++t) {
        if (t != chosen && fits[static_cast<std::size_t>(t)]) {
            others += others.empty() ? targetName(t) : std::string(" and ") + targetName(t);
        }
    }
    const bool fromHint = hint != nullptr && hint->Target == chosen;
    std::string note = "target: " + std::string(targetName(chosen));
    if (others.empty()) {
        note.clear(); // the text tells
    } else if (fromHint) {
        note +=
            ", from DeviceCore = " + hint->DeviceCore + " of the keyword block in " + hint->Source;
    } else if (chosen == 2 && fsrLow) {
        note += ": the FSRnL destinations are the 16-bit cores' FSR0 to FSR2";
    } else {
        note += ", the wizard's default";
    }
    if (!note.empty() && !others.empty()) {
        note += " (the text reads the same for " + others + ")";
    }
    if (hint != nullptr && hint->Target && !fits[static_cast<std::size_t>(*hint->Target)]) {
        note += std::string(note.empty() ? "" : "; ") + "DeviceCore = " + hint->DeviceCore +
                " of the keyword block in " + hint->Source + " does not fit the text";
    }
    return note;
}

// Every target tried: the text alone never tells Both from 14 Bit, and often not from 16 Bit.
struct Trial {
    std::array<Candidate, 4> Candidates;
    std::array<bool, 4> Fits{};
    std::array<std::size_t, 4> LineCount{};
    std::array<Layout, 4> Layouts{};
    std::size_t Furthest = 0; // the departure of the candidate that came furthest
    std::string Refusal;      // and its reason
};

Trial tryTargets(const Evidence& e, const Block& block, int firstLine, const KeywordHint* hint) {
    Trial trial;
    for (std::size_t t = 0; t < trial.Candidates.size(); ++t) {
        trial.Candidates[t] = build(e, static_cast<int32_t>(t), hint);
    }
    // 14 Bit and Both share the catalogue and the destinations, so their lines are the same;
    // a target above 2 is tried only when neither of the others fits.
    for (const std::size_t t : {0u, 2u, 3u}) {
        if (t == 3 && (trial.Fits[0] || trial.Fits[2])) {
            break;
        }
        std::string why;
        const codegen::Lines expected = expectedLines(trial.Candidates[t]);
        const std::size_t departure = compare(expected, block, firstLine, why, trial.Layouts[t]);
        trial.LineCount[t] = expected.size();
        trial.Fits[t] = departure == expected.size();
        if (!trial.Fits[t] && (trial.Refusal.empty() || departure > trial.Furthest)) {
            trial.Furthest = departure;
            trial.Refusal = why;
        }
    }
    trial.Fits[1] = trial.Fits[0];
    trial.LineCount[1] = trial.LineCount[0];
    trial.Layouts[1] = trial.Layouts[0];
    return trial;
}

bool hasFsrLowDestination(const Evidence& e) {
    return std::ranges::any_of(e.Params, [](const Evidence::Param& p) {
        const auto dest = detail::MostNamed(p.Dests);
        return dest && dest->starts_with("FSR") && dest->ends_with('L');
    });
}

// The keyword block's target, then 16 Bit for FSRnL destinations, then the wizard's order.
std::optional<int32_t> chooseTarget(const Trial& trial, bool fsrLow, const KeywordHint* hint) {
    std::vector<int32_t> order;
    if (hint != nullptr && hint->Target && *hint->Target >= 0 && *hint->Target < 4) {
        order.push_back(*hint->Target);
    }
    if (fsrLow) {
        order.push_back(2);
    }
    for (int32_t t = 0; t < 4; ++t) {
        order.push_back(t);
    }
    for (const int32_t t : order) {
        if (trial.Fits[static_cast<std::size_t>(t)]) {
            return t;
        }
    }
    return std::nullopt;
}

// The first line that departs; for a text cut short inside the macro, that it ends there,
// rather than a guess at its last line.
std::string refusalOf(const Trial& trial, const Block& block, int firstLine) {
    const std::size_t lastLine = block.Lines.size() - 1;
    if (trial.Furthest >= lastLine && !block.AtNextHeader && lastLine > block.HeaderIndex &&
        !detail::IsEndmLine(block.Lines[lastLine])) {
        return "line " + std::to_string(firstLine + static_cast<int>(lastLine)) +
               ": the text ends inside the macro, before its ENDM";
    }
    return trial.Refusal;
}

std::string oldBoundsNote(const Candidate& c) {
    const auto bound = [](const char* op, int32_t value) {
        return "PRM_COUNT " + std::string(op) + " " + std::to_string(value);
    };
    const bool lower = c.Least > 0;
    return "count checks: written with the earlier bounds (" + bound(">", c.Count - 1) +
           (lower ? ", " + bound("<", c.Least + 1) : std::string()) +
           "); the definition generates " + bound(">", c.Count + 1) +
           (lower ? " and " + bound("<", c.Least) : std::string()) +
           ", which let the full and the shortest call through";
}

} // namespace

ImportResult ImportMacro(std::string_view text, const MacroPlace& place, const KeywordHint* hint) {
    ImportResult result;
    result.FirstLine = place.FirstLine;
    Block block = collect(text, place);
    // The evidence is read from the lines as the compiler reads them, so that an editor's
    // layout does not hide it.
    const std::vector<std::string_view> raw = macroLines(block);
    std::vector<std::string> canonical;
    canonical.reserve(raw.size());
    for (const std::string_view line : raw) {
        canonical.push_back(detail::CanonicalLine(line));
    }
    const Evidence e =
        detail::ReadEvidence({canonical.begin(), canonical.end()}, place.Name, block.Description);
    Trial trial = tryTargets(e, block, place.FirstLine, hint);
    const bool fsrLow = hasFsrLowDestination(e);
    const auto chosen = chooseTarget(trial, fsrLow, hint);
    if (!chosen) {
        result.Message = refusalOf(trial, block, place.FirstLine);
        return result;
    }
    Candidate& c = trial.Candidates[static_cast<std::size_t>(*chosen)];
    const std::size_t end = trial.LineCount[static_cast<std::size_t>(*chosen)];
    if (std::string why = secondEndm(block, end, place.FirstLine); !why.empty()) {
        result.Message = why;
        return result;
    }
    result.Ok = true;
    result.Definition = std::move(c.Def);
    result.ParamCount = c.Count;
    result.LastLine = place.FirstLine + static_cast<int>(end) - 1;
    result.OldBounds = c.OldBounds;
    const Layout& layout = trial.Layouts[static_cast<std::size_t>(*chosen)];
    result.LayoutLines = layout.Lines;
    result.LayoutDifferences = layout.Differences;
    if (std::string note = targetNote(*chosen, trial.Fits, hint, fsrLow); !note.empty()) {
        result.Notes.push_back(std::move(note));
    }
    result.Notes.insert(result.Notes.end(), c.Notes.begin(), c.Notes.end());
    if (c.OldBounds) {
        result.Notes.push_back(oldBoundsNote(c));
    }
    if (layout.Lines > 0) {
        result.Notes.push_back("layout: " + std::to_string(layout.Lines) + " line" +
                               (layout.Lines == 1 ? " differs" : "s differ") +
                               " from the generator's in " +
                               detail::DescribeLayout(layout.Differences) +
                               " only, which the compiler reads the same");
    }
    return result;
}

} // namespace vmg::macimport
