// Reads rich text (RTF) into a QTextDocument: the hint preview, and any code file saved before.
#pragma once

#include "RtfParse.h"

#include <string_view>

class QTextDocument;

namespace vmg::richtext {

// Replaces the document's content with the text of `rtf` and its font, size, colour, bold,
// italic and underline. Input that ends with groups still open is read to its end, as the
// Windows box does (the hint preview has no closing brace). Text bytes are code page 1252.
// Anything it does not understand is skipped; malformed input never stops it, and the time
// and memory it takes grow no faster than the input.
void ReadRtf(std::string_view rtf, QTextDocument& doc);

} // namespace vmg::richtext
