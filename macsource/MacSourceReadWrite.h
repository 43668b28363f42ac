// Storing a macro definition in a ".mcs" macro source file and loading it again.
#pragma once

#include "MacroCodeGenerator.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace vmg::macsource {

// Field N (from 1) of a comma-separated line; a field beyond the last one is empty.
std::string CommaField(std::string_view line, int n);

// The outcome of a read: the parameter count on success, else the message to show.
struct ReadResult {
    bool ok = false;
    int32_t count = 0;
    std::string message;
};

struct WriteResult {
    bool ok = false;
    std::string message;
};

// Fills def from the file's text; fields the text does not set keep their values. Parameter
// records beyond the table's 20 are ignored. A bad boolean stops the reading, keeping what
// was assigned before it.
ReadResult ReadMacroSourceText(std::string_view text, codegen::MacroDefinition& def);

// The largest macro source file that is read (a 20-parameter file is under 2 KiB).
inline constexpr std::uint64_t kMaxMacroSourceBytes = 1024 * 1024;

// The file's bytes, read only when it is a regular file (or a link to one) of at most
// kMaxMacroSourceBytes; a directory, a FIFO or a device is refused without waiting on it. On
// failure the message is "Cannot open file "<name>". <reason>".
ReadResult ReadMacroSourceBytes(const std::string& fileName, std::string& bytes);
ReadResult ReadMacroSource(const std::string& fileName, codegen::MacroDefinition& def);
ReadResult ReadMacroSource(const std::string& fileName); // into the module's definition

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
