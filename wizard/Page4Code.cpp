// Page 4's controls and entry.
#include "Page4Code.h"

#include "CheckCallWindow.h"
#include "CodeBox.h"
#include "IDE_Info.h"
#include "MacroCodeGenerator.h"
#include "PageDeclarations.h"
#include "Text1252.h"

#include <QLabel>
#include <QMimeData>
#include <QPushButton>
#include <QTextBlock>
#include <QTextCharFormat>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextDocumentFragment>
#include <QTextEdit>

namespace vmg::wizard {

namespace {

// The code box. Text pasted or dropped into it takes the box's plain look (its font, black,
// neither bold nor italic), not the colour and weight of the character before the cursor,
// which would otherwise reach the saved file too.
class CodeEdit final : public QTextEdit {
public:
    using QTextEdit::QTextEdit;

protected:
    void insertFromMimeData(const QMimeData* source) override {
        if (source == nullptr || !source->hasText()) {
            QTextEdit::insertFromMimeData(source);
            return;
        }
        QTextCharFormat plain;
        plain.setFont(document()->defaultFont());
        plain.setForeground(QColor(Qt::black));
        QTextCursor cursor = textCursor();
        cursor.beginEditBlock();
        cursor.removeSelectedText();
        const int start = cursor.position();
        QString text = source->text();
        text.replace(QStringLiteral("\r\n"), QStringLiteral("\n")).replace(u'\r', u'\n');
        cursor.insertFragment(QTextDocumentFragment::fromPlainText(text));
        cursor.setPosition(start, QTextCursor::KeepAnchor);
        cursor.setCharFormat(plain);
        cursor.clearSelection();
        cursor.endEditBlock();
        setTextCursor(cursor);
        ensureCursorVisible();
    }
};

} // namespace

Page4Code::Page4Code(PageContext context, QWidget* parent) : WizardPage(4, context, parent) {
    m_lblStep4 = AddPageText("lblStep4", 5, 5, kPageWidth, 24);
    m_rtxtCode = new CodeEdit(this);
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

bool Page4Code::Check() {
    return CheckCp1252(m_rtxtCode->toPlainText(), QStringLiteral("The code"), m_rtxtCode);
}

QWidget* Page4Code::FirstField() const {
    return m_rtxtCode;
}

void Page4Code::Enter() {
    SetCodeFont(m_rtxtCode, State().HighlighterSettings);
    FillCodeBox(m_rtxtCode, codegen::MacroLines(Definition(), State().ParamCount),
                State().HighlighterSettings);
    QTextDocument* doc = m_rtxtCode->document();
    QTextCursor start(doc);
    start.movePosition(QTextCursor::Start);
    m_rtxtCode->setTextCursor(start);
    m_rtxtCode->ensureCursorVisible();
}

} // namespace vmg::wizard
