// The cleaning of the editor page's text and the label and variable scans, as pure functions.
#include "IDE_Info.h"
#include "MacroCodeGenerator.h"

#include <algorithm>

namespace vmg::ide {

namespace {

// Spaces and control characters: everything that the scans treat as blank.
bool isBlankOrControl(char ch) {
    return static_cast<unsigned char>(ch) <= 32;
}

std::string_view trimBlankOrControl(std::string_view text) {
    while (!text.empty() && isBlankOrControl(text.front())) {
        text.remove_prefix(1);
    }
    while (!text.empty() && isBlankOrControl(text.back())) {
        text.remove_suffix(1);
    }
    return text;
}

std::string_view trimSpaces(std::string_view text) {
    const auto first = text.find_first_not_of(' ');
    if (first == std::string_view::npos) {
        return {};
    }
    return text.substr(first, text.find_last_not_of(' ') - first + 1);
}

// Keeps a non-empty line that is not a comment, its tabs turned into blanks.
void keepLine(std::string_view raw, std::vector<std::string>& out) {
    if (raw.empty()) {
        return;
    }
    const auto first = std::find_if_not(raw.begin(), raw.end(), isBlankOrControl);
    if (first != raw.end() && (*first == '\'' || *first == ';')) {
        return;
    }
    std::string& line = out.emplace_back(raw);
    std::replace(line.begin(), line.end(), '\t', ' ');
}

bool startsWithDim(std::string_view text) {
    auto upper = [](char ch) { return ch >= 'a' && ch <= 'z' ? static_cast<char>(ch - 32) : ch; };
    return text.size() >= 3 && upper(text[0]) == 'D' && upper(text[1]) == 'I' &&
           upper(text[2]) == 'M';
}

} // namespace

std::optional<std::size_t> PageTextBufferSize(std::int32_t textSize) {
    if (textSize <= 0 || textSize > kMaxPageTextSize) {
        return std::nullopt;
    }
    return static_cast<std::size_t>(textSize);
}

std::vector<std::string> CleanPageText(std::string_view text) {
    text = text.substr(0, text.find('\0'));
    std::vector<std::string> lines;
    // Each line is judged on its own, so one forward pass keeps the page order in linear time.
    std::size_t start = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char ch = text[i];
        if (ch != '\r' && ch != '\n') {
            continue;
        }
        keepLine(text.substr(start, i - start), lines);
        if (ch == '\r' && i + 1 < text.size() && text[i + 1] == '\n') {
            ++i;
        }
        start = i + 1;
    }
    keepLine(text.substr(start), lines);
    return lines;
}

std::optional<std::string> LabelOf(std::string_view line) {
    const auto colon = line.find(':');
    if (colon == std::string_view::npos) {
        return std::nullopt;
    }
    // Not trimmed: an indented name keeps its blanks and so is no label.
    const std::string_view name = line.substr(0, colon);
    if (!codegen::IsValidName(name)) {
        return std::nullopt;
    }
    return std::string(name);
}

std::optional<std::string> DeclaredVariableOf(std::string_view line) {
    const std::string_view text = trimBlankOrControl(line);
    // DIM must stand as a word of its own: "Dimmer = 5" declares nothing.
    if (!startsWithDim(text) || text.size() < 4 || !isBlankOrControl(text[3])) {
        return std::nullopt;
    }
    const auto space = text.find(' ', 4);
    if (space == std::string_view::npos) {
        return std::nullopt; // "Dim Flag": no type follows the name
    }
    std::string_view name = trimSpaces(text.substr(3, space - 3));
    const auto control = std::find_if(name.begin(), name.end(),
                                      [](char ch) { return static_cast<unsigned char>(ch) < 32; });
    name = name.substr(0, static_cast<std::size_t>(control - name.begin()));
    // "Dim X, Y As Word" declares X first; the comma is no part of the name, nor is an
    // array's size: "Dim Arr[10] As Byte" declares Arr.
    name = trimSpaces(name.substr(0, name.find_first_of(",[")));
    return std::string(name);
}

std::vector<std::string> ScanLabels(const std::vector<std::string>& lines) {
    std::vector<std::string> labels;
    for (const auto& line : lines) {
        if (auto label = LabelOf(line)) {
            labels.push_back(std::move(*label));
        }
    }
    return labels;
}

std::vector<std::string> ScanVariables(const std::vector<std::string>& lines) {
    std::vector<std::string> names;
    for (const auto& line : lines) {
        if (auto name = DeclaredVariableOf(line)) {
            names.push_back(std::move(*name));
        }
    }
    return names;
}

} // namespace vmg::ide
