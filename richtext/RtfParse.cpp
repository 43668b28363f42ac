// An iterative, byte-at-a-time RTF parser: a state stack instead of recursion, so that no input
// can exhaust the call stack, and every step consumes at least one byte.
#include "RtfParse.h"

#include "CodePage1252.h"
#include "TextChars.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <limits>
#include <map>
#include <optional>
#include <vector>

namespace vmg::richtext {
namespace {

constexpr int kMaxWordLetters = 32;
constexpr int kDefaultHalfPoints = 24; // RTF's default size, 12 points
constexpr int kMaxHalfPoints = 3276;   // the largest size the Windows box shows, 1638 points
constexpr int kMaxUc = 8;
constexpr std::size_t kMaxFonts = 4096;
constexpr std::size_t kMaxColours = 4096;
constexpr std::size_t kMaxFontName = 256;
constexpr char16_t kReplacement = 0xFFFD;
constexpr char16_t kLineSeparator = 0x2028;
constexpr char16_t kParagraphSeparator = 0x2029;

bool isHighSurrogate(char16_t ch) {
    return ch >= 0xD800 && ch < 0xDC00;
}
bool isLowSurrogate(char16_t ch) {
    return ch >= 0xDC00 && ch < 0xE000;
}

// White space as Unicode counts it (the separators, the ASCII controls \t to \r, NEL).
bool isSpace(char16_t ch) {
    return ch == 0x20 || (ch >= 0x09 && ch <= 0x0D) || ch == 0x85 || ch == 0xA0 || ch == 0x1680 ||
           (ch >= 0x2000 && ch <= 0x200A) || ch == kLineSeparator || ch == kParagraphSeparator ||
           ch == 0x202F || ch == 0x205F || ch == 0x3000;
}

std::u16string trimmed(const std::u16string& text) {
    std::size_t first = 0;
    std::size_t end = text.size();
    while (first < end && isSpace(text[first])) {
        ++first;
    }
    while (end > first && isSpace(text[end - 1])) {
        --end;
    }
    return text.substr(first, end - first);
}

enum class Dest : uint8_t { Text, FontTable, ColourTable, Skip };

// Character formatting as the file states it; fonts and colours stay table numbers until a run
// of text is written, so a table that comes late still applies.
struct CharState {
    int Font = -1; // -1: the \deff font
    int HalfPoints = kDefaultHalfPoints;
    int Colour = 0; // an entry of the colour table; the usual entry 0 is empty, "automatic"
    bool Bold = false;
    bool Italic = false;
    bool Underline = false;
    bool operator==(const CharState&) const = default;
};

struct Group {
    CharState Chars;
    int Uc = 1;
    Dest Destination = Dest::Text;
};

// Destinations whose content is never text of the document.
// clang-format off
constexpr std::string_view kSkippedDestinations[] = {
    "annotation", "atnauthor", "atnid", "author", "bkmkend", "bkmkstart", "colorschememapping",
    "comment", "company", "creatim", "datastore", "doccomm", "filetbl", "fldinst", "footer",
    "footerf", "footerl", "footerr", "footnote", "generator", "header", "headerf", "headerl",
    "headerr", "info", "keywords", "latentstyles", "listoverridetable", "listtable", "nonshppict",
    "object", "objdata", "operator", "pgdsctbl", "pict", "printim", "revtbl", "revtim", "rsidtbl",
    "stylesheet", "subject", "themedata", "title", "xmlnstbl",
};
// clang-format on

struct Special {
    std::string_view Word;
    char16_t Ch;
};
constexpr std::array<Special, 12> kSpecialChars = {{
    {"tab", u'\t'},
    {"cell", u'\t'},
    {"line", kLineSeparator},
    {"emdash", 0x2014},
    {"endash", 0x2013},
    {"lquote", 0x2018},
    {"rquote", 0x2019},
    {"ldblquote", 0x201C},
    {"rdblquote", 0x201D},
    {"bullet", 0x2022},
    {"emspace", 0x2003},
    {"enspace", 0x2002},
}};

bool isLetter(unsigned char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

bool isDigit(unsigned char c) {
    return c >= '0' && c <= '9';
}

int hexValue(unsigned char c) {
    if (isDigit(c)) {
        return c - '0';
    }
    if (c >= 'a' && c <= 'f') {
        return c - 'a' + 10;
    }
    if (c >= 'A' && c <= 'F') {
        return c - 'A' + 10;
    }
    return -1;
}

class Reader {
public:
    Reader(std::string_view input, RtfSink& sink) : m_in(input), m_sink(sink) {
        m_stack.reserve(kMaxRtfDepth + 1);
        m_stack.emplace_back();
    }

    void run() {
        while (m_pos < m_in.size() && !m_done) {
            step();
        }
        endOfText();
        flushRun();
    }

private:
    unsigned char at(std::size_t i) const { return static_cast<unsigned char>(m_in[i]); }
    Group& top() { return m_stack.back(); }
    bool skipping() const { return m_overflow > 0 || m_stack.back().Destination == Dest::Skip; }

    void step() {
        const unsigned char c = at(m_pos);
        switch (c) {
        case '{':
            ++m_pos;
            openGroup();
            return;
        case '}':
            ++m_pos;
            closeGroup();
            return;
        case '\\':
            controlSequence();
            return;
        case '\r':
        case '\n':
            ++m_pos; // line ends in the file are layout of the file, not text
            return;
        default:
            ++m_pos;
            if (m_fallback > 0) {
                --m_fallback;
                return;
            }
            textByte(c);
            return;
        }
    }

    void openGroup() {
        m_fallback = 0;
        if (m_overflow > 0 || m_stack.size() > kMaxRtfDepth) {
            ++m_overflow;
            return;
        }
        m_stack.push_back(m_stack.back());
    }

    void closeGroup() {
        m_fallback = 0;
        if (m_overflow > 0) {
            --m_overflow;
            return;
        }
        if (m_stack.size() <= 1) {
            return; // a close brace without its open: nothing to close
        }
        if (top().Destination == Dest::FontTable) {
            commitFont();
        }
        m_stack.pop_back();
        if (m_stack.size() == 1) {
            m_done = true; // the outermost group is the whole document
        }
    }

    void controlSequence() {
        if (m_pos + 1 >= m_in.size()) {
            m_pos = m_in.size();
            return;
        }
        const unsigned char next = at(m_pos + 1);
        if (isLetter(next)) {
            controlWord();
            return;
        }
        if (next == '\'') {
            hexEscape();
            return;
        }
        m_pos += 2;
        if (m_fallback > 0) {
            --m_fallback;
            return;
        }
        switch (next) {
        case '\\':
        case '{':
        case '}':
            textChar(next);
            return;
        case '\r':
        case '\n':
            paragraph();
            return;
        case '~':
            textChar(0x00A0);
            return;
        case '_':
            textChar(0x2011);
            return;
        case '*':
            // Marks a destination that a reader may not know; none of them holds text here.
            if (m_stack.size() > 1 && m_overflow == 0) {
                top().Destination = Dest::Skip;
            }
            return;
        default:
            return; // \- optional hyphen, \| \: and the like show nothing
        }
    }

    void hexEscape() {
        const int high = m_pos + 2 < m_in.size() ? hexValue(at(m_pos + 2)) : -1;
        const int low = m_pos + 3 < m_in.size() ? hexValue(at(m_pos + 3)) : -1;
        if (high < 0 || low < 0) {
            m_pos += 2; // an escape without its two digits is dropped
            return;
        }
        m_pos += 4;
        if (m_fallback > 0) {
            --m_fallback;
            return;
        }
        const auto byte = static_cast<unsigned char>(high * 16 + low);
        if (skipping() || top().Destination == Dest::ColourTable) {
            return;
        }
        if (top().Destination == Dest::FontTable) {
            fontNameChar(Cp1252ToUnicode(byte));
            return;
        }
        textChar(Cp1252ToUnicode(byte));
    }

    void controlWord() {
        std::size_t i = m_pos + 1;
        const std::size_t wordStart = i;
        while (i < m_in.size() && isLetter(at(i))) {
            ++i;
        }
        const std::size_t letters = i - wordStart;
        const std::string_view word = m_in.substr(wordStart, letters);
        std::optional<int> number;
        bool negative = false;
        if (i + 1 < m_in.size() && at(i) == '-' && isDigit(at(i + 1))) {
            negative = true;
            ++i;
        }
        if (i < m_in.size() && isDigit(at(i))) {
            int64_t value = 0;
            while (i < m_in.size() && isDigit(at(i))) {
                value = std::min<int64_t>(value * 10 + (at(i) - '0'),
                                          std::numeric_limits<int32_t>::max());
                ++i;
            }
            number = static_cast<int>(negative ? -value : value);
        }
        if (i < m_in.size() && at(i) == ' ') {
            ++i; // the delimiting blank belongs to the word
        }
        m_pos = i;

        if (word == "bin") {
            // Binary data is never text; it may hold braces and backslashes, so it is jumped.
            const std::size_t length =
                number && *number > 0 ? static_cast<std::size_t>(*number) : 0;
            m_pos += std::min(length, m_in.size() - m_pos);
            if (m_fallback > 0) {
                --m_fallback;
            }
            return;
        }
        if (m_fallback > 0) {
            --m_fallback;
            return;
        }
        if (letters > kMaxWordLetters || skipping()) {
            return;
        }
        switch (top().Destination) {
        case Dest::FontTable:
            fontTableWord(word, number);
            return;
        case Dest::ColourTable:
            colourTableWord(word, number);
            return;
        default:
            textWord(word, number);
            return;
        }
    }

    void textWord(std::string_view word, std::optional<int> number) {
        CharState& chars = top().Chars;
        const bool on = !number || *number != 0;
        if (word == "b") {
            chars.Bold = on;
        } else if (word == "i") {
            chars.Italic = on;
        } else if (word == "ul") {
            chars.Underline = on;
        } else if (word == "ulnone") {
            chars.Underline = false;
        } else if (word == "plain") {
            chars = CharState{};
        } else if (word == "f") {
            chars.Font = number ? std::max(*number, 0) : -1;
        } else if (word == "fs") {
            chars.HalfPoints = number ? std::clamp(*number, 1, kMaxHalfPoints) : kDefaultHalfPoints;
        } else if (word == "cf") {
            chars.Colour = number ? std::max(*number, 0) : 0;
        } else if (word == "uc") {
            top().Uc = number ? std::clamp(*number, 0, kMaxUc) : 1;
        } else if (word == "u") {
            if (number) {
                unicodeChar(*number);
            }
        } else if (word == "deff") {
            m_defaultFont = number ? std::max(*number, 0) : 0;
        } else if (word == "par" || word == "sect" || word == "page" || word == "row") {
            paragraph();
        } else if (word == "fonttbl") {
            top().Destination = Dest::FontTable;
            m_fontNumber = 0;
            m_fontName.clear();
        } else if (word == "colortbl") {
            top().Destination = Dest::ColourTable;
            m_colourPart = {};
        } else if (std::find(std::begin(kSkippedDestinations), std::end(kSkippedDestinations),
                             word) != std::end(kSkippedDestinations)) {
            if (m_stack.size() > 1) {
                top().Destination = Dest::Skip;
            }
        } else {
            for (const Special& s : kSpecialChars) {
                if (s.Word == word) {
                    textChar(s.Ch);
                    return;
                }
            }
        }
    }

    // ---- Tables ----

    void fontTableWord(std::string_view word, std::optional<int> number) {
        if (word == "f") {
            commitFont();
            m_fontNumber = number ? std::max(*number, 0) : 0;
        } else if (word == "uc") {
            top().Uc = number ? std::clamp(*number, 0, kMaxUc) : 1;
        } else if (word == "u" && number) {
            m_fallback = top().Uc;
            const int value = *number < 0 ? *number + 65536 : *number;
            if (value >= 0x20 && value <= 0xFFFF &&
                !isHighSurrogate(static_cast<char16_t>(value)) &&
                !isLowSurrogate(static_cast<char16_t>(value))) {
                fontNameChar(static_cast<char16_t>(value));
            }
        }
    }

    void fontNameChar(char16_t ch) {
        if (ch == u';') {
            commitFont();
        } else if (m_fontName.size() < kMaxFontName && !detail::IsDroppedChar(ch) && ch != u'\t' &&
                   ch != kLineSeparator && ch != kParagraphSeparator) {
            m_fontName.push_back(ch);
        }
    }

    void commitFont() {
        std::u16string name = trimmed(m_fontName);
        m_fontName.clear();
        if (name.empty() || (m_fonts.size() >= kMaxFonts && !m_fonts.contains(m_fontNumber))) {
            return;
        }
        m_fonts[m_fontNumber] = std::move(name);
    }

    struct ColourPart {
        int Red = 0;
        int Green = 0;
        int Blue = 0;
        bool Given = false;
    };

    void colourTableWord(std::string_view word, std::optional<int> number) {
        const int value = number ? std::clamp(*number, 0, 255) : 0;
        if (word == "red") {
            m_colourPart.Red = value;
        } else if (word == "green") {
            m_colourPart.Green = value;
        } else if (word == "blue") {
            m_colourPart.Blue = value;
        } else {
            return;
        }
        m_colourPart.Given = true;
    }

    void colourTableChar(char16_t ch) {
        if (ch != u';') {
            return;
        }
        if (m_colours.size() < kMaxColours) {
            // An entry without parts is "automatic": it keeps its number but gives no colour.
            m_colours.push_back(
                m_colourPart.Given
                    ? std::optional(std::array{static_cast<std::uint8_t>(m_colourPart.Red),
                                               static_cast<std::uint8_t>(m_colourPart.Green),
                                               static_cast<std::uint8_t>(m_colourPart.Blue)})
                    : std::nullopt);
        }
        m_colourPart = {};
    }

    // ---- Text ----

    void textByte(unsigned char c) {
        if (skipping()) {
            return;
        }
        const char16_t ch = Cp1252ToUnicode(c);
        switch (top().Destination) {
        case Dest::FontTable:
            fontNameChar(ch);
            return;
        case Dest::ColourTable:
            colourTableChar(ch);
            return;
        default:
            textChar(ch);
            return;
        }
    }

    void unicodeChar(int number) {
        m_fallback = top().Uc;
        const int value = number < 0 ? number + 65536 : number;
        if (value < 0 || value > 0xFFFF) {
            textChar(kReplacement);
            return;
        }
        const auto unit = static_cast<char16_t>(value);
        if (isHighSurrogate(unit)) {
            endOfText();
            m_pendingHigh = unit;
            return;
        }
        if (isLowSurrogate(unit)) {
            if (m_pendingHigh != 0) {
                const char16_t high = m_pendingHigh;
                m_pendingHigh = 0;
                appendToRun(high);
                appendToRun(unit);
            } else {
                textChar(kReplacement);
            }
            return;
        }
        if (unit == kParagraphSeparator) {
            paragraph();
            return;
        }
        textChar(unit);
    }

    void textChar(char16_t ch) {
        if (detail::IsDroppedChar(ch)) {
            endOfText();
            return;
        }
        if (skipping() || top().Destination != Dest::Text) {
            if (top().Destination == Dest::FontTable && !skipping()) {
                fontNameChar(ch);
            }
            return;
        }
        endOfText();
        appendToRun(ch);
    }

    // A high surrogate that no low one followed is not a character.
    void endOfText() {
        if (m_pendingHigh != 0) {
            m_pendingHigh = 0;
            appendToRun(kReplacement);
        }
    }

    void appendToRun(char16_t ch) {
        const CharState& chars = top().Chars;
        if (!m_runValid || !(chars == m_runState)) {
            flushRun();
            m_runState = chars;
            m_runValid = true;
        }
        m_run.push_back(ch);
    }

    void paragraph() {
        if (skipping() || top().Destination != Dest::Text) {
            return;
        }
        endOfText();
        flushRun();
        m_sink.Paragraph(format(top().Chars));
    }

    void flushRun() {
        if (!m_run.empty()) {
            m_sink.Text(m_run, format(m_runState));
            m_run.clear();
        }
        m_runValid = false;
    }

    RtfRunFormat format(const CharState& chars) const {
        RtfRunFormat f;
        // A font number missing from the table falls back on the default font.
        auto it = m_fonts.find(chars.Font < 0 ? m_defaultFont : chars.Font);
        if (it == m_fonts.end()) {
            it = m_fonts.find(m_defaultFont);
        }
        if (it != m_fonts.end()) {
            f.FontName = it->second;
        }
        f.HalfPoints = chars.HalfPoints;
        if (static_cast<std::size_t>(chars.Colour) < m_colours.size()) {
            f.Colour = m_colours[static_cast<std::size_t>(chars.Colour)];
        }
        f.Bold = chars.Bold;
        f.Italic = chars.Italic;
        f.Underline = chars.Underline;
        return f;
    }

    std::string_view m_in;
    std::size_t m_pos = 0;
    RtfSink& m_sink;
    std::vector<Group> m_stack;
    int m_overflow = 0; // groups opened beyond the depth limit, still open
    bool m_done = false;
    int m_fallback = 0; // units still to skip after a \u
    char16_t m_pendingHigh = 0;

    int m_defaultFont = 0;
    std::map<int, std::u16string> m_fonts;
    int m_fontNumber = 0;
    std::u16string m_fontName;
    std::vector<std::optional<std::array<std::uint8_t, 3>>> m_colours; // none: "automatic"
    ColourPart m_colourPart;

    std::u16string m_run;
    CharState m_runState;
    bool m_runValid = false;
};

// Collects the text as code page 1252 bytes.
class PlainText final : public RtfSink {
public:
    void Text(std::u16string_view text, const RtfRunFormat&) override {
        for (std::size_t i = 0; i < text.size(); ++i) {
            char32_t ch = text[i];
            if (isHighSurrogate(text[i]) && i + 1 < text.size() && isLowSurrogate(text[i + 1])) {
                ch = 0x10000 + ((ch - 0xD800) << 10) + (text[i + 1] - 0xDC00u);
                ++i;
            }
            if (ch == kLineSeparator) {
                Out.push_back('\n');
                continue;
            }
            const auto byte = UnicodeToCp1252(ch);
            Out.push_back(byte ? static_cast<char>(*byte) : '?');
        }
    }
    void Paragraph(const RtfRunFormat&) override { Out.push_back('\n'); }

    std::string Out;
};

} // namespace

void ParseRtf(std::string_view rtf, RtfSink& sink) {
    Reader(rtf, sink).run();
}

std::string RtfPlainText(std::string_view rtf) {
    PlainText text;
    ParseRtf(rtf, text);
    return std::move(text.Out);
}

bool LooksLikeRtf(std::string_view bytes) {
    const std::size_t start = bytes.find_first_not_of(" \t\r\n");
    return start != std::string_view::npos && bytes.substr(start).starts_with("{\\rtf");
}

} // namespace vmg::richtext
