// Code colouring: hand-made texts checked character by character against masks, and generated
// macros and random texts against the colouring rules applied plainly to their CR LF text.
#include "CodeColouring.h"
#include "Cp1252.h"
#include "DocLooks.h"
#include "MacroCodeGenerator.h"

#include <QTextCursor>
#include <QTextDocument>

#include <gtest/gtest.h>

#include <cctype>
#include <random>

using namespace vmg::richtext;
using vmg::richtext::test::CharLook;
using vmg::richtext::test::Looks;

namespace {

// A colour per class, so that a mask letter names exactly one look; styles as the IDE's defaults.
HighlighterSettings settings() {
    HighlighterSettings s;
    s.FontName = QStringLiteral("DejaVu Sans Mono");
    s.FontSize = 10;
    s.DeclareColor = 0x0000FF;       // red, bold
    s.SFRColor = 0x00FF00;           // green, plain
    s.StringColor = 0xFF0000;        // blue, plain
    s.KeywordVorlanColor = 0x00FFFF; // yellow, bold
    s.CommentColor = 0xFF00FF;       // magenta, italic
    return s;
}

struct Expected {
    QColor Colour;
    bool Bold;
    bool Italic;
};

// '.' uncoloured, 'd' directive, 'r' register, 's' string, 'k' keyword, 'c' comment.
Expected expectedFor(char letter) {
    switch (letter) {
    case 'd':
        return {QColor(255, 0, 0), true, false};
    case 'r':
        return {QColor(0, 255, 0), false, false};
    case 's':
        return {QColor(0, 0, 255), false, false};
    case 'k':
        return {QColor(255, 255, 0), true, false};
    case 'c':
        return {QColor(255, 0, 255), false, true};
    default:
        return {QColor(0, 0, 0), false, false};
    }
}

char letterOf(const CharLook& look) {
    for (const char letter : std::string(".drskc")) {
        const Expected e = expectedFor(letter);
        if (look.Colour == e.Colour && look.Bold == e.Bold && look.Italic == e.Italic) {
            return letter;
        }
    }
    return '?';
}

// The mask of a coloured document, with '\n' at its paragraph breaks.
std::string maskOf(const QTextDocument& doc) {
    std::string mask;
    for (const CharLook& look : Looks(doc)) {
        mask.push_back(look.Ch == u'\n' ? '\n' : letterOf(look));
    }
    return mask;
}

std::string coloured(const QString& text, const HighlighterSettings& s = settings()) {
    QTextDocument doc;
    doc.setPlainText(text);
    ColourCode(doc, s);
    return maskOf(doc);
}

// ---- The rules applied plainly to CR LF text, for comparison ----

bool isWordByte(char c) {
    return c == '_' || QChar(Cp1252ToUnicode(static_cast<unsigned char>(c))).isLetterOrNumber();
}

bool sameIgnoringCase(std::string_view a, std::string_view b) {
    return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
        return std::toupper(static_cast<unsigned char>(x)) ==
               std::toupper(static_cast<unsigned char>(y));
    });
}

std::string referenceMask(const std::string& text) {
    std::string mask(text.size(), '.');
    const auto words = [&](std::initializer_list<std::string_view> list, char letter) {
        for (const std::string_view w : list) {
            for (std::size_t i = 0; i + w.size() <= text.size();) {
                const bool hit = sameIgnoringCase(std::string_view(text).substr(i, w.size()), w) &&
                                 (i == 0 || !isWordByte(text[i - 1])) &&
                                 (i + w.size() == text.size() || !isWordByte(text[i + w.size()]));
                if (hit) {
                    std::fill_n(mask.begin() + static_cast<std::ptrdiff_t>(i), w.size(), letter);
                }
                i += hit ? w.size() : 1;
            }
        }
    };
    const auto spans = [&](std::string_view open, std::string_view close, char letter) {
        for (std::size_t pos = 0;;) {
            const std::size_t o = text.find(open, pos);
            const std::size_t c = o == std::string::npos ? o : text.find(close, o + open.size());
            if (c == std::string::npos) {
                return;
            }
            std::fill(mask.begin() + static_cast<std::ptrdiff_t>(o),
                      mask.begin() + static_cast<std::ptrdiff_t>(c) + 1, letter);
            pos = c + 2;
        }
    };
    words({"MACRO", "#IF", "#ELSE", "#ENDIF", "ENDM", "#ERROR"}, 'd');
    words({"FSR", "FSR0L", "FSR1L", "FSR2L"}, 'r');
    spans("\"", "\"", 's');
    words({"GoTo", "GoSub"}, 'k');
    spans("'", "\r\n", 'c');
    return mask;
}

// Colours the CR LF text as a document and compares each character with the plain rules.
void expectSameAsReference(const std::string& crlf) {
    QTextDocument doc;
    doc.setPlainText(DecodeCp1252(crlf));
    ASSERT_EQ(EncodeCp1252(PlainTextCrLf(doc)), crlf);
    ColourCode(doc, settings());
    const std::string reference = referenceMask(crlf);
    std::string expected;
    for (std::size_t i = 0; i < crlf.size(); ++i) {
        if (crlf[i] == '\r') {
            expected.push_back('\n');
            ++i; // the LF
        } else {
            expected.push_back(reference[i]);
        }
    }
    ASSERT_EQ(maskOf(doc), expected) << crlf;
}

vmg::codegen::MacroDefinition definition(int target, int returnMethod,
                                         const std::string& description) {
    vmg::codegen::MacroDefinition d;
    d.Header = {"TestMac", returnMethod, target, false, description, vmg::codegen::kMaxParams};
    for (int i = 0; i < vmg::codegen::kMaxParams; ++i) {
        auto& a = d.Params[static_cast<std::size_t>(i)];
        // Appended, not "Arg" + std::to_string(i): GCC 12 at -O3 warns falsely (-Wrestrict).
        a = {std::string("Arg").append(std::to_string(i)), 2 + i % 8,
             i % 5 == 0 ? std::string("FSR0L") : std::string("V").append(std::to_string(i)), i > 12,
             i % 3 == 0};
    }
    d.Return = {"TheSub", returnMethod != 1, returnMethod == 1, {"", 3, "Result", false, true}};
    return d;
}

} // namespace

TEST(CodeColouring, HandMadeTexts) {
    const struct {
        const char* what;
        QString text;
        std::string mask;
    } cases[] = {
        {"GoTo inside a string takes the keyword colour", u"x \"a GoTo b\" y"_qs,
         "..sss"
         "kkkk"
         "sss.."},
        {"MACRO inside a string keeps the string colour", u"\"MACRO\" MACRO"_qs, "sssssss.ddddd"},
        {"a comment runs to its line's end, quotes and keywords included",
         u"a 'c \"q\" GoTo MACRO\nGoTo"_qs, ".." + std::string(17, 'c') + "\nkkkk"},
        {"a comment's search goes on at the next line's first character", u"'a\n'b\n\"c\""_qs,
         "cc\ncc\nsss"},
        {"words that only begin or end with a listed word stay plain",
         u"MACROS GoToX _GoTo GoTo_ FSR0 xFSR #IFDEF a#IF FSR0L"_qs,
         std::string(47, '.') + "rrrrr"},
        {"listed words in any letter case",
         u"macro goto GOSUB #if #Else #endif endm #error fsr fsr1l"_qs,
         "ddddd.kkkk.kkkkk.ddd.ddddd.dddddd.dddd.dddddd.rrr.rrrrr"},
        {"punctuation is a word boundary", u"#IF(GoTo)"_qs, "ddd.kkkk."},
        {"a lone quote pairs with the next one, lines apart", u"a \" b\nGoTo c\nd \" e"_qs,
         "..sss\nkkkkss\nsss.."},
        {"one character after a closing quote is skipped", u"\"a\"\"b\" x \"c\""_qs,
         "sss..sssss.."},
        {"an apostrophe inside a string starts a comment", u"\"it's\" GoTo\nx"_qs,
         "sss"
         "cccccccc\n."},
        {"a quote in a comment still pairs across lines", u"a ' \"b\nc\" GoTo"_qs,
         "..cccc\nss.kkkk"},
        {"a comment on a last line without a line break is left", u"GoTo 'x"_qs, "kkkk..."},
        {"non-ASCII letters touch a word too", u"\u00E9GoTo \U0001D400GoTo GoTo\u00E9"_qs,
         std::string(18, '.')},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(coloured(c.text), c.mask) << c.what;
    }
}

TEST(CodeColouring, StyleLettersInEitherCase) {
    const struct {
        QString style;
        bool bold;
        bool italic;
    } cases[] = {
        {u" "_qs, false, false},   {u""_qs, false, false}, {u"b"_qs, true, false},
        {u"I"_qs, false, true},    {u"iB"_qs, true, true}, {u"XYZ"_qs, false, false},
        {u"bold"_qs, true, false},
    };
    for (const auto& c : cases) {
        HighlighterSettings s = settings();
        s.DeclareStyle = c.style;
        QTextDocument doc;
        doc.setPlainText(u"#ELSE"_qs);
        ColourCode(doc, s);
        for (const CharLook& look : Looks(doc)) {
            EXPECT_EQ(look.Bold, c.bold) << c.style.toStdString();
            EXPECT_EQ(look.Italic, c.italic) << c.style.toStdString();
            EXPECT_EQ(look.Colour, QColor(255, 0, 0));
        }
    }
}

TEST(CodeColouring, FontAndSizeFromTheSettingsEverywhere) {
    const struct {
        int size;
        qreal points;
    } cases[] = {{10, 10},
                 {5000, kMaxFontPoints},
                 {0, QTextDocument().defaultFont().pointSizeF()},
                 {-3, QTextDocument().defaultFont().pointSizeF()}};
    for (const auto& c : cases) {
        HighlighterSettings s = settings();
        s.FontSize = c.size;
        QTextDocument doc;
        doc.setPlainText(u"GoTo \"x\" 'y\nz"_qs);
        ColourCode(doc, s);
        EXPECT_EQ(doc.defaultFont().family(), s.FontName);
        for (const CharLook& look : Looks(doc)) {
            if (look.Ch != u'\n') {
                EXPECT_EQ(look.Family, s.FontName);
                EXPECT_EQ(look.Points, c.points) << c.size;
            }
        }
        EXPECT_EQ(doc.defaultFont().pointSizeF(), c.points);
    }
}

TEST(CodeColouring, TheDefaultColoursOfTheIde) {
    QTextDocument doc;
    doc.setPlainText(u"MACRO \"s\" 'c\n"_qs);
    ColourCode(doc, HighlighterSettings{});
    const auto looks = Looks(doc);
    EXPECT_EQ(looks[0].Colour, QColor(0x80, 0, 0)); // maroon
    EXPECT_TRUE(looks[0].Bold);
    EXPECT_EQ(looks[6].Colour, QColor(0, 0x80, 0)); // green
    EXPECT_FALSE(looks[6].Bold);
    EXPECT_EQ(looks[10].Colour, QColor(0, 0, 0x80)); // navy
    EXPECT_TRUE(looks[10].Italic);
    EXPECT_EQ(ColourFromWindows(0xFF123456), QColor(0x56, 0x34, 0x12));
}

TEST(CodeColouring, IsOneUndoStep) {
    QTextDocument doc;
    doc.setPlainText(u"MACRO GoTo 'x\n"_qs);
    ColourCode(doc, settings());
    ASSERT_TRUE(doc.isUndoAvailable());
    doc.undo();
    EXPECT_FALSE(doc.isUndoAvailable());
    for (const CharLook& look : Looks(doc)) {
        EXPECT_FALSE(look.Colour.isValid());
    }
}

TEST(CodeColouring, GeneratedMacrosFollowTheRules) {
    using vmg::codegen::JoinCrLf;
    using vmg::codegen::MacroLines;
    const std::string descriptions[] = {
        "Plain words",
        "Says \"GoTo\" and it's fine\r\nsecond line with MACRO",
        "A lone \" quote",
        "",
    };
    for (int target = 0; target <= 2; ++target) {
        for (int ret = 0; ret <= 2; ++ret) {
            for (const std::string& description : descriptions) {
                for (const int n : {0, 1, 7, 20}) {
                    SCOPED_TRACE(description + " n=" + std::to_string(n));
                    expectSameAsReference(
                        JoinCrLf(MacroLines(definition(target, ret, description), n)));
                }
            }
        }
    }
}

TEST(CodeColouring, SpotChecksOnAGeneratedMacro) {
    vmg::codegen::MacroDefinition d;
    d.Header = {"AddNums", 1, 1, false, "Adds two numbers", 2};
    d.Params[0] = {"First", 2, "FSR", false, false};
    d.Params[1] = {"Second", 3, "ArgB", false, false};
    d.Return = {"AddSub", true, false, {"", 3, "Total", false, false}};
    QTextDocument doc;
    doc.setPlainText(DecodeCp1252(vmg::codegen::JoinCrLf(vmg::codegen::MacroLines(d, 2))));
    ColourCode(doc, settings());
    const QString text = doc.toPlainText();
    const std::string mask = maskOf(doc);
    const auto maskAt = [&](const QString& what, int skip = 0) {
        qsizetype at = text.indexOf(what);
        while (skip-- > 0) {
            at = text.indexOf(what, at + 1);
        }
        EXPECT_GE(at, 0) << what.toStdString();
        return mask.substr(static_cast<std::size_t>(at), static_cast<std::size_t>(what.size()));
    };
    EXPECT_EQ(maskAt(u"'Adds two numbers"_qs), std::string(17, 'c'));
    EXPECT_EQ(maskAt(u"AddNums MACRO "_qs), "........ddddd.");
    EXPECT_EQ(maskAt(u"#ERROR \"AddNums - Too many parameters\""_qs),
              "dddddd." + std::string(31, 's'));
    EXPECT_EQ(maskAt(u"GoSub AddSub"_qs), "kkkkk.......");
    EXPECT_EQ(maskAt(u"ENDM"_qs), "dddd");
}

TEST(CodeColouring, RandomTextsFollowTheRules) {
    const std::vector<std::string> tokens = {
        "GoTo",   "gosub",  "MACRO", "#IF", "#ifdef", "FSR", "FSR0L", "fsr2l",
        "ENDM",   "'",      "\"",    "x",   "_",      "1",   " ",     "\r\n",
        "a#else", "#ERROR", "endm",  "\t",  "\xE9",   "(",
    };
    std::mt19937 rng(20240611);
    std::uniform_int_distribution<std::size_t> pick(0, tokens.size() - 1);
    std::uniform_int_distribution<int> length(0, 60);
    for (int round = 0; round < 400; ++round) {
        std::string text;
        for (int n = length(rng); n > 0; --n) {
            text += tokens[pick(rng)];
        }
        if (round % 2 == 0) {
            text += "\r\n";
        }
        SCOPED_TRACE(round);
        expectSameAsReference(text);
    }
}

TEST(CodeColouring, PlainTextJoinsLinesWithCrLf) {
    const struct {
        QString text;
        QString crlf;
    } cases[] = {
        {u""_qs, u""_qs},
        {u"a\nb"_qs, u"a\r\nb"_qs},
        {u"a\n"_qs, u"a\r\n"_qs},
        {u"\n\n"_qs, u"\r\n\r\n"_qs},
        {u"a\u2028b\u00A0"_qs, u"a\r\nb\u00A0"_qs}, // a line break inside a paragraph too
    };
    for (const auto& c : cases) {
        QTextDocument doc;
        doc.setPlainText(c.text);
        EXPECT_EQ(PlainTextCrLf(doc), c.crlf) << c.text.toStdString();
    }
    // Colouring maps across a line break inside a paragraph as across a paragraph break.
    QTextDocument doc;
    doc.setPlainText(u"'a\u2028GoTo"_qs);
    ColourCode(doc, settings());
    EXPECT_EQ(maskOf(doc), "ccckkkk");
}

TEST(CodeColouring, EmptyMarksFindNothing) {
    EXPECT_TRUE(FindWords(u"abc", u"").empty());
    EXPECT_TRUE(FindSpans(u"abc", u"", u"c").empty());
    EXPECT_TRUE(FindSpans(u"abc", u"a", u"").empty());
}
