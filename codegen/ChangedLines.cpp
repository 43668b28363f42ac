// The changed lines between two generations of a text: a longest common subsequence.
#include "ChangedLines.h"

#include <algorithm>
#include <cstdint>

namespace vmg::codegen {

namespace {

// Beyond this many line pairs the table would cost more than a frame's time and memory.
constexpr std::size_t kMaxPairs = std::size_t{4} << 20;

} // namespace

std::vector<std::size_t> ChangedLines(const Lines& before, const Lines& after) {
    // A change is usually local: the common head and tail need no table.
    std::size_t head = 0;
    while (head < before.size() && head < after.size() && before[head] == after[head]) {
        ++head;
    }
    std::size_t tail = 0;
    while (tail < before.size() - head && tail < after.size() - head &&
           before[before.size() - 1 - tail] == after[after.size() - 1 - tail]) {
        ++tail;
    }
    const std::size_t rows = before.size() - head - tail;
    const std::size_t cols = after.size() - head - tail;
    std::vector<std::size_t> changed;
    if (rows == 0 || cols == 0 || rows * cols > kMaxPairs) {
        for (std::size_t j = 0; j < cols; ++j) {
            changed.push_back(head + j);
        }
        return changed;
    }
    // common[i][j]: the longest common run of before[head+i..] and after[head+j..].
    const std::size_t width = cols + 1;
    std::vector<std::uint32_t> common((rows + 1) * width, 0);
    for (std::size_t i = rows; i-- > 0;) {
        for (std::size_t j = cols; j-- > 0;) {
            common[i * width + j] =
                before[head + i] == after[head + j]
                    ? common[(i + 1) * width + j + 1] + 1
                    : std::max(common[(i + 1) * width + j], common[i * width + j + 1]);
        }
    }
    std::size_t i = 0;
    std::size_t j = 0;
    while (j < cols) {
        if (i < rows && before[head + i] == after[head + j]) {
            ++i;
            ++j;
        } else if (i < rows && common[(i + 1) * width + j] >= common[i * width + j + 1]) {
            ++i; // a line of `before` that is gone
        } else {
            changed.push_back(head + j++);
        }
    }
    return changed;
}

} // namespace vmg::codegen
