// The code and hint review pages as the user meets them: the code in the IDE's font and colours
// with the caret at its start, exactly the generated lines, and the hint block with its preview.
// (Edits kept by Back and replaced by Next are tested with the frame.)
#include "WizardFixture.h"

#include "CodeFont.h"
#include "Finish.h"
#include "MacroCodeGenerator.h"
#include "Text1252.h"

#include <QApplication>
#include <QClipboard>
#include <QFontInfo>
#include <QPlainTextEdit>
#include <QTest>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextEdit>

namespace vmg::wizard::test {
namespace {

const QByteArray kAddNums = "1,AddNums,1,,1,0,Adds two numbers\r\n2,First,ArgA,2,0,0\r\n"
                            "2,Second,ArgB,3,0,0\r\n3,AddSub,-1,0,Total,3,0,0\r\n";

// What one character of a box shows.
struct Look {
    QColor Colour;
    bool Bold = false;
    bool Italic = false;
    bool operator==(const Look&) const = default;
};

std::ostream& operator<<(std::ostream& os, const Look& l) {
    return os << l.Colour.name().toStdString() << (l.Bold ? " bold" : "")
              << (l.Italic ? " italic" : "");
}

QTextCharFormat FormatAt(const QTextDocument& doc, int position) {
    QTextCursor cursor(const_cast<QTextDocument*>(&doc));
    cursor.setPosition(position + 1);
    return cursor.charFormat();
}

Look LookAt(const QTextDocument& doc, int position) {
    const QTextCharFormat f = FormatAt(doc, position);
    return {f.foreground().color(), f.fontWeight() >= QFont::DemiBold, f.fontItalic()};
}

class ReviewPagesTest : public WizardTest {
protected:
    // The two-parameter example loaded on page 1, then Next up to `page`.
    void LoadAndGoTo(int page) {
        Start();
        NextTo(1);
        OpenSource(kAddNums);
        NextTo(page);
    }
    QTextEdit* CodeBox() { return Find<QTextEdit>("rtxtCode"); }
    QPlainTextEdit* HintBox() { return Find<QPlainTextEdit>("memoHint"); }
};

// A system without the code's face (a fresh Windows lacks Courier New) still shows code and
// the hint in a fixed-pitch face, so that its columns line up.
TEST_F(ReviewPagesTest, CodeFallsBackToAFixedPitchFace) {
    for (const char* face : {"Courier New", "No Such Face"}) {
        EXPECT_TRUE(QFontInfo(richtext::CodeFont(QLatin1String(face), 9)).fixedPitch()) << face;
    }
    StoreHighlighterSettings({{"FontName", "No Such Face"}, {"FontSize", 10}});
    LoadAndGoTo(5);
    const QTextCharFormat code = FormatAt(*CodeBox()->document(), 5);
    EXPECT_EQ(code.fontFamilies().toStringList().value(0), QStringLiteral("No Such Face"))
        << "the IDE's face is still the one asked for (and saved)";
    EXPECT_TRUE(QFontInfo(code.font()).fixedPitch())
        << QFontInfo(code.font()).family().toStdString();
    EXPECT_TRUE(QFontInfo(HintBox()->font()).fixedPitch())
        << QFontInfo(HintBox()->font()).family().toStdString();
}

TEST_F(ReviewPagesTest, TheCodeShowsTheIdesFontAndColoursWithTheCaretAtTheStart) {
    StoreHighlighterSettings({{"FontName", "DejaVu Sans Mono"},
                              {"FontSize", 11},
                              {"DeclareColor", 0x0000FF},
                              {"DeclareStyle", "i"},
                              {"CommentColor", 0xFF0000},
                              {"CommentStyle", "B"},
                              {"KeywordVorlanColor", 0x00FF00},
                              {"KeywordVorlanStyle", "BI"},
                              {"StringColor", 0x808000},
                              {"StringStyle", " "},
                              {"SFRColor", 0x008000},
                              {"SFRStyle", " "}});
    LoadAndGoTo(4);
    const QTextDocument& doc = *CodeBox()->document();

    struct Spot {
        const char* find; // the first occurrence, letter case as written
        int offset;       // the character of it that is looked at
        Look want;
    };
    const Spot spots[] = {
        {"'Adds two numbers", 0, {QColor(0, 0, 255), true, false}},  // comment
        {"'Adds two numbers", 16, {QColor(0, 0, 255), true, false}}, // its last letter
        {"AddNums MACRO", 0, {QColor(Qt::black), false, false}},     // plain text
        {"MACRO", 0, {QColor(255, 0, 0), false, true}},              // directive
        {"#ENDIF", 5, {QColor(255, 0, 0), false, true}},
        {"\"AddNums - Too many", 0, {QColor(0, 128, 128), false, false}}, // string
        {"\"AddNums - Too many", 3, {QColor(0, 128, 128), false, false}},
        {"GoSub", 4, {QColor(0, 255, 0), true, true}}, // keyword
    };
    for (const Spot& s : spots) {
        SCOPED_TRACE(s.find);
        const QTextCursor found =
            doc.find(QString::fromLatin1(s.find), 0, QTextDocument::FindCaseSensitively);
        ASSERT_FALSE(found.isNull());
        const int at = found.selectionStart() + s.offset;
        EXPECT_EQ(LookAt(doc, at), s.want);
        const QTextCharFormat f = FormatAt(doc, at);
        EXPECT_EQ(f.fontFamilies().toStringList().value(0), QStringLiteral("DejaVu Sans Mono"));
        EXPECT_EQ(f.fontPointSize(), 11);
    }

    const QTextCursor caret = CodeBox()->textCursor();
    EXPECT_EQ(caret.position(), 0);
    EXPECT_FALSE(caret.hasSelection());
    EXPECT_EQ(CodeBox()->font().family(), QStringLiteral("DejaVu Sans Mono"));
}

TEST_F(ReviewPagesTest, TheCodeBoxHoldsExactlyTheGeneratedLines) {
    LoadAndGoTo(4);
    const QTextDocument& doc = *CodeBox()->document();
    const codegen::Lines& lines = codegen::GenerateMacro(State().ParamCount);
    // No empty line after the last one for the caret to land on ...
    EXPECT_EQ(doc.blockCount(), static_cast<int>(lines.size()));
    EXPECT_EQ(doc.lastBlock().text(), QStringLiteral("ENDM"));
    // ... and the text that Finish pastes is the generated text, every line ended once.
    EXPECT_EQ(CodeTextCrLf(doc), FromCp1252(codegen::JoinCrLf(lines)));
}

TEST_F(ReviewPagesTest, UndoRightAfterArrivingLeavesTheColouredCode) {
    LoadAndGoTo(4);
    const QString before = CodeBox()->toPlainText();
    CodeBox()->setFocus();
    QTest::keyClick(CodeBox(), Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(CodeBox()->toPlainText(), before);
    const QTextCursor macro = CodeBox()->document()->find(QStringLiteral("MACRO"));
    ASSERT_FALSE(macro.isNull());
    EXPECT_EQ(LookAt(*CodeBox()->document(), macro.selectionStart()),
              (Look{QColor(128, 0, 0), true, false}));

    // What the user types can be undone as usual.
    QTest::keyClicks(CodeBox(), QStringLiteral("X"));
    QTest::keyClick(CodeBox(), Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(CodeBox()->toPlainText(), before);
}

TEST_F(ReviewPagesTest, TheHintPageShowsTheBlockAndItsPreview) {
    LoadAndGoTo(5);
    QPlainTextEdit* memo = HintBox();
    EXPECT_EQ(memo->font().family(), QStringLiteral("Courier New"));
    EXPECT_EQ(memo->font().pointSize(), 8);
    QStringList want;
    for (const std::string& line : codegen::BuildKeyBlock(State().ParamCount)) {
        want << FromCp1252(line);
    }
    EXPECT_EQ(memo->toPlainText(), want.join(u'\n')) << "no empty line after the last";
    EXPECT_EQ(memo->textCursor().position(), 0);

    auto* demo = Find<QTextEdit>("rtxtHintDemo");
    EXPECT_EQ(demo->toPlainText(), QStringLiteral("Var = AddNums First As BYTE Second As WORD "));
    EXPECT_EQ(demo->palette().color(QPalette::Base),
              QApplication::palette(demo).color(QPalette::Midlight));
    EXPECT_EQ(demo->textCursor().position(), 0);
    const QTextCursor name = demo->document()->find(QStringLiteral("AddNums"));
    ASSERT_FALSE(name.isNull());
    EXPECT_TRUE(LookAt(*demo->document(), name.selectionStart()).Bold);
    EXPECT_FALSE(demo->document()->isUndoAvailable());
}

// A block pasted after a dark red bold directive takes the box's plain look, as the saved rich
// text does; undo takes the whole paste back.
TEST_F(ReviewPagesTest, TextPastedIntoTheCodeBoxTakesThePlainLook) {
    LoadAndGoTo(4);
    QTextEdit* box = CodeBox();
    const QString before = box->toPlainText();
    const QTextCursor macro = box->document()->find(QStringLiteral("MACRO"));
    ASSERT_FALSE(macro.isNull());
    QTextCursor caret = box->textCursor();
    caret.setPosition(macro.selectionEnd());
    box->setTextCursor(caret);
    box->setFocus();
    QApplication::clipboard()->setText(QStringLiteral("\r\nPasted = 1\r\nMore = 2"));
    QTest::keyClick(box, Qt::Key_V, Qt::ControlModifier);
    ASSERT_TRUE(box->toPlainText().contains(QStringLiteral("MACRO\nPasted = 1\nMore = 2")))
        << box->toPlainText().toStdString();
    const Look plain{QColor(Qt::black), false, false};
    for (const char* find : {"Pasted", "= 2"}) {
        const QTextCursor at = box->document()->find(QString::fromLatin1(find));
        ASSERT_FALSE(at.isNull());
        EXPECT_EQ(LookAt(*box->document(), at.selectionStart()), plain) << find;
        EXPECT_EQ(FormatAt(*box->document(), at.selectionStart()).font().family(),
                  box->font().family());
    }
    EXPECT_EQ(LookAt(*box->document(), macro.selectionStart()),
              (Look{QColor(128, 0, 0), true, false}));
    QTest::keyClick(box, Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(box->toPlainText(), before);
}

// Text the compiler's files (code page 1252) cannot hold is refused where it is typed: Next
// names each such character once, the page stays and the box keeps the text; é and € pass.
TEST_F(ReviewPagesTest, TextOutsideCodePage1252IsRefusedOnNextWhereItIsTyped) {
    const QString bad = QString::fromUtf8("é€ \xF0\x9F\x98\x80\xE6\xBC\xA2\xE5\xAD\x97 \xCE\xA9 "
                                          "\xC5\x9D\xCE\xA9\xE2\x80\x8B");
    const QString named =
        QString::fromUtf8("\xF0\x9F\x98\x80 \xE6\xBC\xA2 \xE5\xAD\x97 \xCE\xA9 \xC5\x9D U+200B");
    const QString good = QString::fromUtf8("é € fine");
    struct Case {
        int page;
        const char* box;
        const char* what;
    };
    const Case cases[] = {{1, "memoDescription", "The description"},
                          {4, "rtxtCode", "The code"},
                          {5, "memoHint", "The hint"}};
    LoadAndGoTo(1);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.box);
        NextTo(c.page);
        QWidget* box = Find<QWidget>(c.box);
        const auto replaceText = [box](const QString& text) {
            box->setFocus();
            QTest::keyClick(box, Qt::Key_A, Qt::ControlModifier);
            QTest::sendKeyEvent(QTest::Click, box, Qt::Key_unknown, text, Qt::NoModifier);
        };
        replaceText(bad);
        m_dialogs.Clear();
        Next();
        EXPECT_EQ(State().CurrentPage, c.page);
        EXPECT_EQ(m_dialogs.Texts(DialogKind::Information),
                  QStringList{QLatin1String(c.what) +
                              QStringLiteral(" holds characters that the compiler's files cannot "
                                             "hold: ") +
                              named + QStringLiteral("\n\nPlease replace them to continue.")});
        EXPECT_EQ(box->property("plainText").toString(), bad);
        EXPECT_EQ(Window().focusWidget(), box);
        replaceText(good);
        Next();
        EXPECT_EQ(State().CurrentPage, c.page + 1) << m_dialogs.Transcript().toStdString();
    }
    EXPECT_EQ(codegen::Definition().Header.Description, "\xE9 \x80 fine");
}

} // namespace
} // namespace vmg::wizard::test
