// The keyword-file editor: finds the macro's KEY ... ENDKEY block in USER.MCD and puts the new one
// in.
#include "KeyFile.h"

#include "InPlaceEdit.h"

#include <algorithm>

namespace vmg::keyfile {
namespace {

// One line of the file: its text runs from begin to end, its line end from end to next.
struct Span {
    std::size_t begin = 0;
    std::size_t end = 0;
    std::size_t next = 0;
};

std::vector<Span> splitSpans(std::string_view text) {
    std::vector<Span> spans;
    std::size_t start = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r' || text[i] == '\n') {
            const std::size_t end = i;
            if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') {
                ++i;
            }
            spans.push_back({start, end, i + 1});
            start = i + 1;
        }
    }
    if (start < text.size()) {
        spans.push_back({start, text.size(), text.size()});
    }
    return spans;
}

bool isBlank(char c) {
    return c == ' ' || c == '\t';
}

char lower(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

bool sameNoCase(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(),
                                              [](char x, char y) { return lower(x) == lower(y); });
}

bool isWordChar(char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '_';
}

std::string_view skipBlanks(std::string_view s) {
    while (!s.empty() && isBlank(s.front())) {
        s.remove_prefix(1);
    }
    return s;
}

// The line starts (after its indentation) with the word, not followed by a word character.
bool startsWithWord(std::string_view& rest, std::string_view word) {
    rest = skipBlanks(rest);
    if (rest.size() < word.size() || !sameNoCase(rest.substr(0, word.size()), word)) {
        return false;
    }
    if (rest.size() > word.size() && isWordChar(rest[word.size()])) {
        return false;
    }
    rest.remove_prefix(word.size());
    return true;
}

bool hasBreak(const std::string& line) {
    return line.find_first_of("\r\n") != std::string::npos;
}

bool isBlankLine(std::string_view line) {
    return skipBlanks(line).empty();
}

EditResult refuse(std::string message) {
    EditResult r;
    r.Kind = EditKind::Refused;
    r.Message = std::move(message);
    return r;
}

// "3", "3 and 20", "3, 20 and 31".
std::string lineList(const std::vector<std::size_t>& lines) {
    std::string out;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        if (i > 0) {
            out += i + 1 == lines.size() ? " and " : ", ";
        }
        out += std::to_string(lines[i] + 1);
    }
    return out;
}

// The block without the blank lines around it, or a refusal when it is not one KEY ... ENDKEY.
bool trimBlock(const Lines& block, Lines& out, std::string& why) {
    auto first = block.begin();
    auto last = block.end();
    while (first != last && isBlankLine(*first)) {
        ++first;
    }
    while (last != first && isBlankLine(*(last - 1))) {
        --last;
    }
    out.assign(first, last);
    if (std::any_of(out.begin(), out.end(), hasBreak)) {
        why = "The hint holds a line break inside one of its lines.";
    } else if (out.empty() || KeyLineName(out.front()).empty()) {
        why = "The hint does not start with a KEY (\"Name\") line.";
    } else if (out.size() < 2 || !IsEndKeyLine(out.back())) {
        why = "The hint does not end with an ENDKEY line.";
    } else {
        for (std::size_t i = 1; i + 1 < out.size(); ++i) {
            if (!KeyLineName(out[i]).empty() || IsEndKeyLine(out[i])) {
                why = "The hint holds more than one KEY ... ENDKEY block (see its line " +
                      std::to_string(i + 1) + ").";
                return false;
            }
        }
        return true;
    }
    return false;
}

void appendLines(std::string& out, const Lines& lines, std::string_view eol,
                 std::string_view lastEol) {
    for (std::size_t i = 0; i < lines.size(); ++i) {
        out += lines[i];
        out += i + 1 == lines.size() ? lastEol : eol;
    }
}

EditResult insertAtEnd(std::string_view file, const std::vector<Span>& spans, const Lines& block,
                       const std::string& name) {
    // The last line end the file has: appending in it never joins a final CR to a new LF.
    std::string_view eol = "\r\n";
    for (auto it = spans.rbegin(); it != spans.rend(); ++it) {
        if (it->next > it->end) {
            eol = file.substr(it->end, it->next - it->end);
            break;
        }
    }
    EditResult r;
    r.Kind = EditKind::Inserted;
    r.Name = name;
    r.Bytes.reserve(file.size() + 2 * eol.size() + 64 * block.size());
    r.Bytes.assign(file);
    std::size_t linesBefore = spans.size();
    if (!spans.empty()) {
        if (spans.back().next == spans.back().end) {
            r.Bytes += eol; // the unfinished last line gets its end
        }
        if (!isBlankLine(file.substr(spans.back().begin, spans.back().end - spans.back().begin))) {
            r.Bytes += eol; // one empty line between the file and the block
            ++linesBefore;
        }
    }
    appendLines(r.Bytes, block, eol, eol);
    r.Line = static_cast<int32_t>(linesBefore + 1);
    return r;
}

EditResult replaceAt(std::string_view file, const std::vector<Span>& spans, std::size_t key,
                     const Lines& block, const std::string& name) {
    std::size_t end = key + 1;
    while (end < spans.size()) {
        const std::string_view line =
            file.substr(spans[end].begin, spans[end].end - spans[end].begin);
        if (IsEndKeyLine(line)) {
            break;
        }
        if (!KeyLineName(line).empty()) {
            return refuse("The entry for " + name + " at line " + std::to_string(key + 1) +
                          " has no ENDKEY before the next KEY at line " + std::to_string(end + 1) +
                          ".");
        }
        ++end;
    }
    if (end == spans.size()) {
        return refuse("The entry for " + name + " at line " + std::to_string(key + 1) +
                      " has no ENDKEY.");
    }
    // Inner lines take the old KEY line's line end; the last one keeps the ENDKEY line's own.
    const std::string_view eol = file.substr(spans[key].end, spans[key].next - spans[key].end);
    const std::string_view lastEol = file.substr(spans[end].end, spans[end].next - spans[end].end);
    EditResult r;
    r.Name = name;
    r.Line = static_cast<int32_t>(key + 1);
    r.Bytes.reserve(file.size() + 64 * block.size());
    r.Bytes.assign(file.substr(0, spans[key].begin));
    appendLines(r.Bytes, block, eol, lastEol);
    r.Bytes.append(file.substr(spans[end].next));
    r.Kind = r.Bytes == file ? EditKind::Unchanged : EditKind::Replaced;
    return r;
}

} // namespace

std::string KeyLineName(std::string_view line) {
    std::string_view rest = line;
    if (!startsWithWord(rest, "KEY")) {
        return {};
    }
    rest = skipBlanks(rest);
    if (!rest.starts_with("(\"")) {
        return {};
    }
    rest.remove_prefix(2);
    const std::size_t close = rest.find("\")");
    if (close == std::string_view::npos || close == 0) {
        return {};
    }
    return std::string(rest.substr(0, close));
}

bool IsEndKeyLine(std::string_view line) {
    std::string_view rest = line;
    return startsWithWord(rest, "ENDKEY") && isBlankLine(rest);
}

namespace {

EditResult putIntoText(std::string_view file, const Lines& block) {
    Lines lines;
    std::string why;
    if (!trimBlock(block, lines, why)) {
        return refuse(why);
    }
    const std::string name = KeyLineName(lines.front());
    const std::vector<Span> spans = splitSpans(file);
    std::vector<std::size_t> found;
    for (std::size_t i = 0; i < spans.size(); ++i) {
        const auto text = file.substr(spans[i].begin, spans[i].end - spans[i].begin);
        if (sameNoCase(KeyLineName(text), name)) {
            found.push_back(i);
        }
    }
    if (found.size() > 1) {
        return refuse("The file holds more than one entry for " + name + ", at lines " +
                      lineList(found) + ".");
    }
    if (found.empty()) {
        return insertAtEnd(file, spans, lines, name);
    }
    return replaceAt(file, spans, found.front(), lines, name);
}

} // namespace

// A UTF-8 mark stays where it is, in front of the text the blocks are looked for in; a file in a
// wider encoding would be mixed with our 8-bit lines, so it is refused.
EditResult PutKeyBlock(std::string_view file, const Lines& block) {
    if (const auto wide = platform::WideEncodingOf(file)) {
        return refuse("It is in " + *wide + "; only 8-bit text (code page 1252) can be edited.");
    }
    const std::size_t mark = platform::Utf8MarkLength(file);
    EditResult r = putIntoText(file.substr(mark), block);
    if (r.Kind != EditKind::Refused && mark > 0) {
        r.Bytes.insert(0, file.substr(0, mark));
    }
    return r;
}

} // namespace vmg::keyfile
