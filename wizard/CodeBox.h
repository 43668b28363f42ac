// The code box's look and content as page 4 shows them, shared with the Preview window.
#pragma once

#include "HighlighterSettings.h"
#include "MacroCodeGenerator.h"

class QTextDocument;
class QTextEdit;

namespace vmg::wizard {

// The highlighter's font (a fixed-pitch fallback) and the rich-edit box's tab stops.
void SetCodeFont(QTextEdit* box, const richtext::HighlighterSettings& h);

// Replaces the box's content with the lines, coloured as the IDE colours them, without an
// empty line after the last one; not a step the user can undo. The caret is left to the caller.
void FillCodeBox(QTextEdit* box, const codegen::Lines& lines,
                 const richtext::HighlighterSettings& h);

// The same content into a document of its own, not shown by any box yet: colouring a document
// that no view lays out is several times faster, which the live preview needs.
void FillCodeDocument(QTextDocument& doc, const codegen::Lines& lines,
                      const richtext::HighlighterSettings& h);

} // namespace vmg::wizard
