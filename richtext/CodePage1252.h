// Code page 1252 without Qt: the character of each byte and the byte of each character.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace vmg::richtext {

// The character a byte stands for. The five bytes that the code page leaves unassigned (0x81,
// 0x8D, 0x8F, 0x90, 0x9D) give the C1 control of the same number, as Windows does, so that
// every byte survives a decode and encode unchanged.
char16_t Cp1252ToUnicode(unsigned char byte);

// The byte of a character, or nothing when the code page has no byte for it.
std::optional<unsigned char> UnicodeToCp1252(char32_t ch);

// The characters of a text that the code page has no byte for, each once, in the order of
// their first appearance; empty when the code page holds the whole text.
std::u32string CharsOutsideCp1252(std::u32string_view text);

} // namespace vmg::richtext
