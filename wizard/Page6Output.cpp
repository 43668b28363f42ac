// Page 6's controls, entry and the choice of the save folder.
#include "Page6Output.h"

#include "IDE_Info.h"
#include "Text1252.h"

#include <QCheckBox>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QPalette>
#include <QPushButton>

#include <array>

namespace vmg::wizard {

namespace {
// The output controls sit on an area of this height along the bottom of the page.
constexpr int kOutputTop = kPageHeight - 145;
// The right edge of the USER.MCD group, a clear gap left of the check boxes at 168.
constexpr int kUserMcdRight = 145;
} // namespace

Page6Output::Page6Output(PageContext context, QWidget* parent) : WizardPage(6, context, parent) {
    AddIllustration();
    m_lblStep6 = AddPageText("lblStep6", 160, 16, 289, 145);
    const int top = kOutputTop;
    // Reading order, which is the Tab order: the USER.MCD group under the illustration, then
    // the column of check boxes, then the save path.
    AddUserMcdRow(top);
    AddWriteBackRow(top);
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
    SetBuddy("lblSavePathCaption", m_txtSavePath);
    connect(m_cmdBrowseSavePath, &QPushButton::clicked, this, &Page6Output::cmdBrowseSavePathClick);
}

// The USER.MCD choice is the only free room's own group: under the illustration, on the lines
// of the first two rows, its file and "..." under its caption and well clear of the column of
// check boxes, so that nothing in it reads as part of a row there. Nothing else moves; the
// page has no free line of its width.
void Page6Output::AddUserMcdRow(int top) {
    m_chkAddUserMcd = MakeCheckBox(this, "chkAddUserMcd", QStringLiteral("Add Hint to USER.MCD"), 8,
                                   top + 16, kUserMcdRight - 8, 17);
    m_lblUserMcdName = MakeLabel(this, "lblUserMcdName", QString(), 24, top + 42);
    m_lblUserMcdName->resize(kUserMcdRight - 33 - 4 - 24, 15);
    m_cmdBrowseUserMcd = MakeButton(this, "cmdBrowseUserMcd", QStringLiteral("..."),
                                    kUserMcdRight - 33, top + 39, 33, 21);
    connect(m_cmdBrowseUserMcd, &QPushButton::clicked, this, &Page6Output::cmdBrowseUserMcdClick);
    SetUserMcdPath(QString());
}

// Under the USER.MCD group, the same shape, on the lines of the third and fourth rows: the
// code file a macro opened from one goes back into.
void Page6Output::AddWriteBackRow(int top) {
    m_chkWriteBack = MakeCheckBox(this, "chkWriteBack", QStringLiteral("&Write Back to File"), 8,
                                  top + 64, kUserMcdRight - 8, 17);
    m_lblWriteBackName = MakeLabel(this, "lblWriteBackName", QString(), 24, top + 90);
    m_lblWriteBackName->resize(kUserMcdRight - 24, 15);
    m_chkWriteBack->setEnabled(false);
}

// Ticked when a macro newly opened from a code file arrives; the user's choice is kept while
// it stays the same.
void Page6Output::ShowOrigin() {
    const auto& origin = State().Origin;
    const QString key = origin ? origin->Path + u'|' + FromCp1252(origin->Macro.Name) : QString();
    if (key != m_originShown) {
        m_chkWriteBack->setChecked(origin.has_value());
        m_originShown = key;
    }
    m_chkWriteBack->setEnabled(origin.has_value());
    ShowName(m_lblWriteBackName, origin ? QFileInfo(origin->Path).fileName() : QString());
    m_lblWriteBackName->setToolTip(origin ? QDir::toNativeSeparators(origin->Path) : QString());
}

void Page6Output::SetPageTexts() {
    m_lblStep6->setText(QStringLiteral(
        "Choose what you want to do with your macro.\r\n\nChecking \"Paste Macro into IDE\" "
        "will paste the code into the current IDE page at the current cursor "
        "position.\r\n\nChecking \"Save\" will store the selected file.\r\nCode will be saved "
        "as an RTF file and Hint will be saved as a text file.\r\n\nSaving the source will "
        "enable you to recall this macro with out re-entering all the parameters."));
}

// The first ticked choice in reading order, or the first that can be ticked.
QWidget* Page6Output::FirstField() const {
    const std::array<QCheckBox*, 6> boxes = {m_chkAddUserMcd, m_chkWriteBack, m_chkPasteCode,
                                             m_chkSaveCode,   m_chkSaveHint,  m_chkSaveSource};
    for (QCheckBox* box : boxes) {
        if (box->isChecked() && box->isEnabled()) {
            return box;
        }
    }
    for (QCheckBox* box : boxes) {
        if (box->isEnabled()) {
            return box;
        }
    }
    return nullptr;
}

// A name too long for its label loses its middle, so that its end (the file's extension) stays
// in view; the whole name is in the tip.
void Page6Output::ShowName(QLabel* label, const QString& name) {
    const QString shown =
        label->fontMetrics().elidedText(name, Qt::ElideMiddle, label->width() - 2);
    label->setText(shown);
    label->setToolTip(shown == name ? QString() : name);
}

void Page6Output::Enter() {
    const QString name = FromCp1252(Definition().Header.MacroName);
    m_pasteDest = FromCp1252(ide::CurrentPageName());
    m_codeName = name + QStringLiteral("_mac.rtf");
    m_hintName = name + QStringLiteral("_hnt.dat");
    m_sourceName = name + QStringLiteral(".mcs");
    ShowName(m_lblPasteDest, m_pasteDest);
    ShowName(m_lblSaveCodeName, m_codeName);
    ShowName(m_lblSaveHintName, m_hintName);
    ShowName(m_lblSaveSourceName, m_sourceName);
    m_txtSavePath->setText(State().SaveFolder);
    ShowOrigin();
}

OutputChoices Page6Output::Choices() const {
    return {m_chkPasteCode->isChecked(), m_chkSaveCode->isChecked(), m_chkSaveHint->isChecked(),
            m_chkSaveSource->isChecked(), m_chkAddUserMcd->isChecked()};
}

void Page6Output::SetChoices(const OutputChoices& choices) {
    m_chkPasteCode->setChecked(choices.PasteCode);
    m_chkSaveCode->setChecked(choices.SaveCode);
    m_chkSaveHint->setChecked(choices.SaveHint);
    m_chkSaveSource->setChecked(choices.SaveSource);
    m_chkAddUserMcd->setChecked(choices.AddUserMcd && !m_userMcdPath.isEmpty());
}

void Page6Output::SetUserMcdPath(const QString& path) {
    m_userMcdPath = path;
    // The file's name as the other names are shown; the whole path in the tip.
    ShowName(m_lblUserMcdName, QFileInfo(path).fileName());
    m_lblUserMcdName->setToolTip(QDir::toNativeSeparators(path));
    m_chkAddUserMcd->setEnabled(!path.isEmpty());
    if (path.isEmpty()) {
        m_chkAddUserMcd->setChecked(false);
    }
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

FinishPlan Page6Output::Plan(const QString& pasteProblem) const {
    const OutputChoices chosen = Choices();
    FinishPlan plan;
    plan.Paste = chosen.PasteCode && pasteProblem.isEmpty();
    // A box ticked only by the settings, with no IDE at start-up, was never offered.
    if (chosen.PasteCode && m_chkPasteCode->isEnabled()) {
        plan.PasteProblem = pasteProblem;
    }
    plan.SaveCode = chosen.SaveCode;
    plan.SaveHint = chosen.SaveHint;
    plan.SaveSource = chosen.SaveSource;
    plan.PasteDest = PasteDestination();
    plan.Folder = State().SaveFolder;
    plan.CodeName = CodeFileName();
    plan.HintName = HintFileName();
    plan.SourceName = SourceFileName();
    plan.AddUserMcd = chosen.AddUserMcd;
    plan.UserMcdPath = m_userMcdPath;
    plan.UserMcdName = QFileInfo(m_userMcdPath).fileName();
    const auto& origin = State().Origin;
    plan.WriteBack = origin && m_chkWriteBack->isChecked();
    if (origin) {
        plan.WriteBackPath = origin->Path;
        plan.WriteBackName = QFileInfo(origin->Path).fileName();
        plan.Origin = origin->Macro;
    }
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

// Picking a file is asking for the hint to go into it, so the choice is ticked as well.
void Page6Output::cmdBrowseUserMcdClick() {
    const QString start =
        m_userMcdPath.isEmpty() ? State().SaveFolder : QFileInfo(m_userMcdPath).absolutePath();
    const auto chosen =
        Ui().OpenFile(this, start, QStringLiteral("Keyword Files (*.mcd);;All Files (*)"));
    if (!chosen || chosen->isEmpty()) {
        return;
    }
    SetUserMcdPath(QDir::toNativeSeparators(*chosen));
    m_chkAddUserMcd->setChecked(true);
}

} // namespace vmg::wizard
