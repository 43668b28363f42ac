// A unified diff of two texts, for showing what an edit of the keyword file would change.
#include "KeyFile.h"

#include <algorithm>

namespace vmg::keyfile {
namespace {

// Whole lines with their own line ends.
std::vector<std::string_view> linesOf(std::string_view text) {
    std::vector<std::string_view> lines;
    std::size_t start = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r' || text[i] == '\n') {
            if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') {
                ++i;
            }
            lines.push_back(text.substr(start, i + 1 - start));
            start = i + 1;
        }
    }
    if (start < text.size()) {
        lines.push_back(text.substr(start));
    }
    return lines;
}

using Text = std::vector<std::string_view>;

struct Op {
    char kind;            // ' ', '-' or '+'
    std::size_t oldIndex; // the old line (for ' ' and '-') or the old lines consumed before it
    std::size_t newIndex; // likewise for the new text
};

// The edit script of a middle part: longest common subsequence when it is small, otherwise
// every old line out and every new line in.
void middleOps(const Text& a, const Text& b, std::size_t a0, std::size_t a1, std::size_t b0,
               std::size_t b1, std::vector<Op>& ops) {
    const std::size_t n = a1 - a0, m = b1 - b0;
    if (n * m > 4'000'000) {
        for (std::size_t i = a0; i < a1; ++i) {
            ops.push_back({'-', i, b0});
        }
        for (std::size_t j = b0; j < b1; ++j) {
            ops.push_back({'+', a1, j});
        }
        return;
    }
    // len[i][j]: the common subsequence of a[a0+i..a1) and b[b0+j..b1).
    std::vector<uint32_t> len((n + 1) * (m + 1), 0);
    const auto at = [&](std::size_t i, std::size_t j) -> uint32_t& { return len[i * (m + 1) + j]; };
    for (std::size_t i = n; i-- > 0;) {
        for (std::size_t j = m; j-- > 0;) {
            at(i, j) = a[a0 + i] == b[b0 + j] ? at(i + 1, j + 1) + 1
                                              : std::max(at(i + 1, j), at(i, j + 1));
        }
    }
    std::size_t i = 0, j = 0;
    while (i < n || j < m) {
        if (i < n && j < m && a[a0 + i] == b[b0 + j]) {
            ops.push_back({' ', a0 + i++, b0 + j++});
        } else if (j == m || (i < n && at(i + 1, j) >= at(i, j + 1))) {
            ops.push_back({'-', a0 + i++, b0 + j});
        } else {
            ops.push_back({'+', a0 + i, b0 + j++});
        }
    }
}

std::vector<Op> editScript(const Text& a, const Text& b) {
    std::size_t pre = 0;
    while (pre < a.size() && pre < b.size() && a[pre] == b[pre]) {
        ++pre;
    }
    std::size_t suf = 0;
    while (suf < a.size() - pre && suf < b.size() - pre &&
           a[a.size() - 1 - suf] == b[b.size() - 1 - suf]) {
        ++suf;
    }
    std::vector<Op> ops;
    for (std::size_t i = 0; i < pre; ++i) {
        ops.push_back({' ', i, i});
    }
    middleOps(a, b, pre, a.size() - suf, pre, b.size() - suf, ops);
    for (std::size_t k = suf; k > 0; --k) {
        ops.push_back({' ', a.size() - k, b.size() - k});
    }
    return ops;
}

std::string range(std::size_t first, std::size_t count) {
    // A hunk without lines of one side names the line before it.
    std::string out = std::to_string(count == 0 ? first : first + 1);
    if (count != 1) {
        out += "," + std::to_string(count);
    }
    return out;
}

void putLine(std::string& out, char kind, std::string_view line) {
    out += kind;
    out += line;
    if (line.empty() || (line.back() != '\n' && line.back() != '\r')) {
        out += "\n\\ No newline at end of file\n";
    }
}

void putHunk(std::string& out, const std::vector<Op>& ops, std::size_t from, std::size_t to,
             const Text& a, const Text& b) {
    std::size_t oldCount = 0, newCount = 0;
    for (std::size_t k = from; k < to; ++k) {
        oldCount += ops[k].kind != '+';
        newCount += ops[k].kind != '-';
    }
    out += "@@ -" + range(ops[from].oldIndex, oldCount) + " +" +
           range(ops[from].newIndex, newCount) + " @@\n";
    for (std::size_t k = from; k < to; ++k) {
        putLine(out, ops[k].kind, ops[k].kind == '+' ? b[ops[k].newIndex] : a[ops[k].oldIndex]);
    }
}

} // namespace

std::string UnifiedDiff(std::string_view oldText, std::string_view newText,
                        std::string_view oldLabel, std::string_view newLabel) {
    if (oldText == newText) {
        return {};
    }
    const Text a = linesOf(oldText), b = linesOf(newText);
    const std::vector<Op> ops = editScript(a, b);
    constexpr std::size_t kContext = 3;
    std::string out = "--- " + std::string(oldLabel) + "\n+++ " + std::string(newLabel) + "\n";
    std::size_t k = 0;
    while (k < ops.size()) {
        while (k < ops.size() && ops[k].kind == ' ') {
            ++k;
        }
        if (k == ops.size()) {
            break;
        }
        const std::size_t from = k > kContext ? k - kContext : 0;
        // Extend over changes closer together than two contexts.
        std::size_t last = k;
        for (std::size_t j = k; j < ops.size() && j <= last + 2 * kContext + 1; ++j) {
            if (ops[j].kind != ' ') {
                last = j;
            }
        }
        const std::size_t to = std::min(ops.size(), last + 1 + kContext);
        putHunk(out, ops, from, to, a, b);
        k = to;
    }
    return out;
}

} // namespace vmg::keyfile
