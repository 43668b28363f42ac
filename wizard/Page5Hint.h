// Page 5: the keyword block for the IDE's USER.MCD file and its hint as the IDE will show it.
#pragma once

#include "WizardPage.h"

class QLabel;
class QPlainTextEdit;
class QTextEdit;

namespace vmg::wizard {

class Page5Hint final : public WizardPage {
    Q_OBJECT
public:
    Page5Hint(PageContext context, QWidget* parent);

    void SetPageTexts() override;
    // Arrival with Next: the keyword block for ParamCount parameters in the memo and
    // the rendering of its hint in the preview.
    void Enter() override;
    // The hint file is code-page-1252 text: characters beyond it are refused.
    bool Check() override;
    QWidget* FirstField() const override;

    // The memo whose lines Finish saves as the hint file.
    QPlainTextEdit* HintBox() const { return m_memoHint; }

private:
    QLabel* m_lblStep5a = nullptr;
    QLabel* m_lblStep5b = nullptr;
    QTextEdit* m_rtxtHintDemo = nullptr;
    QPlainTextEdit* m_memoHint = nullptr;
};

} // namespace vmg::wizard
