// The whole wizard driven as a person drives it, from the first page to Finish with every output
// chosen, and what it saved and pasted compared with what vmacgen makes of the same macro.
#include "WizardFixture.h"

#include "CodeColouring.h"
#include "RtfReader.h"

#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QPlainTextEdit>
#include <QProcess>
#include <QTest>
#include <QTextCursor>
#include <QTextDocument>

namespace vmg::wizard::test {
namespace {

const QByteArray kPage = "Dim ArgA As Byte\r\n"
                         "Dim ArgB As Word\r\n"
                         "Dim Total As Word\r\n"
                         "AddSub:\r\n"
                         "  Return\r\n";

QByteArray ReadAll(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// What the command prints for a macro source file.
QByteArray Vmacgen(const char* command, const QString& file) {
    QProcess vmacgen;
    vmacgen.start(BuiltProgram(VMACGEN_NAME), {QLatin1String(command), file});
    EXPECT_TRUE(vmacgen.waitForFinished(30000));
    EXPECT_EQ(vmacgen.exitCode(), 0) << vmacgen.readAllStandardError().toStdString();
    return vmacgen.readAllStandardOutput();
}

class EndToEndTest : public WizardTest {
protected:
    // Picks an entry of a drop-down list with the arrow keys.
    void Choose(const char* name, const QString& text) {
        auto* combo = Find<QComboBox>(name);
        ASSERT_NE(combo, nullptr);
        const int target = combo->findText(text);
        ASSERT_GE(target, 0) << name << ": " << text.toStdString();
        combo->setFocus();
        for (int step = 0; combo->currentIndex() != target && step <= 2 * combo->count(); ++step) {
            QTest::keyClick(combo, combo->currentIndex() < target ? Qt::Key_Down : Qt::Key_Up);
        }
        ASSERT_EQ(combo->currentText(), text) << name;
    }
    void TypeInto(const char* name, const QString& text) {
        auto* box = Find<QWidget>(name);
        ASSERT_NE(box, nullptr);
        box->setFocus();
        QTest::keyClicks(box, text);
    }
};

TEST_F(EndToEndTest, AWholeRunSavesAndPastesWhatVmacgenMakesOfTheSameMacro) {
    WriteSession(16, kPage);
    const QString out = QDir(TempPath()).filePath(QStringLiteral("out"));
    ASSERT_TRUE(QDir().mkpath(out));
    Start();

    // Page 0 and 1: the name, the description, In-Line, the 16-bit core of the IDE's page.
    Next();
    Type("txtMacroName", QStringLiteral("AddNums"));
    TypeInto("memoDescription", QStringLiteral("Adds two numbers"));
    Choose("cboReturn", QStringLiteral("In-Line"));
    Click("optTgt16");
    Next();
    ASSERT_EQ(State().CurrentPage, 2) << m_dialogs.Transcript().toStdString();

    // Page 2: two parameters, their destinations from the IDE's page.
    Click("cmdGetVars0");
    const struct {
        const char* name;
        const char* dest;
        const char* type;
    } params[] = {{"First", "ArgA", "Byte/Num"}, {"Second", "ArgB", "Word/Num"}};
    for (const auto& p : params) {
        Type("txtParamName", QLatin1String(p.name));
        Choose("cmbDestVarName", QLatin1String(p.dest));
        Choose("cmbArgDataType", QLatin1String(p.type));
        Click("cmdAddArg");
    }
    ASSERT_EQ(State().ParamCount, 2) << m_dialogs.Transcript().toStdString();
    Next();
    ASSERT_EQ(State().CurrentPage, 3) << m_dialogs.Transcript().toStdString();

    // Page 3: the routine from the page's labels, the return variable from its variables.
    Click("cmdShowLabels");
    Choose("cmbSubroutineName", QStringLiteral("AddSub"));
    Click("cmdGetVars1");
    Choose("cmbRetVarName", QStringLiteral("Total"));
    Choose("cmbRetDataType", QStringLiteral("Word"));
    Next();
    ASSERT_EQ(State().CurrentPage, 4) << m_dialogs.Transcript().toStdString();

    // Pages 4 and 5 reviewed as they are; page 6: the folder and every output.
    Next();
    Next();
    ASSERT_EQ(State().CurrentPage, 6);
    m_dialogs.Paths.push_back(out);
    Click("cmdBrowseSavePath");
    for (const char* box : {"chkPasteCode", "chkSaveCode", "chkSaveHint", "chkSaveSource"}) {
        Click(box);
    }
    m_dialogs.YesNo.push_back(true);
    Click("cmdNavFinished");
    ASSERT_FALSE(Window().isVisible()) << m_dialogs.Transcript().toStdString();
    EXPECT_EQ(m_dialogs.Texts(DialogKind::ConfirmActions).size(), 1);
    EXPECT_TRUE(m_dialogs.Texts(DialogKind::Error).isEmpty());

    // The saved source gives vmacgen the same macro as the one the wizard saved and pasted.
    const QString source = QDir(out).filePath(QStringLiteral("AddNums.mcs"));
    const QByteArray code = Vmacgen("code", source);
    ASSERT_TRUE(code.startsWith("'Adds two numbers\r\nAddNums MACRO  P1, P2\r\n")) << code.data();
    ASSERT_TRUE(code.contains("\t\tGoSub AddSub\r\n")) << code.data();
    ASSERT_TRUE(code.contains("WORD_WORD Total, RETURN_VAR\r\n")) << code.data();

    QTextDocument saved;
    richtext::ReadRtf(ReadAll(QDir(out).filePath(QStringLiteral("AddNums_mac.rtf"))).toStdString(),
                      saved);
    EXPECT_EQ(richtext::PlainTextCrLf(saved).toLatin1(), code);
    // The colours travel with the file.
    const QTextCursor macro = saved.find(QStringLiteral("MACRO"));
    ASSERT_FALSE(macro.isNull());
    QTextCursor at(&saved);
    at.setPosition(macro.selectionStart() + 1);
    EXPECT_EQ(at.charFormat().foreground().color(), QColor(128, 0, 0));
    EXPECT_GE(at.charFormat().fontWeight(), QFont::DemiBold);
    EXPECT_EQ(ReadAll(QDir(out).filePath(QStringLiteral("AddNums_hnt.dat"))),
              Vmacgen("hint", source));
    const QStringList lines = QString::fromLatin1(kPage).split(QStringLiteral("\r\n"));
    const QByteArray before = (lines.mid(0, 2).join(QStringLiteral("\r\n")) + "\r\n").toLatin1();
    EXPECT_EQ(ReadAll(QDir(TempPath()).filePath(QStringLiteral("Main.bas"))),
              before + code + kPage.mid(before.size()));
    EXPECT_EQ(QDir(out).entryList(QDir::Files | QDir::Hidden).size(), 3)
        << "a temporary file was left behind";
}

} // namespace
} // namespace vmg::wizard::test
