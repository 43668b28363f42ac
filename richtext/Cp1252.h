// Code page 1252, the 8-bit character set of every text file and of the RTF the program writes.
#pragma once

#include <QString>

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

QString DecodeCp1252(std::string_view bytes);

// Characters without a byte become `replacement`, one per character (a surrogate pair is one
// character; an unpaired surrogate is one too).
std::string EncodeCp1252(QStringView text, char replacement = '?');

} // namespace vmg::richtext
