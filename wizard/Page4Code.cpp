// Page 4's controls and entry.
#include "Page4Code.h"

#include "CodeColouring.h"
#include "MacroCodeGenerator.h"
#include "Text1252.h"

#include <QFont>
#include <QLabel>
#include <QTextCursor>
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
}

void Page4Code::SetPageTexts() {
    m_lblStep4->setText(QStringLiteral("You can review and edit the code generated"));
}

void Page4Code::Enter() {
    const richtext::HighlighterSettings& h = State().HighlighterSettings;
    QFont font(h.FontName);
    font.setStyleHint(QFont::TypeWriter); // a missing font falls back to a fixed-pitch one
    font.setPointSize(std::clamp(h.FontSize, richtext::kMinFontPoints, richtext::kMaxFontPoints));
    m_rtxtCode->setFont(font);
    // The rich-edit box's tab stops: every half inch.
    m_rtxtCode->setTabStopDistance(logicalDpiX() / 2.0);

    QString text = FromCp1252(codegen::JoinCrLf(codegen::GenerateMacro(State().ParamCount)));
    text.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    m_rtxtCode->setPlainText(text);
    richtext::ColourCode(*m_rtxtCode->document(), h);
    QTextCursor start(m_rtxtCode->document());
    start.movePosition(QTextCursor::Start);
    m_rtxtCode->setTextCursor(start);
}

} // namespace vmg::wizard
