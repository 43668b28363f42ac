// The wizard frame: which buttons each page offers, the refusals of Next, Back and Next on the
// definition, Help topics and Cancel.
#include "WizardFixture.h"

#include "HelpWindow.h"
#include "MacroCodeGenerator.h"
#include "QtDialogs.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QTextBrowser>
#include <QTextDocument>
#include <QTextEdit>

#include <ostream>

namespace vmg::wizard::test {
namespace {

using codegen::MacroHeader;
using codegen::ParamTable;
using codegen::ReturnDef;

struct NavState {
    bool back;
    bool next;
    bool finish;
};

// Page by page: Back on every page but the first, Next on every page but the last, Finish on
// the last only; Help and Cancel always.
constexpr NavState kNavTable[] = {
    {false, true, false}, {true, true, false}, {true, true, false}, {true, true, false},
    {true, true, false},  {true, true, false}, {true, false, true},
};

class FrameTest : public WizardTest {
protected:
    void ExpectPage(int page) {
        SCOPED_TRACE(::testing::Message() << "page " << page);
        EXPECT_EQ(State().CurrentPage, page);
        for (int p = 0; p < kPageCount; ++p) {
            const QByteArray name = "pnlStep" + QByteArray::number(p);
            EXPECT_EQ(!Find<QWidget>(name.constData())->isHidden(), p == page) << name.constData();
        }
        const NavState& want = kNavTable[page];
        EXPECT_EQ(Find<QPushButton>("cmdNavBack")->isEnabled(), want.back);
        EXPECT_EQ(Find<QPushButton>("cmdNavNext")->isEnabled(), want.next);
        EXPECT_EQ(Find<QPushButton>("cmdNavFinished")->isEnabled(), want.finish);
        EXPECT_TRUE(Find<QPushButton>("cmdNavHelp")->isEnabled());
        EXPECT_TRUE(Find<QPushButton>("cmdNavCancel")->isEnabled());
    }
};

TEST_F(FrameTest, EachPageOffersItsButtonsForwardAndBack) {
    Start();
    EXPECT_EQ(Window().windowTitle(), QStringLiteral("Vorlan Macro Generator"));
    EXPECT_EQ(Window().size(), QSize(kClientWidth, kClientHeight));
    ExpectPage(0);
    for (int page = 1; page < kPageCount; ++page) {
        NextTo(page);
        ExpectPage(page);
    }
    Next(); // disabled on the last page
    ExpectPage(6);
    for (int page = kPageCount - 2; page >= 0; --page) {
        Back();
        ExpectPage(page);
    }
    EXPECT_TRUE(m_dialogs.Calls.empty()) << m_dialogs.Transcript().toStdString();
}

// One refused Next: how to get there, what to change, the one message expected.
struct Refusal {
    const char* name;
    int page;
    const char* source; // a macro source loaded on page 1 first, or null
    std::function<void(WizardTest&)> prepare;
    QString message;
    bool beep;
};

// Names the case in test listings instead of dumping its bytes.
void PrintTo(const Refusal& c, std::ostream* os) {
    *os << c.name;
}

class RefusalTest : public FrameTest, public ::testing::WithParamInterface<Refusal> {};

const QString kBadName = QStringLiteral("You must enter a valid name for your macro to continue");
const QString kBadParam =
    QStringLiteral("You have entered invalid characters\n\rin the Parameter or Variable Name");
const QString kBadSub =
    QStringLiteral("Subroutine Name or Return Varaiable contains invalid characters");
const QString kBadReturn = QStringLiteral("Return Variable contains invalid characters");

void TypeName(WizardTest& t, const char* control, const char* text) {
    t.Type(control, QString::fromUtf8(text));
}

const Refusal kRefusals[] = {
    {"EmptyMacroName", 1, nullptr, [](WizardTest&) {}, kBadName, false},
    {"NameStartsWithDigit", 1, nullptr, [](WizardTest& t) { TypeName(t, "txtMacroName", "1A"); },
     kBadName, false},
    {"NameWithUnderscore", 1, nullptr, [](WizardTest& t) { TypeName(t, "txtMacroName", "A_B"); },
     kBadName, false},
    {"NameWithBlank", 1, nullptr, [](WizardTest& t) { TypeName(t, "txtMacroName", "A B"); },
     kBadName, false},
    {"NameWithUmlaut", 1, nullptr, [](WizardTest& t) { TypeName(t, "txtMacroName", "Zähler"); },
     kBadName, false},
    {"StoredParameterWithBadName", 2, "1,M,0,,2,0,\r\n2,Bad_Name,VarA,2,0,0\r\n",
     [](WizardTest&) {}, kBadParam, true},
    {"StoredParameterWithBadDestination", 2, "1,M,0,,2,0,\r\n2,Good,Var A,2,0,0\r\n",
     [](WizardTest&) {}, kBadParam, true},
    {"SameRegisterTwiceOn16Bit", 2, "1,M,0,,2,0,\r\n2,A,FSR0,2,0,0\r\n2,B,FSR0L,2,0,0\r\n",
     [](WizardTest&) {}, QStringLiteral("Incomplete Parameter Set"), false},
    {"RegisterTwiceOn14Bit", 2, "1,M,0,,1,0,\r\n2,A,FSR,2,0,0\r\n2,B,MyFSR,2,0,0\r\n",
     [](WizardTest&) {}, QStringLiteral("Incomplete Parameter Set"), false},
    {"EmptySubroutine", 3, nullptr, [](WizardTest&) {}, kBadSub, false},
    {"BadSubroutineAndBadReturnVariable", 3, "1,M,1,,0,0,\r\n",
     [](WizardTest& t) {
         TypeName(t, "cmbSubroutineName", "Sub 1");
         TypeName(t, "cmbRetVarName", "Ret 1");
     },
     kBadSub, false},
    {"InLineWithBadReturnVariable", 3, "1,M,1,,0,0,\r\n",
     [](WizardTest& t) {
         TypeName(t, "cmbSubroutineName", "AddSub");
         TypeName(t, "cmbRetVarName", "Ret_1");
     },
     kBadReturn, false},
    {"ParameterReturnWithEmptyVariable", 3, "1,M,2,,0,0,\r\n",
     [](WizardTest& t) { TypeName(t, "cmbSubroutineName", "AddSub"); }, kBadReturn, false},
};

TEST_P(RefusalTest, NextIsRefusedWithOneMessageAndNothingChanges) {
    const Refusal& r = GetParam();
    Start();
    NextTo(1);
    if (r.source != nullptr) {
        OpenSource(r.source);
        ASSERT_TRUE(m_dialogs.Texts(DialogKind::Error).isEmpty())
            << m_dialogs.Transcript().toStdString();
    }
    if (r.page > 1) {
        NextTo(r.page);
    }
    r.prepare(*this);
    const codegen::MacroDefinition before = codegen::Definition();
    m_dialogs.Clear();

    Next();

    EXPECT_EQ(State().CurrentPage, r.page);
    EXPECT_EQ(m_dialogs.Texts(DialogKind::Information), QStringList{r.message})
        << m_dialogs.Transcript().toStdString();
    EXPECT_EQ(m_dialogs.Texts(DialogKind::Beep).size(), r.beep ? 1 : 0);
    EXPECT_EQ(m_dialogs.Calls.size(), r.beep ? 2u : 1u);
    EXPECT_TRUE(codegen::Definition() == before) << "a refused page changed the definition";
}

INSTANTIATE_TEST_SUITE_P(Pages, RefusalTest, ::testing::ValuesIn(kRefusals),
                         [](const auto& info) { return std::string(info.param.name); });

// The cases next to the refusals that must pass.
TEST_F(FrameTest, NextPassesWhereTheRulesHold) {
    Start();
    NextTo(1);
    // Two different registers on a 16-bit target.
    OpenSource("1,M,0,,2,0,\r\n2,A,FSR0,2,0,0\r\n2,B,FSR1,2,0,0\r\n");
    NextTo(3);
    // A return variable is not looked at when the macro returns nothing.
    Type("cmbSubroutineName", QStringLiteral("AddSub"));
    Type("cmbRetVarName", QStringLiteral("not a name"));
    Next();
    EXPECT_EQ(State().CurrentPage, 4);
    EXPECT_TRUE(m_dialogs.Texts(DialogKind::Information).isEmpty())
        << m_dialogs.Transcript().toStdString();
    EXPECT_EQ(ReturnDef().SubName, "AddSub");
}

TEST_F(FrameTest, ACorrectedNameIsAccepted) {
    Start();
    NextTo(1);
    Type("txtMacroName", QStringLiteral("A_B"));
    Next();
    ASSERT_EQ(State().CurrentPage, 1);
    Type("txtMacroName", QStringLiteral("AB2"));
    Next();
    EXPECT_EQ(State().CurrentPage, 2);
    EXPECT_EQ(MacroHeader().MacroName, "AB2");
}

TEST_F(FrameTest, TheBlankParameterSlotIsDroppedOnNext) {
    Start();
    NextTo(2);
    Type("txtParamName", QStringLiteral("not valid"));
    Next();
    EXPECT_EQ(State().CurrentPage, 3);
    EXPECT_TRUE(m_dialogs.Calls.empty()) << m_dialogs.Transcript().toStdString();
    EXPECT_EQ(ParamTable()[0].ArgName, "");
    EXPECT_EQ(Find<QLabel>("lblParamNums")->text(),
              QStringLiteral("You have entered 0 parameters"));
}

TEST_F(FrameTest, LeavingPage2StoresTheShownParameterAndTheCount) {
    Start();
    NextTo(1);
    OpenSource("1,M,0,,0,0,\r\n2,First,ArgA,2,0,0\r\n");
    NextTo(2);
    Type("txtParamName", QStringLiteral("Renamed"));
    Next();
    ASSERT_EQ(State().CurrentPage, 3);
    EXPECT_EQ(ParamTable()[0].ArgName, "Renamed");
    EXPECT_EQ(MacroHeader().ArgCount, 1);
    EXPECT_EQ(Find<QLabel>("lblParamNums")->text(),
              QStringLiteral("You have entered 1 parameters"));
}

TEST_F(FrameTest, BackKeepsEditsOutOfTheDefinitionAndNextRefillsThem) {
    Start();
    NextTo(1);
    Type("txtMacroName", QStringLiteral("First"));
    Next();
    Back();
    Type("txtMacroName", QStringLiteral("Second"));
    Click("optTgt16");
    Back();
    EXPECT_EQ(MacroHeader().MacroName, "First");
    EXPECT_EQ(MacroHeader().Target, 0);
    Next();
    EXPECT_EQ(Find<QLineEdit>("txtMacroName")->text(), QStringLiteral("First"));
    EXPECT_TRUE(Find<QRadioButton>("optTgtBoth")->isChecked());
    EXPECT_EQ(State().TargetChoice, 0);
}

TEST_F(FrameTest, Page3ShowsWhatWasCommittedAfterLeavingItWithBack) {
    Start();
    NextTo(3);
    Type("cmbSubroutineName", QStringLiteral("Jumper"));
    Click("optJumpSub");
    Next();
    Back();
    Type("cmbSubroutineName", QStringLiteral("Uncommitted"));
    Back();
    Next();
    EXPECT_EQ(Find<QComboBox>("cmbSubroutineName")->currentText(), QStringLiteral("Jumper"));
    EXPECT_TRUE(Find<QRadioButton>("optJumpSub")->isChecked());
    EXPECT_FALSE(Find<QRadioButton>("optCallSub")->isChecked());
    EXPECT_FALSE(ShownOnPage("pnlReturnVar"));
}

TEST_F(FrameTest, AReturningMacroAlwaysCallsItsRoutine) {
    Start();
    NextTo(1);
    // Stored: jump with GoTo, no GoSub; the macro returns In-Line.
    OpenSource("1,M,1,,0,0,\r\n3,Sub,0,-1,Total,3,-1,0\r\n");
    NextTo(3);
    EXPECT_TRUE(ShownOnPage("pnlReturnVar"));
    EXPECT_FALSE(Find<QRadioButton>("optJumpSub")->isEnabled());
    EXPECT_TRUE(Find<QRadioButton>("optCallSub")->isChecked());
    EXPECT_EQ(Find<QComboBox>("cmbRetVarName")->currentText(), QStringLiteral("Total"));
    EXPECT_EQ(Find<QComboBox>("cmbRetDataType")->currentText(), QStringLiteral("Word"));
    EXPECT_TRUE(Find<QCheckBox>("chkRetOptional")->isChecked());
}

TEST_F(FrameTest, RegisterNamesAreOfferedOnceHoweverOftenPage2IsEntered) {
    Start();
    NextTo(1);
    Click("optTgt16");
    for (int round = 0; round < 3; ++round) {
        NextTo(2);
        Back();
    }
    for (const char* list : {"cmbDestVarName", "cmbRetVarName"}) {
        auto* combo = Find<QComboBox>(list);
        QStringList items;
        for (int i = 0; i < combo->count(); ++i) {
            items << combo->itemText(i);
        }
        EXPECT_EQ(items, (QStringList{"FSR0", "FSR1", "FSR2"})) << list;
        EXPECT_EQ(combo->currentText(), QString()) << list << ": offering names typed nothing";
    }
}

TEST_F(FrameTest, CodeAndHintPagesAreRegeneratedOnNextOnly) {
    Start();
    NextTo(1);
    OpenSource("1,AddNums,1,,1,0,Adds two numbers\r\n2,First,ArgA,2,0,0\r\n2,Second,ArgB,3,0,0\r\n"
               "3,AddSub,-1,0,Total,3,0,0\r\n");
    NextTo(5);
    auto* code = Find<QTextEdit>("rtxtCode");
    auto* hint = Find<QPlainTextEdit>("memoHint");
    EXPECT_TRUE(code->toPlainText().startsWith(QStringLiteral("'Adds two numbers\nAddNums MACRO")));
    EXPECT_TRUE(code->toPlainText().contains(QStringLiteral("GoSub AddSub")));
    EXPECT_EQ(hint->toPlainText().split(u'\n').size(), 5);
    EXPECT_TRUE(
        Find<QTextEdit>("rtxtHintDemo")->toPlainText().startsWith(QStringLiteral("Var = AddNums")));

    // Back keeps a page's edits; arriving with Next replaces them.
    hint->setPlainText(QStringLiteral("edited hint"));
    Next();
    Back();
    EXPECT_EQ(hint->toPlainText(), QStringLiteral("edited hint"));
    Back();
    code->setPlainText(QStringLiteral("edited code"));
    Next();
    EXPECT_TRUE(hint->toPlainText().startsWith(QStringLiteral("KEY (\"AddNums\")")));
    Back();
    EXPECT_EQ(code->toPlainText(), QStringLiteral("edited code"));
    Back();
    Next();
    EXPECT_TRUE(code->toPlainText().contains(QStringLiteral("ENDM")));
}

TEST_F(FrameTest, OutputPageShowsTheFileNamesOfTheCommittedName) {
    Start();
    NextTo(1);
    Type("txtMacroName", QStringLiteral("ReadPort"));
    NextTo(6);
    EXPECT_EQ(Find<QLabel>("lblSaveCodeName")->text(), QStringLiteral("ReadPort_mac.rtf"));
    EXPECT_EQ(Find<QLabel>("lblSaveHintName")->text(), QStringLiteral("ReadPort_hnt.dat"));
    EXPECT_EQ(Find<QLabel>("lblSaveSourceName")->text(), QStringLiteral("ReadPort.mcs"));
    EXPECT_EQ(Find<QLabel>("lblPasteDest")->text(), QString());
    EXPECT_EQ(Find<QLineEdit>("txtSavePath")->text(), State().SaveFolder);
}

TEST_F(FrameTest, OnlyTheBrowserChangesTheSaveFolder) {
    Start();
    NextTo(6);
    const QString start = State().SaveFolder;
    Type("txtSavePath", QStringLiteral("/typed/elsewhere"));
    EXPECT_EQ(State().SaveFolder, start);

    m_dialogs.Paths.push_back(std::nullopt); // cancelled
    Click("cmdBrowseSavePath");
    EXPECT_EQ(State().SaveFolder, start);

    m_dialogs.Paths.push_back(TempPath());
    Click("cmdBrowseSavePath");
    EXPECT_EQ(m_dialogs.Texts(DialogKind::BrowseForFolder), (QStringList{start, start}));
    // In the system's own separators.
    EXPECT_EQ(State().SaveFolder, QDir::toNativeSeparators(TempPath()));
    EXPECT_EQ(Find<QLineEdit>("txtSavePath")->text(), QDir::toNativeSeparators(TempPath()));
}

TEST_F(FrameTest, HelpOpensTheTopicOfEachPage) {
    Start();
    std::vector<int> expected;
    for (int page = 0; page < kPageCount; ++page) {
        NextTo(page);
        Click("cmdNavHelp");
        expected.push_back(1010 + 10 * page);
    }
    EXPECT_EQ(m_dialogs.HelpTopics, expected);
}

TEST(HelpPages, EveryTopicHasItsOwnPageAndOthersOpenTheFirst) {
    QStringList titles;
    for (int page = 0; page < kPageCount; ++page) {
        const QUrl url = HelpTopicUrl(HelpTopicOfPage(page));
        EXPECT_EQ(url.fileName(), QStringLiteral("topic%1.html").arg(1010 + 10 * page));
        QFile file(QStringLiteral(":") + url.path());
        ASSERT_TRUE(file.open(QIODevice::ReadOnly)) << url.toString().toStdString();
        const QString html = QString::fromUtf8(file.readAll());
        const auto start = html.indexOf(QStringLiteral("<h1>"));
        ASSERT_GE(start, 0);
        titles << html.mid(start, html.indexOf(QStringLiteral("</h1>")) - start);
    }
    titles.removeDuplicates();
    EXPECT_EQ(titles.size(), kPageCount) << "two topics show the same page";
    EXPECT_EQ(HelpTopicUrl(999).fileName(), QStringLiteral("topic1010.html"));
}

TEST(HelpPages, TheHelpWindowOpensOnTheTopicAsked) {
    QWidget owner;
    HelpWindow help(&owner);
    help.ShowTopic(1040);
    EXPECT_TRUE(help.isVisible());
    EXPECT_EQ(help.CurrentPage().fileName(), QStringLiteral("topic1040.html"));
    const auto* browser = help.findChild<QTextBrowser*>(QStringLiteral("txtHelp"));
    ASSERT_NE(browser, nullptr);
    EXPECT_TRUE(browser->toPlainText().contains(QStringLiteral("Use GoSub")));
    help.ShowTopic(1070);
    EXPECT_EQ(help.CurrentPage().fileName(), QStringLiteral("topic1070.html"));
}

// The program's Help on every system: its own window, one for the run, on the page's topic
// (no compiled help file is looked for, not even on Windows).
TEST(HelpPages, TheProgramsHelpIsOneWindowOfItsOwn) {
    QWidget owner;
    QtDialogs dialogs;
    dialogs.Help(&owner, 1040);
    const auto windows = owner.findChildren<HelpWindow*>();
    ASSERT_EQ(windows.size(), 1);
    EXPECT_TRUE(windows[0]->isVisible());
    EXPECT_EQ(windows[0]->CurrentPage().fileName(), QStringLiteral("topic1040.html"));
    dialogs.Help(&owner, 1070);
    EXPECT_EQ(owner.findChildren<HelpWindow*>().size(), 1);
    EXPECT_EQ(windows[0]->CurrentPage().fileName(), QStringLiteral("topic1070.html"));
}

TEST_F(FrameTest, CancelClosesAtOnceWithoutStoringAnything) {
    Start();
    NextTo(6);
    Click("chkSaveCode");
    Click("cmdNavCancel");
    EXPECT_FALSE(Window().isVisible());
    EXPECT_TRUE(m_dialogs.Calls.empty());
    EXPECT_TRUE(StoredWizardSettings().isEmpty());
}

} // namespace
} // namespace vmg::wizard::test
