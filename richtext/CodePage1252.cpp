// Table-driven code page 1252: independent of whether Qt was built with ICU.
#include "CodePage1252.h"

#include <array>
#include <cstddef>

namespace vmg::richtext {
namespace {

// 0x80-0x9F are the only bytes that differ from Latin-1.
constexpr std::array<char16_t, 32> kHigh = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

} // namespace

char16_t Cp1252ToUnicode(unsigned char byte) {
    if (byte >= 0x80 && byte < 0xA0) {
        return kHigh[byte - 0x80u];
    }
    return byte;
}

std::optional<unsigned char> UnicodeToCp1252(char32_t ch) {
    if (ch < 0x80 || (ch >= 0xA0 && ch <= 0xFF)) {
        return static_cast<unsigned char>(ch);
    }
    for (std::size_t i = 0; i < kHigh.size(); ++i) {
        if (kHigh[i] == ch) {
            return static_cast<unsigned char>(0x80 + i);
        }
    }
    return std::nullopt;
}

std::u32string CharsOutsideCp1252(std::u32string_view text) {
    std::u32string outside;
    for (const char32_t ch : text) {
        if (!UnicodeToCp1252(ch) && outside.find(ch) == std::u32string::npos) {
            outside.push_back(ch);
        }
    }
    return outside;
}

} // namespace vmg::richtext
