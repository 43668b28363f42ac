// Open... of a code file: the chooser for a file of several macros, the keyword block beside
// it for what the text cannot tell, and a refusal that changes nothing.
#include "WizardFixture.h"

#include "ChooseMacro.h"
#include "MacroCodeGenerator.h"
#include "WorkedExamples.h"

#include <QApplication>
#include <QCheckBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QTimer>

namespace vmg::wizard::test {
namespace {

using codegen::JoinCrLf;
using codegen::MacroLines;

// A 14-bit macro whose first parameter is optional before a mandatory second: neither shows
// in its text, only in its keyword block.
codegen::MacroDefinition Second() {
    codegen::MacroDefinition d = codegen::examples::AddNums();
    d.Header.MacroName = "Second";
    d.Header.Description = "";
    d.Params[0].Optional = true;
    return d;
}

class OpenCodeTest : public WizardTest {};

TEST_F(OpenCodeTest, TwoMacrosThroughTheChooserWithTheKeywordBlockBeside) {
    Start();
    NextTo(1);
    const QByteArray code = QByteArray::fromStdString(
        "Dim X As Byte\r\n" + JoinCrLf(MacroLines(codegen::examples::AddNums(), 2)) +
        JoinCrLf(MacroLines(Second(), 2)) + "Main:\r\n");
    m_dialogs.Paths.push_back(WriteFile(QStringLiteral("Blink.bas"), code));
    WriteFile(QStringLiteral("Second_hnt.dat"),
              QByteArray::fromStdString(JoinCrLf(codegen::KeyBlock(Second(), 2))));

    QStringList listed;
    QTimer::singleShot(0, [&listed] {
        auto* chooser = qobject_cast<TfmChooseMacro*>(QApplication::activeModalWidget());
        ASSERT_NE(chooser, nullptr);
        EXPECT_EQ(chooser->objectName(), QStringLiteral("fmChooseMacro"));
        auto* list = chooser->findChild<QListWidget*>(QStringLiteral("lstMacros"));
        for (int i = 0; i < list->count(); ++i) {
            listed << list->item(i)->text();
        }
        list->setCurrentRow(1);
        QTest::mouseClick(chooser->findChild<QPushButton*>(QStringLiteral("cmdOK")),
                          Qt::LeftButton);
    });
    Click("cmdReload");

    EXPECT_EQ(listed, (QStringList{"AddNums (line 3)", "Second (line 55)"}));
    ASSERT_TRUE(m_dialogs.Texts(DialogKind::Error).isEmpty())
        << m_dialogs.Transcript().toStdString();
    EXPECT_EQ(Find<QLineEdit>("txtMacroName")->text(), QStringLiteral("Second"));
    EXPECT_TRUE(Find<QRadioButton>("OptTgt14")->isChecked()) << "DeviceCore of the block";
    EXPECT_EQ(State().ParamCount, 2);
    EXPECT_EQ(State().CurrentParam, 1);
    EXPECT_TRUE(codegen::ParamTable()[0].Optional) << "the Optional word of the block";
    EXPECT_EQ(MacroLines(codegen::Definition(), 2), MacroLines(Second(), 2));
}

TEST_F(OpenCodeTest, ARefusalShowsItsLineAndChangesNothing) {
    Start();
    NextTo(1);
    Type("txtMacroName", QStringLiteral("Kept"));
    const codegen::MacroDefinition before = codegen::Definition();
    codegen::Lines lines = MacroLines(codegen::examples::AddNums(), 2);
    lines.erase(lines.begin() + 13); // a deleted #ENDIF
    m_dialogs.Paths.push_back(
        WriteFile(QStringLiteral("Edited.inc"), QByteArray::fromStdString(JoinCrLf(lines))));
    Click("cmdReload");
    EXPECT_EQ(m_dialogs.Texts(DialogKind::Error),
              QStringList{"The macro AddNums in \"Edited.inc\" cannot be opened. line 14: "
                          "expected #ENDIF, found #IF (PRM_1 == BYTE)"});
    EXPECT_EQ(codegen::Definition(), before);
    EXPECT_EQ(Find<QLineEdit>("txtMacroName")->text(), QStringLiteral("Kept"));
}

QByteArray ReadAll(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("(missing)");
}

// A macro opened from a code file goes back where it stood at Finish, in the file's own line
// ends, with nothing else changed and the old file kept; when its lines have moved in the
// file since, Finish says so, writes nothing and stays on page 6.
TEST_F(OpenCodeTest, FinishWritesTheMacroBackWhereItStood) {
    const std::string lf = "\n";
    const auto lines = [&](const codegen::MacroDefinition& d) {
        std::string out;
        for (const auto& l : MacroLines(d, 2)) {
            out += l + lf;
        }
        return QByteArray::fromStdString(out);
    };
    codegen::MacroDefinition skeleton = codegen::examples::AddNums();
    skeleton.Header.Skeleton = true;
    const QByteArray original = "Dim X As Byte\n" + lines(codegen::examples::AddNums()) + "Main:\n";
    for (const bool movedMeanwhile : {false, true}) {
        SCOPED_TRACE(movedMeanwhile ? "lines moved meanwhile" : "written back");
        Start();
        NextTo(1);
        const QString path = WriteFile(QStringLiteral("Blink.bas"), original);
        QFile::remove(path + QStringLiteral(".bak"));
        m_dialogs.Paths.push_back(path);
        Click("cmdReload");
        Click("chkNoCode"); // an answer changed: Build Skeleton
        NextTo(6);
        auto* box = Find<QCheckBox>("chkWriteBack");
        EXPECT_TRUE(box->isChecked() && box->isEnabled());
        EXPECT_EQ(Find<QLabel>("lblWriteBackName")->text(), QStringLiteral("Blink.bas"));
        for (const char* other : {"chkPasteCode", "chkSaveCode", "chkSaveHint", "chkSaveSource"}) {
            Find<QCheckBox>(other)->setChecked(false);
        }
        if (movedMeanwhile) {
            WriteFile(QStringLiteral("Blink.bas"), "' a line above\n" + original);
        }
        m_dialogs.Clear();
        m_dialogs.YesNo = {true};
        Click("cmdNavFinished");
        EXPECT_EQ(m_dialogs.Texts(DialogKind::ConfirmActions).join(u'|'),
                  QStringLiteral("Macro will be written back to Blink.bas in place of lines 2 to "
                                 "54\r\n\r\nChoose OK to continue with action\r\nor Cancel to "
                                 "return to Wizard"));
        if (!movedMeanwhile) {
            EXPECT_TRUE(m_dialogs.Texts(DialogKind::Error).isEmpty())
                << m_dialogs.Transcript().toStdString();
            EXPECT_EQ(ReadAll(path), "Dim X As Byte\n" + lines(skeleton) + "Main:\n");
            EXPECT_EQ(ReadAll(path + QStringLiteral(".bak")), original);
        } else {
            EXPECT_EQ(m_dialogs.Texts(DialogKind::Error),
                      QStringList{"The macro could not be written back to Blink.bas. The lines 2 "
                                  "to 54 where AddNums stood have changed since the file was "
                                  "opened; nothing was written to it."});
            EXPECT_EQ(ReadAll(path), "' a line above\n" + original);
            EXPECT_EQ(State().CurrentPage, 6);
        }
    }
}

} // namespace
} // namespace vmg::wizard::test
