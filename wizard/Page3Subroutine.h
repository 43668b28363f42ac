// Page 3: the routine the macro calls or jumps to, and the return variable with its type.
#pragma once

#include "TypeLists.h"
#include "WizardPage.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QPushButton;
class QRadioButton;

namespace vmg::wizard {

class Page3Subroutine final : public WizardPage {
    Q_OBJECT
public:
    Page3Subroutine(PageContext context, QWidget* parent);

    void SetPageTexts() override;
    // The routine's name, then (when the macro returns a value) the return variable.
    bool Check() override;
    // ReturnDef from the controls, also those of a hidden return panel.
    void Commit() override;
    QString Draft(codegen::MacroDefinition& draft, int& count) const override;
    // Arrival with Next: the parameter count, the return panel, the call kind, the stored
    // names, type and flags.
    void Enter() override;
    QWidget* FirstField() const override;

    // Page 2's entry fills these: the return types for TargetChoice and the target's
    // register names.
    void SetReturnTypes(const std::vector<TypeEntry>& entries);
    void AddReturnVarNames(const QStringList& names);

    // "Allow Type Conversion" on page 1: the Allow Alt box is hidden and ticked, or shown and
    // cleared.
    void SetAllowAltForced(bool on);
    void SetGetLabelsEnabled(bool enabled);
    void SetGetVarsEnabled(bool enabled);

private:
    // What Check refuses for a macro with this return method, empty when nothing.
    QString Refusal(int returnMethod) const;
    void CommitTo(codegen::RetData& r) const;
    // "Get Labels" and "Get Vars": the two name lists from the IDE page's one scan, once per
    // run.
    void cmdShowLabelsClick();
    void cmdGetVars1Click();

    // Both buttons may be clear (a file can store neither), which exclusive radio buttons
    // cannot show by themselves.
    void SetCallKind(bool goSub, bool goTo);

    // "Allow Type Conversion": the commit writes AllowAlt, whatever was stored before.
    bool m_allowAltForced = false;

    QLabel* m_lblStep3 = nullptr;
    QLabel* m_lblParamNums = nullptr;
    QWidget* m_pnlSubRoutineName = nullptr;
    QComboBox* m_cmbSubroutineName = nullptr;
    QPushButton* m_cmdShowLabels = nullptr;
    QRadioButton* m_optCallSub = nullptr;
    QRadioButton* m_optJumpSub = nullptr;
    QWidget* m_pnlReturnVar = nullptr;
    QComboBox* m_cmbRetVarName = nullptr;
    QPushButton* m_cmdGetVars1 = nullptr;
    QComboBox* m_cmbRetDataType = nullptr;
    QCheckBox* m_chkAllowAltRet = nullptr;
    QCheckBox* m_chkRetOptional = nullptr;
};

} // namespace vmg::wizard
