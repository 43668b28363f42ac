// The keyboard: what Enter and Space press, where the focus goes on each page, Escape in the
// tool windows, and the "Check a Call" window opening decided with its own mnemonics.
#include "WizardFixture.h"

#include "CheckCallWindow.h"
#include "HelpWindow.h"
#include "MacSourceReadWrite.h"

#include <QKeySequence>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QSet>
#include <QTest>

namespace vmg::wizard::test {
namespace {

// A key on a control of page 2, with a parameter typed but not yet added.
struct KeyCase {
    const char* control;
    Qt::Key key;
    int page, params, helpTopic; // afterwards: the page, ParamCount, the help asked for (0 none)
    bool closed;
};

std::ostream& operator<<(std::ostream& os, const KeyCase& c) {
    return os << c.control << " " << QKeySequence(c.key).toString().toStdString();
}

class EnterKeyTest : public WizardTest, public ::testing::WithParamInterface<KeyCase> {};

TEST_P(EnterKeyTest, PressesTheFocusedButtonElseNext) {
    const KeyCase& c = GetParam();
    Start();
    NextTo(2);
    Type("txtParamName", QStringLiteral("A"));
    Type("cmbDestVarName", QStringLiteral("V"));
    QWidget* target = Find<QWidget>(c.control);
    target->setFocus();
    QTest::keyClick(target, c.key);
    EXPECT_EQ(Window().isVisible(), !c.closed);
    EXPECT_EQ(State().CurrentPage, c.page);
    EXPECT_EQ(State().ParamCount, c.params);
    EXPECT_EQ(m_dialogs.HelpTopics, c.helpTopic ? std::vector{c.helpTopic} : std::vector<int>{});
}

INSTANTIATE_TEST_SUITE_P(
    Keys, EnterKeyTest,
    ::testing::Values(KeyCase{"cmdAddArg", Qt::Key_Return, 2, 1, 0, false},
                      KeyCase{"cmdAddArg", Qt::Key_Enter, 2, 1, 0, false},
                      KeyCase{"cmdAddArg", Qt::Key_Space, 2, 1, 0, false},
                      KeyCase{"cmdNavBack", Qt::Key_Return, 1, 0, 0, false},
                      KeyCase{"cmdNavHelp", Qt::Key_Return, 2, 0, 1030, false},
                      KeyCase{"cmdNavCancel", Qt::Key_Return, 2, 0, 0, true},
                      // Elsewhere Enter is Next, which drops the entry that was not added.
                      KeyCase{"txtParamName", Qt::Key_Return, 3, 0, 0, false},
                      KeyCase{"cmbArgDataType", Qt::Key_Enter, 3, 0, 0, false}));

// Each page puts the focus where the user types first; page 0 on Next, also after Back.
TEST_F(WizardTest, EachPageTakesTheFocusIntoItsFirstField) {
    StoreWizardSettings({{"SaveHint", 1}, {"SaveSource", 1}});
    Start();
    const char* expected[kPageCount] = {"cmdNavNext",        "txtMacroName", "txtParamName",
                                        "cmbSubroutineName", "rtxtCode",     "memoHint",
                                        "chkSaveHint"};
    const auto focused = [this] {
        QWidget* f = Window().focusWidget();
        // An editable list's typing box stands for its list.
        return f->objectName().isEmpty() ? f->parentWidget()->objectName() : f->objectName();
    };
    EXPECT_EQ(focused(), "cmdNavNext") << "at start";
    for (int page = 1; page < kPageCount; ++page) {
        NextTo(page);
        EXPECT_EQ(focused(), QLatin1String(expected[page])) << "page " << page;
    }
    for (int page = kPageCount - 2; page >= 0; --page) {
        Back();
        EXPECT_EQ(focused(), QLatin1String(expected[page])) << "back to page " << page;
    }
}

// In-Line with the return variable, and no return with a label, a string and a character: each
// opens on a decided outcome; no two captions share a mnemonic; Escape closes it.
TEST_F(WizardTest, TheCheckWindowOpensDecidedWithUniqueMnemonicsAndEscapeClosesIt) {
    codegen::MacroDefinition inLine;
    inLine.Header = {"AddNums", 1, 1, false, "", 2};
    inLine.Params[0] = {"First", 2, "ArgA", false, false};
    inLine.Params[1] = {"Second", 3, "ArgB", false, false};
    inLine.Return = {"AddSub", true, false, {"", 3, "Total", false, false}};
    codegen::MacroDefinition none;
    none.Header = {"Show", 0, 2, false, "", 3};
    none.Params[0] = {"Where", 6, "Dest", false, false};
    none.Params[1] = {"Msg", 9, "Ptr", false, false};
    none.Params[2] = {"Ch", 7, "C", false, false};
    none.Return = {"ShowSub", false, true, {}};
    for (const auto* def : {&inLine, &none}) {
        codegen::ResetModule();
        Start();
        NextTo(1);
        OpenSource(
            QByteArray::fromStdString(*macsource::MacroSourceText(*def, def->Header.ArgCount)));
        NextTo(4);
        Click("cmdCheckCall");
        auto* w = Find<CheckCallWindow>("fmCheckCall");
        const QString outcome = w->ResultList()->item(w->ResultList()->count() - 1)->text();
        EXPECT_FALSE(outcome.startsWith("undecided")) << outcome.toStdString();
        EXPECT_TRUE(w->CallBox()->text().startsWith(def == &inLine ? "Total = " : "Show "));

        QSet<QChar> keys; // the window's captions are its labels
        for (const QLabel* l : w->findChildren<QLabel*>()) {
            QString caption = l->text();
            const qsizetype at = caption.remove("&&").indexOf(u'&');
            if (at >= 0) {
                const QChar key = caption.at(at + 1).toUpper();
                EXPECT_FALSE(keys.contains(key)) << "Alt+" << QString(key).toStdString();
                keys.insert(key);
            }
        }
        QTest::keyClick(w->CallBox(), Qt::Key_Escape);
        EXPECT_FALSE(w->isVisible());
        EXPECT_TRUE(Window().isVisible());
    }

    auto* help = new HelpWindow(&Window());
    help->ShowTopic(1020);
    QTest::keyClick(help->findChild<QWidget*>("txtHelp"), Qt::Key_Escape);
    EXPECT_FALSE(help->isVisible());
}

} // namespace
} // namespace vmg::wizard::test
