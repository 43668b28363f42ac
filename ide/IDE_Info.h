// What the wizard takes from the IDE's editor page: name, core, cleaned lines, labels,
// variables, the cursor, and the paste of the finished macro.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// Text is 8-bit, code page 1252, held in std::string.
namespace vmg::ide {

// The editor cursor as the library gives it; the wizard only hands it back.
struct CursorPos {
    std::int32_t First = 0;
    std::int32_t Second = 0;
    bool operator==(const CursorPos&) const = default;
};

// The largest page text that is read; a larger size from the library is not believed.
inline constexpr std::int64_t kMaxPageTextSize = std::int64_t{64} * 1024 * 1024;

// ---- Pure scanning of page text ----

// The buffer size for a text size reported by the library, or nothing when the size is zero,
// negative or above kMaxPageTextSize.
std::optional<std::size_t> PageTextBufferSize(std::int32_t textSize);

// Splits text (ending at its first NUL or at its end) at CR LF, lone CR and lone LF; drops
// empty lines and comment lines (first character above a blank is ' or ;); tabs become blanks.
std::vector<std::string> CleanPageText(std::string_view text);

// The label of a line: the text before its first colon, when it is a valid name.
std::optional<std::string> LabelOf(std::string_view line);
// The variable a DIM line declares (possibly empty), or nothing for any other line.
std::optional<std::string> DeclaredVariableOf(std::string_view line);

// Every label / declared variable of the lines, in order, duplicates kept.
std::vector<std::string> ScanLabels(const std::vector<std::string>& lines);
std::vector<std::string> ScanVariables(const std::vector<std::string>& lines);

// ---- The module: the link to the IDE and the lists it owns for the whole run ----

// Imports the library (once) and calls its Connect with the wizard's window.
void Connect(std::intptr_t windowHandle);
// False also when the library or one of its functions is missing.
bool IsConnected();

// Empty / 0 when not connected or when the page information cannot be had.
std::string CurrentPageName();
std::int32_t CurrentPageCore();

// Replaces PageLines with the cleaned page text; false when not connected (PageLines kept)
// or when the page information or its text size fails (PageLines empty).
bool LoadPageText();
// Replace PageLabels / PageVariables from PageLines; true when anything was found.
bool FindLabels();
bool FindVariables();

// The editor cursor; zeros when not connected.
CursorPos GetCursor();
// Whether a paste went in, and why not when the library tells.
struct PasteResult {
    bool Ok = false;
    std::string Reason; // empty when the library gives none
};
// Inserts text at the position. Fails when not connected or when the library's SetPageTextAt
// returns 0 (full disk, a page that may not be written, ...).
PasteResult PasteAt(const std::string& text, CursorPos pos);
// Why a paste cannot happen now: the IDE is not connected, or its page's information cannot be
// had (with the library's reason when it gives one). Empty when a paste can be tried.
std::string PasteProblem();

const std::vector<std::string>& PageLines();
const std::vector<std::string>& PageLabels();
const std::vector<std::string>& PageVariables();

// Back to the program-start state: the three lists empty.
void ResetForTests();

} // namespace vmg::ide
