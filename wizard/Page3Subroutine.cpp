// Page 3's controls, check, commit and entry.
#include "Page3Subroutine.h"

#include "IDE_Info.h"
#include "MacroCodeGenerator.h"
#include "Text1252.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>

namespace vmg::wizard {

Page3Subroutine::Page3Subroutine(PageContext context, QWidget* parent)
    : WizardPage(3, context, parent) {
    AddIllustration();
    m_lblStep3 = AddPageText("lblStep3", 160, 16, 289, 114);
    m_lblParamNums = MakeLabel(this, "lblParamNums", QString(), 184, 136);
    m_lblParamNums->resize(265, 16);

    m_pnlSubRoutineName = MakePanel(this, "pnlSubRoutineName", 0, 160, kPageWidth, 49);
    MakeLabel(m_pnlSubRoutineName, "lblSubroutineCaption", QStringLiteral("Subroutine Name"), 96,
              3);
    m_cmbSubroutineName = MakeCombo(m_pnlSubRoutineName, "cmbSubroutineName", 184, 0, 129, true);
    // As wide as the navigation buttons: Windows' button style keeps wider margins, and at 57
    // pixels it cut the caption's first and last letters.
    m_cmdShowLabels = MakeButton(m_pnlSubRoutineName, "cmdShowLabels", QStringLiteral("Get Labels"),
                                 320, 0, 65, 21);
    m_optCallSub =
        MakeRadio(m_pnlSubRoutineName, "optCallSub", QStringLiteral("Use GoSub"), 184, 24, 73, 17);
    m_optJumpSub =
        MakeRadio(m_pnlSubRoutineName, "optJumpSub", QStringLiteral("Use GoTo"), 272, 24, 65, 17);

    m_pnlReturnVar = MakePanel(this, "pnlReturnVar", 0, kPageHeight - 89, kPageWidth, 89);
    MakeLabel(m_pnlReturnVar, "lblRetVarCaption", QStringLiteral("Return Var"), 128, 3);
    m_cmbRetVarName = MakeCombo(m_pnlReturnVar, "cmbRetVarName", 184, 0, 129, true);
    m_cmdGetVars1 =
        MakeButton(m_pnlReturnVar, "cmdGetVars1", QStringLiteral("Get Vars"), 320, 0, 57, 21);
    MakeLabel(m_pnlReturnVar, "lblRetDataTypeCaption", QStringLiteral("Data Type"), 128, 34);
    m_cmbRetDataType = MakeCombo(m_pnlReturnVar, "cmbRetDataType", 184, 32, 129, false);
    m_chkAllowAltRet = MakeCheckBox(m_pnlReturnVar, "chkAllowAltRet", QStringLiteral("Allow Alt"),
                                    320, 32, 73, 17);
    m_chkRetOptional =
        MakeCheckBox(m_pnlReturnVar, "chkRetOptional", QStringLiteral("Optional"), 184, 56, 81, 17);

    SetBuddy("lblSubroutineCaption", m_cmbSubroutineName);
    SetBuddy("lblRetVarCaption", m_cmbRetVarName);
    SetBuddy("lblRetDataTypeCaption", m_cmbRetDataType);
    connect(m_cmdShowLabels, &QPushButton::clicked, this, &Page3Subroutine::cmdShowLabelsClick);
    connect(m_cmdGetVars1, &QPushButton::clicked, this, &Page3Subroutine::cmdGetVars1Click);
}

void Page3Subroutine::SetPageTexts() {
    m_lblStep3->setText(QStringLiteral(
        "Enter the name of the routine the Macro will call.  It must be the name of an "
        "existing routine that is placed after the macro entry.\r\n\nChoose whether to Call or "
        "Jump to the routine by selecting Use GoSub or Use GoTo\r\n\nIf there is a return "
        "parameter add Var name and type."));
}

QString Page3Subroutine::Refusal(int returnMethod) const {
    if (!codegen::IsValidName(ToCp1252(m_cmbSubroutineName->currentText()))) {
        return QStringLiteral("Subroutine Name or Return Varaiable contains invalid characters");
    }
    if (returnMethod > 0 && !codegen::IsValidName(ToCp1252(m_cmbRetVarName->currentText()))) {
        return QStringLiteral("Return Variable contains invalid characters");
    }
    // Without a type the return value's kind test would have no condition.
    if (returnMethod > 0 && m_cmbRetDataType->currentIndex() < 0) {
        return QStringLiteral("Choose a Data Type for the Return Value");
    }
    return {};
}

bool Page3Subroutine::Check() {
    const QString refusal = Refusal(Definition().Header.ReturnMethod);
    if (refusal.isEmpty()) {
        return true;
    }
    Ui().Information(this, refusal);
    return false;
}

void Page3Subroutine::Commit() {
    CommitTo(Definition().Return);
}

QString Page3Subroutine::Draft(codegen::MacroDefinition& draft, int& /*count*/) const {
    CommitTo(draft.Return);
    return Refusal(draft.Header.ReturnMethod);
}

void Page3Subroutine::CommitTo(codegen::RetData& r) const {
    r.SubName = ToCp1252(m_cmbSubroutineName->currentText());
    r.UseGoSub = m_optCallSub->isChecked();
    r.UseGoTo = m_optJumpSub->isChecked();
    r.RetArg.VarName = ToCp1252(m_cmbRetVarName->currentText());
    r.RetArg.DataType = SelectedTypeCode(m_cmbRetDataType);
    r.RetArg.Optional = m_chkRetOptional->isChecked();
    r.RetArg.AllowAlt = m_allowAltForced || m_chkAllowAltRet->isChecked();
}

QWidget* Page3Subroutine::FirstField() const {
    return m_cmbSubroutineName;
}

void Page3Subroutine::Enter() {
    const codegen::MacGen& header = Definition().Header;
    const codegen::RetData& r = Definition().Return;
    m_lblParamNums->setText(
        QStringLiteral("You have entered %1 parameters").arg(State().ParamCount));
    if (header.ReturnMethod > 0) {
        // A macro that gives back a value must come back from its routine.
        m_pnlReturnVar->setVisible(true);
        m_optJumpSub->setEnabled(false);
        SetCallKind(true, false);
    } else {
        m_pnlReturnVar->setVisible(false);
        m_optJumpSub->setEnabled(true);
        if (!r.SubName.empty()) {
            SetCallKind(r.UseGoSub, !r.UseGoSub && r.UseGoTo);
        } else {
            SetCallKind(true, false);
        }
    }
    m_cmbSubroutineName->setEditText(FromCp1252(r.SubName));
    m_cmbRetVarName->setEditText(FromCp1252(r.RetArg.VarName));
    if (r.RetArg.DataType > 0) {
        SelectTypeCode(m_cmbRetDataType, r.RetArg.DataType);
    } else {
        m_cmbRetDataType->setCurrentIndex(m_cmbRetDataType->count() > 0 ? 0 : -1);
    }
    m_chkRetOptional->setChecked(r.RetArg.Optional);
    m_chkAllowAltRet->setChecked(m_allowAltForced || r.RetArg.AllowAlt);
}

void Page3Subroutine::SetCallKind(bool goSub, bool goTo) {
    m_optCallSub->setAutoExclusive(false);
    m_optJumpSub->setAutoExclusive(false);
    m_optCallSub->setChecked(goSub);
    m_optJumpSub->setChecked(goTo);
    m_optCallSub->setAutoExclusive(true);
    m_optJumpSub->setAutoExclusive(true);
}

void Page3Subroutine::SetReturnTypes(const std::vector<TypeEntry>& entries) {
    SetTypeItems(m_cmbRetDataType, entries);
}

void Page3Subroutine::AddReturnVarNames(const QStringList& names) {
    AddMissingNames(m_cmbRetVarName, names);
}

void Page3Subroutine::SetAllowAltForced(bool on) {
    m_allowAltForced = on;
    m_chkAllowAltRet->setVisible(!on);
    m_chkAllowAltRet->setChecked(on);
}

void Page3Subroutine::SetGetLabelsEnabled(bool enabled) {
    m_cmdShowLabels->setEnabled(enabled);
}

void Page3Subroutine::SetGetVarsEnabled(bool enabled) {
    m_cmdGetVars1->setEnabled(enabled);
}

void Page3Subroutine::cmdShowLabelsClick() {
    FillSortedNames(m_cmbSubroutineName, ide::PageLabels(), {});
    // The IDE's page was read once at start-up; a second press could bring nothing new.
    m_cmdShowLabels->setEnabled(false);
}

void Page3Subroutine::cmdGetVars1Click() {
    FillSortedNames(m_cmbRetVarName, ide::PageVariables(),
                    RegisterNames(Definition().Header.Target));
    m_cmdGetVars1->setEnabled(false);
}

} // namespace vmg::wizard
