// Colours the macro text of the code review box with the IDE editor's highlighter settings.
#pragma once

#include "HighlighterSettings.h"

#include <QColor>
#include <QString>

#include <vector>

class QTextCursor;
class QTextDocument;

namespace vmg::richtext {

// A run of characters of a text, from Start, Length characters long.
struct TextRange {
    qsizetype Start = 0;
    qsizetype Length = 0;
    bool operator==(const TextRange&) const = default;
};

// The document's text with every line break written as CR LF: the text the IDE receives when
// the code is pasted. Paragraphs are joined (a final empty paragraph, left by text that ended
// in a line break, gives the trailing CR LF), and a line break inside a paragraph counts as one.
QString PlainTextCrLf(const QTextDocument& doc);

// ---- Searches on CR LF text, where a line break counts as two characters ----

// Every whole-word occurrence of `word`, ignoring letter case: a match counts only when no
// letter, digit or underscore touches it on either side. The search goes on after each match.
std::vector<TextRange> FindWords(QStringView text, QStringView word);

// Every span from an `open` mark through the first character of the next `close` mark, ignoring
// letter case. The search goes on two characters after the first character of the close mark,
// so after a CR LF close it starts on the next line and after a one-character close it skips
// the character that follows; an open mark without a close after it ends the search.
std::vector<TextRange> FindSpans(QStringView text, QStringView open, QStringView close);

// ---- Colouring of a document ----

// Gives the selection the colour, and bold and italic as the style asks (ParseStyle); a style
// without B or I makes it plain. Font name and size stay.
void ApplyHighlight(QTextCursor& selection, const QColor& colour, QStringView style);

// FindWords and FindSpans over the document's CR LF text, each found range highlighted.
void ColourWords(QTextDocument& doc, QStringView word, const QColor& colour, QStringView style);
void ColourSpans(QTextDocument& doc, QStringView open, QStringView close, const QColor& colour,
                 QStringView style);

// The whole colouring, in this order, each step recolouring what an earlier one coloured: the
// settings' font and size in black and plain for everything (also the document's default font);
// the directives; the register names; double-quoted strings (across lines); GoTo and GoSub;
// comments from an apostrophe to the end of its line. Runs as one undo step. Placing the caret
// is left to the box that shows the document.
void ColourCode(QTextDocument& doc, const HighlighterSettings& settings);

// Font sizes beyond what the Windows rich-edit box accepts are held to its range.
inline constexpr int kMinFontPoints = 1;
inline constexpr int kMaxFontPoints = 1638;

} // namespace vmg::richtext
