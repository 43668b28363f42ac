// Code page 1252, the 8-bit character set of every text file and of the RTF the program writes.
#pragma once

#include "CodePage1252.h"

#include <QString>

#include <string>
#include <string_view>

namespace vmg::richtext {

QString DecodeCp1252(std::string_view bytes);

// Characters without a byte become `replacement`, one per character (a surrogate pair is one
// character; an unpaired surrogate is one too).
std::string EncodeCp1252(QStringView text, char replacement = '?');

} // namespace vmg::richtext
