// Page 0's controls.
#include "Page0Intro.h"

#include "Settings.h"
#include "Text1252.h"
#include "cPluginInterface.h"

#include <QDir>
#include <QLabel>
#include <QPushButton>

namespace vmg::wizard {

Page0Intro::Page0Intro(PageContext context, QWidget* parent) : WizardPage(0, context, parent) {
    AddIllustration();
    m_lblStep0 = AddPageText("lblStep0", 160, 16, 289, 265);
    m_pnlStat = MakeStatusPanel(this, "pnlStat", 16, 152, 113, 25);
    // Under the status, in the free column below the picture.
    m_cmdIdeFolder =
        MakeButton(this, "cmdIdeFolder", QStringLiteral("IDE Folder..."), 16, 185, 113, 21);
    m_cmdIdeFolder->setToolTip(QStringLiteral("The folder of the Vorlan IDE, which holds %1")
                                   .arg(QString::fromStdString(ide::PluginLibraryFileName())));
    connect(m_cmdIdeFolder, &QPushButton::clicked, this, &Page0Intro::cmdIdeFolderClick);
}

void Page0Intro::SetPageTexts() {
    m_lblStep0->setText(QStringLiteral(
        "This Wizard will generate a Macro command for insertion in your Vorlan source "
        "code.\r\n\nYou will be asked a series of questions about the parameters you wish to "
        "pass to the macro, the Data Type of each parameter and the internal variable into "
        "which you wish to place the parameter.\r\n\nWhen you have fininshed you can view the "
        "generated code before pasting it into your application"));
}

// A folder without the library is refused and nothing is stored; a good one is stored at once,
// so the user names it once, even when this run ends with Cancel.
void Page0Intro::cmdIdeFolderClick() {
    const QString current = QString::fromStdString(ide::IdeFolder());
    const auto chosen =
        Ui().BrowseForFolder(this, current.isEmpty() ? State().SaveFolder : current);
    if (!chosen) {
        return;
    }
    const QString folder = QDir::toNativeSeparators(*chosen);
    const std::string corePath = CorePath(folder);
    if (!ide::FolderHoldsPluginLibrary(corePath)) {
        Ui().Information(this,
                         QStringLiteral("There is no %1 in the folder %2")
                             .arg(QString::fromStdString(ide::PluginLibraryFileName()), folder));
        return;
    }
    // A store that fails is not reported, as with the other settings: this run still uses it.
    WriteIdeFolder(folder);
    ide::SetIdeFolder(corePath);
    emit ideFolderChosen();
}

void Page0Intro::ShowConnected(bool connected) {
    m_pnlStat->setText(connected ? QStringLiteral("IDE Connected")
                                 : QStringLiteral("IDE Not Connected"));
}

} // namespace vmg::wizard
