// The importer's own helpers: walking a text line by line, and what a macro's lines show.
#pragma once

#include "MacroImport.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vmg::macimport::detail {

// Walks a text's lines from a byte offset without storing them; a line ends at CR LF, a lone
// CR or a lone LF, and a line end at the very end adds no empty line.
class LineCursor {
public:
    LineCursor(std::string_view text, std::size_t offset, int firstNumber)
        : m_text(text), m_pos(offset), m_next(firstNumber) {}

    // The next line and its number (from 1); false at the end of the text.
    bool Next(std::string_view& line, int& number);
    std::size_t Offset() const { return m_pos; }

private:
    std::string_view m_text;
    std::size_t m_pos;
    int m_next;
};

std::string_view StripTabs(std::string_view line);
// A header line: a first word, blanks, then MACRO in any letter case, then a blank or the end.
std::optional<std::string_view> HeaderName(std::string_view line);
// "ENDM" in any letter case, with any indentation.
bool IsEndmLine(std::string_view line);

// A line as the compiler reads it: without indentation and trailing blanks, each run of blanks
// outside quotes and comments one blank, and the compiler's words (directives, MACRO, ENDM,
// GoSub, GoTo, kinds, move commands, the symbols it gives a macro) in the generator's spelling.
// Quoted text, comments and names keep their letters.
std::string CanonicalLine(std::string_view line);
// How two lines of the same canonical form differ, as kIndentation | ... bits.
enum : unsigned { kIndentation = 1, kInnerBlanks = 2, kTrailingBlanks = 4, kLetterCase = 8 };
unsigned LayoutDifferences(std::string_view actual, std::string_view expected);
// "indentation, trailing blanks and letter case of the compiler's words".
std::string DescribeLayout(unsigned differences);

// What the lines of one macro show, each field from the first line that gives it, the
// destinations from every move line.
struct Evidence {
    std::vector<std::string> Description;
    std::string Name;
    int32_t Count = 0; // the P formals of the header
    bool ReturnValue = false;
    std::optional<int32_t> Upper, Lower; // the count checks' bounds
    bool NoParamsBranch = false;         // "#IF (PRM_COUNT == 0)"
    struct Param {
        std::vector<std::string> Kinds; // of its kind test
        std::optional<std::string> ArgName;
        std::string Text;               // the type's description in its error message
        std::vector<std::string> Dests; // of its move lines, in order
    };
    std::vector<Param> Params;
    bool Skeleton = false;
    std::optional<bool> GoSub;
    std::string SubName;
    std::optional<std::string> ReturnWord; // RETURN or LST_PRM, from the presence test
    bool ReturnOptional = false;
    std::vector<std::string> ReturnKinds;
    std::vector<std::string> ReturnDests;
};

// The destination most move lines name (the first of equals): one edited line then departs
// from the generator's text, not the lines around it.
std::optional<std::string> MostNamed(const std::vector<std::string>& dests);

// Reads the block's lines (the header first) into what they show.
Evidence ReadEvidence(const std::vector<std::string_view>& block, std::string_view name,
                      std::vector<std::string> description);

} // namespace vmg::macimport::detail
