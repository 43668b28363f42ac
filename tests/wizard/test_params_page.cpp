// The parameter page: when Add is offered, browsing, Delete, the Optional tail, the table's 20
// slots, the dropped blank slot and Get Vars against our plug-in manager library.
#include "WizardFixture.h"

#include "IDE_Info.h"
#include "MacSourceReadWrite.h"
#include "MacroCodeGenerator.h"
#include "Page2Params.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QToolTip>

#include <ostream>
#include <string>
#include <vector>

namespace vmg::wizard::test {
namespace {

using codegen::MacroHeader;
using codegen::ParamTable;
using codegen::ReturnDef;

const QString kBadParam =
    QStringLiteral("You have entered invalid characters\n\rin the Parameter or Variable Name");

// The enabled state of the four editor buttons.
struct Buttons {
    bool remove;
    bool prev;
    bool next;
    bool add;
    bool operator==(const Buttons&) const = default;
};

void PrintTo(const Buttons& b, std::ostream* os) {
    *os << "{Delete " << b.remove << ", << " << b.prev << ", >> " << b.next << ", Add " << b.add
        << "}";
}

// A macro source whose parameters P1..Pn have the Optional flags of `flags` ('M' mandatory,
// 'O' optional), for the 16-bit target.
QByteArray SourceWithFlags(const std::string& flags) {
    QByteArray text = "1,M,0,,2,0,\r\n";
    for (std::size_t i = 0; i < flags.size(); ++i) {
        const QByteArray n = QByteArray::number(static_cast<int>(i) + 1);
        text += "2,P" + n + ",V" + n + ",2," + (flags[i] == 'O' ? "-1" : "0") + ",0\r\n";
    }
    return text + "3,Sub,-1,0,,2,0,0\r\n";
}

class ParamsPageTest : public WizardTest {
protected:
    Buttons Enabled() {
        return {Find<QPushButton>("cmdRemArg")->isEnabled(),
                Find<QPushButton>("cmdPrevArg")->isEnabled(),
                Find<QPushButton>("cmdNextArg")->isEnabled(),
                Find<QPushButton>("cmdAddArg")->isEnabled()};
    }
    QString Panel() { return Find<QLabel>("pnlParamNum")->text(); }
    QString ShownName() { return Find<QLineEdit>("txtParamName")->text(); }

    void ChooseType(const QString& label) {
        auto* types = Find<QComboBox>("cmbArgDataType");
        const int index = types->findText(label);
        ASSERT_GE(index, 0) << label.toStdString();
        types->setCurrentIndex(index);
    }
    // Types a complete entry into the editor and presses Add.
    void AddParam(const QString& name, const QString& dest,
                  const QString& type = QStringLiteral("Byte/Num")) {
        Type("txtParamName", name);
        if (!dest.isEmpty()) {
            Type("cmbDestVarName", dest);
        }
        ChooseType(type);
        ASSERT_TRUE(Find<QPushButton>("cmdAddArg")->isEnabled()) << name.toStdString();
        Click("cmdAddArg");
    }
    void AddParams(int count) {
        for (int i = 1; i <= count; ++i) {
            AddParam(QStringLiteral("P%1").arg(i), QStringLiteral("V%1").arg(i));
        }
    }
    // Browses with "<<" and ">>" until `slot` is shown.
    void GoToSlot(int slot) {
        for (int guard = 0; State().CurrentParam != slot && guard < 25; ++guard) {
            Click(State().CurrentParam > slot ? "cmdPrevArg" : "cmdNextArg");
        }
        ASSERT_EQ(State().CurrentParam, slot) << m_dialogs.Transcript().toStdString();
    }
    QStringList Names() {
        QStringList names;
        for (int k = 0; k < State().ParamCount; ++k) {
            names << QString::fromStdString(ParamTable()[static_cast<std::size_t>(k)].ArgName);
        }
        return names;
    }
    // 'M' or 'O' for each parameter.
    std::string Flags() {
        std::string flags;
        for (int k = 0; k < State().ParamCount; ++k) {
            flags += ParamTable()[static_cast<std::size_t>(k)].Optional ? 'O' : 'M';
        }
        return flags;
    }
    // The Optional box on every slot, the blank one included: '-' enabled and clear, '+'
    // enabled and ticked, '#' disabled and ticked, '_' disabled and clear. Browses back to
    // the slot it started on.
    std::string OptionalBoxes() {
        const int start = State().CurrentParam;
        std::string boxes;
        auto* box = Find<QCheckBox>("chkArgOptional");
        for (int slot = 1; slot <= State().ParamCount + 1; ++slot) {
            GoToSlot(slot);
            boxes +=
                box->isEnabled() ? (box->isChecked() ? '+' : '-') : (box->isChecked() ? '#' : '_');
        }
        GoToSlot(start);
        return boxes;
    }
};

TEST_F(ParamsPageTest, AFreshPageWaitsForTheFirstParameter) {
    Start();
    NextTo(2);
    EXPECT_EQ(Panel(), QStringLiteral("Enter New Param"));
    EXPECT_EQ(Enabled(), (Buttons{false, false, false, false}));
    EXPECT_EQ(ShownName(), QString());
    EXPECT_EQ(Find<QComboBox>("cmbArgDataType")->currentIndex(), 0);
}

// What the editor holds, and whether Add is offered and then stores it.
struct AddCase {
    const char* name;
    bool skeleton;
    const char* param;
    const char* dest;
    bool noType; // no data type selected
    bool offered;
    bool stored;
};

void PrintTo(const AddCase& c, std::ostream* os) {
    *os << c.name;
}

class AddAvailabilityTest : public ParamsPageTest, public ::testing::WithParamInterface<AddCase> {};

TEST_P(AddAvailabilityTest, AddIsOfferedForACompleteEntryAndStoresOnlyValidNames) {
    const AddCase& c = GetParam();
    if (c.skeleton) {
        StoreWizardSettings({{"NoCode", 1}});
    }
    Start();
    NextTo(2);
    EXPECT_EQ(ShownOnPage("pnlDestVar"), !c.skeleton);
    if (c.noType) {
        Find<QComboBox>("cmbArgDataType")->setCurrentIndex(-1);
    }
    Type("txtParamName", QString::fromUtf8(c.param));
    if (*c.dest != '\0') {
        Type("cmbDestVarName", QString::fromUtf8(c.dest));
    }
    ASSERT_EQ(Find<QPushButton>("cmdAddArg")->isEnabled(), c.offered);
    if (!c.offered) {
        return;
    }
    Click("cmdAddArg");
    if (c.stored) {
        EXPECT_TRUE(m_dialogs.Calls.empty()) << m_dialogs.Transcript().toStdString();
        EXPECT_EQ(State().ParamCount, 1);
        EXPECT_EQ(State().CurrentParam, 2);
        EXPECT_EQ(ParamTable()[0].ArgName, c.param);
        EXPECT_EQ(ParamTable()[0].VarName, c.dest);
        EXPECT_EQ(ParamTable()[0].DataType, 2);
        // The editor is ready for the next entry.
        EXPECT_EQ(ShownName(), QString());
        EXPECT_EQ(Find<QComboBox>("cmbDestVarName")->currentText(), QString());
        EXPECT_EQ(Panel(), QStringLiteral("Enter New Param"));
        EXPECT_EQ(Enabled(), (Buttons{false, true, false, false}));
    } else {
        EXPECT_EQ(m_dialogs.Texts(DialogKind::Beep).size(), 1);
        EXPECT_EQ(m_dialogs.Texts(DialogKind::Information), QStringList{kBadParam});
        EXPECT_EQ(State().ParamCount, 0);
        EXPECT_EQ(ShownName(), QString::fromUtf8(c.param)) << "the editor keeps the text";
        EXPECT_EQ(ParamTable()[0], codegen::ArgData{});
    }
}

const AddCase kAddCases[] = {
    {"NameTypeAndDestination", false, "Count", "CountVar", false, true, true},
    {"NameAndTypeUnderSkeleton", true, "Count", "", false, true, true},
    {"NoDestination", false, "Count", "", false, false, false},
    {"NoName", false, "", "CountVar", false, false, false},
    {"NoTypeSelected", false, "Count", "CountVar", true, false, false},
    {"InvalidNameIsRefusedByTheStore", false, "1st", "CountVar", false, true, false},
    {"InvalidDestinationIsRefusedByTheStore", false, "Count", "Count Var", false, true, false},
};

INSTANTIATE_TEST_SUITE_P(Entries, AddAvailabilityTest, ::testing::ValuesIn(kAddCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(ParamsPageTest, NineteenAddsReachTheLastSlotWhereAddIsNoLongerOffered) {
    Start();
    NextTo(2);
    for (int i = 1; i <= 19; ++i) {
        AddParam(QStringLiteral("P%1").arg(i), QStringLiteral("V%1").arg(i));
        EXPECT_EQ(Panel(), i < 19 ? QStringLiteral("Enter New Param")
                                  : QStringLiteral("Param Count Exceeded"));
    }
    EXPECT_EQ(State().ParamCount, 19);
    EXPECT_EQ(State().CurrentParam, 20);
    Type("txtParamName", QStringLiteral("P20"));
    Type("cmbDestVarName", QStringLiteral("V20"));
    ChooseType(QStringLiteral("Word/Num"));
    EXPECT_EQ(Enabled(), (Buttons{false, true, false, false}));
    Click("cmdAddArg");
    EXPECT_EQ(State().ParamCount, 19);
    EXPECT_EQ(ParamTable()[19], codegen::ArgData{}) << "the twentieth slot was written";

    Next();
    ASSERT_EQ(State().CurrentPage, 3);
    EXPECT_EQ(MacroHeader().ArgCount, 19);
    EXPECT_EQ(Find<QLabel>("lblParamNums")->text(),
              QStringLiteral("You have entered 19 parameters"));
}

TEST_F(ParamsPageTest, BrowsingStoresTheShownParameterAndDropsTheBlankSlot) {
    Start();
    NextTo(2);
    AddParam(QStringLiteral("A"), QStringLiteral("VarA"));
    AddParam(QStringLiteral("B"), QStringLiteral("VarB"), QStringLiteral("Word/Num"));
    AddParam(QStringLiteral("C"), QStringLiteral("VarC"));

    // "<<" from the blank slot: the typed entry is dropped, and the user is told so.
    Type("txtParamName", QStringLiteral("Dropped"));
    Type("cmbDestVarName", QStringLiteral("VarD"));
    Click("cmdPrevArg");
    EXPECT_EQ(State().CurrentParam, 3);
    EXPECT_EQ(ShownName(), QStringLiteral("C"));
    EXPECT_EQ(Panel(), QStringLiteral("Parameter 3"));
    EXPECT_EQ(Enabled(), (Buttons{true, true, true, false}));
    EXPECT_EQ(State().ParamCount, 3);
    EXPECT_EQ(ParamTable()[3].ArgName, "");
    EXPECT_TRUE(m_dialogs.Calls.empty()) << "no modal box for a dropped entry";
    const QString notice = Window().ParamsPage()->DroppedEntryNotice();
    EXPECT_TRUE(notice.contains(QStringLiteral("\"Dropped\""))) << notice.toStdString();
    EXPECT_EQ(Find<QLabel>("pnlParamNum")->toolTip(), notice);
    EXPECT_EQ(QToolTip::text(), notice);

    // An edit of a shown parameter is stored when the user moves on; the notice goes.
    Type("txtParamName", QStringLiteral("Cee"));
    Click("cmdPrevArg");
    EXPECT_EQ(ParamTable()[2].ArgName, "Cee");
    EXPECT_EQ(ShownName(), QStringLiteral("B"));
    EXPECT_EQ(Find<QComboBox>("cmbArgDataType")->currentText(), QStringLiteral("Word/Num"));
    EXPECT_EQ(Window().ParamsPage()->DroppedEntryNotice(), QString());
    EXPECT_EQ(Find<QLabel>("pnlParamNum")->toolTip(), QString());

    // ">>" past the last parameter shows the blank slot; leaving it untouched tells nothing.
    GoToSlot(4);
    EXPECT_EQ(ShownName(), QString());
    EXPECT_EQ(Panel(), QStringLiteral("Enter New Param"));
    EXPECT_EQ(Enabled(), (Buttons{false, true, false, false}));
    Click("cmdPrevArg");
    EXPECT_EQ(Window().ParamsPage()->DroppedEntryNotice(), QString());

    // A refused name keeps the editor where it is, with its text.
    GoToSlot(1);
    EXPECT_EQ(Enabled(), (Buttons{true, false, true, false}));
    Type("txtParamName", QStringLiteral("A a"));
    m_dialogs.Clear();
    Click("cmdNextArg");
    EXPECT_EQ(State().CurrentParam, 1);
    EXPECT_EQ(ShownName(), QStringLiteral("A a"));
    EXPECT_EQ(ParamTable()[0].ArgName, "A");
    EXPECT_EQ(m_dialogs.Texts(DialogKind::Information), QStringList{kBadParam});
    EXPECT_EQ(m_dialogs.Calls.front().Kind, DialogKind::Beep);
    EXPECT_EQ(Names(), (QStringList{"A", "B", "Cee"}));
}

TEST_F(ParamsPageTest, NextFromTheBlankSlotDropsATypedEntryVisibly) {
    Start();
    NextTo(2);
    AddParam(QStringLiteral("Kept"), QStringLiteral("KeptVar"));
    Type("txtParamName", QStringLiteral("Lost"));
    Next();
    ASSERT_EQ(State().CurrentPage, 3);
    EXPECT_TRUE(m_dialogs.Calls.empty()) << m_dialogs.Transcript().toStdString();
    EXPECT_EQ(MacroHeader().ArgCount, 1);
    EXPECT_EQ(ParamTable()[1].ArgName, "");
    EXPECT_TRUE(Window().ParamsPage()->DroppedEntryNotice().contains(QStringLiteral("\"Lost\"")));

    // Arriving at page 2 again starts without the old notice.
    Back();
    Back();
    Next();
    EXPECT_EQ(Window().ParamsPage()->DroppedEntryNotice(), QString());
    EXPECT_EQ(Find<QLabel>("pnlParamNum")->toolTip(), QString());
    EXPECT_FALSE(Find<QPushButton>("cmdAddArg")->isEnabled());
}

// One Delete: which of how many parameters, the answer, and what the editor then shows.
struct DeleteCase {
    const char* name;
    int count;
    int remove;
    const char* typed; // typed into the name box before Delete, or null
    bool yes;
    QStringList names;
    int shown;
    QString shownName;
    QString panel;
    Buttons buttons;
};

void PrintTo(const DeleteCase& c, std::ostream* os) {
    *os << c.name;
}

class DeleteTest : public ParamsPageTest, public ::testing::WithParamInterface<DeleteCase> {};

TEST_P(DeleteTest, DeleteAsksThenClosesTheGap) {
    const DeleteCase& c = GetParam();
    Start();
    NextTo(2);
    AddParams(c.count);
    GoToSlot(c.remove);
    if (c.typed != nullptr) {
        Type("txtParamName", QString::fromUtf8(c.typed));
    }
    const QString asked = ShownName();
    m_dialogs.Clear();
    m_dialogs.YesNo.push_back(c.yes);
    Click("cmdRemArg");

    ASSERT_EQ(m_dialogs.Calls.size(), 2u) << m_dialogs.Transcript().toStdString();
    EXPECT_EQ(m_dialogs.Calls[0].Kind, DialogKind::Beep);
    EXPECT_EQ(m_dialogs.Calls[1].Kind, DialogKind::Confirm);
    EXPECT_EQ(m_dialogs.Calls[1].Text,
              QStringLiteral("Are you sure you want to delete\n\r") + asked + u'?');
    EXPECT_EQ(Names(), c.names);
    EXPECT_EQ(State().CurrentParam, c.shown);
    EXPECT_EQ(ShownName(), c.shownName);
    EXPECT_EQ(Panel(), c.panel);
    EXPECT_EQ(Enabled(), c.buttons);
}

// clang-format off
const DeleteCase kDeleteCases[] = {
    // name, parameters, deleted, typed first, answer, names after, slot shown, name shown,
    // panel, {Delete, <<, >>, Add}
    {"TheOnlyParameter", 1, 1, nullptr, true, {}, 1, "", "Enter New Param",
     {false, false, false, false}},
    {"TheLastOfThree", 3, 3, nullptr, true, {"P1", "P2"}, 3, "", "Enter New Param",
     {false, true, false, false}},
    {"AMiddleOne", 3, 2, nullptr, true, {"P1", "P3"}, 2, "P3", "Parameter 2",
     {true, true, true, false}},
    {"TheFirstOfThree", 3, 1, nullptr, true, {"P2", "P3"}, 1, "P2", "Parameter 1",
     {true, false, true, false}},
    {"AskedWithTheNameInTheBox", 3, 2, "Renamed", true, {"P1", "P3"}, 2, "P3", "Parameter 2",
     {true, true, true, false}},
    {"AnsweredNo", 3, 2, nullptr, false, {"P1", "P2", "P3"}, 2, "P2", "Parameter 2",
     {true, true, true, false}},
};
// clang-format on

INSTANTIATE_TEST_SUITE_P(Cases, DeleteTest, ::testing::ValuesIn(kDeleteCases),
                         [](const auto& info) { return std::string(info.param.name); });

// Steps on the Optional boxes, then the flags and what every slot's box shows.
struct OptionalStep {
    enum Kind { Tick, Delete, Add, Visit } kind;
    int slot;
};

struct OptionalCase {
    const char* name;
    std::string loaded; // flags of a loaded macro source, or "" for none
    int added;          // parameters added by hand first
    std::vector<OptionalStep> steps;
    std::string flags;
    std::string boxes;
};

void PrintTo(const OptionalCase& c, std::ostream* os) {
    *os << c.name;
}

class OptionalTailTest : public ParamsPageTest,
                         public ::testing::WithParamInterface<OptionalCase> {};

TEST_P(OptionalTailTest, OptionalParametersStayATailOfTheList) {
    const OptionalCase& c = GetParam();
    Start();
    NextTo(1);
    if (!c.loaded.empty()) {
        OpenSource(SourceWithFlags(c.loaded));
    }
    NextTo(2);
    AddParams(c.added);
    int added = 0;
    for (const OptionalStep& step : c.steps) {
        SCOPED_TRACE(::testing::Message() << "step on slot " << step.slot);
        GoToSlot(step.slot);
        switch (step.kind) {
        case OptionalStep::Tick:
            ASSERT_TRUE(Find<QCheckBox>("chkArgOptional")->isEnabled());
            Click("chkArgOptional");
            break;
        case OptionalStep::Delete:
            m_dialogs.YesNo.push_back(true);
            Click("cmdRemArg");
            break;
        case OptionalStep::Add:
            ++added;
            AddParam(QStringLiteral("N%1").arg(added), QStringLiteral("W%1").arg(added));
            break;
        case OptionalStep::Visit:
            break;
        }
    }
    EXPECT_EQ(Flags(), c.flags);
    EXPECT_EQ(OptionalBoxes(), c.boxes);
    // Browsing stored every slot as shown; leaving the page keeps the flags.
    NextTo(3);
    EXPECT_EQ(Flags(), c.flags);
}

using S = OptionalStep;
// Flags: 'M' mandatory, 'O' optional. Boxes, slot by slot with the blank one last: '-' enabled
// and clear, '+' enabled and ticked, '#' disabled and ticked.
// clang-format off
const OptionalCase kOptionalCases[] = {
    {"TickTheSecondOfFour", "", 4, {{S::Tick, 2}}, "MOOO", "-+###"},
    {"TickThenClearTheSecondOfFour", "", 4, {{S::Tick, 2}, {S::Tick, 2}}, "MMOO", "--+##"},
    {"DeleteTheFirstWithTheLastTwoOptional", "MMOO", 0, {{S::Delete, 1}}, "MOO", "-+##"},
    {"LoadedThirdOfThreeOptional", "MMO", 0, {{S::Visit, 3}, {S::Visit, 1}}, "MMO", "--+#"},
    {"TickOnTheBlankSlotMakesTheNextAddOptional", "", 2, {{S::Tick, 3}, {S::Add, 3}}, "MMO",
     "--+#"},
    {"ANewEntryAfterTheOptionalOnesIsOptional", "", 1,
     {{S::Tick, 2}, {S::Add, 2}, {S::Visit, 1}, {S::Visit, 3}, {S::Add, 3}}, "MOO", "-+##"},
};
// clang-format on

INSTANTIATE_TEST_SUITE_P(Cases, OptionalTailTest, ::testing::ValuesIn(kOptionalCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(ParamsPageTest, AnOldFlagLeftInTheBlankSlotDoesNotMakeEveryParameterOptional) {
    Start();
    NextTo(1);
    OpenSource(SourceWithFlags("MMO")); // leaves slot 3 optional
    OpenSource(SourceWithFlags("M"));   // one mandatory parameter; slot 3 keeps its flag
    NextTo(2);
    GoToSlot(2);
    AddParam(QStringLiteral("Two"), QStringLiteral("VarTwo"));
    ASSERT_FALSE(Find<QCheckBox>("chkArgOptional")->isChecked());
    Click("chkArgOptional");
    EXPECT_EQ(Flags(), "MM");
    AddParam(QStringLiteral("Three"), QStringLiteral("VarThree"));
    EXPECT_EQ(Flags(), "MMO");
}

TEST_F(ParamsPageTest, TypeConversionStoresAllowAltOnEveryParameter) {
    Start();
    NextTo(1);
    Click("chkTypeConvOn");
    NextTo(2);
    EXPECT_FALSE(ShownOnPage("chkAllowAltArgs"));
    AddParams(2);
    EXPECT_TRUE(ParamTable()[0].AllowAlt);
    EXPECT_TRUE(ParamTable()[1].AllowAlt);
}

// Twenty parameters come only from a file; Delete must stay within the table.
struct TwentyCase {
    const char* name;
    int remove;
    const char* firstName;
    const char* lastName;
    int shown;
    QString panel;
};

void PrintTo(const TwentyCase& c, std::ostream* os) {
    *os << c.name;
}

class TwentyParamsTest : public ParamsPageTest, public ::testing::WithParamInterface<TwentyCase> {};

TEST_P(TwentyParamsTest, DeleteWithAFullTableLeavesTheLastSlotEmpty) {
    const TwentyCase& c = GetParam();
    Start();
    NextTo(1);
    OpenSource(SourceWithFlags(std::string(20, 'M')));
    ASSERT_EQ(State().ParamCount, 20);
    NextTo(2);
    GoToSlot(20);
    EXPECT_EQ(Panel(), QStringLiteral("Parameter 20")) << "a loaded parameter like the others";
    EXPECT_EQ(Enabled(), (Buttons{true, true, false, false})) << "no slot follows the 20th";
    Click("cmdNextArg");
    EXPECT_EQ(State().CurrentParam, 20);

    GoToSlot(c.remove);
    const codegen::RetData returnBefore = ReturnDef();
    const codegen::MacGen headerBefore = MacroHeader();
    m_dialogs.YesNo.push_back(true);
    Click("cmdRemArg");
    EXPECT_EQ(State().ParamCount, 19);
    EXPECT_EQ(ParamTable()[19], codegen::ArgData{});
    EXPECT_EQ(ParamTable()[0].ArgName, c.firstName);
    EXPECT_EQ(ParamTable()[18].ArgName, c.lastName);
    EXPECT_EQ(State().CurrentParam, c.shown);
    EXPECT_EQ(Panel(), c.panel);
    EXPECT_TRUE(ReturnDef() == returnBefore) << "Delete wrote past the table";
    EXPECT_TRUE(MacroHeader() == headerBefore);
    Next();
    EXPECT_EQ(State().CurrentPage, 3);
    EXPECT_EQ(MacroHeader().ArgCount, 19);
}

const TwentyCase kTwentyCases[] = {
    {"TheTwentieth", 20, "P1", "P19", 20, "Param Count Exceeded"},
    {"TheFirst", 1, "P2", "P20", 1, "Parameter 1"},
};

INSTANTIATE_TEST_SUITE_P(Cases, TwentyParamsTest, ::testing::ValuesIn(kTwentyCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(ParamsPageTest, ASkeletonDestinationHoldingACommaReachesTheDefinitionUnchanged) {
    StoreWizardSettings({{"NoCode", 1}});
    Start();
    NextTo(2);
    // The destination row is hidden under Build Skeleton, and its name is not checked: what
    // the box holds is stored as it stands.
    Type("txtParamName", QStringLiteral("First"));
    Type("cmbDestVarName", QStringLiteral("A,B"));
    Click("cmdAddArg");
    ASSERT_EQ(State().ParamCount, 1);
    EXPECT_EQ(ParamTable()[0].VarName, "A,B");
    NextTo(4);
    EXPECT_EQ(ParamTable()[0].VarName, "A,B");
    EXPECT_TRUE(m_dialogs.Calls.empty()) << m_dialogs.Transcript().toStdString();

    // The source writer is the one to refuse it, naming the field to fix.
    const auto written = macsource::WriteMacroSource(
        QDir(TempPath()).filePath(QStringLiteral("comma.mcs")).toStdString(), State().ParamCount);
    EXPECT_FALSE(written.ok);
    EXPECT_NE(written.message.find("destination variable of parameter 1"), std::string::npos)
        << written.message;
}

// Get Vars on pages 2 and 3, against our plug-in manager library and a temporary page.
struct GetVarsCase {
    const char* name;
    int core;
    QStringList expected;
};

void PrintTo(const GetVarsCase& c, std::ostream* os) {
    *os << c.name;
}

class GetVarsTest : public ParamsPageTest, public ::testing::WithParamInterface<GetVarsCase> {};

TEST_P(GetVarsTest, GetVarsFillsSortsAddsTheRegistersAndWorksOnce) {
    const GetVarsCase& c = GetParam();
    WriteSession(c.core, "Dim Zeta[10] As Byte\r\n"
                         "Dim alpha As Word\r\n"
                         "Start:\r\n"
                         "Dim Mid As Byte\r\n"
                         "Dim alpha As Word\r\n");
    StoreWizardSettings({{"ReturnInd", 1}}); // In-Line: page 3 shows its Get Vars
    Start();
    NextTo(2);
    auto* dest = Find<QComboBox>("cmbDestVarName");
    Type("cmbDestVarName", QStringLiteral("Typed"));
    ASSERT_TRUE(Find<QPushButton>("cmdGetVars0")->isEnabled());
    Click("cmdGetVars0");
    EXPECT_EQ(Items(dest), c.expected);
    EXPECT_EQ(dest->currentText(), QStringLiteral("Zeta")) << "the page's first variable";
    EXPECT_FALSE(Find<QPushButton>("cmdGetVars0")->isEnabled());
    // What is offered is taken: the array's name, without its size.
    Type("txtParamName", QStringLiteral("Count"));
    Click("cmdAddArg");
    EXPECT_EQ(State().ParamCount, 1) << m_dialogs.Transcript().toStdString();
    EXPECT_EQ(codegen::Definition().Params[0].VarName, "Zeta");

    // Entering the page again neither refills nor repeats a register name.
    Back();
    NextTo(2);
    EXPECT_EQ(Items(dest), c.expected);

    NextTo(3);
    auto* ret = Find<QComboBox>("cmbRetVarName");
    ASSERT_TRUE(Find<QPushButton>("cmdGetVars1")->isEnabled());
    Click("cmdGetVars1");
    EXPECT_EQ(Items(ret), c.expected);
    EXPECT_EQ(ret->currentText(), QStringLiteral("Zeta"));
    EXPECT_FALSE(Find<QPushButton>("cmdGetVars1")->isEnabled());
}

const GetVarsCase kGetVarsCases[] = {
    {"Core16", 16, {"alpha", "alpha", "FSR0", "FSR1", "FSR2", "Mid", "Zeta"}},
    {"Core14", 14, {"alpha", "alpha", "FSR", "Mid", "Zeta"}},
    {"OtherCore", 12, {"alpha", "alpha", "Mid", "Zeta"}},
};

INSTANTIATE_TEST_SUITE_P(Cores, GetVarsTest, ::testing::ValuesIn(kGetVarsCases),
                         [](const auto& info) { return std::string(info.param.name); });

} // namespace
} // namespace vmg::wizard::test
