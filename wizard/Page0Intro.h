// Page 0: the introduction and whether the IDE is connected.
#pragma once

#include "WizardPage.h"

class QLabel;

namespace vmg::wizard {

class Page0Intro final : public WizardPage {
    Q_OBJECT
public:
    Page0Intro(PageContext context, QWidget* parent);

    void SetPageTexts() override;
    // "IDE Connected" or "IDE Not Connected".
    void ShowConnected(bool connected);

private:
    QLabel* m_lblStep0 = nullptr;
    QLabel* m_pnlStat = nullptr;
};

} // namespace vmg::wizard
