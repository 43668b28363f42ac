// A macro's keyword block, read for what its text cannot tell: DeviceCore and the hint's
// Optional words. Also the file side of the importer.
#include "ImportText.h"
#include "KeyFile.h"

#include "Files.h"
#include "InPlaceEdit.h"
#include "MacSourceReadWrite.h"
#include "RtfParse.h"

namespace vmg::macimport {
namespace {

bool sameNoCase(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               const auto up = [](char c) { return c >= 'a' && c <= 'z' ? char(c - 32) : c; };
               return up(x) == up(y);
           });
}

std::optional<int32_t> targetOfCores(std::string_view list) {
    if (list == "[dc12, dc14, dc16]") {
        return 0;
    }
    if (list == "[dc12, dc14]") {
        return 1;
    }
    if (list == "[dc16]") {
        return 2;
    }
    return std::nullopt;
}

// The parameter part "<b>Name</b> <i>[ Optional ]<b>Arg</b> As KIND ...</i>": each
// parameter's name and whether its Optional word stands before it.
void readParams(std::string_view hint, std::string_view name, KeywordHint& out) {
    const std::string start = "<b>" + std::string(name) + "</b> <i>";
    const std::size_t at = hint.find(start);
    if (at == std::string_view::npos) {
        return;
    }
    std::string_view rest = hint.substr(at + start.size());
    while (!rest.starts_with("</i>")) {
        const bool optional = rest.starts_with(" Optional ");
        if (optional) {
            rest.remove_prefix(10);
        }
        const std::size_t nameEnd = rest.find("</b> As ");
        if (!rest.starts_with("<b>") || nameEnd == std::string_view::npos) {
            return;
        }
        const std::size_t kindEnd = rest.find(' ', nameEnd + 8);
        if (kindEnd == std::string_view::npos) {
            return;
        }
        out.ParamNames.emplace_back(rest.substr(3, nameEnd - 3));
        out.ParamOptional.push_back(optional);
        rest.remove_prefix(kindEnd + 1);
    }
    out.ParamsRead = true;
}

void readLine(std::string_view line, std::string_view name, KeywordHint& out) {
    const std::size_t start = line.find_first_not_of(" \t");
    if (start == std::string_view::npos) {
        return;
    }
    line.remove_prefix(start);
    if (line.starts_with("DeviceCore = ")) {
        out.DeviceCore = std::string(line.substr(13));
        out.Target = targetOfCores(out.DeviceCore);
    } else if (line.starts_with("Hint = \"") && !out.ParamsRead) {
        readParams(line.substr(8), name, out);
    }
}

} // namespace

std::optional<KeywordHint> FindKeywordHint(std::string_view keywordText, std::string_view name,
                                           std::string_view source) {
    // A UTF-8 mark at the start hides no KEY line.
    keywordText.remove_prefix(platform::Utf8MarkLength(keywordText));
    detail::LineCursor cursor(keywordText, 0, 1);
    std::string_view line;
    int number = 0;
    std::optional<KeywordHint> found;
    while (cursor.Next(line, number)) {
        if (!found) {
            if (sameNoCase(keyfile::KeyLineName(line), name)) {
                found = KeywordHint{std::string(source), number, {}, {}, false, {}, {}};
            }
            continue;
        }
        if (keyfile::IsEndKeyLine(line)) {
            break;
        }
        readLine(line, name, *found);
    }
    return found;
}

std::optional<std::string> SourceFileText(const ImportResult& result, std::string& whyNot) {
    auto text = macsource::MacroSourceText(result.Definition, result.ParamCount, &whyNot);
    if (!text) {
        return std::nullopt;
    }
    codegen::MacroDefinition back;
    const auto read = macsource::ReadMacroSourceText(*text, back);
    if (!read.ok || codegen::MacroLines(back, read.count) !=
                        codegen::MacroLines(result.Definition, result.ParamCount)) {
        whyNot = "A macro source file cannot hold its definition as it stands: a text field "
                 "holds a character that the file cannot store.";
        return std::nullopt;
    }
    return text;
}

std::string CodeText(std::string_view fileBytes) {
    if (richtext::LooksLikeRtf(fileBytes)) {
        return richtext::RtfPlainText(fileBytes);
    }
    // A UTF-8 mark would hide a macro on the first line; the line numbers stay the same.
    return std::string(fileBytes.substr(platform::Utf8MarkLength(fileBytes)));
}

FileBytes ReadTextFile(const std::string& path) {
    platform::FileRead read = platform::ReadRegularFile(path, kMaxCodeFileBytes);
    if (read.ok()) {
        if (const auto wide = platform::WideEncodingOf(read.Bytes)) {
            return {false,
                    {},
                    "Cannot open file \"" + path + "\". It is in " + *wide +
                        "; only 8-bit text (code page 1252) can be read."};
        }
        return {true, std::move(read.Bytes), {}};
    }
    std::string reason = read.Reason;
    if (read.Status == platform::ReadStatus::NotRegularFile) {
        reason = "It is not a regular file";
    } else if (read.Status == platform::ReadStatus::TooLarge) {
        reason = "It is larger than the limit of " + std::to_string(kMaxCodeFileBytes) +
                 " bytes (64 MiB)";
    }
    return {false, {}, "Cannot open file \"" + path + "\". " + reason};
}

std::string Summary(const ImportResult& result, std::string_view fileName) {
    std::string out = result.Definition.Header.MacroName + ": lines " +
                      std::to_string(result.FirstLine) + "-" + std::to_string(result.LastLine) +
                      " of " + std::string(fileName) + ", " + std::to_string(result.ParamCount) +
                      " parameter" + (result.ParamCount == 1 ? "" : "s") + "\n";
    if (result.Notes.empty()) {
        out += "  every field is in the text\n";
    }
    for (const std::string& note : result.Notes) {
        out += "  " + note + "\n";
    }
    return out;
}

} // namespace vmg::macimport
