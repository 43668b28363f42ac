// Storing a macro definition in a ".mcs" macro source file and loading it again.
#pragma once

#include "MacroCodeGenerator.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vmg::macsource {

// Field N (from 1) of a comma-separated line; a field beyond the last one is empty.
std::string CommaField(std::string_view line, int n);

// The outcome of a read: the parameter count on success, else the message to show.
struct ReadResult {
    bool ok = false;
    int32_t count = 0;
    std::string message;
    // Where the records that count stand (line numbers from 1), for messages that name them:
    // the last header record (0 without one), each parameter record taken, the last return
    // record (0 without one).
    int32_t headerRecord = 0;
    std::vector<int32_t> paramRecords{};
    int32_t returnRecord = 0;
    int32_t dropped = 0; // parameter records past the table's 20, left out
    std::string note{};  // what the caller should tell although the read succeeded
};

struct WriteResult {
    bool ok = false;
    std::string message;
};

// Fills def from the file's text; fields the text does not set keep their values. Parameter
// records beyond the table's 20 are left out and counted. A bad boolean stops the reading,
// keeping what was assigned before it.
ReadResult ReadMacroSourceText(std::string_view text, codegen::MacroDefinition& def);

// Why a text that read without error is no macro source at all, or nothing: it has no header
// record, or its macro name is empty or not a valid name.
std::optional<std::string> WhyNotMacroSource(const ReadResult& read,
                                             const codegen::MacroDefinition& def);

// One line for each record whose data type the definition's target lacks, "record N: data
// type C is not available for the 14-bit core" (or "... is not a data type"). The return
// record counts only when the macro returns a value.
std::vector<std::string> UnavailableTypes(const ReadResult& read,
                                          const codegen::MacroDefinition& def);

// "N parameter records after the 20th were left out ...", or empty when none was.
std::string DroppedRecordsNote(int32_t dropped);

// The largest macro source file that is read (a 20-parameter file is under 2 KiB).
inline constexpr std::uint64_t kMaxMacroSourceBytes = 1024 * 1024;

// The file's bytes, read only when it is a regular file (or a link to one) of at most
// kMaxMacroSourceBytes; a directory, a FIFO or a device is refused without waiting on it. On
// failure the message is "Cannot open file "<name>". <reason>".
ReadResult ReadMacroSourceBytes(const std::string& fileName, std::string& bytes);
ReadResult ReadMacroSource(const std::string& fileName, codegen::MacroDefinition& def);
ReadResult ReadMacroSource(const std::string& fileName); // into the module's definition

// What the generators without a window read: the file as ReadMacroSource reads it, refused
// when it is no macro source ("FILE is not a macro source file: REASON") or when a data type
// is not available (UnavailableTypes, one line each). On success, note names the parameter
// records left out, if any.
ReadResult ReadMacroSourceToGenerate(const std::string& fileName, codegen::MacroDefinition& def);

// The file's text for def and paramCount parameters, or nullopt with the reason when a text
// field could not be read back (a comma or a line break outside the description).
std::optional<std::string> MacroSourceText(const codegen::MacroDefinition& def, int32_t paramCount,
                                           std::string* whyNot = nullptr);

// Writes atomically (a temporary file beside the target, renamed over it; a symbolic link is
// written through, and a file the user may not write is refused).
WriteResult WriteMacroSource(const std::string& fileName, const codegen::MacroDefinition& def,
                             int32_t paramCount);
WriteResult WriteMacroSource(const std::string& fileName, int32_t paramCount);

// Replaces fileName by data through a temporary file beside it; on failure the message is
// "Cannot create file "<name>". <reason>" and the target is untouched.
WriteResult WriteFileAtomically(const std::string& fileName, std::string_view data);

} // namespace vmg::macsource
