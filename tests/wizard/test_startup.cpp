// Start-up: the IDE link and page scan, and the stored settings as the pages first show them.
#include "WizardFixture.h"

#include "MacroCodeGenerator.h"
#include "Settings.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSettings>
#include <QTextEdit>

#include <ostream>

namespace vmg::wizard::test {
namespace {

using codegen::MacroHeader;

class StartupTest : public WizardTest {
protected:
    struct IdeButtons {
        bool labels;
        bool vars;
        bool paste;
        bool operator==(const IdeButtons&) const = default;
    };
    IdeButtons Buttons() {
        const bool vars0 = Find<QPushButton>("cmdGetVars0")->isEnabled();
        EXPECT_EQ(Find<QPushButton>("cmdGetVars1")->isEnabled(), vars0)
            << "the two Get Vars differ";
        return {Find<QPushButton>("cmdShowLabels")->isEnabled(), vars0,
                Find<QCheckBox>("chkPasteCode")->isEnabled()};
    }
};

TEST_F(StartupTest, WithoutTheIdeEverythingThatNeedsItIsOff) {
    Start();
    EXPECT_EQ(Find<QLabel>("pnlStat")->text(), QStringLiteral("IDE Not Connected"));
    EXPECT_EQ(Buttons(), (IdeButtons{false, false, false}));
    EXPECT_EQ(MacroHeader().Target, 0);
    // The fresh parameter editor.
    EXPECT_EQ(Find<QLabel>("pnlParamNum")->text(), QStringLiteral("Enter New Param"));
    for (const char* name : {"cmdPrevArg", "cmdNextArg", "cmdRemArg", "cmdAddArg"}) {
        EXPECT_FALSE(Find<QPushButton>(name)->isEnabled()) << name;
    }
    auto* returns = Find<QComboBox>("cboReturn");
    ASSERT_EQ(returns->count(), 3);
    EXPECT_EQ(returns->itemText(0) + u',' + returns->itemText(1) + u',' + returns->itemText(2),
              QStringLiteral("None,In-Line,Parameter"));
    EXPECT_EQ(Find<QLineEdit>("txtMacroName")->text(), QString());
}

TEST_F(StartupTest, ASessionNamingAMissingPageIsNoConnection) {
    WriteSession(16, "Dim A As Byte\n");
    QFile::remove(QDir(TempPath()).filePath(QStringLiteral("Main.bas")));
    Start();
    EXPECT_EQ(Find<QLabel>("pnlStat")->text(), QStringLiteral("IDE Not Connected"));
    EXPECT_EQ(Buttons(), (IdeButtons{false, false, false}));
}

// The IDE's page, as a core and a text, and what start-up makes of it.
struct IdePage {
    const char* name;
    int core;
    const char* text;
    int target;
    bool labels;
    bool vars;
};

// Names the case in test listings instead of dumping its bytes.
void PrintTo(const IdePage& c, std::ostream* os) {
    *os << c.name;
}

class IdeStartupTest : public StartupTest, public ::testing::WithParamInterface<IdePage> {};

TEST_P(IdeStartupTest, ThePageIsScannedOnceAndSetsTheTarget) {
    const IdePage& p = GetParam();
    WriteSession(p.core, p.text);
    Start();
    EXPECT_EQ(Find<QLabel>("pnlStat")->text(), QStringLiteral("IDE Connected"));
    EXPECT_EQ(Buttons(), (IdeButtons{p.labels, p.vars, true}));
    EXPECT_EQ(MacroHeader().Target, p.target);

    // Page 1 first shows the page's core; page 6 names the page.
    NextTo(1);
    const char* button = p.target == 1 ? "OptTgt14" : p.target == 2 ? "optTgt16" : "optTgtBoth";
    EXPECT_TRUE(Find<QRadioButton>(button)->isChecked()) << button;
    EXPECT_EQ(State().TargetChoice, p.target);
    NextTo(6);
    EXPECT_EQ(Find<QLabel>("lblPasteDest")->text(), QStringLiteral("Main.bas"));
}

const IdePage kIdePages[] = {
    {"Core16LabelsAndVariables", 16, "Dim Counter As Byte\r\nStart:\r\n  GoTo Start\r\n", 2, true,
     true},
    {"Core14CommentsOnly", 14, "' nothing but a comment\n; and another\n", 1, false, false},
    {"Core14LabelsOnly", 14, "Main:\n\tGoTo Main\n", 1, true, false},
    {"OtherCoreVariablesOnly", 12, "DIM Buffer[16] AS BYTE\n", 0, false, true},
};

INSTANTIATE_TEST_SUITE_P(Pages, IdeStartupTest, ::testing::ValuesIn(kIdePages),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(StartupTest, NoSettingsGiveTheDefaults) {
    Start();
    EXPECT_EQ(State().SaveFolder, DefaultSaveFolder());
    EXPECT_EQ(State().HighlighterSettings, richtext::HighlighterSettings{});
    for (const char* box : {"chkPasteCode", "chkSaveCode", "chkSaveHint", "chkSaveSource",
                            "chkTypeConvOn", "chkNoCode"}) {
        EXPECT_FALSE(Find<QCheckBox>(box)->isChecked()) << box;
    }
    EXPECT_EQ(MacroHeader().ReturnMethod, 0);
    EXPECT_FALSE(MacroHeader().Skeleton);
    NextTo(4);
    const QFont font = Find<QTextEdit>("rtxtCode")->font();
    EXPECT_EQ(font.family(), QStringLiteral("Courier New"));
    EXPECT_EQ(font.pointSize(), 8);
}

TEST_F(StartupTest, StoredReturnAndSkeletonShowOnPage1AndHideTheDestinationRow) {
    StoreWizardSettings({{"ReturnInd", 2}, {"NoCode", 1}});
    Start();
    EXPECT_EQ(MacroHeader().ReturnMethod, 2);
    EXPECT_TRUE(MacroHeader().Skeleton);
    NextTo(1);
    EXPECT_EQ(Find<QComboBox>("cboReturn")->currentText(), QStringLiteral("Parameter"));
    EXPECT_TRUE(Find<QCheckBox>("chkNoCode")->isChecked());
    NextTo(2);
    EXPECT_FALSE(ShownOnPage("pnlDestVar"));
    NextTo(3);
    EXPECT_TRUE(ShownOnPage("pnlReturnVar"));
}

TEST_F(StartupTest, StoredTypeConversionHidesBothAllowAltBoxesFromTheStart) {
    StoreWizardSettings({{"AllowTypeConv", 1}, {"PasteMac", 1}, {"SaveHint", 1}});
    Start();
    EXPECT_TRUE(Find<QCheckBox>("chkTypeConvOn")->isChecked());
    for (const char* box : {"chkAllowAltArgs", "chkAllowAltRet"}) {
        EXPECT_FALSE(ShownOnPage(box)) << box;
        EXPECT_TRUE(Find<QCheckBox>(box)->isChecked()) << box;
    }
    // A stored paste choice shows even though the box is off without the IDE.
    EXPECT_TRUE(Find<QCheckBox>("chkPasteCode")->isChecked());
    EXPECT_FALSE(Find<QCheckBox>("chkPasteCode")->isEnabled());
    EXPECT_TRUE(Find<QCheckBox>("chkSaveHint")->isChecked());
    EXPECT_FALSE(Find<QCheckBox>("chkSaveCode")->isChecked());
}

TEST_F(StartupTest, AStoredReturnIndexOfMinusOneSelectsNothing) {
    StoreWizardSettings({{"ReturnInd", -1}});
    Start();
    EXPECT_EQ(Find<QComboBox>("cboReturn")->currentIndex(), -1);
    EXPECT_EQ(Find<QComboBox>("cboReturn")->currentText(), QString());
    EXPECT_EQ(MacroHeader().ReturnMethod, -1);
    // Treated like None: page 3 asks for no return variable.
    NextTo(3);
    EXPECT_FALSE(ShownOnPage("pnlReturnVar"));
}

TEST_F(StartupTest, TheHighlighterFontReachesTheCodeBox) {
    StoreHighlighterSettings({{"FontName", "DejaVu Sans Mono"}, {"FontSize", 11}});
    Start();
    NextTo(4);
    const QFont font = Find<QTextEdit>("rtxtCode")->font();
    EXPECT_EQ(font.family(), QStringLiteral("DejaVu Sans Mono"));
    EXPECT_EQ(font.pointSize(), 11);
}

TEST_F(StartupTest, StoringWritesTheControlsNotTheDefinition) {
    Start();
    NextTo(1);
    Click("chkTypeConvOn");
    Click("chkNoCode");
    Type("cboReturn", QStringLiteral("Sometimes")); // a text of the user's own: no selection
    NextTo(6);
    Click("chkSaveSource");
    ASSERT_TRUE(Window().StoreSettings());

    EXPECT_EQ(StoredWizardValue("FilePath"), DefaultSaveFolder());
    EXPECT_EQ(StoredWizardValue("PasteMac"), QStringLiteral("0"));
    EXPECT_EQ(StoredWizardValue("SaveSource"), QStringLiteral("1"));
    EXPECT_EQ(StoredWizardValue("AllowTypeConv"), QStringLiteral("1"));
    EXPECT_EQ(StoredWizardValue("ReturnInd"), QStringLiteral("-1"));
    EXPECT_EQ(StoredWizardValue("NoCode"), QStringLiteral("1"));
    EXPECT_EQ(StoredWizardValue("AddUserMcd"), QStringLiteral("0"));
    EXPECT_EQ(StoredWizardValue("UserMcdPath"), QString());
#ifdef Q_OS_WIN
    EXPECT_EQ(StoredWizardSettings().count('\n'), 10); // one line per value
#else
    EXPECT_EQ(QSettings(WizardSettingsFile(), QSettings::IniFormat).allKeys().size(), 10);
#endif

    WizardSettings expected;
    expected.FilePath = DefaultSaveFolder();
    expected.SaveSource = true;
    expected.AllowTypeConv = true;
    expected.ReturnInd = -1;
    expected.NoCode = true;
    EXPECT_EQ(ReadWizardSettings(), expected);
}

// The file a double click starts the program with: opened as Open... opens it, page 1 then
// shown; a file that cannot be read gives Open...'s own message and leaves page 0.
TEST_F(StartupTest, TheFileGivenAtStartIsOpenedAsOpenOpensIt) {
    const QString good =
        WriteFile(QStringLiteral("Adder.mcs"), "1,Adder,1,,1,0,Adds\r\n2,First,ArgA,2,0,0\r\n");
    const QString missing = QDir(TempPath()).filePath(QStringLiteral("gone.mcs"));
    const struct {
        QString path;
        int page;
        QString name;
    } cases[] = {{good, 1, QStringLiteral("Adder")}, {missing, 0, QString()}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.path.toStdString());
        m_dialogs.Clear();
        StartAgain().OpenAtStart(c.path);
        EXPECT_EQ(State().CurrentPage, c.page);
        EXPECT_EQ(Find<QLineEdit>("txtMacroName")->text(), c.name);
        EXPECT_EQ(m_dialogs.Texts(DialogKind::Error).size(), c.name.isEmpty() ? 1 : 0);
    }
    // The message is the one Open... gives for the same file.
    const QStringList atStart = m_dialogs.Texts(DialogKind::Error);
    m_dialogs.Clear();
    StartAgain();
    Next();
    m_dialogs.Paths.push_back(missing);
    Click("cmdReload");
    EXPECT_EQ(m_dialogs.Texts(DialogKind::Error), atStart);
}

} // namespace
} // namespace vmg::wizard::test
