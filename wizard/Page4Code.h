// Page 4: the generated macro text, coloured as the IDE's editor colours it, editable.
#pragma once

#include "WizardPage.h"

class QLabel;
class QPushButton;
class QTextEdit;

namespace vmg::wizard {

class CheckCallWindow;

class Page4Code final : public WizardPage {
    Q_OBJECT
public:
    Page4Code(PageContext context, QWidget* parent);

    void SetPageTexts() override;
    // Arrival with Next: the highlighter's font, the generated macro lines for ParamCount
    // parameters, then the colouring. Earlier edits in the box are replaced.
    void Enter() override;
    // The code is pasted and saved as code-page-1252 text: characters beyond it are refused.
    bool Check() override;
    QWidget* FirstField() const override;

    // The box whose content Finish pastes and saves.
    QTextEdit* CodeBox() const { return m_rtxtCode; }
    // "Check...": the non-modal "Check a Call" window (created on the first click).
    CheckCallWindow* CheckWindow() const { return m_checkWindow; }

private:
    QLabel* m_lblStep4 = nullptr;
    QTextEdit* m_rtxtCode = nullptr;
    QPushButton* m_cmdCheckCall = nullptr;
    CheckCallWindow* m_checkWindow = nullptr;

    void cmdCheckCallClick();
};

} // namespace vmg::wizard
