// Page 0: the introduction, whether the IDE is connected, and where the IDE is.
#pragma once

#include "WizardPage.h"

class QLabel;
class QPushButton;

namespace vmg::wizard {

class Page0Intro final : public WizardPage {
    Q_OBJECT
public:
    Page0Intro(PageContext context, QWidget* parent);

    void SetPageTexts() override;
    // "IDE Connected" or "IDE Not Connected".
    void ShowConnected(bool connected);

signals:
    // The user named a folder that holds the IDE's plug-in manager library; it is stored and
    // handed to the IDE link, which looks there when it has found no library yet.
    void ideFolderChosen();

private:
    void cmdIdeFolderClick();

    QLabel* m_lblStep0 = nullptr;
    QLabel* m_pnlStat = nullptr;
    QPushButton* m_cmdIdeFolder = nullptr;
};

} // namespace vmg::wizard
