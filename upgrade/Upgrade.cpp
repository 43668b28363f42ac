// Planning an upgrade: each macro imported, regenerated, and replaced where its text differs.
#include "Upgrade.h"

#include "CallCheck.h"
#include "IDE_Info.h"
#include "KeyFile.h"
#include "MacroImport.h"
#include "PageDeclarations.h"

#include <algorithm>
#include <map>

namespace vmg::upgrade {
namespace {

bool sameNoCase(std::string_view a, std::string_view b) {
    return callcheck::Upper(a) == callcheck::Upper(b);
}

// The byte range of lines first..last (from 1) of a text, the last line's end included, and
// the line end of the first line ("" when it has none).
struct Span {
    std::size_t Begin = 0, End = 0;
    std::string_view Eol;
    bool LastHasEol = false;
};

Span spanOf(std::string_view text, std::size_t firstOffset, int first, int last) {
    Span s;
    s.Begin = firstOffset;
    std::size_t pos = firstOffset;
    for (int line = first; line <= last && pos <= text.size(); ++line) {
        std::size_t end = text.find_first_of("\r\n", pos);
        if (end == std::string_view::npos) {
            pos = text.size();
            s.LastHasEol = false;
            break;
        }
        const std::size_t eolSize =
            text[end] == '\r' && end + 1 < text.size() && text[end + 1] == '\n' ? 2 : 1;
        if (line == first) {
            s.Eol = text.substr(end, eolSize);
        }
        pos = end + eolSize;
        s.LastHasEol = true;
    }
    s.End = pos;
    return s;
}

std::string joined(const codegen::Lines& lines, std::string_view eol, bool finalEol) {
    std::string out;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        out += lines[i];
        if (i + 1 < lines.size() || finalEol) {
            out += eol;
        }
    }
    return out;
}

std::vector<macimport::MacroPlace> chosen(std::string_view text, const UpgradeOptions& o,
                                          std::string& problem) {
    std::vector<macimport::MacroPlace> places = macimport::FindMacros(text);
    if (places.empty()) {
        problem = "no macro found (no line of the form NAME MACRO)";
        return places;
    }
    if (!o.Macro) {
        return places;
    }
    for (const bool exact : {true, false}) {
        std::vector<macimport::MacroPlace> named;
        for (const auto& p : places) {
            if (exact ? p.Name == *o.Macro : sameNoCase(p.Name, *o.Macro)) {
                named.push_back(p);
            }
        }
        if (!named.empty()) {
            return named;
        }
    }
    problem = "holds no macro " + *o.Macro;
    return {};
}

std::string whyUpdated(const macimport::ImportResult& r) {
    std::string why;
    if (r.OldBounds) {
        why = "old count bounds";
    }
    if (r.LayoutLines > 0) {
        why += (why.empty() ? "" : "; ") + std::string("other text: ") +
               std::to_string(r.LayoutLines) + " line" + (r.LayoutLines == 1 ? "" : "s") +
               " in another layout";
    }
    return why.empty() ? "other text" : why;
}

// The page's names, as the call check takes them from an attached page.
callcheck::PageNames pageNames(std::string_view text) {
    const auto lines = ide::CleanPageText(text);
    callcheck::PageNames page;
    page.labels = ide::ScanLabels(lines);
    for (const auto& d : ide::ScanDeclarations(lines)) {
        page.variables.push_back({d.name, callcheck::KindOfDimType(d.type, d.isArray)});
    }
    return page;
}

int passing(const callcheck::MacroText& macro, const std::vector<callcheck::FoundCall>& calls,
            const callcheck::PageNames& page) {
    int n = 0;
    for (const auto& call : calls) {
        const auto analysis = callcheck::AnalyseCall(call.text, macro, page);
        n += callcheck::Evaluate(macro, analysis.bindings, false).kind ==
                     callcheck::Outcome::Kind::Expansion
                 ? 1
                 : 0;
    }
    return n;
}

// Before and after of every updated macro, over the calls of the old text.
void countCalls(std::string_view text, const std::vector<std::string>& oldTexts,
                const std::vector<std::string>& newTexts, std::vector<MacroReport*>& updated) {
    if (updated.empty()) {
        return;
    }
    std::map<std::string, std::vector<callcheck::FoundCall>> byName;
    for (auto& call : callcheck::FindCalls(text, "")) {
        byName[callcheck::Upper(call.name)].push_back(std::move(call));
    }
    const callcheck::PageNames page = pageNames(text);
    for (std::size_t i = 0; i < updated.size(); ++i) {
        const auto found = byName.find(callcheck::Upper(updated[i]->Name));
        CallCounts c;
        if (found != byName.end()) {
            c.Calls = static_cast<int>(found->second.size());
            c.Before = passing(callcheck::ReadMacro(oldTexts[i]), found->second, page);
            c.After = passing(callcheck::ReadMacro(newTexts[i]), found->second, page);
        }
        updated[i]->Calls = c;
    }
}

} // namespace

namespace {

// One macro imported and regenerated: its report, and where it is updated, its span and its
// new lines in the macro's line ends.
MacroReport planMacro(std::string_view text, const macimport::MacroPlace& place,
                      const UpgradeOptions& options, Span& span, std::string& replacement) {
    MacroReport m;
    m.Name = place.Name;
    m.HeaderLine = place.HeaderLine;
    std::optional<macimport::KeywordHint> hint;
    if (options.KeywordText) {
        hint = macimport::FindKeywordHint(*options.KeywordText, place.Name, options.KeywordSource);
    }
    macimport::ImportResult r = macimport::ImportMacro(text, place, hint ? &*hint : nullptr);
    if (!r.Ok) {
        m.Why = r.Message;
        return m;
    }
    m.FirstLine = r.FirstLine;
    m.LastLine = r.LastLine;
    m.Notes = std::move(r.Notes);
    m.ParamCount = r.ParamCount;
    m.KeyBlockFound = hint.has_value();
    const codegen::Lines lines = codegen::MacroLines(r.Definition, r.ParamCount);
    m.Definition = std::move(r.Definition);
    span = spanOf(text, place.FirstOffset, r.FirstLine, r.LastLine);
    replacement =
        joined(lines, span.Eol.empty() ? std::string_view("\r\n") : span.Eol, span.LastHasEol);
    const bool same = replacement == text.substr(span.Begin, span.End - span.Begin);
    m.State = same ? MacroState::UpToDate : MacroState::Updated;
    m.Why = same ? std::string() : whyUpdated(r);
    return m;
}

} // namespace

UpgradePlan PlanUpgrade(std::string_view text, const UpgradeOptions& options) {
    UpgradePlan plan;
    if (text.starts_with("{\\rtf")) {
        plan.Problem = "is a rich-text file; upgrade edits code files (import reads this one)";
        return plan;
    }
    const auto places = chosen(text, options, plan.Problem);
    if (!plan.Problem.empty()) {
        return plan;
    }
    std::size_t copied = 0;
    std::vector<std::string> oldTexts, newTexts;
    std::vector<std::size_t> updatedIndex;
    for (const auto& place : places) {
        Span span;
        std::string replacement;
        MacroReport m = planMacro(text, place, options, span, replacement);
        if (m.State == MacroState::Updated) {
            plan.NewText.append(text.substr(copied, span.Begin - copied));
            plan.NewText += replacement;
            copied = span.End;
            oldTexts.emplace_back(text.substr(span.Begin, span.End - span.Begin));
            newTexts.push_back(std::move(replacement));
            updatedIndex.push_back(plan.Macros.size());
        }
        plan.Macros.push_back(std::move(m));
    }
    plan.NewText.append(text.substr(copied));
    plan.Changed = !updatedIndex.empty();
    std::vector<MacroReport*> updated;
    for (const std::size_t i : updatedIndex) {
        updated.push_back(&plan.Macros[i]);
    }
    countCalls(text, oldTexts, newTexts, updated);
    if (options.KeywordText) {
        const auto keywords = PutKeyBlocks(plan.Macros, *options.KeywordText, plan.KeywordProblem);
        plan.NewKeywordText = keywords.value_or(*options.KeywordText);
        plan.KeywordChanged = plan.NewKeywordText != *options.KeywordText;
    }
    return plan;
}

std::optional<std::string> PutKeyBlocks(const std::vector<MacroReport>& macros,
                                        std::string_view keywordText, std::string& why) {
    std::string text(keywordText);
    for (const MacroReport& m : macros) {
        if (!m.KeyBlockFound) {
            continue;
        }
        auto edit = keyfile::PutKeyBlock(text, codegen::KeyBlock(m.Definition, m.ParamCount));
        if (edit.Kind == keyfile::EditKind::Refused) {
            why = m.Name + ": " + edit.Message;
            return std::nullopt;
        }
        text = std::move(edit.Bytes);
    }
    return text;
}

FileUpgrade UpgradeFile(const std::string& path, const UpgradeOptions& options) {
    FileUpgrade out;
    const auto plan = [&](std::string_view current, bool) {
        out.Plan = PlanUpgrade(current, options);
        if (!out.Plan.Problem.empty()) {
            return seam::EditPlan{true, {}, out.Plan.Problem};
        }
        return seam::EditPlan{
            false, out.Plan.Changed ? out.Plan.NewText : std::string(current), {}};
    };
    seam::EditOptions editOptions;
    editOptions.Limit = kMaxEditBytes;
    out.Edit = seam::EditInPlace(path, plan, editOptions);
    return out;
}

seam::EditOutcome UpgradeKeywordFile(const std::string& path,
                                     const std::vector<MacroReport>& macros) {
    const auto plan = [&](std::string_view current, bool) {
        std::string why;
        auto text = PutKeyBlocks(macros, current, why);
        return text ? seam::EditPlan{false, std::move(*text), {}} : seam::EditPlan{true, {}, why};
    };
    return seam::EditInPlace(path, plan);
}

MacroOrigin OriginOf(std::string_view text, std::size_t firstOffset, int first, int last,
                     std::string name) {
    const Span span = spanOf(text, firstOffset, first, last);
    return {std::move(name), first, last,
            std::string(text.substr(span.Begin, span.End - span.Begin))};
}

std::optional<std::string> WriteBackText(std::string_view current, const MacroOrigin& origin,
                                         std::string_view code, std::string& why) {
    // The offset of the origin's first line in the text as it is now.
    std::size_t offset = 0;
    for (int line = 1; line < origin.FirstLine && offset < current.size(); ++line) {
        const std::size_t end = current.find_first_of("\r\n", offset);
        if (end == std::string_view::npos) {
            offset = current.size();
            break;
        }
        offset =
            end +
            (current[end] == '\r' && end + 1 < current.size() && current[end + 1] == '\n' ? 2 : 1);
    }
    const Span span = spanOf(current, offset, origin.FirstLine, origin.LastLine);
    const std::string_view there = current.substr(span.Begin, span.End - span.Begin);
    const codegen::Lines lines = [&] {
        codegen::Lines out;
        for (const auto line : codegen::SplitLines(code, false)) {
            out.emplace_back(line);
        }
        return out;
    }();
    const auto eolOf = [](const Span& s) {
        return s.Eol.empty() ? std::string_view("\r\n") : s.Eol;
    };
    // A second Finish finds the new lines where the old ones stood.
    const int count = static_cast<int>(lines.size());
    const Span again = spanOf(current, offset, origin.FirstLine, origin.FirstLine + count - 1);
    if (count > 0 && current.substr(again.Begin, again.End - again.Begin) ==
                         joined(lines, eolOf(again), again.LastHasEol)) {
        return std::string(current);
    }
    const std::string replacement = joined(lines, eolOf(span), span.LastHasEol);
    if (there != origin.Lines) {
        why = "The lines " + std::to_string(origin.FirstLine) + " to " +
              std::to_string(origin.LastLine) + " where " + origin.Name +
              " stood have changed since the file was opened; nothing was written to it.";
        return std::nullopt;
    }
    std::string out(current.substr(0, span.Begin));
    out += replacement;
    out.append(current.substr(span.End));
    return out;
}

seam::EditOutcome WriteBackFile(const std::string& path, const MacroOrigin& origin,
                                std::string_view code) {
    const auto plan = [&](std::string_view current, bool) {
        std::string why;
        auto text = WriteBackText(current, origin, code, why);
        return text ? seam::EditPlan{false, std::move(*text), {}} : seam::EditPlan{true, {}, why};
    };
    seam::EditOptions options;
    options.Limit = kMaxEditBytes;
    return seam::EditInPlace(path, plan, options);
}

std::string EditFailure(const seam::EditOutcome& edit) {
    if (edit.Status == seam::EditStatus::CannotRead) {
        return "Cannot open file \"" + edit.Where + "\". " + edit.Reason;
    }
    if (edit.Status == seam::EditStatus::BackupLost) {
        return "Cannot write \"" + edit.Where + "\". " + edit.Reason +
               " The file itself is written; the previous backup is unchanged.";
    }
    return "Cannot write \"" + edit.Where + "\". " + edit.Reason;
}

std::string FormatReport(const MacroReport& m) {
    std::string out = m.Name + " (line " + std::to_string(m.HeaderLine) + "): ";
    switch (m.State) {
    case MacroState::Updated:
        out += "updated (" + m.Why + ")";
        if (m.Calls) {
            out += "; calls in the file that pass: " + std::to_string(m.Calls->Before) + " of " +
                   std::to_string(m.Calls->Calls) + " before, " + std::to_string(m.Calls->After) +
                   " after";
        }
        return out;
    case MacroState::UpToDate:
        return out + "up to date";
    default:
        return out + "left as it is (" + m.Why + ")";
    }
}

std::string FormatTotal(const std::vector<MacroReport>& macros) {
    const auto count = [&](MacroState s) {
        return std::to_string(
            std::ranges::count_if(macros, [s](const MacroReport& m) { return m.State == s; }));
    };
    return count(MacroState::Updated) + " updated, " + count(MacroState::UpToDate) +
           " up to date, " + count(MacroState::Left) + " left as it is";
}

} // namespace vmg::upgrade
