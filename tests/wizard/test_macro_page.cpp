// The macro page: the target buttons and what pages 2 and 3 then offer, "Allow Type
// Conversion", the return list, and loading a macro source with "&Open...".
#include "WizardFixture.h"

#include "MacroCodeGenerator.h"
#include "Page1Macro.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>

#include <ostream>

#ifdef Q_OS_WIN
#include "Files.h"
#else
#include <sys/stat.h>
#endif

namespace vmg::wizard::test {
namespace {

using codegen::Definition;
using codegen::MacroHeader;
using codegen::ParamTable;
using codegen::ReturnDef;

const QByteArray kThreeParams = "1,ReadPort,2,,1,-1,Reads one port pin\r\n"
                                "4,and keeps it\r\n"
                                "2,Pin,PinVar,2,0,0\r\n"
                                "2,Mask,MaskVar,3,0,-1\r\n"
                                "2,Count,CountVar,4,-1,0\r\n"
                                "3,ReadPortSub,-1,0,Result,2,0,0\r\n";

class MacroPageTest : public WizardTest {};

struct TargetCase {
    const char* button;
    int target;
    QStringList registers;
    QStringList paramTypes;
    QStringList returnTypes;
};

TEST_F(MacroPageTest, TheChosenTargetDecidesTypesAndRegistersOfTheNextPages) {
    const TargetCase cases[] = {
        {"OptTgt14",
         1,
         {"FSR"},
         {"Byte/Num", "Word/Num", "DWord/Num", "Label", "ASCII Char", "Byte Array", "Word Array"},
         {"Byte", "Word", "DWord"}},
        {"optTgt16",
         2,
         {"FSR0", "FSR1", "FSR2"},
         {"Byte/Num", "Word/Num", "DWord/Num", "Float/Num", "Label", "ASCII Char", "String",
          "Byte Array", "Word Array"},
         {"Byte", "Word", "DWord", "Float"}},
        {"optTgtBoth",
         0,
         {},
         {"Byte/Num", "Word/Num", "DWord/Num", "Label", "ASCII Char", "Byte Array", "Word Array"},
         {"Byte", "Word", "DWord"}},
    };
    for (const TargetCase& c : cases) {
        SCOPED_TRACE(c.button);
        TearDown();
        SetUp();
        Start();
        NextTo(1);
        Click(c.button);
        EXPECT_EQ(State().TargetChoice, c.target);
        NextTo(2);
        EXPECT_EQ(MacroHeader().Target, c.target);
        EXPECT_EQ(Items(Find<QComboBox>("cmbDestVarName")), c.registers);
        EXPECT_EQ(Items(Find<QComboBox>("cmbRetVarName")), c.registers);
        EXPECT_EQ(Items(Find<QComboBox>("cmbArgDataType")), c.paramTypes);
        EXPECT_EQ(Find<QComboBox>("cmbArgDataType")->currentIndex(), 0);
        EXPECT_EQ(Items(Find<QComboBox>("cmbRetDataType")), c.returnTypes);
        EXPECT_EQ(Find<QComboBox>("cmbArgDataType")->itemData(3).toInt(), c.target == 2 ? 5 : 6);
    }
}

TEST_F(MacroPageTest, TypeConversionHidesAndTicksBothAllowAltBoxesAndUntickingClearsThem) {
    Start();
    NextTo(1);
    Click("chkTypeConvOn");
    for (const char* box : {"chkAllowAltArgs", "chkAllowAltRet"}) {
        EXPECT_FALSE(ShownOnPage(box)) << box;
        EXPECT_TRUE(Find<QCheckBox>(box)->isChecked()) << box;
    }
    Click("chkTypeConvOn");
    for (const char* box : {"chkAllowAltArgs", "chkAllowAltRet"}) {
        EXPECT_TRUE(ShownOnPage(box)) << box;
        EXPECT_FALSE(Find<QCheckBox>(box)->isChecked()) << box;
    }
}

TEST_F(MacroPageTest, ATypedReturnTextSelectsNoMethodAndIsTreatedAsNone) {
    Start();
    NextTo(1);
    Type("cboReturn", QStringLiteral("Both ways"));
    EXPECT_EQ(Window().MacroPage()->ReturnIndex(), -1);
    Type("cboReturn", QStringLiteral("In-Line"));
    EXPECT_EQ(Window().MacroPage()->ReturnIndex(), 1);
    Type("cboReturn", QStringLiteral("in-line"));
    EXPECT_EQ(Window().MacroPage()->ReturnIndex(), -1);
    NextTo(2);
    EXPECT_EQ(MacroHeader().ReturnMethod, -1);
    NextTo(3);
    EXPECT_FALSE(ShownOnPage("pnlReturnVar"));
    EXPECT_EQ(Find<QComboBox>("cboReturn")->count(), 3) << "typed text was added to the list";
}

TEST_F(MacroPageTest, TheDescriptionKeepsItsLinesWithCrLf) {
    Start();
    NextTo(1);
    Find<QPlainTextEdit>("memoDescription")->setPlainText(QStringLiteral("Line one\nLine two"));
    NextTo(2);
    EXPECT_EQ(MacroHeader().Description, "Line one\r\nLine two");
    Back();
    Back();
    NextTo(1);
    EXPECT_EQ(Find<QPlainTextEdit>("memoDescription")->toPlainText(),
              QStringLiteral("Line one\nLine two"));
}

TEST_F(MacroPageTest, OpenShowsTheLoadedHeaderAtOnceAndItsParametersOnPage2) {
    Start();
    NextTo(1);
    OpenSource(kThreeParams);
    ASSERT_TRUE(m_dialogs.Texts(DialogKind::Error).isEmpty())
        << m_dialogs.Transcript().toStdString();

    // The dialog started in the save folder with the macro source filter first.
    ASSERT_EQ(m_dialogs.Calls.front().Kind, DialogKind::OpenFile);
    EXPECT_EQ(m_dialogs.Calls.front().Text, State().SaveFolder);
    EXPECT_EQ(m_dialogs.Calls.front().Extra,
              QStringLiteral("Macro Source Files (*.mcs);;Code Files (*.bas *.inc *.txt *.rtf);;"
                             "All Files (*)"));

    EXPECT_EQ(Find<QLineEdit>("txtMacroName")->text(), QStringLiteral("ReadPort"));
    EXPECT_EQ(Find<QPlainTextEdit>("memoDescription")->toPlainText(),
              QStringLiteral("Reads one port pin\nand keeps it"));
    EXPECT_TRUE(Find<QRadioButton>("OptTgt14")->isChecked());
    EXPECT_EQ(State().TargetChoice, 1);
    EXPECT_TRUE(Find<QCheckBox>("chkNoCode")->isChecked());
    EXPECT_EQ(Find<QComboBox>("cboReturn")->currentText(), QStringLiteral("Parameter"));
    EXPECT_EQ(State().ParamCount, 3);
    EXPECT_EQ(State().CurrentParam, 1);
    EXPECT_EQ(State().FirstOptionalParam, 3);
    EXPECT_EQ(Find<QLabel>("pnlParamNum")->text(), QStringLiteral("Parameter 1"));
    EXPECT_FALSE(Find<QPushButton>("cmdPrevArg")->isEnabled());
    EXPECT_TRUE(Find<QPushButton>("cmdNextArg")->isEnabled());

    NextTo(2);
    EXPECT_EQ(Find<QLineEdit>("txtParamName")->text(), QStringLiteral("Pin"));
    EXPECT_EQ(Find<QComboBox>("cmbDestVarName")->currentText(), QStringLiteral("PinVar"));
    EXPECT_EQ(Find<QComboBox>("cmbArgDataType")->currentText(), QStringLiteral("Byte/Num"));
    EXPECT_FALSE(ShownOnPage("pnlDestVar")) << "Build Skeleton hides the destination row";
    NextTo(3);
    EXPECT_EQ(Find<QComboBox>("cmbSubroutineName")->currentText(), QStringLiteral("ReadPortSub"));
    EXPECT_EQ(Find<QComboBox>("cmbRetVarName")->currentText(), QStringLiteral("Result"));
    EXPECT_EQ(Find<QLabel>("lblParamNums")->text(),
              QStringLiteral("You have entered 3 parameters"));
}

TEST_F(MacroPageTest, AStoredTypeTheTargetDoesNotOfferIsShownAsNoSelection) {
    Start();
    NextTo(1);
    // A Float parameter and a Float return of a macro for the 14-bit core.
    OpenSource("1,M,1,,1,0,\r\n2,Value,Var,5,0,0\r\n3,Sub,-1,0,Ret,5,0,0\r\n");
    NextTo(2);
    EXPECT_EQ(Find<QComboBox>("cmbArgDataType")->currentIndex(), -1);
    Next();
    EXPECT_EQ(ParamTable()[0].DataType, -1) << "stored without a selection";
    ASSERT_EQ(State().CurrentPage, 2) << "a parameter without a type is refused";
    Find<QComboBox>("cmbArgDataType")->setCurrentIndex(0);
    NextTo(3);
    EXPECT_EQ(Find<QComboBox>("cmbRetDataType")->currentIndex(), -1);
}

TEST_F(MacroPageTest, OpenAfterEnteredParametersWithAFileWithoutParameters) {
    Start();
    NextTo(1);
    OpenSource(kThreeParams);
    NextTo(2);
    Back();
    OpenSource("1,Empty,0,,0,0,No parameters\r\n");
    EXPECT_EQ(State().ParamCount, 0);
    EXPECT_EQ(State().CurrentParam, 1);
    EXPECT_EQ(State().FirstOptionalParam, 0);
    EXPECT_EQ(Find<QLabel>("pnlParamNum")->text(), QStringLiteral("Enter New Param"));
    EXPECT_EQ(Find<QLineEdit>("txtMacroName")->text(), QStringLiteral("Empty"));
    NextTo(2);
    EXPECT_EQ(Find<QLineEdit>("txtParamName")->text(), QString());
    NextTo(3);
    EXPECT_EQ(Find<QLabel>("lblParamNums")->text(),
              QStringLiteral("You have entered 0 parameters"));
}

// A failed or cancelled load: the message shown, and nothing changed.
struct FailedOpen {
    const char* name;
    std::function<std::optional<QString>(WizardTest&)> choose;
    std::function<QString(const QString& path)> message; // null: no message
};

// Names the case in test listings instead of dumping its bytes.
void PrintTo(const FailedOpen& c, std::ostream* os) {
    *os << c.name;
}

class FailedOpenTest : public MacroPageTest, public ::testing::WithParamInterface<FailedOpen> {};

// A file of this content, and the message that it is no macro source for this reason.
std::function<std::optional<QString>(WizardTest&)> FileOf(const QByteArray& content) {
    return [content](WizardTest& t) { return t.WriteFile(QStringLiteral("not.mcs"), content); };
}
std::function<QString(const QString&)> NotASource(const char* reason) {
    return [reason](const QString& path) {
        return path + QStringLiteral(" is not a macro source file: ") + QString::fromUtf8(reason);
    };
}
const char kNoHeader[] = "it has no header record (a line that starts with \"1,\")";

const FailedOpen kFailedOpens[] = {
    {"Cancelled", [](WizardTest&) { return std::optional<QString>(); }, nullptr},
    {"MissingFile",
     [](WizardTest& t) { return std::optional<QString>(QDir(t.TempPath()).filePath("gone.mcs")); },
     [](const QString& path) {
#ifdef Q_OS_WIN
         const QString reason = QString::fromStdString(platform::SystemErrorText(2)); // not found
#else
         const QString reason = QStringLiteral("No such file or directory");
#endif
         return QStringLiteral("Cannot open file \"%1\". %2").arg(path, reason);
     }},
    {"Folder", [](WizardTest& t) { return std::optional<QString>(t.TempPath()); },
     [](const QString& path) {
         return QStringLiteral("Cannot open file \"%1\". It is not a regular file").arg(path);
     }},
#ifndef Q_OS_WIN
    // Neither blocks the wizard: a FIFO nobody writes to, and a device without end.
    {"Fifo",
     [](WizardTest& t) {
         const QString path = QDir(t.TempPath()).filePath("fifo.mcs");
         ::mkfifo(QFile::encodeName(path).constData(), 0644);
         return std::optional<QString>(path);
     },
     [](const QString& path) {
         return QStringLiteral("Cannot open file \"%1\". It is not a regular file").arg(path);
     }},
    {"DevZero", [](WizardTest&) { return std::optional<QString>("/dev/zero"); },
     [](const QString& path) {
         return QStringLiteral("Cannot open file \"%1\". It is not a regular file").arg(path);
     }},
#else
    // Windows' device without end.
    {"NulDevice", [](WizardTest&) { return std::optional<QString>("NUL"); },
     [](const QString& path) {
         return QStringLiteral("Cannot open file \"%1\". It is not a regular file").arg(path);
     }},
#endif
    {"Oversize",
     [](WizardTest& t) {
         return std::optional<QString>(
             t.WriteFile("big.mcs", "1,Big,0,,0,0," + QByteArray(1024 * 1024, 'x') + "\r\n"));
     },
     [](const QString& path) {
         return QStringLiteral("Cannot open file \"%1\". It is larger than the limit of 1048576 "
                               "bytes (1 MiB) for a macro source file")
             .arg(path);
     }},
    {"BadBoolean",
     [](WizardTest& t) {
         return std::optional<QString>(
             t.WriteFile("bad.mcs", "1,Other,1,,2,0,Text\r\n2,NewName,NewVar,3,maybe,0\r\n"));
     },
     [](const QString&) { return QStringLiteral("'maybe' is not a valid boolean value"); }},
    {"BadBooleanInWindows1252",
     [](WizardTest& t) {
         return std::optional<QString>(t.WriteFile("bad1252.mcs", "1,Other,1,,2,f\xe4lse,\r\n"));
     },
     [](const QString&) { return QString::fromUtf8("'fälse' is not a valid boolean value"); }},
    // Not a macro source at all: no header record, or no valid macro name in it.
    {"EmptyFile", FileOf(""), NotASource(kNoHeader)},
    {"RandomBytes", FileOf(QByteArray("\x89PNG\r\n\x1a\n\0\xff", 10)), NotASource(kNoHeader)},
    {"EmptyName", FileOf("1,,0,,0,0,\r\n2,A,V,2,0,0\r\n"), NotASource("its macro name is empty")},
    {"InvalidName", FileOf("1,M\xe9ter 2,0,,0,0,\r\n"),
     NotASource("its macro name \"M\xc3\xa9ter 2\" is not a valid name")},
};

TEST_P(FailedOpenTest, LeavesTheDefinitionAndThePagesAsTheyWere) {
    const FailedOpen& f = GetParam();
    Start();
    NextTo(1);
    OpenSource("1,Kept,0,,0,0,Kept text\r\n2,KeptParam,KeptVar,2,0,0\r\n3,KeptSub,-1,0,,0,0,0\r\n");
    NextTo(2);
    Back();
    const codegen::MacroDefinition before = Definition();
    const WizardState stateBefore = State();
    m_dialogs.Clear();

    const auto chosen = f.choose(*this);
    m_dialogs.Paths.push_back(chosen);
    Click("cmdReload");

    const QStringList errors = m_dialogs.Texts(DialogKind::Error);
    if (f.message) {
        EXPECT_EQ(errors,
                  QStringList{f.message(QDir::toNativeSeparators(chosen.value_or(QString())))});
    } else {
        EXPECT_TRUE(errors.isEmpty());
    }
    EXPECT_TRUE(Definition() == before) << "a failed load changed the definition";
    EXPECT_EQ(State().ParamCount, stateBefore.ParamCount);
    EXPECT_EQ(State().CurrentParam, stateBefore.CurrentParam);
    EXPECT_EQ(Find<QLineEdit>("txtMacroName")->text(), QStringLiteral("Kept"));
    EXPECT_EQ(Find<QLabel>("pnlParamNum")->text(), QStringLiteral("Parameter 1"));
}

INSTANTIATE_TEST_SUITE_P(Files, FailedOpenTest, ::testing::ValuesIn(kFailedOpens),
                         [](const auto& info) { return std::string(info.param.name); });

} // namespace
} // namespace vmg::wizard::test
