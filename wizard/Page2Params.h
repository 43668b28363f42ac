// Page 2: the parameter editor. One parameter of ParamTable is shown at a time; the frame uses
// the button refresh, the show step and the store step described here.
#pragma once

#include "TypeLists.h"
#include "WizardPage.h"

#include <QString>

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
    // The stored parameters with the editor's entry laid over its slot (the blank slot's entry
    // appended once it has a name), then the register rule, as Next and Add would check them.
    QString Draft(codegen::MacroDefinition& draft, int& count) const override;
    // Arrival with Next: destination row, register names, the type lists for TargetChoice
    // (handed on to page 3 through typeListsBuilt), then the current slot (or an empty editor
    // when there are no parameters).
    void Enter() override;
    QWidget* FirstField() const override;

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
    // FirstOptionalParam := the first of parameters 1 to `upTo` whose Optional flag is set, or
    // 0; run after every store, delete, click and load so that it never goes stale.
    void SyncFirstOptional(int upTo);

    // "Allow Type Conversion" on page 1: the Allow Alt box is hidden and ticked, or shown and
    // cleared.
    void SetAllowAltForced(bool on);
    void SetGetVarsEnabled(bool enabled);
    bool GetVarsEnabled() const;

    // The notice shown when a name typed into the blank slot was dropped by "<<" or by Next;
    // empty again once the user acts on the page.
    QString DroppedEntryNotice() const;

signals:
    // The entry built both type lists; the return list belongs to page 3.
    void typeListsBuilt(const vmg::wizard::TypeLists& lists);

private:
    // The editor's entry as the store step writes it.
    codegen::ArgData EditorEntry() const;
    // The table slot shown, or null when CurrentParam lies outside the table's 20 slots.
    codegen::ArgData* Slot() const;

    void cmdAddArgClick();
    void cmdRemArgClick();
    void cmdPrevArgClick();
    void cmdNextArgClick();
    void cmdGetVars0Click();
    void txtParamNameChange();
    void cmbDestVarNameChange();
    void cmbArgDataTypeChange();
    void chkArgOptionalClick(bool ticked);

    // Offers Add when the blank slot holds a complete entry; never withdraws it.
    void UpdateAddAvailability();
    // The name the user typed into the blank slot, empty when none was typed there.
    QString DroppedName() const;
    // Tells the user, without a modal box, that the entry typed into the blank slot was left
    // behind unadded (nothing when `name` is empty).
    void NoteDroppedEntry(const QString& name);
    void ClearDroppedNotice();

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

    // "Allow Type Conversion": every store writes AllowAlt, whatever a slot held.
    bool m_allowAltForced = false;
    // The user has typed or chosen something in the editor since it was last filled.
    bool m_editorTouched = false;
};

} // namespace vmg::wizard
