// Fuzzes the paste's insertion into a page: any page, any text, any line and column (far out
// of range included). The result is always the old page with one insertion at one place.
#include "Session.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 9) {
        return 0;
    }
    std::int32_t line = 0;
    std::int32_t column = 0;
    std::memcpy(&line, data, 4);
    std::memcpy(&column, data + 4, 4);
    // Small positions now and then, so that the insertion lands inside the page too.
    if ((data[8] & 1) != 0) {
        line = line % 8;
        column = column % 8;
    }
    const std::string_view rest(reinterpret_cast<const char*>(data) + 9, size - 9);
    const auto cut = rest.find('\0');
    const std::string_view page = rest.substr(0, cut);
    const std::string_view text =
        cut == std::string_view::npos ? std::string_view() : rest.substr(cut + 1);

    const std::string out = vmg::pluginmgr::InsertAt(page, line, column, text);
    if (out.size() < page.size()) {
        std::abort();
    }
    // One contiguous insertion: what the result shares with the page at its start and at its
    // end covers the whole page.
    std::size_t prefix = 0;
    while (prefix < page.size() && out[prefix] == page[prefix]) {
        ++prefix;
    }
    std::size_t suffix = 0;
    while (suffix < page.size() && out[out.size() - 1 - suffix] == page[page.size() - 1 - suffix]) {
        ++suffix;
    }
    if (prefix + suffix < page.size()) {
        std::abort();
    }
    // Nothing of the text is lost: every byte that is not a line end arrives.
    const auto plain = [](std::string_view s) {
        return static_cast<std::size_t>(
            std::count_if(s.begin(), s.end(), [](char c) { return c != '\r' && c != '\n'; }));
    };
    if (plain(out) != plain(page) + plain(text)) {
        std::abort();
    }
    return 0;
}
