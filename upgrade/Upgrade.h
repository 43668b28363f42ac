// Keeping the macros of a code file up to date where they stand: the plan (old text to new
// text, one report a macro), and the upgrade of files through the in-place edit.
#pragma once

#include "EditSeam.h"
#include "MacroCodeGenerator.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

// All text here is 8-bit, code page 1252, held in std::string.
namespace vmg::upgrade {

enum class MacroState {
    Updated,  // its lines are replaced with the generator's
    UpToDate, // its lines are the generator's already
    Left,     // it cannot be imported (edited by hand) and stays as it is
};

struct CallCounts {
    int Calls = 0;  // calls of the macro in the same text
    int Before = 0; // of them, those that pass with the old lines
    int After = 0;  // and with the new ones
};

struct MacroReport {
    std::string Name;
    int HeaderLine = 0; // in the old text, from 1
    int FirstLine = 0;  // the lines replaced (Updated) or read (UpToDate), from 1
    int LastLine = 0;
    MacroState State = MacroState::Left;
    std::string Why; // Updated: what differed; Left: the importer's refusal
    std::vector<std::string> Notes;
    std::optional<CallCounts> Calls; // Updated only
    codegen::MacroDefinition Definition;
    int32_t ParamCount = 0;
    bool KeyBlockFound = false; // the keyword text held its block (and it was used)
};

struct UpgradeOptions {
    std::optional<std::string> Macro; // only this one (exact name, else in any letter case)
    std::optional<std::string> KeywordText;
    std::string KeywordSource; // the keyword file's name, for the notes
};

struct UpgradePlan {
    std::string NewText; // the old text with the updated macros replaced in place
    std::vector<MacroReport> Macros;
    bool Changed = false;
    std::string Problem; // non-empty: nothing may be done (the text is rich text, no macro ...)
    // With KeywordText: the keyword text with the blocks of the imported macros regenerated.
    std::string NewKeywordText;
    bool KeywordChanged = false;
    std::string KeywordProblem; // a block that could not be put back; the keyword text stays
};

// Imports every macro (or the one named) of a code text, and replaces the lines of those whose
// generated text now differs with the generator's, in the macro's own line ends; every byte
// outside them stays as it was.
UpgradePlan PlanUpgrade(std::string_view text, const UpgradeOptions& options);

// "AddNums (line 2): updated (old count bounds); calls that pass: 0 of 3 before, 3 after".
std::string FormatReport(const MacroReport& report);
// "2 updated, 1 up to date, 1 left as it is".
std::string FormatTotal(const std::vector<MacroReport>& macros);

// The keyword text with the regenerated blocks of the macros whose block it held (put back
// the way hint --into does); nothing, with the reason, when a block cannot be put back.
std::optional<std::string> PutKeyBlocks(const std::vector<MacroReport>& macros,
                                        std::string_view keywordText, std::string& why);

// ---- Writing a macro back where it came from ----

// Where a macro opened from a code file stood: its lines as they were read.
struct MacroOrigin {
    std::string Name;
    int FirstLine = 0; // from 1
    int LastLine = 0;
    std::string Lines; // those lines of the file as read, their line ends included
};

// The origin of the macro at lines first..last of a text, its first line at firstOffset.
MacroOrigin OriginOf(std::string_view text, std::size_t firstOffset, int first, int last,
                     std::string name);

// The text with the origin's lines replaced by code (lines ending in CR LF, CR or LF, taken as
// they stand) in the line ends of the macro's first line; the text as it is when the lines
// there are the code already. Nothing, with the reason, when the origin's lines no longer
// stand where they stood.
std::optional<std::string> WriteBackText(std::string_view current, const MacroOrigin& origin,
                                         std::string_view code, std::string& why);
// The same on the file at path, through the in-place edit.
seam::EditOutcome WriteBackFile(const std::string& path, const MacroOrigin& origin,
                                std::string_view code);

// ---- Upgrading files in place ----

// The largest code file that is edited.
inline constexpr std::uint64_t kMaxEditBytes = std::uint64_t{64} << 20;

struct FileUpgrade {
    seam::EditOutcome Edit;
    UpgradePlan Plan; // made from the content the edit read
};

// Upgrades the code file at path through the in-place edit; a plan with a Problem is refused.
FileUpgrade UpgradeFile(const std::string& path, const UpgradeOptions& options);
// Puts the regenerated keyword blocks of `macros` into the keyword file at path.
seam::EditOutcome UpgradeKeywordFile(const std::string& path,
                                     const std::vector<MacroReport>& macros);
// "Cannot write "<file>". <reason>" for an edit that did not go through (or whose backup
// could not be written).
std::string EditFailure(const seam::EditOutcome& edit);

} // namespace vmg::upgrade
