// The call check: reading and lint of macro texts, evaluation of calls, the call-line
// assumptions, and --all-kinds over the generator's own output.
#include "CallCheck.h"
#include "MacroCodeGenerator.h"
#include "PageDeclarations.h"
#include "RandomDefinitions.h"
#include "WorkedExamples.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>

using namespace vmg;
using namespace vmg::callcheck;

namespace {

MacroText generated(const codegen::MacroDefinition& def) {
    return ReadMacro(codegen::JoinCrLf(codegen::MacroLines(def, def.Header.ArgCount)));
}

PageNames addNumsPage() {
    return {{{"Counter", "WORD"}, {"Total", "WORD"}, {"Small", "BYTE"}, {"Buf", "BYTE_ARRAY_PTR"}},
            {"Start"}};
}

std::vector<std::string> expansionTexts(const Outcome& o) {
    std::vector<std::string> out;
    for (const auto& l : o.lines) {
        out.push_back(l.text);
    }
    return out;
}

} // namespace

// ---- The worked examples ----

TEST(CallCheckExamples, GeneratedTextsLintCleanWithTheirCountRanges) {
    const MacroText add = generated(codegen::examples::AddNums());
    EXPECT_TRUE(add.findings.empty()) << FormatFindings(add.findings);
    EXPECT_EQ(add.name, "AddNums");
    EXPECT_EQ(add.paramFormals, 2);
    EXPECT_EQ(DescribeCounts(PassingCounts(add)), "2");

    // SetPtr: Addr alone, with Cnt, and with the optional return argument.
    const MacroText set = generated(codegen::examples::SetPtr());
    EXPECT_TRUE(set.findings.empty()) << FormatFindings(set.findings);
    EXPECT_TRUE(set.hasReturnValue);
    EXPECT_EQ(DescribeCounts(PassingCounts(set)), "1-3");
}

TEST(CallCheckExamples, AddNumsCallsPassOrFireTheRightError) {
    const MacroText add = generated(codegen::examples::AddNums());
    struct Case {
        const char* call;
        Outcome::Kind kind;
        int line;
        std::string text;
        std::vector<std::string> expansion;
    };
    const Case cases[] = {
        {"Total = AddNums 5, Counter",
         Outcome::Kind::Expansion,
         0,
         "",
         {"NUM_BYTE 5, ArgA", "WORD_WORD Counter, ArgB", "GoSub AddSub", "WORD_WORD Total, Total"}},
        {"Total = AddNums Small, 300",
         Outcome::Kind::Expansion,
         0,
         "",
         {"BYTE_BYTE Small, ArgA", "NUM_WORD 300, ArgB", "GoSub AddSub", "WORD_WORD Total, Total"}},
        {"Total = AddNums 5, 6, 7",
         Outcome::Kind::ErrorFired,
         4,
         "AddNums - Too many parameters",
         {}},
        {"Total = AddNums 5", Outcome::Kind::ErrorFired, 7, "AddNums - Too few parameters", {}},
        {"Total = AddNums Counter, 6",
         Outcome::Kind::ErrorFired,
         10,
         "AddNums - First(Param1) Should be a Byte variable or number",
         {}},
        {"Total = AddNums 5, Start",
         Outcome::Kind::ErrorFired,
         13,
         "AddNums - Second(Param2) Should be a Word variable or number",
         {}},
        {"AddNums 5, 6",
         Outcome::Kind::ErrorFired,
         42,
         "AddNums - Mandatory return parameter misssing",
         {}},
        {"Small = AddNums 5, 6",
         Outcome::Kind::ErrorFired,
         45,
         "AddNums - Return variable should be a Word variable",
         {}},
        {"Total = AddNums 5, Nowhere", Outcome::Kind::Undecided, 12, "PRM_2 has no value", {}},
        // The call ends at a comment mark or a statement separator outside quotes.
        {"Total = AddNums 5, 6 ' comment, 7",
         Outcome::Kind::Expansion,
         0,
         "",
         {"NUM_BYTE 5, ArgA", "NUM_WORD 6, ArgB", "GoSub AddSub", "WORD_WORD Total, Total"}},
        {"Total = AddNums 5, 6; comment",
         Outcome::Kind::Expansion,
         0,
         "",
         {"NUM_BYTE 5, ArgA", "NUM_WORD 6, ArgB", "GoSub AddSub", "WORD_WORD Total, Total"}},
        {"Total = AddNums 5, 6 : Small = 1, 2",
         Outcome::Kind::Expansion,
         0,
         "",
         {"NUM_BYTE 5, ArgA", "NUM_WORD 6, ArgB", "GoSub AddSub", "WORD_WORD Total, Total"}},
        {"Total = AddNums 5, \"'\" : \":\"",
         Outcome::Kind::ErrorFired,
         13,
         "AddNums - Second(Param2) Should be a Word variable or number",
         {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.call);
        const CallAnalysis call = AnalyseCall(c.call, add, addNumsPage());
        const Outcome o = Evaluate(add, call.bindings);
        EXPECT_EQ(o.kind, c.kind);
        if (c.kind != Outcome::Kind::Expansion) {
            EXPECT_EQ(o.line, c.line);
            EXPECT_EQ(o.text, c.text);
        }
        EXPECT_EQ(expansionTexts(o), c.expansion);
    }
}

TEST(CallCheckExamples, SetPtrFullCallPassesAndAnOverrideReachesTheCounts) {
    const MacroText set = generated(codegen::examples::SetPtr());
    const PageNames page{{{"Buf", "WORD"}, {"R", "BYTE"}}, {}};
    CallAnalysis call = AnalyseCall("SetPtr Buf, 3, R", set, page);
    EXPECT_EQ(call.returnArg, 3);
    EXPECT_EQ(call.bindings.symbols.at("PRM_COUNT"), Value::Number(3));
    EXPECT_EQ(call.bindings.symbols.at("LST_PRM_TYPE"), Value::Word("BYTE"));
    EXPECT_EQ(call.bindings.symbols.at("SETPTR_LST_PRM"), Value::Number(1));
    Outcome o = Evaluate(set, call.bindings);
    EXPECT_EQ(expansionTexts(o), (std::vector<std::string>{"WORD_WORD Buf, FSR0L", "NUM_BYTE 3, _X",
                                                           "GoTo PtrSub", "BYTE_BYTE _R, R"}));
    EXPECT_EQ(Evaluate(set, AnalyseCall("SetPtr Buf, 3, R, R", set, page).bindings).text,
              "SetPtr - Too many parameters");

    // An override reaches the count checks like a real count.
    Bindings forced = call.bindings;
    SetSymbol(forced, "PRM_COUNT", Value::Number(0));
    o = Evaluate(set, forced);
    EXPECT_EQ(o.text, "SetPtr - Too few parameters");
}

// ---- Lint ----

TEST(CallCheckLint, EachFindingFromASmallBrokenText) {
    struct Case {
        const char* text;
        int line;
        Severity severity;
        std::string finding;
    };
    const Case cases[] = {
        {"M MACRO\n#ELSE\nENDM", 2, Severity::Error, "#ELSE without #IF"},
        {"M MACRO\n#ENDIF\nENDM", 2, Severity::Error, "#ENDIF without #IF"},
        {"M MACRO\n#IF (PRM_COUNT == 1)\n#ELSE\n#ELSE\n#ENDIF\nENDM", 4, Severity::Error,
         "a second #ELSE in the #IF block of line 2"},
        {"M MACRO\n#IF (PRM_COUNT == 1)\nENDM", 2, Severity::Error, "#IF left open before ENDM"},
        {"M MACRO\nx = 1", 0, Severity::Error, "no ENDM"},
        {"M MACRO\nENDM\nENDM", 3, Severity::Error, "a second ENDM (the first is on line 2)"},
        {"M MACRO\nENDM\nGoTo Here", 3, Severity::Error, "text after ENDM"},
        {"#IF (PRM_COUNT == 1)\n#ENDIF\nENDM", 0, Severity::Error, "no MACRO header"},
        {"x = 1\nM MACRO\nENDM", 1, Severity::Error, "text before the MACRO header"},
        {"M MACRO\n#ERROR \"M - broken\nENDM", 2, Severity::Error,
         "#ERROR without its closing quote"},
        {"M MACRO  P1\n\t P1, Dest\nENDM", 2, Severity::Warning, "a move line with no command"},
        {"M MACRO  P1\nNUM_BYTE P2, Dest\nENDM", 2, Severity::Error,
         "P2 is used, but the header has no such formal"},
        {"M MACRO\n#IF (COUNTER == 1)\n#ENDIF\nENDM", 2, Severity::Error, "unknown symbol COUNTER"},
        {"M MACRO\n#IF (PRM_COUNT == )\n#ENDIF\nENDM", 2, Severity::Error,
         "the #IF condition cannot be read: \")\" is no symbol or value"},
        {"M MACRO\n#IF\n#ENDIF\nENDM", 2, Severity::Error,
         "the #IF condition cannot be read: no condition"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        const MacroText m = ReadMacro(c.text);
        ASSERT_EQ(m.findings.size(), 1u) << FormatFindings(m.findings);
        EXPECT_EQ(m.findings[0], (Finding{c.line, c.severity, c.finding}));
    }
}

TEST(CallCheckLint, ReadsEveryLineEndAndBothIfSpellings) {
    for (const char* eol : {"\r\n", "\n", "\r"}) {
        const std::string text = std::string("'c") + eol + "M MACRO  P1" + eol +
                                 "#IF(PRM_1 !=BYTE)||(PRM_1==NUM8)" + eol + "x" + eol + "#ELSE" +
                                 eol + "y P1" + eol + "#ENDIF" + eol + "ENDM" + eol;
        const MacroText m = ReadMacro(text);
        EXPECT_TRUE(m.findings.empty()) << FormatFindings(m.findings);
        Bindings b;
        b.symbols["PRM_1"] = Value::Word("byte");
        b.formals["P1"] = "\xE9t\xE9";
        EXPECT_EQ(expansionTexts(Evaluate(m, b)), std::vector<std::string>{"y \xE9t\xE9"});
    }
    EXPECT_EQ(ReadMacro("").findings.size(), 2u); // no header, no ENDM
}

TEST(CallCheckLint, ADeletedEndifInGeneratedTextIsFound) {
    auto lines = codegen::MacroLines(codegen::examples::AddNums(), 2);
    lines.erase(lines.begin() + 13); // line 14, the #ENDIF of the second kind test
    const MacroText m = ReadMacro(codegen::JoinCrLf(lines));
    ASSERT_FALSE(m.findings.empty());
    EXPECT_TRUE(HasErrors(m.findings));
    EXPECT_EQ(m.findings.front().line, 3);
    EXPECT_EQ(m.findings.front().text, "#IF left open before ENDM");
}

// ---- Expressions ----

TEST(CallCheckExpr, ThreeValuedComparisons) {
    struct Case {
        const char* expr;
        Outcome::Kind kind; // Expansion: true branch taken
        bool taken;
    };
    const Case cases[] = {
        {"(A_RETURN >= 2) && (PRM_9 == BYTE)", Outcome::Kind::Expansion, false}, // false && ?
        {"(A_RETURN < 2) || (PRM_9 == BYTE)", Outcome::Kind::Expansion, true},   // true || ?
        {"(A_RETURN < 2) && (PRM_9 == BYTE)", Outcome::Kind::Undecided, false},
        {"(PRM_1 < BYTE)", Outcome::Kind::Undecided, false},
        {"(PRM_1 == word)", Outcome::Kind::Expansion, true},
        {"((A_RETURN == $1))", Outcome::Kind::Expansion, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.expr);
        const MacroText m =
            ReadMacro(std::string("A MACRO\n#IF ") + c.expr + "\nyes\n#ENDIF\nENDM");
        ASSERT_TRUE(m.findings.empty()) << FormatFindings(m.findings);
        Bindings b;
        b.symbols["A_RETURN"] = Value::Number(1);
        b.symbols["PRM_1"] = Value::Word("WORD");
        const Outcome o = Evaluate(m, b);
        EXPECT_EQ(o.kind, c.kind);
        EXPECT_EQ(o.lines.size(), c.taken ? 1u : 0u);
    }
}

// ---- Call-line assumptions ----

TEST(CallCheckCallLine, EachAssumption) {
    const PageNames page{{{"Counter", "BYTE"}, {"Buf", "BYTE_ARRAY_PTR"}, {"Odd", ""}}, {"Start"}};
    struct Case {
        const char* arg;
        std::string kind;
    };
    const Case cases[] = {
        {"0", "NUM8"},      {"255", "NUM8"},     {"256", "NUM16"},
        {"65535", "NUM16"}, {"65536", "NUM32"},  {"$FF", "NUM8"},
        {"0x100", "NUM16"}, {"%101", "NUM8"},    {"-1", ""},
        {"4294967296", ""}, {"counter", "BYTE"}, {"Buf", "BYTE_ARRAY_PTR"},
        {"Odd", ""},        {"START", "LABEL"},  {"\"A\"", "CHAR"},
        {"\"AB\"", ""},     {"Other", ""},       {"Counter + 1", ""},
        {"", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.arg);
        const CallArg a = KindOfArgument(c.arg, page);
        EXPECT_EQ(a.kind, c.kind);
        EXPECT_FALSE(a.why.empty());
    }
    struct Dim {
        const char* type;
        bool array;
        std::string kind;
    };
    const Dim dims[] = {{"Byte", false, "BYTE"},
                        {"WORD", false, "WORD"},
                        {"DWord", false, "DWORD"},
                        {"Float", false, "FLOAT"},
                        {"String", false, "STRING_ARRAY_PTR"},
                        {"Byte", true, "BYTE_ARRAY_PTR"},
                        {"Word", true, "WORD_ARRAY_PTR"},
                        {"DWord", true, ""},
                        {"Bit", false, ""}};
    for (const Dim& d : dims) {
        EXPECT_EQ(KindOfDimType(d.type, d.array), d.kind) << d.type;
    }
}

TEST(CallCheckCallLine, SplitsArgumentsAndPicksTheReturnArgument) {
    const MacroText m = ReadMacro("Put MACRO  P1, P2, RETURNVALUE\nENDM");
    const PageNames page;
    CallAnalysis c = AnalyseCall("  Put \"a,b\", Tbl(1, 2), R  ", m, page);
    ASSERT_EQ(c.args.size(), 3u);
    EXPECT_EQ(c.args[0].text, "\"a,b\"");
    EXPECT_EQ(c.args[1].text, "Tbl(1, 2)");
    EXPECT_EQ(c.returnArg, 3);
    EXPECT_EQ(c.bindings.formals.at("RETURNVALUE"), "R");
    EXPECT_EQ(c.bindings.formals.at("P2"), "Tbl(1, 2)");

    c = AnalyseCall("Put 1, 2, 3", m, page, 1);
    EXPECT_EQ(c.bindings.formals.at("RETURNVALUE"), "1");
    EXPECT_EQ(c.bindings.formals.at("P1"), "2");
    c = AnalyseCall("Put 1, 2", m, page, 0);
    EXPECT_EQ(c.bindings.symbols.at("PUT_LST_PRM"), Value::Number(0));
    EXPECT_TRUE(c.notes.empty());
    EXPECT_FALSE(AnalyseCall("Get 1", m, page).notes.empty());

    const auto set = ParseAssignment("prm_1=byte");
    ASSERT_TRUE(set);
    EXPECT_EQ(set->first, "PRM_1");
    EXPECT_EQ(set->second, Value::Word("BYTE"));
    EXPECT_EQ(ParseAssignment("PRM_COUNT=-2")->second, Value::Number(-2));
    EXPECT_FALSE(ParseAssignment("=1"));
    EXPECT_FALSE(ParseAssignment("1X=1"));
}

TEST(CallCheckCallLine, PageDeclarationsGiveNamesTypesAndArrays) {
    using ide::DeclaredVariable;
    EXPECT_EQ(ide::DeclarationsOf("  DIM Buffer[16] AS BYTE"),
              (std::vector<DeclaredVariable>{{"Buffer", "BYTE", true}}));
    EXPECT_EQ(ide::DeclarationsOf("Dim X, Y As Word ' two"),
              (std::vector<DeclaredVariable>{{"X", "Word", false}, {"Y", "Word", false}}));
    EXPECT_EQ(ide::DeclarationsOf("Dim Flag"),
              (std::vector<DeclaredVariable>{{"Flag", "", false}}));
    EXPECT_TRUE(ide::DeclarationsOf("Dimmer = 5").empty());
    EXPECT_TRUE(ide::DeclarationsOf("Counter = 0").empty());
}

TEST(CallCheckCallLine, TheSampleCallUsesTheReturnVariableAndArgumentsOfKnownKinds) {
    // 16-bit: String, Byte Array, Label and ASCII Char parameters, returned in a parameter.
    codegen::MacroDefinition mix;
    mix.Header = {"Mix", 2, 2, false, "", 4};
    mix.Params[0] = {"S", 9, "V1", false, false};
    mix.Params[1] = {"B", 22, "V2", false, false};
    mix.Params[2] = {"L", 6, "V3", false, false};
    mix.Params[3] = {"C", 7, "V4", false, false};
    mix.Return = {"Sub", true, false, {"", 4, "Out", false, false}};
    const PageNames pointers{{{"Msg", "STRING_ARRAY_PTR"}, {"Buf", "BYTE_ARRAY_PTR"}}, {"Loop"}};
    const PageNames clashing{{{"Text", "WORD"}, {"out", "DWORD"}}, {}};
    const struct {
        codegen::MacroDefinition def;
        PageNames page;
        std::string line;
        std::string assumed; // NAME=KIND ...
    } cases[] = {
        {codegen::examples::AddNums(), {}, "Total = AddNums 5, 1001", "Total=WORD "},
        {codegen::examples::SetPtr(), {}, "SetPtr 1000, 6, R", "R=BYTE "},
        {mix, pointers, "Mix Msg, Buf, Loop, \"A\", Out", "Out=DWORD "},
        {mix, clashing, "Mix Text2, Buffer, Start, \"A\", Out",
         "Text2=STRING_ARRAY_PTR Buffer=BYTE_ARRAY_PTR Start=LABEL "},
    };
    for (const auto& c : cases) {
        const SampleCallLine sample = SampleCall(c.def, c.def.Header.ArgCount, c.page);
        std::string assumed;
        for (const Declaration& d : sample.assumed) {
            assumed += d.name + "=" + d.kind + " ";
        }
        EXPECT_EQ(sample.line + " | " + assumed, c.line + " | " + c.assumed);
    }
}

// ---- --all-kinds over the generator's output ----

namespace {

bool hasLabelParam(const codegen::MacroDefinition& d) {
    for (int i = 0; i < d.Header.ArgCount; ++i) {
        if (d.Params[static_cast<std::size_t>(i)].DataType == 6) {
            return true;
        }
    }
    return false;
}

} // namespace

// One class of generated macros fails, and no other: a Label parameter, whose three NA entries
// leave three commandless move lines. Every macro has a passing count.
TEST(CallCheckAllKinds, RandomGeneratedDefinitionsFailOnlyInTheKnownClasses) {
    std::mt19937 rng(13);
    int passed = 0;
    for (int round = 0; round < 400; ++round) {
        const auto def = codegen::examples::RandomDefinition(rng);
        const MacroText m = generated(def);
        ASSERT_FALSE(HasErrors(m.findings)) << FormatFindings(m.findings);
        const KindTable t = CheckAllKinds(m, def, def.Header.ArgCount);
        ASSERT_GE(t.count, 0) << FormatKindTable(t);
        if (t.AllPass()) {
            ++passed;
            continue;
        }
        for (const KindRow& r : t.rows) {
            if (!r.pass) {
                EXPECT_EQ(r.kind, "NA") << FormatKindTable(t);
                EXPECT_TRUE(hasLabelParam(def));
            }
        }
    }
    EXPECT_GT(passed, 200);
}

// The count checks let through the full call (every parameter and the return argument) and
// the shortest (up to the last mandatory parameter, and a mandatory return argument), for
// every return method and up to twenty parameters. (A type the target lacks gives a kind test
// without a condition, which no count passes; that class is left out here.)
TEST(CallCheckAllKinds, TheFullAndTheShortestCallPassTheCountChecks) {
    std::mt19937 rng(2024);
    for (int round = 0; round < 1500 / codegen::examples::kPropertyShare; ++round) {
        const auto def = codegen::examples::RandomDefinition(rng, {20, true, false});
        const int n = def.Header.ArgCount;
        const int method = def.Header.ReturnMethod;
        int last = 0;
        for (int i = 1; i <= n; ++i) {
            last = def.Params[static_cast<std::size_t>(i - 1)].Optional ? last : i;
        }
        const int p = method == 2 ? 1 : 0;
        const int r = method == 2 && !def.Return.RetArg.Optional ? 1 : 0;
        const auto counts = PassingCounts(generated(def));
        SCOPED_TRACE(codegen::JoinCrLf(codegen::MacroLines(def, n)));
        EXPECT_TRUE(std::ranges::find(counts, n + p) != counts.end());
        EXPECT_TRUE(std::ranges::find(counts, last + r) != counts.end());
    }
}

// The sample call the "Check a Call" window opens with is decided for every generated macro,
// and where its argument count passes, it passes the kind checks too.
TEST(CallCheckAllKinds, TheSampleCallOfAnyGeneratedMacroIsDecided) {
    std::mt19937 rng(21);
    for (int round = 0; round < 300; ++round) {
        const auto def = codegen::examples::RandomDefinition(rng);
        const MacroText m = generated(def);
        const SampleCallLine sample = SampleCall(def, def.Header.ArgCount);
        const PageNames names{sample.assumed, {}};
        const CallAnalysis call = AnalyseCall(sample.line, m, names);
        const Outcome o = Evaluate(m, call.bindings);
        ASSERT_NE(o.kind, Outcome::Kind::Undecided) << sample.line << ": " << o.text;
        const auto counts = PassingCounts(m);
        const int count = static_cast<int>(call.args.size());
        if (std::find(counts.begin(), counts.end(), count) != counts.end()) {
            EXPECT_EQ(o.kind, Outcome::Kind::Expansion) << sample.line << ": " << o.text;
        }
    }
}

TEST(CallCheckAllKinds, TheSmallestDefinitionOfEachFailingClass) {
    // A Parameter return with a mandatory parameter and an optional return passes at one or
    // two arguments: the bounds no longer contradict each other.
    codegen::MacroDefinition d;
    d.Header = {"Get", 2, 1, false, "", 1};
    d.Params[0] = {"A", 2, "V", false, false};
    d.Return = {"Sub", true, false, {"", 2, "R", true, false}};
    EXPECT_EQ(DescribeCounts(PassingCounts(generated(d))), "1-2");
    KindTable t = CheckAllKinds(generated(d), d, 1);
    EXPECT_EQ(t.count, 2);
    EXPECT_TRUE(t.AllPass()) << FormatKindTable(t);

    d.Header.ReturnMethod = 0;
    d.Params[0].DataType = 6;
    t = CheckAllKinds(generated(d), d, 1);
    ASSERT_EQ(t.count, 1);
    ASSERT_EQ(t.rows.size(), 3u); // LABEL, NA, the wrong kind
    EXPECT_TRUE(t.rows[0].pass);
    EXPECT_FALSE(t.rows[1].pass);
    EXPECT_EQ(t.rows[1].detail, "3 move lines (expected 1)");
    EXPECT_TRUE(t.rows[2].pass);
}

// The calls of a macro on a page: statement by statement, past comments, quotes and labels.
TEST(CallCheckCallLine, FindsEveryCallOfTheMacroOnAPage) {
    const std::string page = "AddNums MACRO P1, P2\r\n"                         // 1 its header
                             "Total = AddNums 5, 6 ' AddNums 7\r\n"             // 2
                             "  addnums 1, 2: X = 1 : Total=ADDNUMS Small, 3\n" // 3 two calls
                             "' AddNums 1, 2\r"                                 // 4 a comment
                             "Print \"AddNums 1\" ; AddNums\n"                  // 5 quoted
                             "AddNums: GoTo AddNums\n"                          // 6 a label
                             "AddNumsX 1\tAddNums2 3\n"                         // 7 other names
                             "Y = AddNums\t\"a:'\", 2";                         // 8 no line end
    const auto found = FindCalls(page, "ADDNUMS");
    std::vector<std::pair<int, std::string>> got;
    for (const auto& f : found) {
        got.emplace_back(f.line, f.text);
    }
    EXPECT_EQ(got, (std::vector<std::pair<int, std::string>>{{2, "Total = AddNums 5, 6"},
                                                             {3, "addnums 1, 2"},
                                                             {3, "Total=ADDNUMS Small, 3"},
                                                             {8, "Y = AddNums\t\"a:'\", 2"}}));
    EXPECT_EQ(FindCalls(page, "").size(), 7u); // every statement that calls a name

    const MacroText add = generated(codegen::examples::AddNums());
    const auto results =
        CheckCalls(add, "Total = AddNums 5, 6\nAddNums 5, 6\nTotal = AddNums 5, Q", addNumsPage());
    ASSERT_EQ(results.size(), 3u);
    EXPECT_EQ(FormatCallResult(results[0]), "line 1: Total = AddNums 5, 6: passes");
    EXPECT_EQ(
        FormatCallResult(results[1]),
        "line 2: AddNums 5, 6: fires #ERROR \"AddNums - Mandatory return parameter misssing\"");
    EXPECT_EQ(FormatCallResult(results[2]),
              "line 3: Total = AddNums 5, Q: cannot be decided (PRM_2 has no value)");
}
