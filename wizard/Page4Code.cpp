// Page 4's controls and entry.
#include "Page4Code.h"

#include "CheckCallWindow.h"
#include "CodeColouring.h"
#include "CodeFont.h"
#include "IDE_Info.h"
#include "MacroCodeGenerator.h"
#include "PageDeclarations.h"
#include "Text1252.h"

#include <QFont>
#include <QLabel>
#include <QPushButton>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextEdit>

#include <algorithm>

namespace vmg::wizard {

Page4Code::Page4Code(PageContext context, QWidget* parent) : WizardPage(4, context, parent) {
    m_lblStep4 = AddPageText("lblStep4", 5, 5, kPageWidth, 24);
    m_rtxtCode = new QTextEdit(this);
    m_rtxtCode->setObjectName(QStringLiteral("rtxtCode"));
    m_rtxtCode->setGeometry(5, 40, 460, 257);
    m_rtxtCode->setLineWrapMode(QTextEdit::NoWrap);
    m_rtxtCode->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    m_rtxtCode->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    m_rtxtCode->setAcceptRichText(false); // pasting into the box brings text, not formats
    m_lblStep4->setBuddy(m_rtxtCode);
    // In the free band right of the page's text; the code box keeps its place.
    m_cmdCheckCall = MakeButton(this, "cmdCheckCall", QStringLiteral("Check..."), 384, 6, 81, 21);
    connect(m_cmdCheckCall, &QPushButton::clicked, this, &Page4Code::cmdCheckCallClick);
}

void Page4Code::cmdCheckCallClick() {
    if (!m_checkWindow) {
        callcheck::PageNames page;
        page.labels = ide::ScanLabels(ide::PageLines());
        for (const auto& d : ide::ScanDeclarations(ide::PageLines())) {
            page.variables.push_back({d.name, callcheck::KindOfDimType(d.type, d.isArray)});
        }
        // Owned by the main window; it only reads the definition and the code box.
        m_checkWindow = new CheckCallWindow(Definition(), State().ParamCount, m_rtxtCode,
                                            std::move(page), window());
    } else {
        m_checkWindow->Reset(State().ParamCount);
    }
    m_checkWindow->ShowBeside(window());
}

void Page4Code::SetPageTexts() {
    m_lblStep4->setText(QStringLiteral("You can review and edit the code generated"));
}

QWidget* Page4Code::FirstField() const {
    return m_rtxtCode;
}

void Page4Code::Enter() {
    const richtext::HighlighterSettings& h = State().HighlighterSettings;
    // A missing face falls back to a fixed-pitch one.
    const QFont font = richtext::CodeFont(
        h.FontName, std::clamp(h.FontSize, richtext::kMinFontPoints, richtext::kMaxFontPoints));
    m_rtxtCode->setFont(font);
    // The rich-edit box's tab stops: every half inch.
    m_rtxtCode->setTabStopDistance(logicalDpiX() / 2.0);

    const QString text =
        LinesForEditor(codegen::MacroLines(Definition(), State().ParamCount)) + u'\n';
    QTextDocument* doc = m_rtxtCode->document();
    // Filling and colouring are no steps the user can undo: Undo right after arriving would
    // otherwise strip the colours.
    doc->setUndoRedoEnabled(false);
    m_rtxtCode->setPlainText(text);
    // Coloured with the line end after the last line, as the IDE's text has it (a comment on the
    // last line ends there) ...
    richtext::ColourCode(*doc, h);
    // ... but the box shows no empty line after the last one; Finish ends every line itself.
    if (doc->blockCount() > 1 && doc->lastBlock().text().isEmpty()) {
        QTextCursor end(doc);
        end.movePosition(QTextCursor::End);
        end.deletePreviousChar();
    }
    doc->setUndoRedoEnabled(true);

    QTextCursor start(doc);
    start.movePosition(QTextCursor::Start);
    m_rtxtCode->setTextCursor(start);
    m_rtxtCode->ensureCursorVisible();
}

} // namespace vmg::wizard
