// Page 2's controls and the steps of the parameter editor that the frame relies on.
#include "Page2Params.h"

#include "MacroCodeGenerator.h"
#include "Text1252.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include <algorithm>

namespace vmg::wizard {

namespace {

// The table slot shown, or null when CurrentParam lies outside the table's 20 slots.
codegen::ArgData* SlotOf(int currentParam) {
    if (currentParam < 1 || currentParam > codegen::kMaxParams) {
        return nullptr;
    }
    return &codegen::ParamTable()[static_cast<std::size_t>(currentParam - 1)];
}

} // namespace

Page2Params::Page2Params(PageContext context, QWidget* parent) : WizardPage(2, context, parent) {
    AddIllustration();
    m_lblStep2 = AddPageText("lblStep2", 160, 16, 289, 130);
    m_pnlParamNum = MakeStatusPanel(this, "pnlParamNum", 16, 152, 113, 25);
    MakeLabel(this, "lblParamNameCaption", QStringLiteral("Name"), 152, 163);
    m_txtParamName = MakeEdit(this, "txtParamName", 184, 160, 129);
    m_chkArgOptional =
        MakeCheckBox(this, "chkArgOptional", QStringLiteral("Optional"), 320, 160, 65, 17);

    m_pnlDestVar = MakePanel(this, "pnlDestVar", 120, 208, 257, 25);
    MakeLabel(m_pnlDestVar, "lblDestVarCaption", QStringLiteral("Destination"), 5, 3);
    m_cmbDestVarName = MakeCombo(m_pnlDestVar, "cmbDestVarName", 64, 0, 129, true);
    m_cmdGetVars0 =
        MakeButton(m_pnlDestVar, "cmdGetVars0", QStringLiteral("Get Vars"), 200, 0, 57, 21);

    MakeLabel(this, "lblArgDataTypeCaption", QStringLiteral("Data Type"), 129, 243);
    m_cmbArgDataType = MakeCombo(this, "cmbArgDataType", 184, 240, 129, false);
    m_chkAllowAltArgs =
        MakeCheckBox(this, "chkAllowAltArgs", QStringLiteral("Allow Alt"), 320, 240, 65, 17);

    m_cmdRemArg = MakeButton(this, "cmdRemArg", QStringLiteral("Delete"), 184, 272, 45, 20);
    m_cmdPrevArg = MakeButton(this, "cmdPrevArg", QStringLiteral("<<"), 232, 272, 45, 20);
    m_cmdNextArg = MakeButton(this, "cmdNextArg", QStringLiteral(">>"), 280, 272, 45, 20);
    m_cmdAddArg = MakeButton(this, "cmdAddArg", QStringLiteral("Add"), 328, 272, 45, 20);
}

void Page2Params::SetPageTexts() {
    m_lblStep2->setText(QStringLiteral(
        "Define the parameters passed to the Macro\r\n\nPress ADD to add additional "
        "parameters\r\nPress DELETE to remove parameter\r\nPress <<  >> to move between "
        "parameters\r\n\nPress NEXT when you have entered all parameters."));
}

void Page2Params::Refresh() {
    const WizardState& s = State();
    m_cmdAddArg->setEnabled(false);
    if (s.ParamCount == 0) {
        m_cmdPrevArg->setEnabled(false);
        m_cmdNextArg->setEnabled(false);
        m_cmdRemArg->setEnabled(false);
    } else if (s.CurrentParam == 1) {
        m_cmdPrevArg->setEnabled(false);
        m_cmdNextArg->setEnabled(true);
        m_cmdRemArg->setEnabled(true);
    } else if (s.CurrentParam == s.ParamCount + 1) {
        m_cmdPrevArg->setEnabled(true);
        m_cmdNextArg->setEnabled(false);
        m_cmdRemArg->setEnabled(false);
    } else {
        m_cmdPrevArg->setEnabled(true);
        m_cmdNextArg->setEnabled(true);
        m_cmdRemArg->setEnabled(true);
    }
    if (s.CurrentParam > s.ParamCount && s.CurrentParam < codegen::kMaxParams) {
        m_pnlParamNum->setText(QStringLiteral("Enter New Param"));
    } else if (s.CurrentParam == codegen::kMaxParams) {
        m_pnlParamNum->setText(QStringLiteral("Param Count Exceeded"));
    } else {
        m_pnlParamNum->setText(QStringLiteral("Parameter %1").arg(s.CurrentParam));
    }
}

void Page2Params::ApplyOptionalAvailability() {
    const WizardState& s = State();
    m_chkArgOptional->setEnabled(
        !(s.FirstOptionalParam > 0 && s.CurrentParam > s.FirstOptionalParam));
}

void Page2Params::ShowSlot() {
    if (State().ParamCount == 0) {
        return;
    }
    const codegen::ArgData* slot = SlotOf(State().CurrentParam);
    if (slot == nullptr) {
        return;
    }
    m_txtParamName->setText(FromCp1252(slot->ArgName));
    m_cmbDestVarName->setEditText(FromCp1252(slot->VarName));
    SelectTypeCode(m_cmbArgDataType, slot->DataType);
    m_chkArgOptional->setChecked(slot->Optional);
    m_chkAllowAltArgs->setChecked(slot->AllowAlt);
    ApplyOptionalAvailability();
}

bool Page2Params::StoreSlot() {
    const std::string name = ToCp1252(m_txtParamName->text());
    const std::string variable = ToCp1252(m_cmbDestVarName->currentText());
    if (!codegen::AreValidNames(name, variable, codegen::MacroHeader().Skeleton)) {
        Ui().Beep();
        Ui().Information(
            this, QStringLiteral(
                      "You have entered invalid characters\n\rin the Parameter or Variable Name"));
        return false;
    }
    codegen::ArgData* slot = SlotOf(State().CurrentParam);
    if (slot == nullptr) {
        return true; // no slot beyond the table's last: there is nothing to store
    }
    slot->ArgName = name;
    slot->DataType = SelectedTypeCode(m_cmbArgDataType);
    slot->VarName = variable;
    slot->Optional = m_chkArgOptional->isChecked();
    if (slot->Optional && State().FirstOptionalParam == 0) {
        State().FirstOptionalParam = State().CurrentParam;
    }
    slot->AllowAlt = m_chkAllowAltArgs->isChecked();
    return true;
}

void Page2Params::LoadHook() {
    State().FirstOptionalParam = 0;
    const int count = std::min(State().ParamCount, codegen::kMaxParams);
    for (int k = 1; k <= count; ++k) {
        if (codegen::ParamTable()[static_cast<std::size_t>(k - 1)].Optional) {
            State().FirstOptionalParam = k;
            break;
        }
    }
}

bool Page2Params::Check() {
    const WizardState& s = State();
    if (s.CurrentParam > s.ParamCount) {
        return true; // the blank slot: what was typed there is dropped
    }
    if (!StoreSlot()) {
        return false;
    }
    if (!codegen::CheckFsrUse(s.ParamCount)) {
        Ui().Information(this, QStringLiteral("Incomplete Parameter Set"));
        return false;
    }
    return true;
}

void Page2Params::Commit() {
    codegen::MacroHeader().ArgCount = State().ParamCount;
}

void Page2Params::Enter(const TypeLists& lists) {
    const codegen::MacGen& header = codegen::MacroHeader();
    m_pnlDestVar->setVisible(!header.Skeleton);
    AddMissingNames(m_cmbDestVarName, RegisterNames(header.Target));
    SetTypeItems(m_cmbArgDataType, lists.Params);
    if (State().ParamCount <= 0) {
        m_txtParamName->clear();
        m_cmbDestVarName->setEditText(QString());
        m_cmbArgDataType->setCurrentIndex(m_cmbArgDataType->count() > 0 ? 0 : -1);
    } else {
        ShowSlot();
    }
}

void Page2Params::SetAllowAltForced(bool on) {
    m_chkAllowAltArgs->setVisible(!on);
    m_chkAllowAltArgs->setChecked(on);
}

void Page2Params::SetGetVarsEnabled(bool enabled) {
    m_cmdGetVars0->setEnabled(enabled);
}

bool Page2Params::GetVarsEnabled() const {
    return m_cmdGetVars0->isEnabled();
}

} // namespace vmg::wizard
