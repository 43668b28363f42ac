// The RTF writer: its exact output where it matters, writer-reader round trips, a syntax
// highlighter's colours, and an independent reader (unrtf) on a saved code file.
#include "CodeColouring.h"
#include "Cp1252.h"
#include "DocLooks.h"
#include "MacroCodeGenerator.h"
#include "RtfReader.h"
#include "RtfWriter.h"

#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QSyntaxHighlighter>
#include <QTemporaryDir>
#include <QTextCursor>
#include <QTextDocument>

#include <gtest/gtest.h>

#include <random>

using namespace vmg::richtext;
using vmg::richtext::test::CharLook;
using vmg::richtext::test::Looks;

namespace {

// The body of the written file: what follows the header's \pard...\cf0 and its blank.
std::string body(const std::string& rtf) {
    const std::size_t start = rtf.find("\\cf0 ");
    return rtf.substr(start + 5, rtf.size() - start - 5 - 3);
}

std::string writePlain(const QString& text) {
    QTextDocument doc;
    doc.setPlainText(text);
    return DocumentToRtf(doc);
}

void insert(QTextCursor& cursor, const QString& text, const QColor& colour, bool bold,
            bool italic = false) {
    QTextCharFormat f;
    if (colour.isValid()) {
        f.setForeground(colour);
    }
    f.setFontWeight(bold ? QFont::Bold : QFont::Normal);
    f.setFontItalic(italic);
    cursor.insertText(text, f);
}

// Both documents show the same characters with the same look.
void expectSameLooks(const QTextDocument& a, const QTextDocument& b) {
    const auto la = Looks(a);
    const auto lb = Looks(b);
    ASSERT_EQ(test::Text(la), test::Text(lb));
    for (std::size_t i = 0; i < la.size(); ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(la[i].Colour, lb[i].Colour);
        EXPECT_EQ(la[i].Bold, lb[i].Bold);
        EXPECT_EQ(la[i].Italic, lb[i].Italic);
        EXPECT_EQ(la[i].Underline, lb[i].Underline);
        EXPECT_EQ(la[i].Family, lb[i].Family);
        EXPECT_EQ(la[i].Points, lb[i].Points);
    }
}

} // namespace

TEST(RtfWriter, HeaderAndTables) {
    QTextDocument doc;
    QFont base(u"Courier New"_qs);
    base.setPointSize(8);
    doc.setDefaultFont(base);
    QTextCursor cursor(&doc);
    insert(cursor, u"a"_qs, QColor(0, 0, 255), false);
    insert(cursor, u"b"_qs, QColor(163, 21, 21), false);
    insert(cursor, u"c"_qs, QColor(0, 0, 255), false);
    insert(cursor, u"d"_qs, QColor(), false);
    const std::string rtf = DocumentToRtf(doc);
    EXPECT_EQ(rtf.rfind("{\\rtf1\\ansi\\ansicpg1252\\deff0\\uc1\r\n{\\fonttbl{\\f0\\f", 0), 0u)
        << rtf;
    EXPECT_NE(rtf.find("\\fcharset0 Courier New;}}\r\n"), std::string::npos) << rtf;
    EXPECT_NE(rtf.find("{\\colortbl ;\\red0\\green0\\blue255;\\red163\\green21\\blue21;}\r\n"
                       "\\pard\\plain\\f0\\fs16\\cf0 "),
              std::string::npos)
        << rtf;
    EXPECT_EQ(body(rtf), "\\cf1 a\\cf2 b\\cf1 c\\cf0 d");
    EXPECT_EQ(rtf.substr(rtf.size() - 3), "}\r\n");
}

TEST(RtfWriter, EscapesText) {
    const struct {
        QString text;
        std::string rtf;
    } cases[] = {
        {u"a\\b{c}d"_qs, "a\\\\b\\{c\\}d"},
        {u"caf\u00E9 \u20AC \u00FF"_qs, "caf\\'e9 \\'80 \\'ff"},
        {u"\u4E2D1"_qs, "\\u20013\\'3f1"},
        {u"\uFFFF"_qs, "\\u-1\\'3f"},
        {QString::fromUtf8("\xF0\x9F\x98\x80"), "\\u-10179\\'3f\\u-8704\\'3f"},
        {QString(QChar(0xDC00)), "\\u-3\\'3f"},
        {u"\ta\u2028b"_qs, "\\tab a\\line b"},
        {u"x\u0001\u007F\u0085\uFFFCy"_qs, "xy"},
        {u"a\nb"_qs, "a\\par\r\nb"},
        {u"\n"_qs, "\\par\r\n"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(body(writePlain(c.text)), c.rtf) << c.text.toStdString();
    }
}

TEST(RtfWriter, ABlankEndsEveryChangeOfLook) {
    QTextDocument doc;
    QTextCursor cursor(&doc);
    insert(cursor, u"x"_qs, QColor(), true);
    insert(cursor, u"1"_qs, QColor(), false);
    insert(cursor, u" y"_qs, QColor(), false, true);
    insert(cursor, u"z"_qs, QColor(1, 2, 3), true, true);
    EXPECT_EQ(body(DocumentToRtf(doc)), "\\b x\\b0 1\\i  y\\cf1\\b z");
}

TEST(RtfWriter, RandomDocumentsSurviveARoundTrip) {
    const QString pieces[] = {
        u"a"_qs,      u"Zq"_qs,     u"0"_qs,      u"12"_qs,
        u" "_qs,      u"  "_qs,     u"\\"_qs,     u"{"_qs,
        u"}"_qs,      u"\t"_qs,     u";"_qs,      u"\u00E9"_qs,
        u"\u20AC"_qs, u"\u00FF"_qs, u"\u00A0"_qs, u"\u4E2D"_qs,
        u"\u2028"_qs, u"'\""_qs,    u"?"_qs,      QString::fromUtf8("\xF0\x9F\x98\x80"),
    };
    const QString families[] = {u"Courier New"_qs, u"Arial"_qs, u"Times New Roman"_qs, QString()};
    const qreal sizes[] = {8, 9.5, 10, 12, 20, 0};
    const QColor colours[] = {QColor(), QColor(0, 0, 0), QColor(255, 0, 0), QColor(0, 0x80, 0),
                              QColor(18, 52, 86)};
    std::mt19937 rng(6);
    const auto any = [&rng](const auto& list) {
        return list[std::uniform_int_distribution<std::size_t>(0, std::size(list) - 1)(rng)];
    };
    std::bernoulli_distribution coin(0.3);
    for (int round = 0; round < 150; ++round) {
        QTextDocument doc;
        const QString family = any(families);
        QFont base(family.isEmpty() ? u"Arial"_qs : family);
        base.setPointSizeF(11);
        base.setBold(round % 7 == 0);
        doc.setDefaultFont(base);
        QTextCursor cursor(&doc);
        for (int n = std::uniform_int_distribution<int>(0, 40)(rng); n > 0; --n) {
            if (coin(rng) && coin(rng)) {
                cursor.insertBlock();
            }
            QTextCharFormat f;
            if (const QString family = any(families); !family.isEmpty()) {
                f.setFontFamilies(QStringList{family});
            }
            if (const qreal size = any(sizes); size > 0) {
                f.setFontPointSize(size);
            }
            if (const QColor colour = any(colours); colour.isValid()) {
                f.setForeground(colour);
            }
            if (coin(rng)) {
                f.setFontWeight(coin(rng) ? QFont::Bold : QFont::DemiBold);
            } else if (coin(rng)) {
                f.setFontWeight(QFont::Normal);
            }
            if (coin(rng)) {
                f.setFontItalic(true);
            }
            if (coin(rng) && coin(rng)) {
                f.setFontUnderline(true);
            }
            cursor.insertText(any(pieces), f);
        }
        SCOPED_TRACE(round);
        const std::string rtf = DocumentToRtf(doc);
        for (const char c : rtf) {
            ASSERT_TRUE(c == '\r' || c == '\n' || (c >= 0x20 && c < 0x7F)) << "not plain ASCII";
        }
        QTextDocument back;
        ReadRtf(rtf, back);
        back.setDefaultFont(base); // the file does not carry the box's own font
        expectSameLooks(doc, back);
        EXPECT_EQ(DocumentToRtf(back), rtf);
    }
}

TEST(RtfWriter, ColouredCodeSurvivesARoundTrip) {
    vmg::codegen::MacroDefinition d;
    d.Header = {"Mix", 2, 0, false, "Uses 'quotes' and \"GoTo\"\r\nand caf\xE9", 3};
    d.Params[0] = {"A", 2, "FSR0L", false, true};
    d.Params[1] = {"B", 9, "Buf", true, false};
    d.Params[2] = {"C", 6, "Lbl", true, true};
    d.Return = {"Sub", true, false, {"", 5, "Res", true, true}};
    QTextDocument doc;
    doc.setPlainText(DecodeCp1252(vmg::codegen::JoinCrLf(vmg::codegen::MacroLines(d, 3))));
    ColourCode(doc, HighlighterSettings{});
    QTextDocument back;
    ReadRtf(DocumentToRtf(doc), back);
    expectSameLooks(doc, back);
    EXPECT_EQ(PlainTextCrLf(back), PlainTextCrLf(doc));
}

namespace {

// Colours every "foo" through the block layout, as a live highlighter does.
class FooHighlighter : public QSyntaxHighlighter {
public:
    using QSyntaxHighlighter::QSyntaxHighlighter;

protected:
    void highlightBlock(const QString& text) override {
        QTextCharFormat f;
        f.setForeground(QColor(200, 0, 0));
        f.setFontWeight(QFont::Bold);
        for (qsizetype at = text.indexOf(u"foo"); at >= 0; at = text.indexOf(u"foo", at + 1)) {
            setFormat(static_cast<int>(at), 3, f);
        }
    }
};

} // namespace

TEST(RtfWriter, ReadsTheColoursOfASyntaxHighlighter) {
    QTextDocument doc;
    doc.setPlainText(u"a foo b\nfoofoo"_qs);
    FooHighlighter highlighter(&doc);
    highlighter.rehighlight();
    QTextDocument back;
    ReadRtf(DocumentToRtf(doc), back);
    std::string mask;
    for (const CharLook& l : Looks(back)) {
        mask.push_back(l.Ch == u'\n' ? '\n' : l.Colour == QColor(200, 0, 0) && l.Bold ? 'h' : '.');
    }
    EXPECT_EQ(mask, "..hhh..\nhhhhhh");
}

TEST(RtfWriter, EmptyDocument) {
    QTextDocument doc;
    const std::string rtf = DocumentToRtf(doc);
    QTextDocument back;
    back.setPlainText(u"x"_qs);
    ReadRtf(rtf, back);
    EXPECT_TRUE(back.isEmpty());
}

namespace {

QString decodeEntities(QString html) {
    static const QRegularExpression tag(u"<[^>]*>"_qs);
    static const QRegularExpression number(u"&#(\\d+);"_qs);
    html.remove(tag);
    QString out;
    qsizetype last = 0;
    for (auto it = number.globalMatch(html); it.hasNext();) {
        const auto m = it.next();
        out += html.mid(last, m.capturedStart() - last);
        out += QChar::fromUcs4(m.captured(1).toUInt()).operator QStringView().toString();
        last = m.capturedEnd();
    }
    out += html.mid(last);
    out.replace(u"&quot;"_qs, u"\""_qs).replace(u"&lt;"_qs, u"<"_qs).replace(u"&gt;"_qs, u">"_qs);
    out.replace(u"&nbsp;"_qs, u" "_qs)
        .replace(u"&eacute;"_qs, u"\u00E9"_qs)
        .replace(u"&amp;"_qs, u"&"_qs);
    return out;
}

QString blanksNormalised(const QString& text) {
    return text.simplified();
}

} // namespace

TEST(RtfWriter, UnrtfReadsASavedCodeFile) {
    const QString unrtf = QStandardPaths::findExecutable(u"unrtf"_qs);
    if (unrtf.isEmpty()) {
        GTEST_SKIP() << "unrtf is not installed";
    }
    vmg::codegen::MacroDefinition d;
    d.Header = {"Saved", 2, 2, false, "Keeps <tags> & \"quotes\" caf\xE9", 2};
    d.Params[0] = {"Src", 3, "FSR1L", false, true};
    d.Params[1] = {"Cnt", 2, "Count", true, false};
    d.Return = {"DoIt", false, true, {"", 2, "Out", true, true}};
    QTextDocument doc;
    doc.setPlainText(DecodeCp1252(vmg::codegen::JoinCrLf(vmg::codegen::MacroLines(d, 2))));
    HighlighterSettings s;
    s.DeclareColor = 0x0000FF;
    ColourCode(doc, s);

    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString path = dir.filePath(u"Saved_mac.rtf"_qs);
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    const std::string rtf = DocumentToRtf(doc);
    file.write(rtf.data(), static_cast<qint64>(rtf.size()));
    file.close();

    QProcess process;
    process.start(unrtf, {u"--html"_qs, path});
    ASSERT_TRUE(process.waitForFinished(30000));
    ASSERT_EQ(process.exitCode(), 0) << process.readAllStandardError().toStdString();
    const QString html = QString::fromUtf8(process.readAllStandardOutput());
    const qsizetype bodyAt = html.indexOf(u"<body>"_qs);
    ASSERT_GE(bodyAt, 0);
    EXPECT_EQ(blanksNormalised(decodeEntities(html.mid(bodyAt))),
              blanksNormalised(doc.toPlainText()));
    EXPECT_TRUE(html.contains(u"<font color=\"#ff0000\"><b>MACRO</b>"_qs)) << html.toStdString();
    EXPECT_TRUE(html.contains(u"<i>"_qs));
}
