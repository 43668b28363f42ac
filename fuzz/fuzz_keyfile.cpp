// Fuzzes the keyword-file editor: it refuses, or keeps every byte outside the block it replaces,
// and a second run on its own result changes nothing.
#include "FuzzCheck.h"
#include "KeyFile.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <cstddef>
#include <cstdint>
#include <string_view>

using vmg::fuzz::check;

using namespace vmg::keyfile;

namespace {

struct Span {
    std::size_t begin, end, next;
};

std::vector<Span> spansOf(std::string_view text) {
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

std::string_view lineAt(std::string_view text, const Span& s) {
    return text.substr(s.begin, s.end - s.begin);
}

bool blank(std::string_view line) {
    return line.find_first_not_of(" \t") == std::string_view::npos;
}

Lines trimmed(const Lines& block) {
    std::size_t first = 0, last = block.size();
    while (first < last && blank(block[first])) {
        ++first;
    }
    while (last > first && blank(block[last - 1])) {
        --last;
    }
    return Lines(block.begin() + first, block.begin() + last);
}

bool sameNoCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) {
        return false;
    }
    for (std::size_t i = 0; i < a.size(); ++i) {
        const auto lo = [](char c) { return c >= 'A' && c <= 'Z' ? char(c + 32) : c; };
        if (lo(a[i]) != lo(b[i])) {
            return false;
        }
    }
    return true;
}

// The block's lines sit at line `from` of text, each line exactly as given.
void blockSitsAt(std::string_view text, std::size_t from, const Lines& lines) {
    const auto spans = spansOf(text);
    check(from + lines.size() <= spans.size());
    for (std::size_t i = 0; i < lines.size(); ++i) {
        check(lineAt(text, spans[from + i]) == lines[i]);
    }
}

void checkReplace(std::string_view file, const EditResult& r, const Lines& lines) {
    const auto spans = spansOf(file);
    const std::size_t key = static_cast<std::size_t>(r.Line - 1);
    check(key < spans.size() && sameNoCase(KeyLineName(lineAt(file, spans[key])), r.Name));
    std::size_t end = key + 1;
    while (end < spans.size() && !IsEndKeyLine(lineAt(file, spans[end]))) {
        check(KeyLineName(lineAt(file, spans[end])).empty());
        ++end;
    }
    check(end < spans.size());
    // Everything before the old KEY line and from the old ENDKEY line's line end on is kept.
    const std::string_view before = file.substr(0, spans[key].begin);
    const std::string_view after = file.substr(spans[end].end);
    check(r.Bytes.starts_with(before) && r.Bytes.ends_with(after));
    check(r.Bytes.size() >= before.size() + after.size());
    const std::string_view middle = std::string_view(r.Bytes).substr(
        before.size(), r.Bytes.size() - before.size() - after.size());
    const auto middleSpans = spansOf(middle);
    check(middleSpans.size() == lines.size());
    blockSitsAt(r.Bytes, key, lines);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzedDataProvider input(data, size);
    Lines block;
    if (input.ConsumeBool()) {
        const auto count = input.ConsumeIntegralInRange<int>(0, 8);
        for (int i = 0; i < count; ++i) {
            block.push_back(input.ConsumeRandomLengthString(40));
        }
    } else {
        const std::string name = input.ConsumeBool() ? "AddNums" : "aDDnUMS";
        block = {"KEY (\"" + name + "\")", "\tHighlighter = KeywordUser", "\tHint = \"<b>x</i></i>",
                 "ENDKEY"};
    }
    const std::string file = input.ConsumeRemainingBytesAsString();

    const EditResult r = PutKeyBlock(file, block);
    if (r.Kind == EditKind::Refused) {
        check(r.Bytes.empty() && !r.Message.empty());
        return 0;
    }
    const Lines lines = trimmed(block);
    // A UTF-8 mark stays first, and the lines are judged without it.
    constexpr std::string_view kUtf8Mark = "\xEF\xBB\xBF";
    const std::size_t mark = file.starts_with(kUtf8Mark) ? kUtf8Mark.size() : 0;
    check(r.Bytes.starts_with(file.substr(0, mark)));
    const std::string_view text = std::string_view(file).substr(mark);
    EditResult judged = r;
    judged.Bytes.erase(0, mark);
    if (r.Kind == EditKind::Inserted) {
        check(judged.Bytes.starts_with(text));
        for (const auto& s : spansOf(text)) {
            check(!sameNoCase(KeyLineName(lineAt(text, s)), r.Name));
        }
        blockSitsAt(judged.Bytes, static_cast<std::size_t>(r.Line - 1), lines);
    } else {
        checkReplace(text, judged, lines);
        check((r.Kind == EditKind::Unchanged) == (r.Bytes == file));
    }
    const EditResult again = PutKeyBlock(r.Bytes, block);
    check(again.Kind == EditKind::Unchanged && again.Bytes == r.Bytes);
    return 0;
}
