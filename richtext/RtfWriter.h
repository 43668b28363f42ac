// Writes a QTextDocument as rich text (RTF) that WordPad, LibreOffice and the Windows rich-edit
// box open with the same text, font, size, colours, bold and italic.
#pragma once

#include <string>

class QTextDocument;

namespace vmg::richtext {

// The whole document as RTF bytes (plain ASCII): one \par between paragraphs, code page 1252
// characters as \'hh, others as \uN with a "?" for readers without Unicode. Colours and styles
// are read from where they are held, including a syntax highlighter's block layout formats;
// what a character leaves unset comes from the document's default font.
std::string DocumentToRtf(const QTextDocument& doc);

} // namespace vmg::richtext
