// The macro definition, the data-type catalogue, the name and register rules and the generators.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// All text here is 8-bit, code page 1252, held in std::string.
namespace vmg::codegen {

// Parameter slots of the one definition; every writer stays within them.
inline constexpr int kMaxParams = 20;

// The macro header.
struct MacGen {
    std::string MacroName;
    int32_t ReturnMethod = 0; // 0 None, 1 In-Line, 2 Parameter
    int32_t Target = 0;       // 0 both cores, 1 14-bit, 2 16-bit
    bool Skeleton = false;
    std::string Description;
    int32_t ArgCount = 0;
    bool operator==(const MacGen&) const = default;
};

// One parameter.
struct ArgData {
    std::string ArgName;
    int32_t DataType = 0;
    std::string VarName;
    bool Optional = false;
    bool AllowAlt = false;
    bool operator==(const ArgData&) const = default;
};

// The routine and the return value.
struct RetData {
    std::string SubName;
    bool UseGoSub = false;
    bool UseGoTo = false;
    ArgData RetArg; // VarName is the return variable; ArgName stays empty
    bool operator==(const RetData&) const = default;
};

// One catalogue entry.
struct DataTypeDesc {
    std::string Kinds;  // keywords separated by ","
    std::string Texts;  // one or two quoted descriptions separated by ","
    std::string Moves;  // move commands, entry k belongs to Kinds entry k
    std::string Labels; // parameter label "|" return label; "N/A" = not offered
    bool operator==(const DataTypeDesc&) const = default;
};

using ParamArray = std::array<ArgData, kMaxParams>;
using Lines = std::vector<std::string>;

// A whole definition as a value, so that the rules and generators can be pure functions.
struct MacroDefinition {
    MacGen Header;
    ParamArray Params;
    RetData Return;
    bool operator==(const MacroDefinition&) const = default;
};

// ---- The module's storage: the one definition of the run and the two generated lists ----

MacroDefinition& Definition();
MacGen& MacroHeader();
ParamArray& ParamTable();
RetData& ReturnDef();
const Lines& CodeLines();
const Lines& KeyBlockLines();
// Back to the program-start state: empty strings, zero numbers, false flags, empty lists.
void ResetModule();

// ---- Catalogue ----

DataTypeDesc GetTypeDesc(int32_t code, int32_t target);
// Splits Kinds or Moves at each comma; an empty entry counts, an empty text has no entries.
std::vector<std::string> SplitEntries(std::string_view list);
// Splits Texts into its quoted descriptions ("" inside a description stands for one quote).
std::vector<std::string> SplitTexts(std::string_view texts);
// The parameter and return labels of Labels (the texts before and after the first "|").
std::string ParamLabel(const DataTypeDesc& desc);
std::string ReturnLabel(const DataTypeDesc& desc);
// A catalogue entry with its lists already split, for the generators.
struct SplitTypeDesc {
    std::vector<std::string> kinds;
    std::vector<std::string> moves;
    std::vector<std::string> texts;
    std::string keyword; // the first kind
};
const SplitTypeDesc& SplitTypeDescFor(int32_t code, int32_t target);
// The type's keyword in the hint: Kinds before its first comma.
std::string TypeKeyword(int32_t code, int32_t target);
// Whether the target's catalogue has the type. A type it lacks has no kinds, so the kind test
// of a parameter or return value of that type would be an #IF without a condition.
bool IsTypeAvailable(int32_t code, int32_t target);
// Whether the code is a data type of either catalogue.
bool IsDataType(int32_t code);

// ---- Name and register rules ----

bool IsValidName(std::string_view text);
bool AreValidNames(std::string_view argName, std::string_view varName, bool skipVar);
bool CheckFsrUse(const MacroDefinition& def, int32_t count);
bool CheckFsrUse(int32_t count); // on the module's definition

// ---- Generators ----

// Pure forms: the lines for a definition and n parameters (n is clamped to 0..20).
Lines MacroLines(const MacroDefinition& def, int32_t n);
Lines KeyBlock(const MacroDefinition& def, int32_t n);
std::string HintLineToRtf(std::string_view hintLine);

// Module forms: fill CodeLines / KeyBlockLines from the module's definition and return them.
const Lines& GenerateMacro(int32_t n);
const Lines& BuildKeyBlock(int32_t n);
// The rich-text preview of line 4 of KeyBlockLines; run after BuildKeyBlock.
std::string HintToRtf();

// A text's lines: a line ends at CR LF, a lone CR or a lone LF. A break at the very end adds
// an empty last line only with keepFinalEmpty.
std::vector<std::string_view> SplitLines(std::string_view text, bool keepFinalEmpty);

// Lines joined with CR LF, the last line included.
std::string JoinCrLf(const Lines& lines);

} // namespace vmg::codegen
