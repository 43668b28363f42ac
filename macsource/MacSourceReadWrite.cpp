// The ".mcs" reader and writer: one comma-separated record per line, CR LF line ends.
#include "MacSourceReadWrite.h"

#include "Files.h"

#include <algorithm>
#include <limits>

namespace vmg::macsource {

using codegen::ArgData;
using codegen::MacroDefinition;

namespace {

bool isSpace(char c) {
    return c == ' ';
}

// A whole-field decimal integer: leading spaces and a sign allowed, nothing after the digits.
std::optional<int32_t> strictInt(std::string_view s) {
    std::size_t i = 0;
    while (i < s.size() && isSpace(s[i])) {
        ++i;
    }
    bool negative = false;
    if (i < s.size() && (s[i] == '+' || s[i] == '-')) {
        negative = s[i] == '-';
        ++i;
    }
    if (i == s.size()) {
        return std::nullopt;
    }
    int64_t value = 0;
    for (; i < s.size(); ++i) {
        if (s[i] < '0' || s[i] > '9') {
            return std::nullopt;
        }
        value = value * 10 + (s[i] - '0');
        if (value > int64_t{std::numeric_limits<int32_t>::max()} + 1) {
            return std::nullopt;
        }
    }
    value = negative ? -value : value;
    if (value > std::numeric_limits<int32_t>::max()) {
        return std::nullopt;
    }
    return static_cast<int32_t>(value);
}

// An integer field that is not a valid integer takes the value of its leading digits, with
// any sign dropped; no digits give 0.
int32_t lenientInt(std::string_view s) {
    if (const auto v = strictInt(s)) {
        return *v;
    }
    std::size_t i = 0;
    while (i < s.size() && isSpace(s[i])) {
        ++i;
    }
    if (i < s.size() && (s[i] == '+' || s[i] == '-')) {
        ++i;
    }
    int64_t value = 0;
    for (; i < s.size() && s[i] >= '0' && s[i] <= '9'; ++i) {
        value = std::min<int64_t>(value * 10 + (s[i] - '0'), std::numeric_limits<int32_t>::max());
    }
    return static_cast<int32_t>(value);
}

bool equalsNoCase(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               const auto lower = [](char c) { return (c >= 'A' && c <= 'Z') ? char(c + 32) : c; };
               return lower(x) == lower(y);
           });
}

struct BadBoolean {
    std::string text;
};

bool toBool(const std::string& s) {
    if (const auto v = strictInt(s)) {
        return *v != 0;
    }
    if (equalsNoCase(s, "true")) {
        return true;
    }
    if (equalsNoCase(s, "false")) {
        return false;
    }
    throw BadBoolean{s};
}

std::string boolText(bool b) {
    return b ? "-1" : "0";
}

// Everything after the n-th comma (the header's description keeps its own commas).
std::string afterComma(std::string_view line, int n) {
    std::size_t pos = 0;
    for (int i = 0; i < n; ++i) {
        pos = line.find(',', pos);
        if (pos == std::string_view::npos) {
            return {};
        }
        ++pos;
    }
    return std::string(line.substr(pos));
}

bool holdsBreakOrComma(const std::string& s) {
    return s.find_first_of(",\r\n") != std::string::npos;
}

} // namespace

std::string CommaField(std::string_view line, int n) {
    if (n < 1) {
        return {};
    }
    std::size_t start = 0;
    for (int i = 1; i < n; ++i) {
        const std::size_t comma = line.find(',', start);
        if (comma == std::string_view::npos) {
            return {};
        }
        start = comma + 1;
    }
    const std::size_t end = line.find(',', start);
    return std::string(
        line.substr(start, end == std::string_view::npos ? std::string_view::npos : end - start));
}

ReadResult ReadMacroSourceText(std::string_view text, MacroDefinition& def) {
    int32_t counter = 0;
    ReadResult result{true, 0, {}};
    int32_t lineNumber = 0;
    try {
        // The text ends at its first NUL.
        for (const std::string_view line :
             codegen::SplitLines(text.substr(0, text.find('\0')), false)) {
            ++lineNumber;
            const auto type = strictInt(CommaField(line, 1));
            if (!type) {
                continue;
            }
            const auto field = [&](int n) { return CommaField(line, n); };
            switch (*type) {
            case 1: {
                result.headerRecord = lineNumber;
                auto& h = def.Header;
                h.MacroName = field(2);
                h.ReturnMethod = lenientInt(field(3));
                h.Target = lenientInt(field(5));
                h.Skeleton = toBool(field(6));
                h.Description = afterComma(line, 6);
                break;
            }
            case 2: {
                // Records past the table's last slot are left out (and counted): the table
                // never overflows.
                if (counter >= codegen::kMaxParams) {
                    ++result.dropped;
                    break;
                }
                ++counter;
                result.paramRecords.push_back(lineNumber);
                ArgData& a = def.Params[static_cast<std::size_t>(counter - 1)];
                a.ArgName = field(2);
                a.VarName = field(3);
                a.DataType = lenientInt(field(4));
                a.Optional = toBool(field(5));
                a.AllowAlt = toBool(field(6));
                break;
            }
            case 3: {
                result.returnRecord = lineNumber;
                auto& r = def.Return;
                r.SubName = field(2);
                r.UseGoSub = toBool(field(3));
                r.UseGoTo = toBool(field(4));
                r.RetArg.VarName = field(5);
                r.RetArg.DataType = lenientInt(field(6));
                r.RetArg.Optional = toBool(field(7));
                r.RetArg.AllowAlt = toBool(field(8));
                break;
            }
            case 4:
                // A further line of the description.
                def.Header.Description += "\r\n" + afterComma(line, 1);
                break;
            default:
                break;
            }
        }
    } catch (const BadBoolean& bad) {
        return {false, 0, "'" + bad.text + "' is not a valid boolean value"};
    }
    result.count = counter;
    return result;
}

std::optional<std::string> WhyNotMacroSource(const ReadResult& read, const MacroDefinition& def) {
    if (read.headerRecord == 0) {
        return "it has no header record (a line that starts with \"1,\")";
    }
    const std::string& name = def.Header.MacroName;
    if (name.empty()) {
        return "its macro name is empty";
    }
    if (!codegen::IsValidName(name)) {
        return "its macro name \"" + name + "\" is not a valid name";
    }
    return std::nullopt;
}

namespace {

std::string targetName(int32_t target) {
    switch (target) {
    case 0:
        return "both cores";
    case 1:
        return "the 14-bit core";
    case 2:
        return "the 16-bit core";
    default:
        return "target " + std::to_string(target);
    }
}

// Empty when the target has the type.
std::string typeRefusal(int32_t record, int32_t code, int32_t target) {
    if (codegen::IsTypeAvailable(code, target)) {
        return {};
    }
    const std::string what = codegen::IsDataType(code)
                                 ? "is not available for " + targetName(target)
                                 : std::string("is not a data type");
    return "record " + std::to_string(record) + ": data type " + std::to_string(code) + " " + what;
}

} // namespace

std::vector<std::string> UnavailableTypes(const ReadResult& read, const MacroDefinition& def) {
    std::vector<std::string> out;
    const int32_t target = def.Header.Target;
    const auto count = std::min<std::size_t>(read.paramRecords.size(), codegen::kMaxParams);
    for (std::size_t i = 0; i < count; ++i) {
        std::string why = typeRefusal(read.paramRecords[i], def.Params[i].DataType, target);
        if (!why.empty()) {
            out.push_back(std::move(why));
        }
    }
    // The generator reads the return value only when the macro returns one.
    if (def.Header.ReturnMethod > 0) {
        const int32_t code = def.Return.RetArg.DataType;
        if (read.returnRecord == 0) {
            if (!codegen::IsTypeAvailable(code, target)) {
                out.push_back("the return value has no data type: there is no return record");
            }
        } else if (std::string why = typeRefusal(read.returnRecord, code, target); !why.empty()) {
            out.push_back(std::move(why));
        }
    }
    return out;
}

std::string DroppedRecordsNote(int32_t dropped) {
    if (dropped <= 0) {
        return {};
    }
    return std::to_string(dropped) +
           (dropped == 1 ? " parameter record after the 20th was"
                         : " parameter records after the 20th were") +
           " left out: a macro has at most 20 parameters";
}

ReadResult ReadMacroSourceBytes(const std::string& fileName, std::string& bytes) {
    platform::FileRead read = platform::ReadRegularFile(fileName, kMaxMacroSourceBytes);
    if (!read.ok()) {
        std::string reason = read.Reason; // the system's text
        if (read.Status == platform::ReadStatus::NotRegularFile) {
            reason = "It is not a regular file";
        } else if (read.Status == platform::ReadStatus::TooLarge) {
            reason = "It is larger than the limit of " + std::to_string(kMaxMacroSourceBytes) +
                     " bytes (1 MiB) for a macro source file";
        }
        return {false, 0, "Cannot open file \"" + fileName + "\". " + reason};
    }
    bytes = std::move(read.Bytes);
    return {true, 0, {}};
}

ReadResult ReadMacroSource(const std::string& fileName, MacroDefinition& def) {
    std::string text;
    if (ReadResult opened = ReadMacroSourceBytes(fileName, text); !opened.ok) {
        return opened;
    }
    return ReadMacroSourceText(text, def);
}

ReadResult ReadMacroSource(const std::string& fileName) {
    return ReadMacroSource(fileName, codegen::Definition());
}

ReadResult ReadMacroSourceToGenerate(const std::string& fileName, MacroDefinition& def) {
    ReadResult read = ReadMacroSource(fileName, def);
    if (!read.ok) {
        return read;
    }
    if (const auto why = WhyNotMacroSource(read, def)) {
        read.ok = false;
        read.message = fileName + " is not a macro source file: " + *why;
        return read;
    }
    if (const auto refused = UnavailableTypes(read, def); !refused.empty()) {
        read.ok = false;
        read.message.clear();
        for (const std::string& line : refused) {
            read.message += (read.message.empty() ? "" : "\n") + line;
        }
        return read;
    }
    if (read.dropped > 0) {
        read.note = fileName + ": " + DroppedRecordsNote(read.dropped);
    }
    return read;
}

std::optional<std::string> MacroSourceText(const MacroDefinition& def, int32_t paramCount,
                                           std::string* whyNot) {
    const int32_t n = std::clamp<int32_t>(paramCount, 0, codegen::kMaxParams);
    const auto refuse = [&](const std::string& what, const std::string& value) {
        if (whyNot != nullptr) {
            *whyNot = "The " + what + " \"" + value +
                      "\" holds a comma or a line break, which a macro source file cannot "
                      "store. Change it and try again.";
        }
        return std::nullopt;
    };
    const auto& h = def.Header;
    const auto& r = def.Return;
    if (holdsBreakOrComma(h.MacroName)) {
        return refuse("macro name", h.MacroName);
    }
    for (int32_t i = 0; i < n; ++i) {
        const ArgData& a = def.Params[static_cast<std::size_t>(i)];
        const std::string which = " of parameter " + std::to_string(i + 1);
        if (holdsBreakOrComma(a.ArgName)) {
            return refuse("name" + which, a.ArgName);
        }
        if (holdsBreakOrComma(a.VarName)) {
            return refuse("destination variable" + which, a.VarName);
        }
    }
    if (holdsBreakOrComma(r.SubName)) {
        return refuse("subroutine name", r.SubName);
    }
    if (holdsBreakOrComma(r.RetArg.VarName)) {
        return refuse("return variable", r.RetArg.VarName);
    }

    // The description's first line stays in the header record; further lines follow as
    // type-4 records, which older readers skip.
    const std::string_view description(h.Description);
    const auto descLines = codegen::SplitLines(description.substr(0, description.find('\0')), true);
    std::string out = "1," + h.MacroName + "," + std::to_string(h.ReturnMethod) + ",," +
                      std::to_string(h.Target) + "," + boolText(h.Skeleton) + "," +
                      std::string(descLines.empty() ? std::string_view() : descLines[0]) + "\r\n";
    for (std::size_t i = 1; i < descLines.size(); ++i) {
        out += "4," + std::string(descLines[i]) + "\r\n";
    }
    for (int32_t i = 0; i < n; ++i) {
        const ArgData& a = def.Params[static_cast<std::size_t>(i)];
        out += "2," + a.ArgName + "," + a.VarName + "," + std::to_string(a.DataType) + "," +
               boolText(a.Optional) + "," + boolText(a.AllowAlt) + "\r\n";
    }
    out += "3," + r.SubName + "," + boolText(r.UseGoSub) + "," + boolText(r.UseGoTo) + "," +
           r.RetArg.VarName + "," + std::to_string(r.RetArg.DataType) + "," +
           boolText(r.RetArg.Optional) + "," + boolText(r.RetArg.AllowAlt) + "\r\n";
    return out;
}

WriteResult WriteFileAtomically(const std::string& fileName, std::string_view data) {
    const platform::ReplaceResult replaced = platform::ReplaceFile(fileName, data);
    if (replaced.ok()) {
        return {true, {}};
    }
    const std::string reason = replaced.Code != 0 ? platform::SystemErrorText(replaced.Code)
                                                  : std::string("It is not a regular file");
    return {false, "Cannot create file \"" + fileName + "\". " + reason};
}

WriteResult WriteMacroSource(const std::string& fileName, const MacroDefinition& def,
                             int32_t paramCount) {
    std::string why;
    const auto text = MacroSourceText(def, paramCount, &why);
    if (!text) {
        return {false, why};
    }
    return WriteFileAtomically(fileName, *text);
}

WriteResult WriteMacroSource(const std::string& fileName, int32_t paramCount) {
    return WriteMacroSource(fileName, codegen::Definition(), paramCount);
}

} // namespace vmg::macsource
