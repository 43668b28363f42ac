// Reading a macro that the wizard generated back into the definition that generates it.
#pragma once

#include "MacroCodeGenerator.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// All text here is 8-bit, code page 1252, held in std::string; lines end in CR LF, CR or LF.
namespace vmg::macimport {

// The largest code or keyword file that is read, as for the IDE's page.
inline constexpr std::uint64_t kMaxCodeFileBytes = std::uint64_t{64} << 20;

// Where a macro stands in a text: its header line ("Name MACRO ...") and the comment lines
// directly above it, which are its description.
struct MacroPlace {
    std::string Name;
    int FirstLine = 0;  // from 1: the first description line, or the header
    int HeaderLine = 0; // from 1
    std::size_t FirstOffset = 0;
};

// Every macro header of the text, in order.
std::vector<MacroPlace> FindMacros(std::string_view text);

// What a macro's keyword block (a NAME_hnt.dat file, or its block in USER.MCD) tells about
// what the macro text cannot: the target cores and which parameters are optional.
struct KeywordHint {
    std::string Source;            // the file, for the summary
    int KeyLine = 0;               // the block's KEY line, from 1
    std::optional<int32_t> Target; // from DeviceCore
    std::string DeviceCore;        // the list as written
    bool ParamsRead = false;       // the hint's parameter part could be read
    std::vector<std::string> ParamNames;
    std::vector<bool> ParamOptional; // its " Optional " words
};

// The block KEY ("name") ... ENDKEY of a keyword file's text (the name in any letter case);
// nothing when the text has none.
std::optional<KeywordHint> FindKeywordHint(std::string_view keywordText, std::string_view name,
                                           std::string_view source);

struct ImportResult {
    bool Ok = false;
    std::string Message; // a refusal: "line 23: expected #ENDIF, found GoSub AddSub"
    codegen::MacroDefinition Definition;
    int32_t ParamCount = 0;
    int FirstLine = 0; // the macro's lines in the text, from 1
    int LastLine = 0;
    bool OldBounds = false; // the count checks had the earlier bounds of a Parameter return
    // The lines that read as the generator's only once indentation, blanks and the letter case
    // of the compiler's words are set aside (an editor's changes): how many, and what differed.
    int LayoutLines = 0;
    unsigned LayoutDifferences = 0;
    // The summary: what the text did not tell and where it came from, and the old bounds.
    std::vector<std::string> Notes;
};

// Rebuilds the definition of the macro at `place`. Ok only when generating the definition
// gives the macro's lines back (line ends aside), or differs from them only in the earlier
// count bounds and in what an editor changes without changing the meaning (indentation, runs
// of blanks, trailing blanks, the letter case of the compiler's words); otherwise Message
// names the first line that departs.
ImportResult ImportMacro(std::string_view text, const MacroPlace& place,
                         const KeywordHint* hint = nullptr);

// The macro source file (.mcs) of an import, checked to give the same macro when it is read
// back; nothing, with the reason, when a field holds what the file cannot store.
std::optional<std::string> SourceFileText(const ImportResult& result, std::string& whyNot);

// The text of a code file: a saved rich-text file (_mac.rtf) as its plain text, anything
// else as it is.
std::string CodeText(std::string_view fileBytes);

// A code or keyword file's bytes, read only when it is a regular file of at most
// kMaxCodeFileBytes. On failure the message is "Cannot open file "<name>". <reason>".
struct FileBytes {
    bool Ok = false;
    std::string Bytes;
    std::string Message;
};
FileBytes ReadTextFile(const std::string& path);

// The summary of an import, one line each: the macro's lines, then the notes.
std::string Summary(const ImportResult& result, std::string_view fileName);

} // namespace vmg::macimport
