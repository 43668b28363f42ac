// Page 0's controls.
#include "Page0Intro.h"

#include <QLabel>

namespace vmg::wizard {

Page0Intro::Page0Intro(PageContext context, QWidget* parent) : WizardPage(0, context, parent) {
    AddIllustration();
    m_lblStep0 = AddPageText("lblStep0", 160, 16, 289, 265);
    m_pnlStat = MakeStatusPanel(this, "pnlStat", 16, 152, 113, 25);
}

void Page0Intro::SetPageTexts() {
    m_lblStep0->setText(QStringLiteral(
        "This Wizard will generate a Macro command for insertion in your Vorlan source "
        "code.\r\n\nYou will be asked a series of questions about the parameters you wish to "
        "pass to the macro, the Data Type of each parameter and the internal variable into "
        "which you wish to place the parameter.\r\n\nWhen you have fininshed you can view the "
        "generated code before pasting it into your application"));
}

void Page0Intro::ShowConnected(bool connected) {
    m_pnlStat->setText(connected ? QStringLiteral("IDE Connected")
                                 : QStringLiteral("IDE Not Connected"));
}

} // namespace vmg::wizard
