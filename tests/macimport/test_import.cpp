// The importer: generate, import, generate again gives the same bytes; refusals name the
// first line that departs; the keyword block fills in what the text cannot tell.
#include "MacroImport.h"
#include "RandomDefinitions.h"
#include "WorkedExamples.h"

#include <gtest/gtest.h>

#include <random>

using namespace vmg;
using namespace vmg::macimport;
using codegen::JoinCrLf;
using codegen::MacroLines;

namespace {

std::string withLineEnds(const codegen::Lines& lines, std::string_view eol) {
    std::string out;
    for (const auto& l : lines) {
        out += l;
        out += eol;
    }
    return out;
}

// The count checks as the earlier wizard wrote them for a Parameter return: n - 1 and M + 1.
codegen::Lines withOldBounds(codegen::Lines lines, int n) {
    for (std::string& l : lines) {
        if (l == "#IF (PRM_COUNT > " + std::to_string(n + 1) + ")") {
            l = "#IF (PRM_COUNT > " + std::to_string(n - 1) + ")";
        } else if (l.starts_with("\t#IF (PRM_COUNT < ")) {
            l = "\t#IF (PRM_COUNT < " + std::to_string(std::stoi(l.substr(18)) + 1) + ")";
        }
    }
    return lines;
}

ImportResult importOnly(const std::string& text, const KeywordHint* hint = nullptr) {
    const auto places = FindMacros(text);
    EXPECT_EQ(places.size(), 1u);
    return places.empty() ? ImportResult{} : ImportMacro(text, places.front(), hint);
}

} // namespace

// For every definition the wizard can make, its text comes back byte for byte: between other
// code and another macro, in any line ends, from the earlier count bounds too; given the
// macro's keyword block, the optional flags and the target come back as they were.
TEST(Import, RoundTripOverRandomDefinitions) {
    std::mt19937 rng(18);
    const char* const eols[] = {"\r\n", "\n", "\r"};
    int tried = 0, old = 0;
    const int rounds = 2000 / codegen::examples::kPropertyShare;
    for (int round = 0; round < rounds; ++round) {
        const auto d = codegen::examples::RandomDefinition(rng, {20, true, true});
        const int n = d.Header.ArgCount;
        const codegen::Lines lines = MacroLines(d, n);
        const bool oldBounds = d.Header.ReturnMethod == 2 && n > 0 && round % 3 == 0;
        const std::string eol = eols[round % 3];
        const std::string text = "Dim X As Byte" + eol + "Other MACRO  P1" + eol + "ENDM" + eol +
                                 withLineEnds(oldBounds ? withOldBounds(lines, n) : lines, eol) +
                                 "Main:" + eol + "GoTo Main";
        const auto places = FindMacros(text);
        ASSERT_EQ(places.size(), 2u);
        const auto hint =
            FindKeywordHint(JoinCrLf(codegen::KeyBlock(d, n)), d.Header.MacroName, "hint");
        ASSERT_TRUE(hint);
        for (const KeywordHint* h : {static_cast<const KeywordHint*>(nullptr), &*hint}) {
            const ImportResult r = ImportMacro(text, places[1], h);
            ASSERT_TRUE(r.Ok) << r.Message << "\n" << JoinCrLf(lines);
            ++tried;
            EXPECT_EQ(JoinCrLf(MacroLines(r.Definition, r.ParamCount)), JoinCrLf(lines));
            EXPECT_EQ(r.OldBounds, oldBounds);
            EXPECT_EQ(r.FirstLine, 4);
            EXPECT_EQ(r.LastLine, 3 + static_cast<int>(lines.size()));
            if (h == nullptr) {
                continue;
            }
            EXPECT_EQ(r.Definition.Header.Target, d.Header.Target);
            for (int i = 0; i < n; ++i) {
                EXPECT_EQ(r.Definition.Params[static_cast<std::size_t>(i)].Optional,
                          d.Params[static_cast<std::size_t>(i)].Optional)
                    << "parameter " << i + 1;
            }
        }
        old += oldBounds ? 1 : 0;
    }
    EXPECT_EQ(tried, 2 * rounds);
    EXPECT_GT(old, rounds / 25);
}

TEST(Import, RefusalsNameTheFirstLineThatDeparts) {
    const codegen::Lines add = MacroLines(codegen::examples::AddNums(), 2);
    const auto edited = [&](auto change) {
        codegen::Lines l = add;
        change(l);
        return "x = 1\r\n" + JoinCrLf(l); // the macro starts on line 2
    };
    const struct {
        const char* what;
        std::string text;
        std::string message;
    } cases[] = {
        {"a deleted #ENDIF", edited([](auto& l) { l.erase(l.begin() + 13); }),
         "line 15: expected #ENDIF, found #IF (PRM_1 == BYTE)"},
        {"an edited move line", edited([](auto& l) { l[27] = "\t\t\tWORD_WORD P2, ArgC"; }),
         "line 29: expected WORD_WORD P2, ArgB, found WORD_WORD P2, ArgC"},
        {"a name in other letters", edited([](auto& l) { l[27] = "\t\t\tWORD_WORD p2, ArgB"; }),
         "line 29: expected WORD_WORD P2, ArgB, found WORD_WORD p2, ArgB"},
        {"a message in other letters",
         edited([](auto& l) { l[6] = "\t\t#ERROR \"ADDNUMS - Too few parameters\""; }),
         "line 8: expected #ERROR \"AddNums - Too few parameters\", found #ERROR \"ADDNUMS - Too "
         "few "
         "parameters\""},
        {"blanks inside a message",
         edited([](auto& l) { l[6] = "\t\t#ERROR \"AddNums -  Too few parameters\""; }),
         "line 8: expected #ERROR \"AddNums - Too few parameters\", found #ERROR \"AddNums -  Too "
         "few "
         "parameters\""},
        {"an ENDM inside", edited([](auto& l) { l.insert(l.begin() + 40, "ENDM"); }),
         "line 42: expected #ENDIF, found ENDM"},
        {"a second ENDM", edited([](auto& l) {
             l.push_back("\t");
             l.push_back("endm");
         }),
         "line 56: a second ENDM (the macro ends on line 54)"},
        {"a truncated file", edited([](auto& l) {
             l.resize(30);
             l.back().resize(5);
         }),
         "line 31: the text ends inside the macro, before its ENDM"},
        {"another tool's macro", "Blink MACRO a, b\r\n  mov a, b\r\nENDM\r\n",
         "line 1: expected Blink MACRO , found Blink MACRO a, b"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const ImportResult r = importOnly(c.text);
        EXPECT_FALSE(r.Ok);
        EXPECT_EQ(r.Message, c.message);
    }
}

// What an editor does without changing the meaning imports, with a note; the generator's text
// of the result is the original.
TEST(Import, AnEditorsLayoutImportsWithANote) {
    codegen::MacroDefinition d = codegen::examples::AddNums();
    const codegen::Lines add = MacroLines(d, 2);
    const auto edited = [&](auto change) {
        codegen::Lines l = add;
        for (std::string& line : l) {
            change(line);
        }
        return "x = 1\r\n" + JoinCrLf(l);
    };
    const auto replaceAll = [](std::string& s, std::string_view from, std::string_view to) {
        for (std::size_t at = s.find(from); at != std::string::npos; at = s.find(from, at)) {
            s.replace(at, from.size(), to);
            at += to.size();
        }
    };
    const struct {
        const char* what;
        std::string text;
        std::string layout;
    } cases[] = {
        {"tabs to spaces", edited([&](std::string& l) { replaceAll(l, "\t", "    "); }),
         "47 lines differ from the generator's in indentation only"},
        {"runs of blanks and trailing blanks", edited([&](std::string& l) {
             replaceAll(l, "MACRO  P1", "MACRO P1");
             replaceAll(l, " P2, ", "\tP2,   ");
             if (l.starts_with("\t\tGoSub")) {
                 l += " \t ";
             }
         }),
         "6 lines differ from the generator's in blanks between words and trailing blanks only"},
        {"keywords in other letter case", edited([&](std::string& l) {
             for (const char* w : {"#IF", "#ELSE", "#ENDIF", "#ERROR", "ENDM", "GoSub", "NUM16"}) {
                 std::string lower(w);
                 for (char& c : lower) {
                     c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
                 }
                 replaceAll(l, w, lower);
             }
             replaceAll(l, "MACRO", "Macro");
         }),
         "43 lines differ from the generator's in letter case of the compiler's words only"},
        {"a move line one level out", edited([&](std::string& l) {
             if (l == "\t\t\tWORD_WORD P2, ArgB") {
                 l = "\t\tWORD_WORD P2, ArgB";
             }
         }),
         "1 line differs from the generator's in indentation only"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const ImportResult r = importOnly(c.text);
        ASSERT_TRUE(r.Ok) << r.Message;
        EXPECT_EQ(JoinCrLf(MacroLines(r.Definition, r.ParamCount)), JoinCrLf(add));
        EXPECT_EQ(r.LastLine, 1 + static_cast<int>(add.size()));
        ASSERT_FALSE(r.Notes.empty());
        EXPECT_EQ(r.Notes.back(), "layout: " + c.layout + ", which the compiler reads the same");
    }
    const ImportResult exact = importOnly("x = 1\r\n" + JoinCrLf(add));
    ASSERT_TRUE(exact.Ok);
    EXPECT_EQ(exact.LayoutLines, 0);
}

// What the text cannot tell: from the keyword block, else the wizard's default.
TEST(Import, DeducedFieldsAndTheirSources) {
    codegen::MacroDefinition d = codegen::examples::AddNums();
    d.Header.Target = 1;
    d.Params[0].Optional = true; // optional before the last mandatory parameter
    d.Params[1].DataType = 7;    // ASCII Char: Allow Alt does not show
    d.Params[1].AllowAlt = true;
    const std::string text = JoinCrLf(MacroLines(d, 2));

    ImportResult r = importOnly(text);
    ASSERT_TRUE(r.Ok) << r.Message;
    EXPECT_EQ(r.Definition.Header.Target, 0);
    EXPECT_FALSE(r.Definition.Params[0].Optional);
    EXPECT_FALSE(r.Definition.Params[1].AllowAlt);
    EXPECT_EQ(r.Notes, (std::vector<std::string>{
                           "target: Both (0), the wizard's default (the text reads the same for "
                           "14 Bit (1) and 16 Bit (2))",
                           "Allow Alt of parameter 2: off, the wizard's default; its type has no "
                           "alternative kinds to show it",
                           "Optional of parameter 1, before the last mandatory parameter 2: off, "
                           "as the wizard keeps it; the text cannot tell"}));

    // The block in a USER.MCD among others, its name in other letters.
    const std::string userMcd = "KEY (\"Other\")\r\n\tDeviceCore = [dc16]\r\nENDKEY\r\n" +
                                JoinCrLf(codegen::KeyBlock(d, 2)).replace(6, 7, "addnums");
    const auto hint = FindKeywordHint(userMcd, "AddNums", "USER.MCD");
    ASSERT_TRUE(hint);
    EXPECT_EQ(hint->KeyLine, 4);
    r = importOnly(text, &*hint);
    ASSERT_TRUE(r.Ok) << r.Message;
    EXPECT_EQ(r.Definition.Header.Target, 1);
    EXPECT_TRUE(r.Definition.Params[0].Optional);
    EXPECT_EQ(r.Notes[0],
              "target: 14 Bit (1), from DeviceCore = [dc12, dc14] of the keyword "
              "block in USER.MCD (the text reads the same for Both (0) and 16 Bit (2))");
    EXPECT_EQ(r.Notes[2], "Optional of parameter 1, before the last mandatory parameter 2: from "
                          "the Optional words of the keyword block in USER.MCD");

    // A 16-bit macro whose destinations are FSR0 and FSR1: the FSRnL names tell the target.
    d = codegen::examples::AddNums();
    d.Header.Target = 2;
    d.Params[0].VarName = "FSR0";
    d.Params[1].VarName = "FSR1";
    r = importOnly(JoinCrLf(MacroLines(d, 2)));
    ASSERT_TRUE(r.Ok) << r.Message;
    EXPECT_EQ(r.Definition.Header.Target, 2);
    EXPECT_EQ(r.Definition.Params[1].VarName, "FSR1");
}

// A saved _mac.rtf (tabs as \tab, 8-bit characters escaped, one \par between lines) reads as
// the text it shows.
TEST(Import, RichTextFileReadsAsItsText) {
    codegen::MacroDefinition d = codegen::examples::AddNums();
    d.Header.Description = "Caf\xE9 {sums}";
    std::string rtf = "{\\rtf1\\ansi\\ansicpg1252\\deff0{\\fonttbl{\\f0\\fmodern Courier New;}}"
                      "{\\colortbl;\\red0\\green0\\blue255;}\r\n\\f0\\fs20 ";
    for (const std::string& line : MacroLines(d, 2)) {
        for (const char c : line) {
            rtf += c == '\t'     ? std::string("\\tab ")
                   : c == '{'    ? std::string("\\{")
                   : c == '}'    ? std::string("\\}")
                   : c == '\xE9' ? std::string("\\'e9")
                                 : std::string(1, c);
        }
        rtf += "\\cf1\\par\r\n\\cf0 ";
    }
    rtf += "}";
    const ImportResult r = importOnly(CodeText(rtf));
    ASSERT_TRUE(r.Ok) << r.Message;
    EXPECT_EQ(r.Definition.Header.Description, d.Header.Description);
    EXPECT_EQ(MacroLines(r.Definition, 2), MacroLines(d, 2));
    EXPECT_EQ(CodeText("plain\r\n"), "plain\r\n");
}
