// The keyboard: what Enter and Space press, where the focus goes on each page, Escape in the
// tool windows, and the "Check a Call" window opening decided with its own mnemonics.
#include "WizardFixture.h"

#include "CheckCallWindow.h"
#include "HelpWindow.h"
#include "MacSourceReadWrite.h"
#include "MacroCodeGenerator.h"

#include <QAbstractButton>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QSet>
#include <QTest>

namespace vmg::wizard::test {
namespace {

// A key on a focused control of page 2, with a parameter typed but not yet added.
struct KeyCase {
    const char* control;
    Qt::Key key;
    int page;      // where the wizard is afterwards
    int params;    // ParamCount afterwards
    int helpTopic; // the help asked for, 0 none
    bool closed;   // the window closed
};

std::ostream& operator<<(std::ostream& os, const KeyCase& c) {
    return os << c.control << " key " << c.key;
}

class EnterKeyTest : public WizardTest, public ::testing::WithParamInterface<KeyCase> {};

TEST_P(EnterKeyTest, PressesTheFocusedButtonElseNext) {
    const KeyCase& c = GetParam();
    Start();
    NextTo(2);
    Type("txtParamName", QStringLiteral("A"));
    Type("cmbDestVarName", QStringLiteral("V"));
    QWidget* target = Find<QWidget>(c.control);
    ASSERT_NE(target, nullptr);
    target->setFocus();
    QTest::keyClick(target, c.key);
    EXPECT_EQ(Window().isVisible(), !c.closed);
    EXPECT_EQ(State().CurrentPage, c.page);
    EXPECT_EQ(State().ParamCount, c.params);
    EXPECT_EQ(m_dialogs.HelpTopics,
              c.helpTopic ? std::vector<int>{c.helpTopic} : std::vector<int>{});
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
        if (f != nullptr && f->parentWidget() != nullptr && f->objectName().isEmpty()) {
            f = f->parentWidget();
        }
        return f != nullptr ? f->objectName() : QString();
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

// The In-Line form with the return variable, a Parameter return with an optional tail, and no
// return with a label, a string and a character: each opens on a decided outcome.
TEST_F(WizardTest, TheCheckWindowOpensDecidedEscapeClosesItAndItsMnemonicsDiffer) {
    codegen::MacroDefinition inLine;
    inLine.Header = {"AddNums", 1, 1, false, "", 2};
    inLine.Params[0] = {"First", 2, "ArgA", false, false};
    inLine.Params[1] = {"Second", 3, "ArgB", false, false};
    inLine.Return = {"AddSub", true, false, {"", 3, "Total", false, false}};
    codegen::MacroDefinition param = inLine;
    param.Header = {"Scale", 2, 2, false, "", 2};
    param.Params[1].Optional = true;
    param.Return.RetArg = {"", 4, "Wide", true, false};
    codegen::MacroDefinition none;
    none.Header = {"Show", 0, 2, false, "", 3};
    none.Params[0] = {"Where", 6, "Dest", false, false};
    none.Params[1] = {"Msg", 9, "Ptr", false, false};
    none.Params[2] = {"Ch", 7, "C", false, false};
    none.Return = {"ShowSub", false, true, {}};
    for (const auto* def : {&inLine, &param, &none}) {
        SCOPED_TRACE(def->Header.MacroName);
        codegen::ResetModule();
        Start();
        NextTo(1);
        OpenSource(
            QByteArray::fromStdString(*macsource::MacroSourceText(*def, def->Header.ArgCount)));
        NextTo(4);
        Click("cmdCheckCall");
        auto* w = Find<CheckCallWindow>("fmCheckCall");
        ASSERT_NE(w, nullptr);
        const QString outcome = w->ResultList()->item(w->ResultList()->count() - 1)->text();
        EXPECT_FALSE(outcome.startsWith("undecided")) << outcome.toStdString();
        if (def->Header.ReturnMethod > 0) {
            EXPECT_TRUE(
                w->CallBox()->text().contains(QString::fromStdString(def->Return.RetArg.VarName)));
        }

        QSet<QChar> keys;
        const auto mnemonic = [&](const QString& text) {
            const qsizetype at = QString(text).replace("&&", "").indexOf(u'&');
            if (at >= 0) {
                const QChar key = QString(text).replace("&&", "").at(at + 1).toUpper();
                EXPECT_FALSE(keys.contains(key)) << "Alt+" << QString(key).toStdString();
                keys.insert(key);
            }
        };
        for (const QLabel* l : w->findChildren<QLabel*>()) {
            mnemonic(l->text());
        }
        for (const QAbstractButton* b : w->findChildren<QAbstractButton*>()) {
            mnemonic(b->text());
        }
        EXPECT_GE(keys.size(), 4);

        QTest::keyClick(w->CallBox(), Qt::Key_Escape);
        EXPECT_FALSE(w->isVisible());
        EXPECT_TRUE(Window().isVisible());
    }
}

TEST(HelpWindowKeys, EscapeClosesIt) {
    QWidget owner;
    owner.show();
    auto* help = new HelpWindow(&owner);
    help->ShowTopic(1020);
    ASSERT_TRUE(help->isVisible());
    QTest::keyClick(help->findChild<QWidget*>("txtHelp"), Qt::Key_Escape);
    EXPECT_FALSE(help->isVisible());
    EXPECT_TRUE(owner.isVisible());
}

} // namespace
} // namespace vmg::wizard::test
