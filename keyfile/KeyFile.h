// Puts a macro's keyword block into the IDE's USER.MCD keyword file: insert or replace in place.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// All text here is 8-bit, code page 1252, held in std::string.
namespace vmg::keyfile {

using Lines = std::vector<std::string>;

enum class EditKind {
    Inserted,  // the block was appended at the end of the file
    Replaced,  // the name's old block was replaced in place
    Unchanged, // the name's block is already there, byte for byte
    Refused,   // nothing may be written; Message says why
};

struct EditResult {
    EditKind Kind = EditKind::Refused;
    std::string Bytes;   // the new file content (the old one when Unchanged, empty when Refused)
    int32_t Line = 0;    // line (from 1) of the block's KEY line in the new content
    std::string Name;    // the keyword's name, as the block's KEY line spells it
    std::string Message; // when Refused
};

// The name of a KEY line: `KEY`, optional blanks, `("Name")`, in any letter case and with any
// indentation; empty when the line is not a KEY line (or names nothing).
std::string KeyLineName(std::string_view line);
// True for an ENDKEY line, in any letter case and with any indentation.
bool IsEndKeyLine(std::string_view line);

// The new content of a keyword file (bytes in any of CR LF, LF or CR line ends, with or without
// a final line end) with block in it: the block of the same name (compared without letter case)
// is replaced line for line, or, when there is none, the block is appended after one empty
// line. New lines take the file's own line end (CR LF when it has none). Every byte outside the
// replaced lines stays as it was. Refused when the block is not one KEY ... ENDKEY block, when
// the name's block in the file has no ENDKEY, or when the file holds the name more than once.
EditResult PutKeyBlock(std::string_view file, const Lines& block);

// A unified diff of two texts (whole lines, line ends kept), with three lines of context,
// headed "--- oldLabel" and "+++ newLabel"; empty when the texts are equal.
std::string UnifiedDiff(std::string_view oldText, std::string_view newText,
                        std::string_view oldLabel, std::string_view newLabel);

} // namespace vmg::keyfile
