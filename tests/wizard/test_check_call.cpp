// Page 4's "Check..." button and the "Check a Call" window, as the user meets them.
#include "WizardFixture.h"

#include "CheckCallWindow.h"
#include "MacroCodeGenerator.h"
#include "Page4Code.h"
#include "VorlanMacGen.h"

#include <QComboBox>
#include <QFontInfo>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QScreen>
#include <QSpinBox>
#include <QTableWidget>
#include <QTest>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextEdit>

namespace vmg::wizard::test {
namespace {

const QByteArray kAddNums = "1,AddNums,1,,1,0,Adds two numbers\r\n2,First,ArgA,2,0,0\r\n"
                            "2,Second,ArgB,3,0,0\r\n3,AddSub,-1,0,Total,3,0,0\r\n";

class CheckCallTest : public WizardTest {
protected:
    CheckCallWindow* OpenCheck() {
        Start();
        NextTo(1);
        OpenSource(kAddNums);
        NextTo(4);
        Click("cmdCheckCall");
        return Find<CheckCallWindow>("fmCheckCall");
    }
    QStringList Results(CheckCallWindow* w) {
        QStringList out;
        for (int i = 0; i < w->ResultList()->count(); ++i) {
            out << w->ResultList()->item(i)->text();
        }
        return out;
    }
    QListWidgetItem* ResultStarting(CheckCallWindow* w, const QString& start) {
        for (int i = 0; i < w->ResultList()->count(); ++i) {
            if (w->ResultList()->item(i)->text().startsWith(start)) {
                return w->ResultList()->item(i);
            }
        }
        return nullptr;
    }
};

TEST_F(CheckCallTest, ButtonSitsRightOfThePageTextAndTheCodeBoxKeepsItsPlace) {
    Start();
    NextTo(1);
    OpenSource(kAddNums);
    NextTo(4);
    EXPECT_EQ(Find<QPushButton>("cmdCheckCall")->geometry(), QRect(384, 6, 81, 21));
    EXPECT_EQ(Find<QTextEdit>("rtxtCode")->geometry(), QRect(5, 40, 460, 257));
    EXPECT_TRUE(ShownOnPage("cmdCheckCall"));
}

// The window's labels in the wizard's face, its result in a fixed-pitch one, and all of it
// within the screen's available area.
TEST_F(CheckCallTest, TheWindowTakesTheWizardsFontAndStaysOnTheScreen) {
    CheckCallWindow* w = OpenCheck();
    ASSERT_NE(w, nullptr);
    EXPECT_EQ(QFontInfo(w->findChild<QLabel*>()->font()).family(),
              QFontInfo(Window().font()).family());
    EXPECT_TRUE(QFontInfo(w->ResultList()->font()).fixedPitch());
    const QRect area = Window().screen()->availableGeometry();
    EXPECT_TRUE(area.contains(w->frameGeometry()))
        << "frame " << w->frameGeometry().x() << "," << w->frameGeometry().width();
}

TEST_F(CheckCallTest, SampleCallThenKindChoiceThenTypedCall) {
    CheckCallWindow* w = OpenCheck();
    ASSERT_NE(w, nullptr);
    EXPECT_TRUE(w->isVisible());
    EXPECT_FALSE(w->isModal());
    EXPECT_EQ(w->windowTitle(), "Check a Call");
    // The macro's own return variable, taken to be of its return type: decided at once.
    EXPECT_EQ(w->CallBox()->text(), "Total = AddNums 5, 1001");
    const QStringList first = Results(w);
    EXPECT_TRUE(first.contains("lint: no findings"));
    EXPECT_TRUE(first.contains("argument counts that pass: 2"));
    EXPECT_TRUE(first.contains("no #ERROR fires; the expansion:"))
        << first.join(QChar(10)).toStdString();
    EXPECT_TRUE(first.contains("  19: NUM_BYTE 5, ArgA"));
    EXPECT_TRUE(first.contains("  31: NUM_WORD 1001, ArgB"));

    // Its kind is for the user to change.
    auto* retKind = w->findChild<QComboBox*>("cmbKind0");
    ASSERT_NE(retKind, nullptr);
    EXPECT_EQ(retKind->currentText(), "WORD");
    retKind->setCurrentText("unknown");
    EXPECT_TRUE(Results(w).last().startsWith("undecided at line 44: RETURN_TYPE has no value"))
        << Results(w).last().toStdString();

    w->CallBox()->clear();
    QTest::keyClicks(w->CallBox(), "Total = AddNums 5");
    EXPECT_EQ(Results(w).last(), "line 7 fires #ERROR \"AddNums - Too few parameters\"");
}

TEST_F(CheckCallTest, ADeletedEndifIsFoundAndItsLineSelectedInTheCodeBox) {
    CheckCallWindow* w = OpenCheck();
    QTextEdit* code = Find<QTextEdit>("rtxtCode");
    const QString before = code->toPlainText();
    QTextCursor line(code->document()->findBlockByNumber(13)); // line 14: "\t\t#ENDIF"
    line.select(QTextCursor::BlockUnderCursor);
    line.removeSelectedText();
    QListWidgetItem* finding = ResultStarting(w, "line 3: error: #IF left open");
    ASSERT_NE(finding, nullptr) << Results(w).join('\n').toStdString();

    emit w->ResultList()->itemActivated(finding);
    EXPECT_EQ(code->textCursor().selectedText(), "#IF (PRM_COUNT > 2)");
    EXPECT_NE(code->toPlainText(), before);

    // Closing the window changes nothing in the wizard.
    const codegen::MacroDefinition def = Window().Definition();
    const QString edited = code->toPlainText();
    w->close();
    EXPECT_EQ(Window().Definition(), def);
    EXPECT_EQ(code->toPlainText(), edited);
    EXPECT_EQ(State().CurrentPage, 4);
}

// A call of any length: PRM_COUNT shows its real count, and the simulation uses it.
TEST_F(CheckCallTest, PrmCountIsTheCallsOwnCountWhateverItsSize) {
    CheckCallWindow* w = OpenCheck();
    ASSERT_NE(w, nullptr);
    auto* count = w->findChild<QSpinBox*>("spnCount");
    ASSERT_NE(count, nullptr);
    QStringList args;
    for (int i = 1; i <= 100; ++i) {
        args << QString::number(i);
    }
    w->CallBox()->selectAll();
    QTest::keyClicks(w->CallBox(), QStringLiteral("Total = AddNums ") + args.join(", "));
    EXPECT_EQ(count->value(), 100);
    const QListWidgetItem* fired = ResultStarting(w, QStringLiteral("line "));
    ASSERT_NE(fired, nullptr) << Results(w).join(u'\n').toStdString();
    EXPECT_TRUE(fired->text().contains(QStringLiteral("Too many"))) << fired->text().toStdString();
}

// The calls of the macro on the IDE's page, each with its outcome (a comment after one is no
// argument); a double click puts one into the call box. Without a page the list is hidden.
TEST_F(CheckCallTest, TheCallsOnTheIdePageAreListedAndOneCanBeTaken) {
    WriteSession(16, "Dim Total As Word\r\nTotal = AddNums 5, 6 ' the sum\r\n"
                     "' AddNums 7, 8\r\naddnums 1, 2 : Total = AddNums 5, Q\r\n");
    CheckCallWindow* w = OpenCheck();
    QStringList listed;
    for (int i = 0; i < w->CallList()->count(); ++i) {
        listed << w->CallList()->item(i)->text();
    }
    EXPECT_EQ(listed, (QStringList{
                          "Total = AddNums 5, 6: passes",
                          "addnums 1, 2: fires #ERROR \"AddNums - Mandatory return parameter "
                          "misssing\"",
                          "Total = AddNums 5, Q: cannot be decided (PRM_2 has no value)",
                      }));
    EXPECT_TRUE(w->CallList()->isVisibleTo(w));
    emit w->CallList()->itemActivated(w->CallList()->item(1));
    EXPECT_EQ(w->CallBox()->text(), QStringLiteral("addnums 1, 2"));
    EXPECT_NE(ResultStarting(w, "line 42 fires #ERROR"), nullptr)
        << Results(w).join('\n').toStdString();
}

TEST_F(CheckCallTest, WithoutTheIdeNoCallsAreListed) {
    CheckCallWindow* w = OpenCheck();
    EXPECT_EQ(w->CallList()->count(), 0);
    EXPECT_FALSE(w->CallList()->isVisibleTo(w));
}

} // namespace
} // namespace vmg::wizard::test
