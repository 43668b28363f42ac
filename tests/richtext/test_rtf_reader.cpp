// The RTF reader: the hint previews, structure, tables, Unicode, and malformed input.
#include "CodeColouring.h"
#include "DocLooks.h"
#include "MacroCodeGenerator.h"
#include "RtfReader.h"

#include <QTextBlock>
#include <QTextDocument>

#include <gtest/gtest.h>

using namespace vmg::richtext;
using vmg::richtext::test::CharLook;
using vmg::richtext::test::Looks;

namespace {

// '.' plain, 'b' bold, 'i' italic, 'B' bold italic; '\n' at paragraph breaks.
std::string styleMask(const QTextDocument& doc) {
    std::string mask;
    for (const CharLook& l : Looks(doc)) {
        mask.push_back(l.Ch == u'\n' ? '\n'
                       : l.Bold      ? (l.Italic ? 'B' : 'b')
                                     : (l.Italic ? 'i' : '.'));
    }
    return mask;
}

QString read(std::string_view rtf) {
    QTextDocument doc;
    ReadRtf(rtf, doc);
    return PlainTextCrLf(doc);
}

std::string rep(char c, int n) {
    return std::string(static_cast<std::size_t>(n), c);
}

} // namespace

TEST(RtfReader, TheFirstHintPreview) {
    const std::string rtf =
        "{\\rtf1\\ansi\\ansicpg1252\\deff0\\deflang2057{\\fonttbl{\\f0\\fnil\\fcharset0 "
        "Arial;}}\\fs16 \\b "
        "Var\\b0  = \\b AddNums\\b0  \\i \\b First\\b0  As BYTE \\b Second\\b0  As WORD \\i0 \\i0 ";
    QTextDocument doc;
    ReadRtf(rtf, doc);
    EXPECT_EQ(PlainTextCrLf(doc), u"Var = AddNums First As BYTE Second As WORD "_qs);
    EXPECT_EQ(styleMask(doc), "bbb...bbbbbbb.BBBBB" + rep('i', 9) + "BBBBBB" + rep('i', 9));
    for (const CharLook& l : Looks(doc)) {
        EXPECT_EQ(l.Family, u"Arial"_qs);
        EXPECT_EQ(l.Points, 8);
        EXPECT_FALSE(l.Colour.isValid());
    }

    // The generator gives this very text for the worked example.
    vmg::codegen::MacroDefinition d;
    d.Header = {"AddNums", 1, 1, false, "", 2};
    d.Params[0] = {"First", 2, "ArgA", false, false};
    d.Params[1] = {"Second", 3, "ArgB", false, false};
    d.Return = {"AddSub", true, false, {"", 3, "Total", false, false}};
    EXPECT_EQ(vmg::codegen::HintLineToRtf(vmg::codegen::KeyBlock(d, 2)[3]), rtf);
}

TEST(RtfReader, TheSecondHintPreviewHasTwoLines) {
    vmg::codegen::MacroDefinition d;
    d.Header = {"SetPtr", 2, 2, false, "", 2};
    d.Params[0] = {"Addr", 3, "FSR0", false, true};
    d.Params[1] = {"Cnt", 2, "X", true, false};
    d.Return = {"PtrSub", false, true, {"", 2, "R", true, true}};
    QTextDocument doc;
    ReadRtf(vmg::codegen::HintLineToRtf(vmg::codegen::KeyBlock(d, 2)[3]), doc);
    EXPECT_EQ(PlainTextCrLf(doc),
              u"SetPtr Addr As WORD  Optional Cnt As BYTE  Optional  ReturnVar As BYTE\r\n"
              u"SetPtr Addr As WORD  Optional Cnt As BYTE "_qs);
    const std::string call = "bbbbbb.BBBB" + rep('i', 19) + "BBB" + rep('i', 9);
    EXPECT_EQ(styleMask(doc), call + rep('.', 11) + rep('b', 9) + rep('.', 8) + "\n" + call);
}

TEST(RtfReader, ParagraphsLinesAndTabs) {
    QTextDocument doc;
    ReadRtf("{\\rtf1 a\\line b\\tab c\\par d\\\r\ne\\cell f\\row\r\ng\\emdash\\ldblquote}", doc);
    ASSERT_EQ(doc.blockCount(), 4);
    EXPECT_EQ(doc.begin().text(), u"a\u2028b\tc"_qs);
    EXPECT_EQ(doc.begin().next().text(), u"d"_qs);
    EXPECT_EQ(doc.begin().next().next().text(), u"e\tf"_qs);
    EXPECT_EQ(doc.lastBlock().text(), u"g\u2014\u201C"_qs);
}

TEST(RtfReader, FontsColoursAndSizes) {
    QTextDocument doc;
    ReadRtf(
        "{\\rtf1\\deff1{\\fonttbl{\\f0\\fnil Arial;}{\\f1\\fmodern{\\*\\panose 02070309}Courier "
        "New{\\*\\falt Cour};}\\f2\\fswiss Caf\\'e9;}"
        "{\\colortbl;\\red255\\green0\\blue0;\\red300\\green-4\\blue128;}"
        "a\\f0\\fs20\\cf1 b\\cf2\\ul c\\ulnone\\cf9\\f7 d\\plain e{\\f2\\cf1 f}g}",
        doc);
    const auto looks = Looks(doc);
    ASSERT_EQ(test::Text(looks), u"abcdefg"_qs);
    const struct {
        QString family;
        qreal points;
        QColor colour;
        bool underline;
    } expected[] = {
        {u"Courier New"_qs, 12, {}, false},           // a: the \deff font at RTF's default size
        {u"Arial"_qs, 10, QColor(255, 0, 0), false},  // b
        {u"Arial"_qs, 10, QColor(255, 0, 128), true}, // c: colour parts held to 0..255
        {u"Courier New"_qs, 10, {}, false},           // d: unknown font and colour numbers
        {u"Courier New"_qs, 12, {}, false},           // e: \plain
        {u"Caf\u00E9"_qs, 12, QColor(255, 0, 0), false},
        {u"Courier New"_qs, 12, {}, false}, // g: the group's changes are undone
    };
    for (std::size_t i = 0; i < looks.size(); ++i) {
        EXPECT_EQ(looks[i].Family, expected[i].family) << i;
        EXPECT_EQ(looks[i].Points, expected[i].points) << i;
        EXPECT_EQ(looks[i].Colour, expected[i].colour) << i;
        EXPECT_EQ(looks[i].Underline, expected[i].underline) << i;
    }
}

TEST(RtfReader, BoldAndItalicSwitches) {
    QTextDocument doc;
    ReadRtf("{\\rtf1 \\b a\\b0 b\\i1 c\\i0 d\\b2\\i e\\plain f{\\b g}h\\b\\i-1 i}", doc);
    EXPECT_EQ(PlainTextCrLf(doc), u"abcdefghi"_qs);
    EXPECT_EQ(styleMask(doc), "b.i.B.b.B");
}

TEST(RtfReader, Unicode) {
    const struct {
        std::string rtf;
        QString text;
    } cases[] = {
        {"{\\rtf1 \\u8364\\'80x}", u"\u20ACx"_qs}, // the fallback is not read as well
        {"{\\rtf1 \\u8364 xy}", u"\u20ACy"_qs},    // a text byte is a fallback too
        {"{\\rtf1 \\u8364}x", u"\u20AC"_qs},       // a brace ends the fallback
        {"{\\rtf1 \\uc0\\u8364 xy}", u"\u20ACxy"_qs},
        {"{\\rtf1 \\uc2\\u8364\\'80\\'80z}", u"\u20ACz"_qs},
        {"{\\rtf1 \\uc2\\u8364\\b zz}", u"\u20ACz"_qs}, // a control word counts one
        {"{\\rtf1 \\u8364\\bin3 abcz}", u"\u20ACz"_qs}, // a whole \bin counts one
        {"{\\rtf1 \\u-3\\'3f}", u"\uFFFD"_qs},
        {"{\\rtf1 \\u-10179\\'3f\\u-8704\\'3f}", QString::fromUtf8("\xF0\x9F\x98\x80")},
        {"{\\rtf1 \\u-10179\\'3f x}", u"\uFFFD x"_qs},        // a high half alone
        {"{\\rtf1 \\u-8704\\'3f}", u"\uFFFD"_qs},             // a low half alone
        {"{\\rtf1 \\u70000?\\u-70000?}", u"\uFFFD\uFFFD"_qs}, // beyond 16 bits
        {"{\\rtf1 \\uc99\\u65?BC}", u"A"_qs},                 // \uc held to 8
        {"{\\rtf1 \\u0?\\u13?\\u9?}", u"\t"_qs},              // controls are not text
        {"{\\rtf1 \\'e9\\'80\\'41\\'0d}", u"\u00E9\u20ACA"_qs},
        {"{\\rtf1 a\\'81\\u128?\\u65532?b\\u8233?c}", u"ab\r\nc"_qs}, // what the writer would drop
        {"{\\rtf1 caf\xE9}", u"caf\u00E9"_qs},                        // a raw byte of the code page
    };
    for (const auto& c : cases) {
        EXPECT_EQ(read(c.rtf), c.text) << c.rtf;
    }
}

TEST(RtfReader, SkipsWhatIsNotText) {
    const struct {
        std::string rtf;
        QString text;
    } cases[] = {
        {"{\\rtf1{\\*\\unknown x{y}}{\\info{\\title t}{\\author u}}{\\stylesheet{\\s0 Normal;}}a}",
         u"a"_qs},
        {"{\\rtf1{\\pict\\wmetafile8 0123{}abcdef}b}", u"b"_qs},
        {"{\\rtf1{\\field{\\*\\fldinst HYPERLINK \"x\"}{\\fldrslt shown}}}", u"shown"_qs},
        {"{\\rtf1 a\\bin3 {}}b}", u"ab"_qs},
        {"{\\rtf1 a\\unknownword5 b\\xyz c}", u"abc"_qs},
        {"{\\rtf1 a\\-b\\~c\\_d\\|e\\:f}", u"ab\u00A0c\u2011def"_qs},
        {"{\\rtf1 \\\\\\{\\}}", u"\\{}"_qs},
        {"{\\rtf1 a\r\nb\nc\td}", u"abc\td"_qs},
        {"{\\rtf1 a}b{c}", u"a"_qs}, // the outermost group is the whole document
        {"plain text", u"plain text"_qs},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(read(c.rtf), c.text) << c.rtf;
    }
}

TEST(RtfReader, MalformedInput) {
    const std::string deep = std::string(100000, '{') + "x" + std::string(100000, '}');
    const std::string shallow = std::string(100, '{') + "y";
    const struct {
        std::string rtf;
        QString text;
    } cases[] = {
        {"", u""_qs},
        {"{", u""_qs},
        {"\\", u""_qs},
        {"{\\rtf1 abc", u"abc"_qs}, // open groups at the end are normal
        {"}}}{\\rtf1 x", u"x"_qs},  // closing braces without an opening one
        {"{\\rtf1 \\fs99999999999999999999 x\\fs-5 y}", u"xy"_qs},
        {"{\\rtf1 \\b99999999999999999999999999999999999 x}", u"x"_qs},
        {"{\\rtf1 a\\'4", u"a4"_qs}, // the escape is dropped, what follows stays
        {"{\\rtf1 a\\'zz b}", u"azz b"_qs},
        {"{\\rtf1 a\\'", u"a"_qs},
        {"{\\rtf1 a\\u", u"a"_qs},
        {"{\\rtf1 a\\u-", u"a-"_qs},
        {"{\\rtf1 a\\bin99999999 xyz}", u"a"_qs}, // \bin skips no more than there is
        {"{\\rtf1 a\\bin-5 b}", u"ab"_qs},
        {"{\\rtf1 \\" + std::string(40, 'x') + " a}", u"a"_qs}, // an over-long word is dropped
        {"{\\rtf1 \\cf99999\\f-3\\uc-7 a}", u"a"_qs},
        {"{\\rtf1{\\colortbl" + std::string(10000, ';') + "}\\cf9999 a}", u"a"_qs},
        {"{\\rtf1\\par\\par}", u"\r\n\r\n"_qs},
        {std::string("{\\rtf1 a\0b}", 11), u"ab"_qs},
        {deep, u""_qs}, // content beyond the depth limit is skipped
        {shallow, u"y"_qs},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(read(c.rtf), c.text) << c.rtf.substr(0, 80);
    }
}

TEST(RtfReader, ReplacesWhatTheDocumentHeld) {
    QTextDocument doc;
    doc.setPlainText(u"old\ntext"_qs);
    ReadRtf("{\\rtf1 new}", doc);
    EXPECT_EQ(doc.toPlainText(), u"new"_qs);
    EXPECT_EQ(doc.blockCount(), 1);
}
