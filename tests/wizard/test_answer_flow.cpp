// Answers that must reach the definition as given: type conversion, the optional tail, the
// register rule from the blank slot, Add after re-entry and after a load, the hint's
// characters, and a whole walk by keyboard alone.
#include "WizardFixture.h"

#include "MacroCodeGenerator.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>

#include <functional>
#include <string>

namespace vmg::wizard::test {
namespace {

using codegen::ParamTable;
using codegen::ReturnDef;

// Two 16-bit parameters P1 (V1) and P2 (V2), mandatory, without Allow Alt.
const QByteArray kTwoParams = "1,Two,0,,2,0,\r\n2,P1,V1,2,0,0\r\n2,P2,V2,2,0,0\r\n"
                              "3,Sub,-1,0,,2,0,0\r\n";
const QByteArray kOneParam = "1,One,0,,2,0,\r\n2,Q1,W1,2,0,0\r\n3,Sub,-1,0,,2,0,0\r\n";

class AnswerFlowTest : public WizardTest {
public:
    QPushButton* Add() { return Find<QPushButton>("cmdAddArg"); }
    QCheckBox* OptionalBox() { return Find<QCheckBox>("chkArgOptional"); }

    void AddParam(const QString& name, const QString& dest = QStringLiteral("V")) {
        Type("txtParamName", name);
        Type("cmbDestVarName", dest);
        ASSERT_TRUE(Add()->isEnabled()) << name.toStdString();
        Click("cmdAddArg");
    }
    void GoToSlot(int slot) {
        for (int guard = 0; State().CurrentParam != slot && guard < 25; ++guard) {
            Click(State().CurrentParam > slot ? "cmdPrevArg" : "cmdNextArg");
        }
        ASSERT_EQ(State().CurrentParam, slot);
    }
    // 'O' or 'M' for each stored parameter.
    std::string Flags() {
        std::string flags;
        for (int k = 0; k < State().ParamCount; ++k) {
            flags += ParamTable()[static_cast<std::size_t>(k)].Optional ? 'O' : 'M';
        }
        return flags;
    }
};

struct Steps {
    const char* name;
    std::function<void(AnswerFlowTest&)> run;
};

class ConversionPathTest : public AnswerFlowTest, public ::testing::WithParamInterface<Steps> {};

// With "Allow Type Conversion" ticked, every parameter and the return value are stored with
// Allow Alt, however the slots were reached.
TEST_P(ConversionPathTest, EveryStoreAllowsAlternatives) {
    Start();
    NextTo(1);
    Click("chkTypeConvOn");
    NextTo(2);
    GetParam().run(*this);
    ASSERT_GT(State().ParamCount, 1);
    NextTo(4);
    for (int k = 0; k < State().ParamCount; ++k) {
        EXPECT_TRUE(ParamTable()[static_cast<std::size_t>(k)].AllowAlt) << "parameter " << k + 1;
    }
    EXPECT_TRUE(ReturnDef().RetArg.AllowAlt) << "the return value";
}

const Steps kConversionSteps[] = {
    {"TwoAdds",
     [](AnswerFlowTest& t) {
         t.AddParam("A");
         t.AddParam("B");
     }},
    {"BrowseBackToTheBlankSlot",
     [](AnswerFlowTest& t) {
         t.AddParam("A");
         t.Click("cmdPrevArg");
         t.Click("cmdNextArg");
         t.AddParam("B");
     }},
    {"BackToTheMacroPageAndNext",
     [](AnswerFlowTest& t) {
         t.AddParam("A");
         t.Back();
         t.Next();
         t.AddParam("B");
     }},
    {"ALoadedFileBrowsed",
     [](AnswerFlowTest& t) {
         t.Back();
         t.OpenSource(kTwoParams);
         t.Next();
         t.GoToSlot(3);
     }},
};
INSTANTIATE_TEST_SUITE_P(Paths, ConversionPathTest, ::testing::ValuesIn(kConversionSteps),
                         [](const auto& info) { return std::string(info.param.name); });

struct TailCase {
    const char* name;
    std::function<void(AnswerFlowTest&)> run;
    const char* flags;
};

class TailSequenceTest : public AnswerFlowTest, public ::testing::WithParamInterface<TailCase> {};

// Only a stored optional parameter makes the following ones optional.
TEST_P(TailSequenceTest, NoFlagNobodySet) {
    Start();
    NextTo(2);
    GetParam().run(*this);
    EXPECT_EQ(Flags(), GetParam().flags) << m_dialogs.Transcript().toStdString();
    const int first = static_cast<int>(Flags().find('O')) + 1;
    EXPECT_EQ(State().FirstOptionalParam, first) << "FirstOptionalParam went stale";
}

const TailCase kTailCases[] = {
    {"TickUntickOnThirdThenAddTwo",
     [](AnswerFlowTest& t) {
         t.AddParam("A");
         t.AddParam("B");
         t.AddParam("C");
         t.GoToSlot(3);
         t.Click("chkArgOptional");
         t.Click("chkArgOptional");
         t.GoToSlot(4);
         t.AddParam("D");
         t.AddParam("E");
     },
     "MMMMM"},
    {"DeleteTheOnlyOptionalThenAddTwo",
     [](AnswerFlowTest& t) {
         t.AddParam("A");
         t.Click("chkArgOptional");
         t.AddParam("B");
         t.GoToSlot(2);
         t.m_dialogs.YesNo.push_back(true);
         t.Click("cmdRemArg");
         t.AddParam("C");
         t.AddParam("D");
     },
     "MMM"},
    {"TickUntickOnTheBlankSlotThenAddThree",
     [](AnswerFlowTest& t) {
         t.Click("chkArgOptional");
         t.Click("chkArgOptional");
         t.AddParam("A");
         t.AddParam("B");
         t.AddParam("C");
     },
     "MMM"},
    {"TickOnSecondKeepsTheTail",
     [](AnswerFlowTest& t) {
         t.AddParam("A");
         t.AddParam("B");
         t.AddParam("C");
         t.GoToSlot(2);
         t.Click("chkArgOptional");
         t.GoToSlot(4);
         EXPECT_TRUE(t.OptionalBox()->isChecked() && !t.OptionalBox()->isEnabled());
         t.AddParam("D");
     },
     "MOOO"},
};
INSTANTIATE_TEST_SUITE_P(Sequences, TailSequenceTest, ::testing::ValuesIn(kTailCases),
                         [](const auto& info) { return std::string(info.param.name); });

// Next from the blank slot (the usual way off the page) runs the register rule too.
TEST_F(AnswerFlowTest, TheRegisterRuleRunsFromTheBlankSlot) {
    const struct {
        const char* second;
        bool refused;
    } cases[] = {{"FSR0", true}, {"FSR1", false}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.second);
        Start();
        NextTo(1);
        Click("optTgt16");
        NextTo(2);
        AddParam("A", "FSR0");
        AddParam("B", QString::fromLatin1(c.second));
        Type("txtParamName", "Dropped");
        m_dialogs.Clear();
        Next();
        EXPECT_EQ(State().CurrentPage, c.refused ? 2 : 3);
        EXPECT_EQ(m_dialogs.Texts(DialogKind::Information),
                  c.refused ? QStringList{"Incomplete Parameter Set"} : QStringList{});
        EXPECT_EQ(State().ParamCount, 2) << "the blank slot's entry was stored";
        TearDown();
        SetUp();
    }
}

// Add reflects what the editor holds after the entry step and after a load.
TEST_F(AnswerFlowTest, AddIsOfferedOnlyForWhatTheEditorHolds) {
    Start();
    NextTo(2);
    Type("txtParamName", "Typed");
    Type("cmbDestVarName", "Var");
    Next();
    Back();
    Back();
    Next();
    EXPECT_TRUE(Find<QLineEdit>("txtParamName")->text().isEmpty());
    EXPECT_FALSE(Add()->isEnabled()) << "Add offered over an empty editor";

    AddParam("A");
    AddParam("B");
    AddParam("C");
    Back();
    OpenSource(kOneParam);
    Next();
    GoToSlot(2);
    EXPECT_TRUE(Find<QLineEdit>("txtParamName")->text().isEmpty())
        << "the blank slot shows the previous macro's parameter";
    EXPECT_FALSE(Add()->isEnabled());
}

// A no-break space typed into the hint box reaches the saved hint file.
TEST_F(AnswerFlowTest, TheHintFileKeepsANoBreakSpace) {
    const QString out = QDir(TempPath()).filePath(QStringLiteral("out"));
    QDir().mkpath(out);
    Start();
    NextTo(5);
    auto* memo = Find<QPlainTextEdit>("memoHint");
    memo->moveCursor(QTextCursor::End);
    QTest::sendKeyEvent(QTest::Click, memo, Qt::Key_unknown, QString(QChar(0xA0)), Qt::NoModifier);
    NextTo(6);
    m_dialogs.Paths.push_back(out);
    Click("cmdBrowseSavePath");
    if (!Find<QCheckBox>("chkSaveHint")->isChecked()) {
        Click("chkSaveHint");
    }
    m_dialogs.YesNo.push_back(true);
    Click("cmdNavFinished");
    QFile file(QDir(out).filePath(QStringLiteral("AddNums_hnt.dat")));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly)) << m_dialogs.Transcript().toStdString();
    EXPECT_TRUE(file.readAll().endsWith("\xA0\r\n"));
}

// The three return methods are readable in the 73-pixel return list.
TEST_F(AnswerFlowTest, TheReturnListShowsEachItemWhole) {
    if (!MeasuresAsShown()) {
        GTEST_SKIP() << "checked on the windows platform";
    }
    Start();
    NextTo(1);
    auto* combo = Find<QComboBox>("cboReturn");
    EXPECT_EQ(combo->width(), 73);
    QLineEdit* edit = combo->lineEdit();
    for (const QString& item :
         {QStringLiteral("None"), QStringLiteral("In-Line"), QStringLiteral("Parameter")}) {
        // What a line edit can show: its width less its frame and its text margins.
        const int room = edit->width() - 4;
        EXPECT_LE(edit->fontMetrics().horizontalAdvance(item), room) << item.toStdString();
    }
}

// Keys only: through all seven pages to a finished macro.
TEST_F(AnswerFlowTest, AWholeWalkByKeyboard) {
    TfmMacroGen& window = Start();
    window.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    const auto key = [](Qt::Key k, Qt::KeyboardModifiers mods = Qt::NoModifier) {
        QWidget* focus = QApplication::focusWidget();
        ASSERT_NE(focus, nullptr);
        QTest::keyClick(focus, k, mods);
    };
    const auto tabTo = [&](const char* name) {
        for (int i = 0; i < 40 && QApplication::focusWidget()->objectName() != name; ++i) {
            key(Qt::Key_Tab);
        }
        ASSERT_EQ(QApplication::focusWidget()->objectName(), QLatin1String(name));
    };
    const auto typeKeys = [](const char* text) {
        QTest::keyClicks(QApplication::focusWidget(), QLatin1String(text));
    };
    key(Qt::Key_Return); // page 0
    tabTo("txtMacroName");
    typeKeys("Keyed");
    key(Qt::Key_Return);
    ASSERT_EQ(State().CurrentPage, 2);
    tabTo("txtParamName");
    typeKeys("A");
    tabTo("cmbDestVarName");
    typeKeys("V");
    tabTo("cmdAddArg");
    key(Qt::Key_Space);
    ASSERT_EQ(State().ParamCount, 1);
    key(Qt::Key_N, Qt::AltModifier);
    ASSERT_EQ(State().CurrentPage, 3);
    tabTo("cmbSubroutineName");
    typeKeys("Sub");
    key(Qt::Key_Return);
    ASSERT_EQ(State().CurrentPage, 4);
    key(Qt::Key_B, Qt::AltModifier);
    EXPECT_EQ(State().CurrentPage, 3);
    key(Qt::Key_N, Qt::AltModifier);
    key(Qt::Key_F1);
    EXPECT_EQ(m_dialogs.HelpTopics, std::vector<int>{1050});
    key(Qt::Key_N, Qt::AltModifier);
    key(Qt::Key_N, Qt::AltModifier);
    ASSERT_EQ(State().CurrentPage, 6);
    m_dialogs.YesNo.push_back(true);
    key(Qt::Key_Return);
    EXPECT_FALSE(window.isVisible()) << "Enter on page 6 did not finish";
    EXPECT_EQ(codegen::MacroHeader().MacroName, "Keyed");
    EXPECT_EQ(ParamTable()[0].ArgName, "A");
    EXPECT_EQ(ReturnDef().SubName, "Sub");
}

} // namespace
} // namespace vmg::wizard::test
