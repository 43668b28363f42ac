// The data-type lists of pages 2 and 3 and the register names offered as variables, both
// taken from the catalogue for a target.
#pragma once

#include <QString>
#include <QStringList>

#include <string>
#include <vector>

class QComboBox;

namespace vmg::wizard {

struct TypeEntry {
    QString Label;
    int Code = 0;
    bool operator==(const TypeEntry&) const = default;
};

struct TypeLists {
    std::vector<TypeEntry> Params;  // the parameter type list of page 2
    std::vector<TypeEntry> Returns; // the return type list of page 3
};

// Codes 0 to 30 in order, each with the catalogue's parameter and return label for the
// target; a label "N/A" means that side does not offer the type.
TypeLists BuildTypeLists(int target);

// The label of the entry carrying `code`, or an empty text when the list does not offer it.
QString OfferedLabel(const std::vector<TypeEntry>& entries, int code);
// How a message names a type: its label in the 16-bit or else the 14-bit lists ("Float/Num",
// "Float" for a return value), or "data type N" when no list offers it.
QString TypeTitle(int code, bool forReturn);
// "Parameter 2 (Volts)": how a message names a stored parameter.
QString ParamTitle(int number, const std::string& name);

// The FSR registers of a target: "FSR" for the 14-bit core, "FSR0" to "FSR2" for the 16-bit
// core, none for both.
QStringList RegisterNames(int target);

// Replaces the combo's entries, each carrying its code, and selects the first.
void SetTypeItems(QComboBox* combo, const std::vector<TypeEntry>& entries);
// The code of the selected entry, -1 when none is selected.
int SelectedTypeCode(const QComboBox* combo);
// Selects the entry carrying `code`, or none when no entry does.
void SelectTypeCode(QComboBox* combo, int code);

// Appends each name the list does not hold yet, leaving the typed text as it was.
void AddMissingNames(QComboBox* combo, const QStringList& names);

// "Get Labels" / "Get Vars": the list becomes `pageNames` (the IDE page's 8-bit names,
// duplicates kept) plus each of `extra` it lacks, sorted alphabetically; the box shows the
// first of `pageNames`, or keeps its typed text when there are none.
void FillSortedNames(QComboBox* combo, const std::vector<std::string>& pageNames,
                     const QStringList& extra);

} // namespace vmg::wizard
