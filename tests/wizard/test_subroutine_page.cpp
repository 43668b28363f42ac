// The subroutine and return page: what its entry shows for each return method and stored
// answer, the commit, Get Labels, and a whole walk whose code matches what vmacgen prints.
#include "WizardFixture.h"

#include "MacSourceReadWrite.h"
#include "MacroCodeGenerator.h"
#include "Text1252.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QRadioButton>
#include <QTextEdit>

#include <ostream>
#include <string>
#include <vector>

namespace vmg::wizard::test {
namespace {

using codegen::MacroHeader;
using codegen::ReturnDef;

class SubroutinePageTest : public WizardTest {};

// A stored definition (or none), what the user changes before page 3, and what its entry
// shows.
struct EntryCase {
    const char* name;
    const char* source;
    const char* targetButton; // chosen on page 1 after loading, or null
    bool returnPanel;
    bool goToEnabled;
    bool goSub;
    bool goTo;
    QString subName;
    QString retVar;
    QString retType; // "" when no entry is selected
    bool retOptional;
    bool allowAlt;
};

void PrintTo(const EntryCase& c, std::ostream* os) {
    *os << c.name;
}

class EntryTest : public SubroutinePageTest, public ::testing::WithParamInterface<EntryCase> {};

TEST_P(EntryTest, EntryShowsTheStoredAnswersForTheReturnMethod) {
    const EntryCase& c = GetParam();
    Start();
    NextTo(1);
    if (c.source != nullptr) {
        OpenSource(c.source);
        // The open dialog, and at most the note of a type the target lacks.
        ASSERT_TRUE(m_dialogs.Texts(DialogKind::Error).isEmpty())
            << m_dialogs.Transcript().toStdString();
    }
    if (c.targetButton != nullptr) {
        Click(c.targetButton);
    }
    NextTo(3);
    EXPECT_EQ(ShownOnPage("pnlReturnVar"), c.returnPanel);
    EXPECT_EQ(Find<QRadioButton>("optJumpSub")->isEnabled(), c.goToEnabled);
    EXPECT_EQ(Find<QRadioButton>("optCallSub")->isChecked(), c.goSub);
    EXPECT_EQ(Find<QRadioButton>("optJumpSub")->isChecked(), c.goTo);
    EXPECT_EQ(Find<QComboBox>("cmbSubroutineName")->currentText(), c.subName);
    EXPECT_EQ(Find<QComboBox>("cmbRetVarName")->currentText(), c.retVar);
    auto* type = Find<QComboBox>("cmbRetDataType");
    EXPECT_EQ(type->currentIndex() < 0 ? QString() : type->currentText(), c.retType);
    EXPECT_EQ(Find<QCheckBox>("chkRetOptional")->isChecked(), c.retOptional);
    EXPECT_EQ(Find<QCheckBox>("chkAllowAltRet")->isChecked(), c.allowAlt);
}

const EntryCase kEntryCases[] = {
    {"NoneFirstVisit", nullptr, nullptr, false, true, true, false, "", "", "Byte", false, false},
    {"NoneWithAStoredGoTo", "1,M,0,,0,0,\r\n3,Jumper,0,-1,,0,0,0\r\n", nullptr, false, true, false,
     true, "Jumper", "", "Byte", false, false},
    {"NoneWithBothStoredGoSubWins", "1,M,0,,0,0,\r\n3,Both,-1,-1,,2,0,0\r\n", nullptr, false, true,
     true, false, "Both", "", "Byte", false, false},
    {"NoneWithNeitherStored", "1,M,0,,0,0,\r\n3,Neither,0,0,,3,0,0\r\n", nullptr, false, true,
     false, false, "Neither", "", "Word", false, false},
    {"NoneWithoutARoutineCallsWithGoSub", "1,M,0,,0,0,\r\n3,,0,-1,,0,0,0\r\n", nullptr, false, true,
     true, false, "", "", "Byte", false, false},
    {"InLineForcesGoSub", "1,M,1,,2,0,\r\n3,Sub,0,-1,Total,5,-1,-1\r\n", nullptr, true, false, true,
     false, "Sub", "Total", "Float", true, true},
    {"ParameterForcesGoSub", "1,M,2,,0,0,\r\n3,Sub,0,0,Result,4,0,0\r\n", nullptr, true, false,
     true, false, "Sub", "Result", "DWord", false, false},
    {"FloatFor14BitSelectsNothing", "1,M,1,,1,0,\r\n3,Sub,-1,0,Total,5,0,0\r\n", nullptr, true,
     false, true, false, "Sub", "Total", "", false, false},
    {"ATypeThatIsNoReturnTypeSelectsNothing", "1,M,1,,2,0,\r\n3,Sub,-1,0,Total,9,0,0\r\n", nullptr,
     true, false, true, false, "Sub", "Total", "", false, false},
    {"NoStoredTypeSelectsTheFirst", "1,M,1,,2,0,\r\n3,Sub,-1,0,Total,-1,0,0\r\n", nullptr, true,
     false, true, false, "Sub", "Total", "Byte", false, false},
};

INSTANTIATE_TEST_SUITE_P(Cases, EntryTest, ::testing::ValuesIn(kEntryCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(SubroutinePageTest, NoReturnTypeSelectedIsCommittedAsMinusOne) {
    Start();
    NextTo(1);
    // Nothing is returned, so the 14-bit core may be chosen although it has no Float.
    OpenSource("1,M,0,,2,0,\r\n3,Sub,-1,0,Total,5,0,0\r\n");
    Click("OptTgt14");
    NextTo(4);
    EXPECT_EQ(ReturnDef().RetArg.DataType, -1);
    EXPECT_TRUE(ReturnDef().UseGoSub);
}

TEST_F(SubroutinePageTest, ACommittedReturnVariableComesBackOnEveryEntryAndFromTheFile) {
    StoreWizardSettings({{"ReturnInd", 1}});
    Start();
    NextTo(3);
    Type("cmbSubroutineName", QStringLiteral("AddSub"));
    Type("cmbRetVarName", QStringLiteral("Total"));
    ChooseIn("cmbRetDataType", QStringLiteral("Word"));
    Click("chkRetOptional");
    Next();
    ASSERT_EQ(State().CurrentPage, 4);
    EXPECT_EQ(ReturnDef().RetArg.VarName, "Total");
    EXPECT_EQ(ReturnDef().RetArg.DataType, 3);
    EXPECT_TRUE(ReturnDef().RetArg.Optional);

    // Typed over but left with Back: the next entry shows the committed one.
    Back();
    Type("cmbRetVarName", QStringLiteral("Other"));
    Back();
    NextTo(3);
    EXPECT_EQ(Find<QComboBox>("cmbRetVarName")->currentText(), QStringLiteral("Total"));

    // Saved and opened again in a fresh run.
    const QString file = QDir(TempPath()).filePath(QStringLiteral("Ret.mcs"));
    ASSERT_TRUE(macsource::WriteMacroSource(file.toStdString(), State().ParamCount).ok);
    TearDown();
    SetUp();
    Start();
    NextTo(1);
    m_dialogs.Paths.push_back(file);
    Click("cmdReload");
    NextTo(3);
    EXPECT_EQ(Find<QComboBox>("cmbRetVarName")->currentText(), QStringLiteral("Total"));
    EXPECT_EQ(Find<QComboBox>("cmbRetDataType")->currentText(), QStringLiteral("Word"));
    EXPECT_TRUE(Find<QCheckBox>("chkRetOptional")->isChecked());
}

TEST_F(SubroutinePageTest, AReturnVariableHoldingACommaIsStoredUncheckedWhenNothingIsReturned) {
    Start();
    NextTo(3);
    ASSERT_FALSE(ShownOnPage("pnlReturnVar"));
    Type("cmbSubroutineName", QStringLiteral("AddSub"));
    Type("cmbRetVarName", QStringLiteral("X,Y"));
    Next();
    ASSERT_EQ(State().CurrentPage, 4);
    EXPECT_EQ(ReturnDef().RetArg.VarName, "X,Y");
    const auto written = macsource::WriteMacroSource(
        QDir(TempPath()).filePath(QStringLiteral("comma.mcs")).toStdString(), State().ParamCount);
    EXPECT_FALSE(written.ok);
    EXPECT_NE(written.message.find("return variable"), std::string::npos) << written.message;
}

TEST_F(SubroutinePageTest, GetLabelsFillsAndSortsTheRoutinesOnce) {
    WriteSession(16, "Start:\r\n"
                     "  GoSub loop\r\n"
                     "loop: ' the main loop\r\n"
                     "  Dim Count As Byte\r\n"
                     "Done:\r\n"
                     "  Not A Label: x\r\n");
    Start();
    NextTo(3);
    auto* subs = Find<QComboBox>("cmbSubroutineName");
    Type("cmbSubroutineName", QStringLiteral("Typed"));
    ASSERT_TRUE(Find<QPushButton>("cmdShowLabels")->isEnabled());
    Click("cmdShowLabels");
    EXPECT_EQ(Items(subs), (QStringList{"Done", "loop", "Start"}));
    EXPECT_EQ(subs->currentText(), QStringLiteral("Start")) << "the page's first label";
    EXPECT_FALSE(Find<QPushButton>("cmdShowLabels")->isEnabled());

    // The chosen label is what Next commits; the list stays for the rest of the run.
    ChooseIn("cmbSubroutineName", QStringLiteral("loop"));
    Next();
    EXPECT_EQ(ReturnDef().SubName, "loop");
    Back();
    Back();
    NextTo(3);
    EXPECT_EQ(Items(subs), (QStringList{"Done", "loop", "Start"}));
    EXPECT_EQ(subs->currentText(), QStringLiteral("loop"));
}

// ---- A whole walk, compared with the command-line generator ----

struct WalkParam {
    const char* name;
    const char* dest;
    const char* type;
    bool optional;
};

struct Walk {
    const char* name;
    const char* targetButton;
    int returnIndex;
    bool skeleton;
    bool typeConversion;
    std::vector<WalkParam> params;
    const char* sub;
    bool goTo;
    const char* retVar; // null when nothing is returned
    const char* retType;
    bool retOptional;
    const char* expectedLine; // a line the generated code must hold
};

void PrintTo(const Walk& w, std::ostream* os) {
    *os << w.name;
}

class WalkTest : public SubroutinePageTest, public ::testing::WithParamInterface<Walk> {};

TEST_P(WalkTest, TheCodeOfAWalkIsWhatVmacgenPrintsForItsSavedAnswers) {
    const Walk& w = GetParam();
    Start();
    NextTo(1);
    Type("txtMacroName", QString::fromUtf8(w.name));
    Click(w.targetButton);
    Find<QComboBox>("cboReturn")->setCurrentIndex(w.returnIndex);
    if (w.skeleton) {
        Click("chkNoCode");
    }
    if (w.typeConversion) {
        Click("chkTypeConvOn");
    }
    NextTo(2);
    auto* optional = Find<QCheckBox>("chkArgOptional");
    for (const WalkParam& p : w.params) {
        Type("txtParamName", QString::fromUtf8(p.name));
        if (!w.skeleton) {
            Type("cmbDestVarName", QString::fromUtf8(p.dest));
        }
        ChooseIn("cmbArgDataType", QString::fromUtf8(p.type));
        if (optional->isEnabled() && optional->isChecked() != p.optional) {
            Click("chkArgOptional");
        }
        ASSERT_EQ(optional->isChecked(), p.optional) << p.name;
        Click("cmdAddArg");
    }
    ASSERT_EQ(State().ParamCount, static_cast<int>(w.params.size()));
    Next();
    ASSERT_EQ(State().CurrentPage, 3);
    Type("cmbSubroutineName", QString::fromUtf8(w.sub));
    if (w.goTo) {
        Click("optJumpSub");
    }
    if (w.retVar != nullptr) {
        Type("cmbRetVarName", QString::fromUtf8(w.retVar));
        ChooseIn("cmbRetDataType", QString::fromUtf8(w.retType));
        if (w.retOptional) {
            Click("chkRetOptional");
        }
    }
    Next();
    ASSERT_EQ(State().CurrentPage, 4) << m_dialogs.Transcript().toStdString();
    EXPECT_TRUE(m_dialogs.Calls.empty()) << m_dialogs.Transcript().toStdString();

    const codegen::Lines lines = codegen::MacroLines(Window().Definition(), State().ParamCount);
    const std::string generated = codegen::JoinCrLf(lines);
    EXPECT_NE(generated.find(w.expectedLine), std::string::npos) << generated;
    // The box holds the generator's lines, whether or not it ends in an empty line.
    QStringList shown = Find<QTextEdit>("rtxtCode")->toPlainText().split(u'\n');
    if (!shown.isEmpty() && shown.back().isEmpty()) {
        shown.pop_back();
    }
    codegen::Lines boxLines;
    for (const QString& line : shown) {
        boxLines.push_back(ToCp1252(line));
    }
    EXPECT_EQ(boxLines, lines) << "the code box differs from the generator";

    const QString file = QDir(TempPath()).filePath(QString::fromUtf8(w.name) + ".mcs");
    const auto written =
        macsource::WriteMacroSource(file.toStdString(), codegen::Definition(), State().ParamCount);
    ASSERT_TRUE(written.ok) << written.message;
    QProcess vmacgen;
    vmacgen.start(BuiltProgram(VMACGEN_NAME), {QStringLiteral("code"), file});
    ASSERT_TRUE(vmacgen.waitForFinished(30000));
    EXPECT_EQ(vmacgen.exitCode(), 0) << vmacgen.readAllStandardError().toStdString();
    EXPECT_EQ(vmacgen.readAllStandardOutput().toStdString(), generated);
}

// clang-format off
const Walk kWalks[] = {
    // name, target, return method, skeleton, type conversion, parameters (name, destination,
    // type, optional), routine, GoTo, return variable, return type, return optional, a line
    {"AddNums", "optTgt16", 1, false, false,
     {{"First", "ArgA", "Byte/Num", false}, {"Second", "ArgB", "Float/Num", true}},
     "AddSub", false, "Total", "Float", false, "GoSub AddSub"},
    {"PinJump", "OptTgt14", 0, true, false,
     {{"Pin", "", "Label", false}, {"Mask", "", "ASCII Char", false}},
     "Handler", true, nullptr, nullptr, false, "PinJump MACRO"},
    {"CopyBuf", "optTgtBoth", 2, false, true,
     {{"Src", "SrcVar", "Word/Num", false}, {"Count", "CntVar", "DWord/Num", true},
      {"Buf", "BufPtr", "Byte Array", true}},
     "CopySub", false, "Result", "DWord", true, "GoSub CopySub"},
};
// clang-format on

INSTANTIATE_TEST_SUITE_P(Walks, WalkTest, ::testing::ValuesIn(kWalks),
                         [](const auto& info) { return std::string(info.param.name); });

} // namespace
} // namespace vmg::wizard::test
