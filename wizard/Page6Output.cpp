// Page 6's controls, entry and the choice of the save folder.
#include "Page6Output.h"

#include "IDE_Info.h"
#include "Text1252.h"

#include <QCheckBox>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QPalette>
#include <QPushButton>

namespace vmg::wizard {

namespace {
// The output controls sit on an area of this height along the bottom of the page.
constexpr int kOutputTop = kPageHeight - 145;
} // namespace

Page6Output::Page6Output(PageContext context, QWidget* parent) : WizardPage(6, context, parent) {
    AddIllustration();
    m_lblStep6 = AddPageText("lblStep6", 160, 16, 289, 145);
    const int top = kOutputTop;
    m_chkPasteCode = MakeCheckBox(this, "chkPasteCode", QStringLiteral("Paste Code to..."), 168,
                                  top + 16, 97, 17);
    m_chkSaveCode =
        MakeCheckBox(this, "chkSaveCode", QStringLiteral("Save Code"), 168, top + 40, 89, 17);
    m_chkSaveHint =
        MakeCheckBox(this, "chkSaveHint", QStringLiteral("Save Hint"), 168, top + 64, 89, 17);
    m_chkSaveSource =
        MakeCheckBox(this, "chkSaveSource", QStringLiteral("Save Source"), 168, top + 88, 89, 17);
    const auto nameLabel = [this](const char* name, int x, int y) {
        QLabel* label = MakeLabel(this, name, QString(), x, y);
        label->resize(kPageWidth - x - 4, 15);
        return label;
    };
    m_lblPasteDest = nameLabel("lblPasteDest", 272, top + 18);
    m_lblSaveCodeName = nameLabel("lblSaveCodeName", 256, top + 42);
    m_lblSaveHintName = nameLabel("lblSaveHintName", 256, top + 66);
    m_lblSaveSourceName = nameLabel("lblSaveSourceName", 256, top + 90);
    MakeLabel(this, "lblSavePathCaption", QStringLiteral("Save Path"), 112, top + 119);
    m_txtSavePath = MakeEdit(this, "txtSavePath", 168, top + 116, 257);
    // It shows the folder only: a folder typed here would not be used, so none can be typed.
    m_txtSavePath->setReadOnly(true);
    QPalette shown = m_txtSavePath->palette();
    shown.setColor(QPalette::Base, shown.color(QPalette::Window));
    m_txtSavePath->setPalette(shown);
    m_cmdBrowseSavePath =
        MakeButton(this, "cmdBrowseSavePath", QStringLiteral("..."), 432, top + 116, 33, 21);
    connect(m_cmdBrowseSavePath, &QPushButton::clicked, this, &Page6Output::cmdBrowseSavePathClick);
}

void Page6Output::SetPageTexts() {
    m_lblStep6->setText(QStringLiteral(
        "Choose what you want to do with your macro.\r\n\nChecking \"Paste Macro into IDE\" "
        "will paste the code into the current IDE page at the current cursor "
        "position.\r\n\nChecking \"Save\" will store the selected file.\r\nCode will be saved "
        "as an RTF file and Hint will be saved as a text file.\r\n\nSaving the source will "
        "enable you to recall this macro with out re-entering all the parameters."));
}

void Page6Output::Enter() {
    const QString name = FromCp1252(Definition().Header.MacroName);
    m_pasteDest = FromCp1252(ide::CurrentPageName());
    m_codeName = name + QStringLiteral("_mac.rtf");
    m_hintName = name + QStringLiteral("_hnt.dat");
    m_sourceName = name + QStringLiteral(".mcs");
    m_lblPasteDest->setText(m_pasteDest);
    m_lblSaveCodeName->setText(m_codeName);
    m_lblSaveHintName->setText(m_hintName);
    m_lblSaveSourceName->setText(m_sourceName);
    m_txtSavePath->setText(State().SaveFolder);
}

OutputChoices Page6Output::Choices() const {
    return {m_chkPasteCode->isChecked(), m_chkSaveCode->isChecked(), m_chkSaveHint->isChecked(),
            m_chkSaveSource->isChecked()};
}

void Page6Output::SetChoices(const OutputChoices& choices) {
    m_chkPasteCode->setChecked(choices.PasteCode);
    m_chkSaveCode->setChecked(choices.SaveCode);
    m_chkSaveHint->setChecked(choices.SaveHint);
    m_chkSaveSource->setChecked(choices.SaveSource);
}

void Page6Output::SetPasteEnabled(bool enabled) {
    m_chkPasteCode->setEnabled(enabled);
}

QString Page6Output::PasteDestination() const {
    return m_pasteDest;
}

QString Page6Output::CodeFileName() const {
    return m_codeName;
}

QString Page6Output::HintFileName() const {
    return m_hintName;
}

QString Page6Output::SourceFileName() const {
    return m_sourceName;
}

FinishPlan Page6Output::Plan(bool connected) const {
    const OutputChoices chosen = Choices();
    FinishPlan plan;
    plan.Paste = chosen.PasteCode && connected;
    plan.SaveCode = chosen.SaveCode;
    plan.SaveHint = chosen.SaveHint;
    plan.SaveSource = chosen.SaveSource;
    plan.PasteDest = PasteDestination();
    plan.Folder = State().SaveFolder;
    plan.CodeName = CodeFileName();
    plan.HintName = HintFileName();
    plan.SourceName = SourceFileName();
    return plan;
}

// Only the folder chosen here (or read from the settings) is used.
void Page6Output::cmdBrowseSavePathClick() {
    const auto chosen = Ui().BrowseForFolder(this, State().SaveFolder);
    if (!chosen) {
        return;
    }
    // Kept in the system's own form, as the settings hold it ("C:\\Macros" on Windows).
    State().SaveFolder = QDir::toNativeSeparators(*chosen);
    m_txtSavePath->setText(State().SaveFolder);
}

} // namespace vmg::wizard
