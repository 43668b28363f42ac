// The RTF parser without Qt: runs of text with their resolved formatting and paragraph breaks,
// handed to a sink. The document reader and the code importer share it.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace vmg::richtext {

// Nesting deeper than this is only counted: its content is skipped.
inline constexpr int kMaxRtfDepth = 128;

// A run's formatting with the font and colour tables already applied.
struct RtfRunFormat {
    std::u16string_view FontName; // empty: the table names no font for the run
    int HalfPoints = 24;
    std::optional<std::array<std::uint8_t, 3>> Colour; // red, green, blue; none: automatic
    bool Bold = false;
    bool Italic = false;
    bool Underline = false;
};

class RtfSink {
public:
    virtual ~RtfSink() = default;
    // A run of text (UTF-16, a surrogate pair never split) in one format.
    virtual void Text(std::u16string_view text, const RtfRunFormat& format) = 0;
    // A paragraph break; the format is the one in force where it stands.
    virtual void Paragraph(const RtfRunFormat& format) = 0;
};

// Reads `rtf` to its end and hands its text to the sink. Input that ends with groups still
// open is read to its end, as the Windows box does (the hint preview has no closing brace).
// Text bytes are code page 1252. Anything it does not understand is skipped; malformed input
// never stops it, and the time and memory it takes grow no faster than the input.
void ParseRtf(std::string_view rtf, RtfSink& sink);

// The text of an RTF document in code page 1252, paragraphs and line breaks ending in LF;
// a character the code page lacks becomes "?".
std::string RtfPlainText(std::string_view rtf);

// True when the bytes start like an RTF document ("{\rtf"), blanks and line ends before it
// allowed.
bool LooksLikeRtf(std::string_view bytes);

} // namespace vmg::richtext
