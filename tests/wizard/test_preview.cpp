// The Preview window through the real main window: the answers it follows before Next, the
// refusals it shows, its marks, its keys and its place, and that it writes nothing.
#include "WizardFixture.h"

#include "CodeBox.h"
#include "PreviewWindow.h"
#include "Settings.h"
#include "Text1252.h"

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QDirIterator>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QTest>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextEdit>

#include <functional>

namespace vmg::wizard::test {
namespace {

// In-Line, two parameters; the second variant puts both parameters on the one FSR.
const QByteArray kAddNums = "1,AddNums,1,,1,0,Adds two numbers\r\n2,First,ArgA,2,0,0\r\n"
                            "2,Second,ArgB,3,0,0\r\n3,AddSub,-1,0,Total,3,0,0\r\n";
const QByteArray kOnFsr = "1,AddNums,1,,1,0,Adds two numbers\r\n2,First,ArgA,2,0,0\r\n"
                          "2,Second,FSR,3,0,0\r\n3,AddSub,-1,0,Total,3,0,0\r\n";

class PreviewTest : public WizardTest {
protected:
    // Page 1 with `source` loaded, then the page `page` reached, the preview open on it.
    PreviewWindow* OpenOn(int page, const QByteArray& source = kAddNums) {
        Start();
        NextTo(1);
        OpenSource(source);
        NextTo(page);
        Click("cmdPreview");
        Settle();
        return Window().Preview();
    }
    // The pending update runs.
    static void Settle() { QCoreApplication::processEvents(); }
    static QString OneLine(QString text) { return text.replace(QLatin1String("\n\r"), " "); }
    QStringList Files() const {
        QStringList files;
        QDirIterator it(TempPath(), QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
        while (it.hasNext()) {
            files << it.next();
        }
        files.sort();
        return files;
    }
};

TEST_F(PreviewTest, EachPageReachesThePreviewBeforeNextAndPageFourShowsTheSameText) {
    Start().activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&Window()));
    NextTo(1);
    OpenSource(kAddNums);
    auto* name = Find<QLineEdit>("txtMacroName");
    name->setFocus();
    Click("cmdPreview");
    Settle();
    PreviewWindow* p = Window().Preview();
    ASSERT_NE(p, nullptr);
    EXPECT_TRUE(p->isVisible());
    // The keyboard stays with the answer.
    EXPECT_EQ(QApplication::activeWindow(), &Window());
    EXPECT_EQ(QApplication::focusWidget(), name);
    // Beside the main window where the screen has the room.
    const QRect screen = Window().screen()->availableGeometry();
    if (screen.width() >= Window().frameGeometry().width() + p->frameGeometry().width() + 8) {
        EXPECT_FALSE(p->frameGeometry().intersects(Window().frameGeometry()));
    }
    EXPECT_TRUE(p->CodeBox()->isReadOnly());
    EXPECT_TRUE(p->CodeBox()->toPlainText().contains("AddNums MACRO"));

    Type("txtMacroName", "SumNums");
    Click("chkNoCode");
    Settle();
    EXPECT_TRUE(p->CodeBox()->toPlainText().contains("SumNums MACRO"));
    EXPECT_FALSE(p->CodeBox()->toPlainText().contains("BYTE_BYTE"))
        << "Build Skeleton not followed";
    // A draft only: the kept definition waits for Next.
    EXPECT_EQ(Window().Definition().Header.MacroName, "AddNums");
    EXPECT_FALSE(Window().Definition().Header.Skeleton);
    Click("chkNoCode");
    Settle();
    EXPECT_TRUE(p->CodeBox()->toPlainText().contains("BYTE_BYTE"));
    Next();

    Type("txtParamName", "Alpha");
    Click("chkArgOptional");
    Settle();
    EXPECT_TRUE(p->HintBox()->toPlainText().contains("Alpha"));
    EXPECT_EQ(Window().Definition().Params[0].ArgName, "First");
    Next();

    Type("cmbSubroutineName", "SumSub");
    Settle();
    EXPECT_TRUE(p->CodeBox()->toPlainText().contains("GoSub SumSub"));
    EXPECT_EQ(Window().Definition().Return.SubName, "AddSub");
    EXPECT_TRUE(p->ReasonLine()->text().isEmpty());
    const QString code = p->CodeBox()->toPlainText();
    const QString hint = p->HintBox()->toPlainText();
    Next();
    EXPECT_EQ(Find<QTextEdit>("rtxtCode")->toPlainText(), code);
    Next();
    EXPECT_EQ(Find<QPlainTextEdit>("memoHint")->toPlainText(), hint);
    // Open across pages; the button is for pages 1 to 3.
    EXPECT_TRUE(p->isVisible());
    EXPECT_FALSE(ShownOnPage("cmdPreview"));
}

TEST_F(PreviewTest, AnAnswerNextWouldRefuseKeepsTheLastTextDimmedUnderTheCheckWords) {
    struct Case {
        const char* what;
        int page;
        const QByteArray& source;
        std::function<void(PreviewTest&)> answer;
    };
    const std::vector<Case> cases = {
        {"empty name", 1, kAddNums, [](PreviewTest& t) { t.Type("txtMacroName", ""); }},
        {"invalid name", 1, kAddNums, [](PreviewTest& t) { t.Type("txtMacroName", "1st"); }},
        {"parameter name", 2, kAddNums, [](PreviewTest& t) { t.Type("txtParamName", "A b"); }},
        {"destination", 2, kAddNums, [](PreviewTest& t) { t.Type("cmbDestVarName", "x-y"); }},
        {"register twice", 2, kOnFsr, [](PreviewTest& t) { t.Type("cmbDestVarName", "FSR"); }},
        {"routine", 3, kAddNums, [](PreviewTest& t) { t.Type("cmbSubroutineName", ""); }},
        {"return variable", 3, kAddNums, [](PreviewTest& t) { t.Type("cmbRetVarName", "9Total"); }},
    };
    bool first = true;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        if (!first) {
            StartAgain();
        }
        first = false;
        m_dialogs.Clear();
        PreviewWindow* p = OpenOn(c.page, c.source);
        ASSERT_NE(p, nullptr);
        const QString good = p->CodeBox()->toPlainText();
        EXPECT_FALSE(p->Dimmed());
        c.answer(*this);
        Settle();
        EXPECT_TRUE(p->Dimmed());
        EXPECT_EQ(p->CodeBox()->toPlainText(), good);
        // Next refuses with the same words.
        Next();
        EXPECT_EQ(State().CurrentPage, c.page);
        const QStringList told = m_dialogs.Texts(DialogKind::Information);
        ASSERT_FALSE(told.isEmpty());
        EXPECT_EQ(p->ReasonLine()->text(), OneLine(told.last()));
    }
}

TEST_F(PreviewTest, ChangedLinesAreTintedBroughtIntoViewAndFade) {
    PreviewWindow* p = OpenOn(1);
    ASSERT_NE(p, nullptr);
    p->resize(500, 260);
    Settle();
    QScrollBar* bar = p->CodeBox()->verticalScrollBar();
    ASSERT_GT(bar->maximum(), 0);
    // The name is on the MACRO line near the top: seen from the top, the view stays.
    bar->setValue(0);
    Type("txtMacroName", "SumNums");
    Settle();
    ASSERT_FALSE(p->MarkedCodeLines().empty());
    EXPECT_EQ(bar->value(), 0);
    EXPECT_EQ(p->CodeBox()->extraSelections().size(),
              static_cast<qsizetype>(p->MarkedCodeLines().size()));
    for (const std::size_t line : p->MarkedCodeLines()) {
        EXPECT_TRUE(
            p->CodeBox()->document()->findBlockByNumber(int(line)).text().contains("SumNums"));
    }
    // Seen from the bottom, the first changed line comes into view.
    bar->setValue(bar->maximum());
    Type("txtMacroName", "AddAll");
    Settle();
    ASSERT_FALSE(p->MarkedCodeLines().empty());
    const QTextBlock block =
        p->CodeBox()->document()->findBlockByNumber(int(p->MarkedCodeLines().front()));
    const QRect shown = p->CodeBox()->cursorRect(QTextCursor(block));
    EXPECT_TRUE(p->CodeBox()->viewport()->rect().contains(shown)) << bar->value();
    QTest::qWait(1700);
    EXPECT_TRUE(p->CodeBox()->extraSelections().isEmpty());

    // Updated in place, the text looks as a whole new colouring would make it; also where a
    // lone quote recolours lines the change did not touch.
    const auto looksFresh = [p] {
        QTextDocument fresh;
        codegen::Lines lines;
        for (const QString& l : p->CodeBox()->toPlainText().split(u'\n')) {
            lines.push_back(ToCp1252(l));
        }
        FillCodeDocument(fresh, lines, richtext::HighlighterSettings{});
        QTextDocument* shown = p->CodeBox()->document();
        for (QTextBlock a = shown->begin(), b = fresh.begin(); a.isValid(); a = a.next()) {
            for (auto i = a.begin(), j = b.begin(); !i.atEnd(); ++i, ++j) {
                if (j.atEnd() || i.fragment().length() != j.fragment().length() ||
                    i.fragment().charFormat() != j.fragment().charFormat()) {
                    return false;
                }
            }
            b = b.next();
        }
        return true;
    };
    EXPECT_TRUE(looksFresh());
    for (const char* description : {"Adds \"two", "Adds two", "Adds\nthree lines\nnow"}) {
        Find<QPlainTextEdit>("memoDescription")->setPlainText(description);
        Settle();
        EXPECT_TRUE(looksFresh()) << description;
    }
}

TEST_F(PreviewTest, CancelWithThePreviewOpenWritesNothingButItsPlaceWhichTheNextRunUses) {
    PreviewWindow* p = OpenOn(1);
    ASSERT_NE(p, nullptr);
    p->move(123, 77);
    const QPoint at = p->pos();
    Type("txtMacroName", "Other");
    const QStringList before = Files();
    m_dialogs.Clear();
    Click("cmdNavCancel");
    EXPECT_TRUE(m_dialogs.Calls.empty());
    QStringList after = Files();
    after.removeAll(WizardSettingsFile());
    EXPECT_EQ(after, before);
    // The key made for the place reads as the absent key did.
    EXPECT_EQ(ReadWizardSettings(), DefaultWizardSettings());
    EXPECT_EQ(ReadPreviewPosition(), at);

    StartAgain().activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&Window()));
    NextTo(1);
    // The shortcut opens it, where it was left; Escape closes it.
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_F8);
    ASSERT_NE(Window().Preview(), nullptr);
    EXPECT_TRUE(Window().Preview()->isVisible());
    EXPECT_EQ(Window().Preview()->pos(), at);
    QTest::keyClick(Window().Preview(), Qt::Key_Escape);
    EXPECT_FALSE(Window().Preview()->isVisible());
    // The button's mnemonic opens it too (a click that is drawn first).
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_V, Qt::AltModifier);
    QTest::qWait(300);
    EXPECT_TRUE(Window().Preview()->isVisible());
}

TEST_F(PreviewTest, TheButtonIsOfferedOnPagesOneToThreeInFreeRoomAndTabStaysInTheWizard) {
    Start();
    EXPECT_FALSE(ShownOnPage("cmdPreview"));
    NextTo(1);
    auto* button = Find<QPushButton>("cmdPreview");
    EXPECT_TRUE(ShownOnPage("cmdPreview"));
    EXPECT_TRUE(button->toolTip().contains("F8"));
    for (const char* other : {"cmdNavHelp", "cmdNavCancel"}) {
        EXPECT_FALSE(button->geometry().intersects(Find<QPushButton>(other)->geometry()));
    }
    Find<QLineEdit>("txtMacroName")->setText(QStringLiteral("AddNums"));
    Click("cmdPreview");
    Settle();
    // Its text can be selected and copied, not edited.
    QTextEdit* code = Window().Preview()->CodeBox();
    const QString text = code->toPlainText();
    ASSERT_FALSE(text.isEmpty());
    QApplication::clipboard()->clear();
    code->selectAll();
    QTest::keyClick(code, Qt::Key_C, Qt::ControlModifier);
    QTest::keyClicks(code, "x");
    QTest::keyClick(code, Qt::Key_Delete);
    EXPECT_EQ(QApplication::clipboard()->text(), text);
    EXPECT_EQ(code->toPlainText(), text);
    auto* name = Find<QLineEdit>("txtMacroName");
    name->setFocus();
    for (int i = 0; i < 20; ++i) {
        QTest::keyClick(Window().focusWidget(), Qt::Key_Tab);
        ASSERT_EQ(Window().focusWidget()->window(), &Window());
    }
}

} // namespace
} // namespace vmg::wizard::test
