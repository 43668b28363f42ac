// Page 2: the parameter editor. One parameter of ParamTable is shown at a time; the frame uses
// the button refresh, the show step and the store step described here.
#pragma once

#include "TypeLists.h"
#include "WizardPage.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace vmg::wizard {

class Page2Params final : public WizardPage {
    Q_OBJECT
public:
    Page2Params(PageContext context, QWidget* parent);

    void SetPageTexts() override;
    // On Next while a stored parameter is shown: store it, then the FSR rule over all of them.
    bool Check() override;
    // The header's ArgCount takes ParamCount.
    void Commit() override;
    // Arrival with Next: destination row, register names, type list, then the current slot
    // (or an empty editor when there are no parameters).
    void Enter(const TypeLists& lists);

    // The enabled state of "<<", ">>", "Delete" and "Add" and the caption of pnlParamNum.
    void Refresh();
    // Slot CurrentParam into the editor (nothing when there are no parameters).
    void ShowSlot();
    // The editor into slot CurrentParam after checking its names; false (after telling the
    // user) when a name is refused.
    bool StoreSlot();
    // Only the first optional parameter and those before it may change their Optional box.
    void ApplyOptionalAvailability();
    // After a macro source was loaded: FirstOptionalParam from the loaded Optional flags.
    void LoadHook();

    // "Allow Type Conversion" on page 1: the Allow Alt box is hidden and ticked, or shown and
    // cleared.
    void SetAllowAltForced(bool on);
    void SetGetVarsEnabled(bool enabled);
    bool GetVarsEnabled() const;

    // Still to come on this page (the parameter editor's own behaviour): cmdAddArgClick,
    // cmdRemArgClick, cmdPrevArgClick, cmdNextArgClick, cmdGetVars0Click, the Add-availability
    // check on every change of name, destination and type, and chkArgOptionalClick, which
    // must follow the user's clicks only (QCheckBox::clicked), never a box set by ShowSlot.

private:
    QLabel* m_lblStep2 = nullptr;
    QLabel* m_pnlParamNum = nullptr;
    QLineEdit* m_txtParamName = nullptr;
    QCheckBox* m_chkArgOptional = nullptr;
    QWidget* m_pnlDestVar = nullptr;
    QComboBox* m_cmbDestVarName = nullptr;
    QPushButton* m_cmdGetVars0 = nullptr;
    QComboBox* m_cmbArgDataType = nullptr;
    QCheckBox* m_chkAllowAltArgs = nullptr;
    QPushButton* m_cmdRemArg = nullptr;
    QPushButton* m_cmdPrevArg = nullptr;
    QPushButton* m_cmdNextArg = nullptr;
    QPushButton* m_cmdAddArg = nullptr;
};

} // namespace vmg::wizard
