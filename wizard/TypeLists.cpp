// Building the type lists from the catalogue and the combo-box helpers that carry the codes.
#include "TypeLists.h"

#include "MacroCodeGenerator.h"
#include "Text1252.h"

#include <QComboBox>

#include <algorithm>

namespace vmg::wizard {

namespace {
// The catalogue's codes that the lists consider; none above 23 is a type today.
constexpr int kLastTypeCode = 30;
const QString kNotOffered = QStringLiteral("N/A");
} // namespace

TypeLists BuildTypeLists(int target) {
    TypeLists lists;
    for (int code = 0; code <= kLastTypeCode; ++code) {
        const codegen::DataTypeDesc desc = codegen::GetTypeDesc(code, target);
        const QString param = FromCp1252(codegen::ParamLabel(desc));
        const QString ret = FromCp1252(codegen::ReturnLabel(desc));
        if (param != kNotOffered) {
            lists.Params.push_back({param, code});
        }
        if (ret != kNotOffered) {
            lists.Returns.push_back({ret, code});
        }
    }
    return lists;
}

QString OfferedLabel(const std::vector<TypeEntry>& entries, int code) {
    const auto found = std::find_if(entries.begin(), entries.end(),
                                    [code](const TypeEntry& e) { return e.Code == code; });
    return found != entries.end() ? found->Label : QString();
}

QString TypeTitle(int code, bool forReturn) {
    for (const int target : {2, 1}) {
        const TypeLists lists = BuildTypeLists(target);
        const QString label = OfferedLabel(forReturn ? lists.Returns : lists.Params, code);
        if (!label.isEmpty()) {
            return label;
        }
    }
    return QStringLiteral("data type %1").arg(code);
}

QString ParamTitle(int number, const std::string& name) {
    return QStringLiteral("Parameter %1 (%2)").arg(number).arg(FromCp1252(name));
}

QStringList RegisterNames(int target) {
    switch (target) {
    case 1:
        return {QStringLiteral("FSR")};
    case 2:
        return {QStringLiteral("FSR0"), QStringLiteral("FSR1"), QStringLiteral("FSR2")};
    default:
        return {};
    }
}

void SetTypeItems(QComboBox* combo, const std::vector<TypeEntry>& entries) {
    combo->clear();
    for (const TypeEntry& entry : entries) {
        combo->addItem(entry.Label, entry.Code);
    }
    combo->setCurrentIndex(combo->count() > 0 ? 0 : -1);
}

int SelectedTypeCode(const QComboBox* combo) {
    const int index = combo->currentIndex();
    return index >= 0 ? combo->itemData(index).toInt() : -1;
}

void SelectTypeCode(QComboBox* combo, int code) {
    combo->setCurrentIndex(combo->findData(code));
}

void AddMissingNames(QComboBox* combo, const QStringList& names) {
    const QString typed = combo->currentText();
    const int selected = combo->currentIndex();
    for (const QString& name : names) {
        if (combo->findText(name, Qt::MatchExactly | Qt::MatchCaseSensitive) < 0) {
            combo->addItem(name);
        }
    }
    // Adding the first entry selects it, which would put its text in the box.
    if (selected < 0) {
        combo->setCurrentIndex(-1);
    }
    combo->setEditText(typed);
}

void FillSortedNames(QComboBox* combo, const std::vector<std::string>& pageNames,
                     const QStringList& extra) {
    const QString typed = combo->currentText();
    QStringList names;
    for (const std::string& name : pageNames) {
        names << FromCp1252(name);
    }
    QStringList items = names;
    for (const QString& name : extra) {
        if (!items.contains(name, Qt::CaseSensitive)) {
            items << name;
        }
    }
    // Alphabetical whatever the letter case, so "alpha" and "Alpha" stand together; case only
    // breaks ties, so that the order never depends on the order the names were found in.
    std::stable_sort(items.begin(), items.end(), [](const QString& a, const QString& b) {
        const int blind = QString::compare(a, b, Qt::CaseInsensitive);
        return blind != 0 ? blind < 0 : QString::compare(a, b, Qt::CaseSensitive) < 0;
    });
    combo->clear();
    combo->addItems(items);
    if (names.isEmpty()) {
        combo->setCurrentIndex(-1);
        combo->setEditText(typed);
    } else {
        combo->setCurrentIndex(static_cast<int>(items.indexOf(names.front())));
    }
}

} // namespace vmg::wizard
