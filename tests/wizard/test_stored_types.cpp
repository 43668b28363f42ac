// Types the target lacks: refused on page 1 when the target changes, asked for on pages 2 and 3,
// named after Open..., and never reaching the macro as a kind test without a condition.
#include "WizardFixture.h"

#include "MacroCodeGenerator.h"
#include "RtfReader.h"

#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QTextDocument>

#include <string>

namespace vmg::wizard::test {
namespace {

using codegen::Definition;

class StoredTypesTest : public WizardTest {
protected:
    // Next, expecting to stay on the page with exactly this message.
    void NextRefused(const QString& message) {
        const int page = State().CurrentPage;
        m_dialogs.Clear();
        Next();
        EXPECT_EQ(State().CurrentPage, page);
        EXPECT_EQ(m_dialogs.Texts(DialogKind::Information), QStringList{message});
    }
    void BackTo(int page) {
        while (State().CurrentPage > page) {
            Back();
        }
    }
    // Finish with only "Save Code" ticked; the saved macro's lines.
    QStringList FinishAndReadCode() {
        NextTo(6);
        const QString out = QDir(TempPath()).filePath(QStringLiteral("out"));
        EXPECT_TRUE(QDir().mkpath(out));
        m_dialogs.Paths.push_back(out);
        Click("cmdBrowseSavePath");
        Click("chkSaveCode");
        m_dialogs.YesNo.push_back(true);
        Click("cmdNavFinished");
        QFile file(QDir(out).filePath(QStringLiteral("Meter_mac.rtf")));
        EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << m_dialogs.Transcript().toStdString();
        QTextDocument saved;
        richtext::ReadRtf(file.readAll().toStdString(), saved);
        return saved.toPlainText().split(u'\n');
    }
};

// Every kind test of the macro has a condition.
void ExpectNoBareIf(const QStringList& lines) {
    EXPECT_GT(lines.filter(QStringLiteral("#IF")).size(), 0);
    for (const QString& line : lines) {
        EXPECT_NE(line.trimmed(), QStringLiteral("#IF")) << lines.join(u'\n').toStdString();
    }
}

struct TargetChange {
    const char* name;
    const char* paramType;  // null: no parameter
    const char* returnType; // null: nothing returned
    const char* lost;       // the message's line for it
    const char* fixedType;  // the type chosen instead
};

void PrintTo(const TargetChange& c, std::ostream* os) {
    *os << c.name;
}

class TargetChangeTest : public StoredTypesTest,
                         public ::testing::WithParamInterface<TargetChange> {};

TEST_P(TargetChangeTest, ATargetLackingAStoredTypeIsRefusedUntilTheTypeIsChanged) {
    const TargetChange& c = GetParam();
    Start();
    NextTo(1);
    Type("txtMacroName", QStringLiteral("Meter"));
    Find<QComboBox>("cboReturn")->setCurrentIndex(c.returnType != nullptr ? 1 : 0);
    Click("optTgt16");
    NextTo(2);
    if (c.paramType != nullptr) {
        Type("txtParamName", QStringLiteral("Volts"));
        Type("cmbDestVarName", QStringLiteral("VoltVar"));
        ChooseIn("cmbArgDataType", QString::fromUtf8(c.paramType));
        Click("cmdAddArg");
    }
    NextTo(3);
    Type("cmbSubroutineName", QStringLiteral("ReadSub"));
    if (c.returnType != nullptr) {
        Type("cmbRetVarName", QStringLiteral("Reading"));
        ChooseIn("cmbRetDataType", QString::fromUtf8(c.returnType));
    }
    NextTo(4);

    BackTo(1);
    for (const char* button : {"OptTgt14", "optTgtBoth"}) {
        Click(button);
        const QString target =
            QString::fromUtf8(std::string(button) == "OptTgt14" ? "14 Bit" : "Both");
        NextRefused(QStringLiteral("The Target PIC %1 has no data type for\n%2\n\nKeep the Target "
                                   "PIC, or change these data types first")
                        .arg(target, QString::fromUtf8(c.lost)));
    }
    EXPECT_EQ(Definition().Header.Target, 2) << "the refused target is not committed";

    // The old target kept: the types changed, then the new target taken.
    Click("optTgt16");
    NextTo(2);
    if (c.paramType != nullptr) {
        Click("cmdPrevArg");
        ChooseIn("cmbArgDataType", QString::fromUtf8(c.fixedType));
    }
    NextTo(3);
    if (c.returnType != nullptr) {
        ChooseIn("cmbRetDataType", QString::fromUtf8(c.fixedType));
    }
    NextTo(4);
    BackTo(1);
    Click("OptTgt14");
    ExpectNoBareIf(FinishAndReadCode());
}

const TargetChange kTargetChanges[] = {
    {"FloatParameter", "Float/Num", nullptr, "Parameter 1 (Volts): Float/Num", "Word/Num"},
    {"StringParameter", "String", nullptr, "Parameter 1 (Volts): String", "Byte Array"},
    {"FloatReturn", nullptr, "Float", "Return Value: Float", "Word"},
};

INSTANTIATE_TEST_SUITE_P(Cases, TargetChangeTest, ::testing::ValuesIn(kTargetChanges),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(StoredTypesTest, OpenNamesWhatItLeftOutAndTheAnswersWithoutATypeThePagesAskFor) {
    Start();
    NextTo(1);
    QByteArray text = "1,Meter,1,,1,0,\r\n2,Volts,V,5,0,0\r\n2,Count,C,3,0,0\r\n"
                      "2,Odd,O,255,0,0\r\n3,ReadSub,-1,0,Reading,5,0,0\r\n";
    for (int i = 4; i <= 22; ++i) {
        text += "2,P" + QByteArray::number(i) + ",V" + QByteArray::number(i) + ",2,0,0\r\n";
    }
    OpenSource(text);
    EXPECT_EQ(m_dialogs.Texts(DialogKind::Information),
              QStringList{QStringLiteral(
                  "2 parameter records after the 20th were left out: a macro has at most 20 "
                  "parameters.\n\nThe Target PIC 14 Bit has no data type for\n"
                  "Parameter 1 (Volts): Float/Num\nParameter 3 (Odd): data type 255\n"
                  "Return Value: Float\n\nChoose their data types on the next pages")});
    EXPECT_EQ(State().ParamCount, 20) << "the answers are loaded";

    NextTo(2);
    EXPECT_EQ(Find<QComboBox>("cmbArgDataType")->currentIndex(), -1);
    NextRefused(QStringLiteral("Choose a Data Type for Parameter 1 (Volts)"));
    ChooseIn("cmbArgDataType", QStringLiteral("Word/Num"));
    NextRefused(QStringLiteral("Choose a Data Type for Parameter 3 (Odd)"));
    Click("cmdNextArg");
    Click("cmdNextArg");
    EXPECT_EQ(Find<QComboBox>("cmbArgDataType")->currentIndex(), -1);
    ChooseIn("cmbArgDataType", QStringLiteral("Byte/Num"));
    NextTo(3);
    EXPECT_EQ(Find<QComboBox>("cmbRetDataType")->currentIndex(), -1);
    NextRefused(QStringLiteral("Choose a Data Type for the Return Value"));
    ChooseIn("cmbRetDataType", QStringLiteral("DWord"));
    ExpectNoBareIf(FinishAndReadCode());
}

} // namespace
} // namespace vmg::wizard::test
