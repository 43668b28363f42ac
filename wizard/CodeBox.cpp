// Filling and colouring a code box.
#include "CodeBox.h"

#include "CodeColouring.h"
#include "CodeFont.h"
#include "Text1252.h"

#include <QFont>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextEdit>

#include <algorithm>

namespace vmg::wizard {

void SetCodeFont(QTextEdit* box, const richtext::HighlighterSettings& h) {
    // A missing face falls back to a fixed-pitch one.
    box->setFont(richtext::CodeFont(
        h.FontName, std::clamp(h.FontSize, richtext::kMinFontPoints, richtext::kMaxFontPoints)));
    // The rich-edit box's tab stops: every half inch.
    box->setTabStopDistance(box->logicalDpiX() / 2.0);
}

namespace {

// Coloured with the line end after the last line, as the IDE's text has it (a comment on the
// last line ends there), but shown without an empty line after the last one; Finish ends every
// line itself.
void ColourAndTrim(QTextDocument& doc, const richtext::HighlighterSettings& h) {
    richtext::ColourCode(doc, h);
    if (doc.blockCount() > 1 && doc.lastBlock().text().isEmpty()) {
        QTextCursor end(&doc);
        end.movePosition(QTextCursor::End);
        end.deletePreviousChar();
    }
}

} // namespace

void FillCodeBox(QTextEdit* box, const codegen::Lines& lines,
                 const richtext::HighlighterSettings& h) {
    QTextDocument* doc = box->document();
    // Filling and colouring are no steps the user can undo: Undo right after arriving would
    // otherwise strip the colours.
    doc->setUndoRedoEnabled(false);
    box->setPlainText(LinesForEditor(lines) + u'\n');
    ColourAndTrim(*doc, h);
    doc->setUndoRedoEnabled(true);
}

void FillCodeDocument(QTextDocument& doc, const codegen::Lines& lines,
                      const richtext::HighlighterSettings& h) {
    doc.setUndoRedoEnabled(false);
    doc.setPlainText(LinesForEditor(lines) + u'\n');
    ColourAndTrim(doc, h);
}

} // namespace vmg::wizard
