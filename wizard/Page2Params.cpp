// Page 2's controls and the steps of the parameter editor that the frame relies on.
#include "Page2Params.h"

#include "IDE_Info.h"
#include "MacroCodeGenerator.h"
#include "Text1252.h"
#include "TypeLists.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QToolTip>

#include <algorithm>

namespace vmg::wizard {

Page2Params::Page2Params(PageContext context, QWidget* parent) : WizardPage(2, context, parent) {
    AddIllustration();
    m_lblStep2 = AddPageText("lblStep2", 160, 16, 289, 130);
    m_pnlParamNum = MakeStatusPanel(this, "pnlParamNum", 16, 152, 113, 25);
    m_pnlParamNum->setProperty(kWidestText, QStringLiteral("Param Count Exceeded"));
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

    SetBuddy("lblParamNameCaption", m_txtParamName);
    SetBuddy("lblDestVarCaption", m_cmbDestVarName);
    SetBuddy("lblArgDataTypeCaption", m_cmbArgDataType);
    connect(m_cmdAddArg, &QPushButton::clicked, this, &Page2Params::cmdAddArgClick);
    connect(m_cmdRemArg, &QPushButton::clicked, this, &Page2Params::cmdRemArgClick);
    connect(m_cmdPrevArg, &QPushButton::clicked, this, &Page2Params::cmdPrevArgClick);
    connect(m_cmdNextArg, &QPushButton::clicked, this, &Page2Params::cmdNextArgClick);
    connect(m_cmdGetVars0, &QPushButton::clicked, this, &Page2Params::cmdGetVars0Click);
    connect(m_txtParamName, &QLineEdit::textChanged, this, &Page2Params::txtParamNameChange);
    connect(m_cmbDestVarName, &QComboBox::editTextChanged, this,
            &Page2Params::cmbDestVarNameChange);
    connect(m_cmbArgDataType, &QComboBox::currentIndexChanged, this,
            &Page2Params::cmbArgDataTypeChange);
    // clicked, not toggled: the tail rule follows the user's clicks, never a box set by the
    // show step.
    connect(m_chkArgOptional, &QCheckBox::clicked, this, &Page2Params::chkArgOptionalClick);

    // What the user (not the show step) put into the editor, for the dropped-entry notice.
    const auto touched = [this] { m_editorTouched = true; };
    connect(m_txtParamName, &QLineEdit::textEdited, this, touched);
    connect(m_cmbDestVarName->lineEdit(), &QLineEdit::textEdited, this, touched);
    connect(m_cmbDestVarName, &QComboBox::activated, this, touched);
    connect(m_cmbArgDataType, &QComboBox::activated, this, touched);
}

codegen::ArgData* Page2Params::Slot() const {
    const int current = State().CurrentParam;
    if (current < 1 || current > codegen::kMaxParams) {
        return nullptr;
    }
    return &Definition().Params[static_cast<std::size_t>(current - 1)];
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
    // With all 20 slots in use (only an opened file gets there) no blank slot follows the
    // last parameter, so ">>" has nowhere to go.
    if (s.CurrentParam >= codegen::kMaxParams) {
        m_cmdNextArg->setEnabled(false);
    }
    if (s.CurrentParam > s.ParamCount && s.CurrentParam < codegen::kMaxParams) {
        m_pnlParamNum->setText(QStringLiteral("Enter New Param"));
    } else if (s.CurrentParam == codegen::kMaxParams && s.CurrentParam > s.ParamCount) {
        // The blank slot after 19: no room for a new one. A twentieth loaded from a file is
        // a parameter like the others.
        m_pnlParamNum->setText(QStringLiteral("Param Count Exceeded"));
    } else {
        m_pnlParamNum->setText(QStringLiteral("Parameter %1").arg(s.CurrentParam));
    }
}

void Page2Params::ApplyOptionalAvailability() {
    const WizardState& s = State();
    if (s.CurrentParam > s.ParamCount) {
        // A new entry is forced optional only when the last stored parameter is optional: the
        // optional ones stay a tail of the list.
        const bool lastOptional =
            s.ParamCount > 0 && s.ParamCount <= codegen::kMaxParams &&
            Definition().Params[static_cast<std::size_t>(s.ParamCount - 1)].Optional;
        m_chkArgOptional->setEnabled(!lastOptional);
        if (lastOptional) {
            m_chkArgOptional->setChecked(true);
        }
        return;
    }
    const bool inTail = s.FirstOptionalParam > 0 && s.CurrentParam > s.FirstOptionalParam;
    m_chkArgOptional->setEnabled(!inTail);
}

void Page2Params::ShowSlot() {
    const WizardState& st = State();
    if (st.CurrentParam > st.ParamCount) {
        // The blank slot is a new entry: whatever an earlier or a loaded macro left in that
        // table slot is no parameter of this one, and must not be offered for Add.
        m_txtParamName->clear();
        m_cmbDestVarName->setEditText(QString());
        m_cmbArgDataType->setCurrentIndex(m_cmbArgDataType->count() > 0 ? 0 : -1);
        m_chkArgOptional->setChecked(false);
        m_chkAllowAltArgs->setChecked(m_allowAltForced);
    } else if (const codegen::ArgData* slot = Slot()) {
        m_txtParamName->setText(FromCp1252(slot->ArgName));
        m_cmbDestVarName->setEditText(FromCp1252(slot->VarName));
        SelectTypeCode(m_cmbArgDataType, slot->DataType);
        m_chkArgOptional->setChecked(slot->Optional);
        m_chkAllowAltArgs->setChecked(m_allowAltForced || slot->AllowAlt);
    } else {
        return;
    }
    ApplyOptionalAvailability();
    m_editorTouched = false;
}

namespace {

QString InvalidNamesMessage() {
    return QStringLiteral(
        "You have entered invalid characters\n\rin the Parameter or Variable Name");
}

QString IncompleteSetMessage() {
    return QStringLiteral("Incomplete Parameter Set");
}

} // namespace

codegen::ArgData Page2Params::EditorEntry() const {
    codegen::ArgData entry;
    entry.ArgName = ToCp1252(m_txtParamName->text());
    entry.DataType = SelectedTypeCode(m_cmbArgDataType);
    entry.VarName = ToCp1252(m_cmbDestVarName->currentText());
    entry.Optional = m_chkArgOptional->isChecked();
    entry.AllowAlt = m_allowAltForced || m_chkAllowAltArgs->isChecked();
    return entry;
}

bool Page2Params::StoreSlot() {
    const codegen::ArgData entry = EditorEntry();
    if (!codegen::AreValidNames(entry.ArgName, entry.VarName, Definition().Header.Skeleton)) {
        Ui().Beep();
        Ui().Information(this, InvalidNamesMessage());
        return false;
    }
    codegen::ArgData* slot = Slot();
    if (slot == nullptr) {
        return true; // no slot beyond the table's last: there is nothing to store
    }
    *slot = entry;
    SyncFirstOptional(std::max(State().ParamCount, State().CurrentParam));
    return true;
}

QString Page2Params::Draft(codegen::MacroDefinition& draft, int& count) const {
    const WizardState& s = State();
    const bool stored = s.CurrentParam >= 1 && s.CurrentParam <= s.ParamCount;
    const bool typedNew = s.CurrentParam == s.ParamCount + 1 &&
                          s.CurrentParam < codegen::kMaxParams && !m_txtParamName->text().isEmpty();
    if (stored || typedNew) {
        const codegen::ArgData entry = EditorEntry();
        if (!codegen::AreValidNames(entry.ArgName, entry.VarName, draft.Header.Skeleton)) {
            return InvalidNamesMessage();
        }
        if (s.CurrentParam <= codegen::kMaxParams) {
            draft.Params[static_cast<std::size_t>(s.CurrentParam - 1)] = entry;
        }
        count = std::max(count, s.CurrentParam);
    }
    if (!codegen::CheckFsrUse(draft, count)) {
        return IncompleteSetMessage();
    }
    draft.Header.ArgCount = count;
    return {};
}

void Page2Params::LoadHook() {
    SyncFirstOptional(State().ParamCount);
}

void Page2Params::SyncFirstOptional(int upTo) {
    State().FirstOptionalParam = 0;
    const int count = std::min(upTo, codegen::kMaxParams);
    for (int k = 1; k <= count; ++k) {
        if (Definition().Params[static_cast<std::size_t>(k - 1)].Optional) {
            State().FirstOptionalParam = k;
            return;
        }
    }
}

bool Page2Params::Check() {
    const WizardState& s = State();
    ClearDroppedNotice();
    if (s.CurrentParam > s.ParamCount) {
        NoteDroppedEntry(DroppedName()); // the blank slot: what was typed there is dropped
    } else if (!StoreSlot()) {
        return false;
    }
    // A parameter without a type (none chosen, or one the target lacks) would give its kind
    // test no condition.
    const int count = std::min(s.ParamCount, codegen::kMaxParams);
    for (int k = 1; k <= count; ++k) {
        const codegen::ArgData& a = Definition().Params[static_cast<std::size_t>(k - 1)];
        if (!codegen::IsTypeAvailable(a.DataType, Definition().Header.Target)) {
            Ui().Information(this,
                             QStringLiteral("Choose a Data Type for ") + ParamTitle(k, a.ArgName));
            return false;
        }
    }
    // The register rule always runs: the usual way to leave the page is from the blank slot.
    if (!codegen::CheckFsrUse(Definition(), s.ParamCount)) {
        Ui().Information(this, IncompleteSetMessage());
        return false;
    }
    return true;
}

void Page2Params::Commit() {
    Definition().Header.ArgCount = State().ParamCount;
}

QWidget* Page2Params::FirstField() const {
    return m_txtParamName;
}

void Page2Params::Enter() {
    const codegen::MacGen& header = Definition().Header;
    // The register names of the committed target, and the types of the chosen one.
    const TypeLists lists = BuildTypeLists(State().TargetChoice);
    emit typeListsBuilt(lists);
    m_pnlDestVar->setVisible(!header.Skeleton);
    AddMissingNames(m_cmbDestVarName, RegisterNames(header.Target));
    ClearDroppedNotice();
    SetTypeItems(m_cmbArgDataType, lists.Params);
    if (State().ParamCount <= 0) {
        m_txtParamName->clear();
        m_cmbDestVarName->setEditText(QString());
        m_cmbArgDataType->setCurrentIndex(m_cmbArgDataType->count() > 0 ? 0 : -1);
        m_editorTouched = false;
    } else {
        ShowSlot();
    }
    // Add is offered for what the editor holds now that it is filled, not for an entry that
    // was typed before the page was left (rebuilding the type list re-evaluated the old text).
    Refresh();
    UpdateAddAvailability();
}

void Page2Params::SetAllowAltForced(bool on) {
    m_allowAltForced = on;
    m_chkAllowAltArgs->setVisible(!on);
    m_chkAllowAltArgs->setChecked(on);
}

void Page2Params::SetGetVarsEnabled(bool enabled) {
    m_cmdGetVars0->setEnabled(enabled);
}

bool Page2Params::GetVarsEnabled() const {
    return m_cmdGetVars0->isEnabled();
}

void Page2Params::UpdateAddAvailability() {
    const WizardState& s = State();
    const bool complete =
        !m_txtParamName->text().isEmpty() && s.CurrentParam == s.ParamCount + 1 &&
        (!m_cmbDestVarName->currentText().isEmpty() || Definition().Header.Skeleton) &&
        m_cmbArgDataType->currentIndex() >= 0 && s.CurrentParam < codegen::kMaxParams;
    // Only the button refresh takes Add away again; a refused entry is caught by the store.
    if (complete) {
        m_cmdAddArg->setEnabled(true);
    }
}

void Page2Params::txtParamNameChange() {
    UpdateAddAvailability();
}

void Page2Params::cmbDestVarNameChange() {
    UpdateAddAvailability();
}

void Page2Params::cmbArgDataTypeChange() {
    UpdateAddAvailability();
}

void Page2Params::cmdAddArgClick() {
    WizardState& s = State();
    // Add appends the blank slot; it never overwrites a parameter nor reaches past the table.
    if (s.CurrentParam != s.ParamCount + 1 || s.CurrentParam >= codegen::kMaxParams) {
        return;
    }
    ClearDroppedNotice();
    if (!StoreSlot()) {
        return;
    }
    m_txtParamName->clear();
    m_txtParamName->setFocus();
    m_cmbDestVarName->setEditText(QString());
    m_cmbArgDataType->setCurrentIndex(m_cmbArgDataType->count() > 0 ? 0 : -1);
    // The Optional and Allow Alt boxes keep their state for the next entry.
    ++s.CurrentParam;
    ++s.ParamCount;
    Refresh();
    ApplyOptionalAvailability();
    m_editorTouched = false;
}

void Page2Params::cmdRemArgClick() {
    WizardState& s = State();
    if (s.CurrentParam < 1 || s.CurrentParam > s.ParamCount) {
        return;
    }
    ClearDroppedNotice();
    Ui().Beep();
    if (!Ui().Confirm(this, QStringLiteral("Are you sure you want to delete\n\r") +
                                m_txtParamName->text() + u'?')) {
        return;
    }
    // Every later parameter, and the blank slot after them, moves down one place. With all
    // 20 slots in use nothing follows the last one, so the freed last slot is left empty.
    codegen::ParamArray& table = Definition().Params;
    const int last = std::min(s.ParamCount, codegen::kMaxParams);
    for (int k = s.CurrentParam; k <= last; ++k) {
        table[static_cast<std::size_t>(k - 1)] =
            k < codegen::kMaxParams ? table[static_cast<std::size_t>(k)] : codegen::ArgData{};
    }
    --s.ParamCount;
    SyncFirstOptional(s.ParamCount);
    Refresh();
    // The parameter that followed the deleted one, or the blank slot as an empty editor.
    ShowSlot();
}

void Page2Params::cmdPrevArgClick() {
    WizardState& s = State();
    if (s.CurrentParam <= 1) {
        return;
    }
    ClearDroppedNotice();
    const bool onBlankSlot = s.CurrentParam > s.ParamCount;
    if (!onBlankSlot && !StoreSlot()) {
        return;
    }
    const QString dropped = DroppedName();
    --s.CurrentParam;
    Refresh();
    ShowSlot();
    NoteDroppedEntry(dropped);
}

void Page2Params::cmdNextArgClick() {
    WizardState& s = State();
    if (s.CurrentParam > s.ParamCount || s.CurrentParam >= codegen::kMaxParams) {
        return;
    }
    ClearDroppedNotice();
    if (!StoreSlot()) {
        return;
    }
    ++s.CurrentParam;
    Refresh();
    ShowSlot();
}

void Page2Params::chkArgOptionalClick(bool ticked) {
    WizardState& s = State();
    codegen::ArgData* slot = Slot();
    if (slot == nullptr) {
        return;
    }
    // The click decides by the box's new state. Where the slot agrees with the box (every
    // slot the show step filled) this is exactly "clear it" or "set it"; a blank slot that
    // kept an old flag cannot turn the click into a no-op that marks every parameter
    // optional.
    slot->Optional = ticked;
    const int from = ticked ? s.CurrentParam : s.CurrentParam + 1;
    const int count = std::min(s.ParamCount, codegen::kMaxParams);
    for (int k = 1; k <= count; ++k) {
        Definition().Params[static_cast<std::size_t>(k - 1)].Optional = k >= from;
    }
    // A tick on the blank slot makes the entry optional when it is added; an untick there
    // leaves only the stored flags to count.
    SyncFirstOptional(ticked ? std::max(count, s.CurrentParam) : count);
}

void Page2Params::cmdGetVars0Click() {
    FillSortedNames(m_cmbDestVarName, ide::PageVariables(),
                    RegisterNames(Definition().Header.Target));
    // The IDE's page was read once at start-up; a second press could bring nothing new.
    m_cmdGetVars0->setEnabled(false);
}

QString Page2Params::DroppedName() const {
    const WizardState& s = State();
    return s.CurrentParam > s.ParamCount && m_editorTouched ? m_txtParamName->text() : QString();
}

void Page2Params::NoteDroppedEntry(const QString& name) {
    if (name.isEmpty()) {
        return;
    }
    const QString notice =
        QStringLiteral("\"%1\" was not added: only Add keeps a new parameter.").arg(name);
    // The panel keeps the notice as its tip for a later look; the tip shows it at once. No
    // modal box: leaving the blank slot is an ordinary move.
    m_pnlParamNum->setToolTip(notice);
    QToolTip::showText(m_pnlParamNum->mapToGlobal(QPoint(0, m_pnlParamNum->height())), notice);
}

QString Page2Params::DroppedEntryNotice() const {
    return m_pnlParamNum->toolTip();
}

void Page2Params::ClearDroppedNotice() {
    m_pnlParamNum->setToolTip(QString());
}

} // namespace vmg::wizard
