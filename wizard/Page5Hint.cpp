// Page 5's controls and entry.
#include "Page5Hint.h"

#include "CodeFont.h"
#include "MacroCodeGenerator.h"
#include "RtfReader.h"
#include "Text1252.h"

#include <QFont>
#include <QFontMetricsF>
#include <QLabel>
#include <QPalette>
#include <QPlainTextEdit>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextEdit>

namespace vmg::wizard {

Page5Hint::Page5Hint(PageContext context, QWidget* parent) : WizardPage(5, context, parent) {
    m_lblStep5a = MakeLabel(this, "lblStep5a", QString(), 8, 8);
    m_rtxtHintDemo = new QTextEdit(this);
    m_rtxtHintDemo->setObjectName(QStringLiteral("rtxtHintDemo"));
    m_rtxtHintDemo->setGeometry(5, 32, 457, 89);
    m_rtxtHintDemo->setLineWrapMode(QTextEdit::NoWrap);
    m_rtxtHintDemo->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    QPalette light = m_rtxtHintDemo->palette();
    light.setColor(QPalette::Base, light.color(QPalette::Midlight));
    m_rtxtHintDemo->setPalette(light);

    m_lblStep5b = MakeLabel(this, "lblStep5b", QString(), 5, 136);
    m_lblStep5b->resize(464, 17);
    m_memoHint = new QPlainTextEdit(this);
    m_memoHint->setObjectName(QStringLiteral("memoHint"));
    m_memoHint->setGeometry(5, 160, 457, 137);
    m_memoHint->setLineWrapMode(QPlainTextEdit::NoWrap);
    m_memoHint->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    m_lblStep5a->setBuddy(m_rtxtHintDemo);
    m_lblStep5b->setBuddy(m_memoHint);
}

void Page5Hint::SetPageTexts() {
    m_lblStep5a->setText(QStringLiteral("For your hint popup to look like this...."));
    m_lblStep5a->adjustSize();
    m_lblStep5b->setText(QStringLiteral("Add this to you USER.MCD file"));
}

bool Page5Hint::Check() {
    return CheckCp1252(m_memoHint->toPlainText(), QStringLiteral("The hint"), m_memoHint);
}

QWidget* Page5Hint::FirstField() const {
    return m_memoHint;
}

void Page5Hint::Enter() {
    // The memo's face and its tab stops (every eight characters, as the Windows memo has them)
    // are set here rather than when the page is built: start-up need not load a monospaced face
    // for a page that is hidden until now.
    const QFont courier = richtext::CodeFont(QStringLiteral("Courier New"), 8);
    m_memoHint->setFont(courier);
    m_memoHint->setTabStopDistance(QFontMetricsF(courier).horizontalAdvance(u' ') * 8);
    const codegen::Lines block = codegen::KeyBlock(Definition(), State().ParamCount);
    m_memoHint->setPlainText(LinesForEditor(block));
    // Loading the preview is no step the user can undo into an empty box.
    QTextDocument* demo = m_rtxtHintDemo->document();
    demo->setUndoRedoEnabled(false);
    // The hint is the block's fourth line.
    richtext::ReadRtf(
        codegen::HintLineToRtf(block.size() >= 4 ? std::string_view(block[3]) : std::string_view()),
        *demo);
    demo->setUndoRedoEnabled(true);
    // Both boxes open at their start.
    m_rtxtHintDemo->moveCursor(QTextCursor::Start);
    m_memoHint->moveCursor(QTextCursor::Start);
}

} // namespace vmg::wizard
