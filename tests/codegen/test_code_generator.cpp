// The macro text generator: the two worked examples line by line, and the branches around them.
#include "MacroCodeGenerator.h"
#include "WorkedExamples.h"

#include <gtest/gtest.h>

#include <random>
#include <string_view>

using namespace vmg::codegen;

namespace {

struct Line {
    int tabs;
    std::string text;
};

Lines expand(const std::vector<Line>& table) {
    Lines out;
    for (const Line& l : table) {
        out.push_back(std::string(static_cast<std::size_t>(l.tabs), '\t') + l.text);
    }
    return out;
}

void expectLines(const Lines& actual, const Lines& expected) {
    ASSERT_EQ(actual.size(), expected.size()) << JoinCrLf(actual);
    for (std::size_t i = 0; i < expected.size(); ++i) {
        EXPECT_EQ(actual[i], expected[i]) << "line " << i + 1;
    }
}

// Adds the three lines of one conversion block.
void block(std::vector<Line>& t, int tabs, const std::string& test, const std::string& move) {
    t.push_back({tabs, "#IF (" + test + ")"});
    t.push_back({tabs + 1, move});
    t.push_back({tabs, "#ENDIF"});
}

TEST(CodeGenerator, FirstWorkedExample) {
    std::vector<Line> t = {
        {0, "'Adds two numbers"},
        {0, "AddNums MACRO  P1, P2"},
        {0, "#IF (PRM_COUNT > 2)"},
        {1, "#ERROR \"AddNums - Too many parameters\""},
        {0, "#ELSE"},
        {1, "#IF (PRM_COUNT < 2)"},
        {2, "#ERROR \"AddNums - Too few parameters\""},
        {1, "#ELSE"},
        {2, "#IF(PRM_1 != BYTE) && (PRM_1 != NUM8) && (PRM_1 != NUM16) && (PRM_1 != NUM32)"},
        {3, "#ERROR \"AddNums - First(Param1) Should be a Byte variable or number\""},
        {2, "#ENDIF"},
        {2, "#IF(PRM_2 != WORD) && (PRM_2 != NUM16) && (PRM_2 != NUM8) && (PRM_2 != NUM32)"},
        {3, "#ERROR \"AddNums - Second(Param2) Should be a Word variable or number\""},
        {2, "#ENDIF"},
    };
    block(t, 2, "PRM_1 == BYTE", "BYTE_BYTE P1, ArgA");
    block(t, 2, "PRM_1 == NUM8", "NUM_BYTE P1, ArgA");
    block(t, 2, "PRM_1 == NUM16", "NUM_BYTE P1, ArgA");
    block(t, 2, "PRM_1 == NUM32", "NUM_BYTE P1, ArgA");
    block(t, 2, "PRM_2 == WORD", "WORD_WORD P2, ArgB");
    block(t, 2, "PRM_2 == NUM16", "NUM_WORD P2, ArgB");
    block(t, 2, "PRM_2 == NUM8", "NUM_WORD P2, ArgB");
    block(t, 2, "PRM_2 == NUM32", "NUM_WORD P2, ArgB");
    const std::vector<Line> tail = {
        {2, "GoSub AddSub"},
        {1, "#ENDIF"},
        {1, "#IF (AddNums_RETURN != 1)"},
        {2, "#ERROR \"AddNums - Mandatory return parameter misssing\""},
        {1, "#ELSE"},
        {2, "#IF(RETURN_TYPE !=WORD)"},
        {3, "#ERROR \"AddNums - Return variable should be a Word variable\""},
        {2, "#ELSE"},
        {3, "#IF (RETURN_TYPE == WORD)"},
        {4, "WORD_WORD Total, RETURN_VAR"},
        {3, "#ENDIF"},
        {2, "#ENDIF"},
        {1, "#ENDIF"},
        {0, "#ENDIF"},
        {0, "ENDM"},
    };
    t.insert(t.end(), tail.begin(), tail.end());
    ASSERT_EQ(t.size(), 53u);
    expectLines(MacroLines(examples::AddNums(), 2), expand(t));
}

TEST(CodeGenerator, SecondWorkedExampleWithOptionalReturnTest) {
    std::vector<Line> t = {
        {0, "SetPtr MACRO  P1, P2, RETURNVALUE"},
        {0, "#IF (PRM_COUNT > 3)"},
        {1, "#ERROR \"SetPtr - Too many parameters\""},
        {0, "#ELSE"},
        {1, "#IF (PRM_COUNT < 1)"},
        {2, "#ERROR \"SetPtr - Too few parameters\""},
        {1, "#ELSE"},
        {2, "#IF(PRM_1 != WORD) && (PRM_1 != NUM16) && (PRM_1 != NUM8) && (PRM_1 != NUM32) && "
            "(PRM_1 != BYTE) && (PRM_1 != DWORD) && (PRM_1 != FLOAT)"},
        {3, "#ERROR \"SetPtr - Addr(Param1) Should be a Word, Byte, DWord, Float variable or "
            "number\""},
        {2, "#ENDIF"},
        {2, "#IF(PRM_2 != BYTE) && (PRM_2 != NUM8) && (PRM_2 != NUM16) && (PRM_2 != NUM32)"},
        {3, "#ERROR \"SetPtr - Cnt(Param2) Should be a Byte variable or number\""},
        {2, "#ENDIF"},
    };
    const std::pair<const char*, const char*> p1[] = {
        {"WORD", "WORD_WORD"},  {"NUM16", "NUM_WORD"}, {"NUM8", "NUM_WORD"},
        {"NUM32", "NUM_WORD"},  {"BYTE", "BYTE_WORD"}, {"DWORD", "WORD_WORD"},
        {"FLOAT", "FLOAT_WORD"}};
    for (const auto& [kind, move] : p1) {
        block(t, 2, std::string("PRM_1 == ") + kind, std::string(move) + " P1, FSR0L");
    }
    const std::pair<const char*, const char*> p2[] = {
        {"BYTE", "BYTE_BYTE"}, {"NUM8", "NUM_BYTE"}, {"NUM16", "NUM_BYTE"}, {"NUM32", "NUM_BYTE"}};
    for (const auto& [kind, move] : p2) {
        block(t, 2, std::string("PRM_2 == ") + kind, std::string(move) + " P2, _X");
    }
    t.push_back({2, "GoTo PtrSub"});
    t.push_back({1, "#ENDIF"});
    // An optional return value: its checks and moves run only when the caller supplied it.
    t.push_back({1, "#IF (SetPtr_LST_PRM == 1)"});
    t.push_back({2,
                 "#IF(LST_PRM_TYPE !=BYTE) && (LST_PRM_TYPE !=WORD) && (LST_PRM_TYPE !=DWORD) && "
                 "(LST_PRM_TYPE !=FLOAT)"});
    t.push_back(
        {3, "#ERROR \"SetPtr - Return variable should be a Byte, Word, DWord, Float variable\""});
    t.push_back({2, "#ELSE"});
    const std::pair<const char*, const char*> ret[] = {{"BYTE", "BYTE_BYTE"},
                                                       {"WORD", "BYTE_BYTE"},
                                                       {"DWORD", "BYTE_BYTE"},
                                                       {"FLOAT", "FLOAT_BYTE"}};
    for (const auto& [kind, move] : ret) {
        block(t, 3, std::string("LST_PRM_TYPE == ") + kind,
              std::string(move) + " _R, LST_PRM_NAME");
    }
    t.push_back({2, "#ENDIF"});
    t.push_back({1, "#ENDIF"});
    t.push_back({0, "#ENDIF"});
    t.push_back({0, "ENDM"});
    expectLines(MacroLines(examples::SetPtr(), 2), expand(t));
}

struct BranchCase {
    const char* name;
    MacroDefinition def;
    int32_t n;
    std::vector<Line> expected;
};

MacroDefinition named(const char* name, int32_t returnMethod, bool skeleton = false) {
    MacroDefinition d;
    d.Header.MacroName = name;
    d.Header.ReturnMethod = returnMethod;
    d.Header.Skeleton = skeleton;
    d.Return.SubName = "Sub";
    d.Return.UseGoSub = true;
    return d;
}

std::vector<BranchCase> branchCases() {
    std::vector<BranchCase> cases;
    cases.push_back({"NoParamsNoReturn", named("Blink", 0), 0, {{0, "Blink MACRO "}, {0, "ENDM"}}});
    cases.push_back({"NoParamsSkeleton",
                     named("Blink", 0, true),
                     0,
                     {{0, "Blink MACRO "}, {0, "'Place your code here....."}, {0, "ENDM"}}});
    {
        MacroDefinition d = named("Blink", 2);
        d.Return.RetArg = {"", 7, "V", false,
                           false}; // ASCII Char has no return label; still generated
        cases.push_back(
            {"NoParamsReturnParameter",
             d,
             0,
             {{0, "Blink MACRO  RETURNVALUE"},
              {0, "#IF (Blink_LST_PRM != 1)"},
              {1, "#ERROR \"Blink - Mandatory return parameter misssing\""},
              {0, "#ELSE"},
              {1, "#IF(LST_PRM_TYPE !=CHAR)"},
              {2, "#ERROR \"Blink - Return variable should be part of a Quoted String\""},
              {1, "#ELSE"},
              {2, "#IF (LST_PRM_TYPE == CHAR)"},
              {3, "NUM_BYTE _V, LST_PRM_NAME"},
              {2, "#ENDIF"},
              {1, "#ENDIF"},
              {0, "#ENDIF"},
              {0, "ENDM"}}});
    }
    {
        // Every parameter optional and no return: M = 0.
        MacroDefinition d = named("Opt", 0);
        d.Params[0] = {"C", 7, "Ch", true, false};
        cases.push_back({"AllOptional",
                         d,
                         1,
                         {{0, "Opt MACRO  P1"},
                          {0, "#IF (PRM_COUNT > 1)"},
                          {1, "#ERROR \"Opt - Too many parameters\""},
                          {0, "#ELSE"},
                          {1, "#IF (PRM_COUNT == 0)"},
                          {2, "\"Add additional code for no params here .......\""},
                          {1, "#ELSE"},
                          {2, "#IF(PRM_1 != CHAR)"},
                          {3, "#ERROR \"Opt - C(Param1) Should be part of a Quoted String\""},
                          {2, "#ENDIF"},
                          {2, "#IF (PRM_1 == CHAR)"},
                          {3, "NUM_BYTE P1, Ch"},
                          {2, "#ENDIF"},
                          {2, "GoSub Sub"},
                          {1, "#ENDIF"},
                          {0, "#ENDIF"},
                          {0, "ENDM"}}});
    }
    {
        // Skeleton with a parameter of an unknown type and a mandatory Parameter return.
        MacroDefinition d = named("Sk", 2, true);
        d.Params[0] = {"A", 0, "", true, true};
        d.Return.RetArg = {"", 99, "", false, true};
        cases.push_back({"SkeletonUnknownTypes",
                         d,
                         1,
                         {{0, "Sk MACRO  P1, RETURNVALUE"},
                          {0, "#IF (PRM_COUNT > 2)"},
                          {1, "#ERROR \"Sk - Too many parameters\""},
                          {0, "#ELSE"},
                          {1, "#IF (PRM_COUNT < 1)"},
                          {2, "#ERROR \"Sk - Too few parameters\""},
                          {1, "#ELSE"},
                          {2, "#IF"},
                          {3, "#ERROR \"Sk - A(Param1) Should be Unrecognised Data Type\""},
                          {2, "#ENDIF"},
                          {2, "'Place your code here....."},
                          {1, "#ENDIF"},
                          {1, "#IF (Sk_LST_PRM != 1)"},
                          {2, "#ERROR \"Sk - Mandatory return parameter misssing\""},
                          {1, "#ELSE"},
                          {2, "#IF"},
                          {3, "#ERROR \"Sk - Return variable should be Unrecognised Data Type\""},
                          {2, "#ELSE"},
                          {2, "#ENDIF"},
                          {1, "#ENDIF"},
                          {0, "#ENDIF"},
                          {0, "ENDM"}}});
    }
    {
        // A return method above 2 (only from a file): no RETURNVALUE, but LST_PRM symbols.
        MacroDefinition d = named("Odd", 5);
        d.Return.RetArg = {"", 2, "Res", false, false};
        cases.push_back({"ReturnMethodAboveTwo",
                         d,
                         0,
                         {{0, "Odd MACRO "},
                          {0, "#IF (Odd_LST_PRM != 1)"},
                          {1, "#ERROR \"Odd - Mandatory return parameter misssing\""},
                          {0, "#ELSE"},
                          {1, "#IF(LST_PRM_TYPE !=BYTE)"},
                          {2, "#ERROR \"Odd - Return variable should be a Byte variable\""},
                          {1, "#ELSE"},
                          {2, "#IF (LST_PRM_TYPE == BYTE)"},
                          {3, "BYTE_BYTE Res, LST_PRM_NAME"},
                          {2, "#ENDIF"},
                          {1, "#ENDIF"},
                          {0, "#ENDIF"},
                          {0, "ENDM"}}});
    }
    return cases;
}

TEST(CodeGenerator, Branches) {
    for (const BranchCase& c : branchCases()) {
        SCOPED_TRACE(c.name);
        expectLines(MacroLines(c.def, c.n), expand(c.expected));
    }
}

TEST(CodeGenerator, LabelParameterTestsAndMovesTheNaEntries) {
    MacroDefinition d = named("Jmp", 0);
    d.Params[0] = {"Where", 6, "Ptr", false, false};
    const Lines lines = MacroLines(d, 1);
    EXPECT_EQ(lines[7],
              "\t\t#IF(PRM_1 != LABEL) && (PRM_1 != NA) && (PRM_1 != NA) && (PRM_1 != NA)");
    // The three NA blocks carry an empty move name: the line starts with a blank.
    EXPECT_EQ(lines[13], "\t\t#IF (PRM_1 == NA)");
    EXPECT_EQ(lines[14], "\t\t\t P1, Ptr");
}

TEST(CodeGenerator, DestinationNames) {
    const struct {
        int32_t target;
        const char* var;
        const char* dest;
    } cases[] = {{2, "FSR1", "FSR1L"}, {1, "FSR1", "FSR1"}, {0, "F", "_F"},
                 {2, "fsr0", "fsr0"},  {2, "F", "_F"},      {2, "MyFSR", "MyFSR"}};
    for (const auto& c : cases) {
        MacroDefinition d = named("M", 0);
        d.Header.Target = c.target;
        d.Params[0] = {"A", 7, c.var, false, false};
        EXPECT_EQ(MacroLines(d, 1)[11], std::string("\t\t\tNUM_BYTE P1, ") + c.dest) << c.var;
    }
}

TEST(CodeGenerator, DescriptionBecomesCommentLines) {
    const struct {
        const char* description;
        Lines comments;
    } cases[] = {{"", {}},
                 {"One\r\nTwo\r\nThree", {"'One", "'Two", "'Three"}},
                 {"A\r\n\r\nB\r\n", {"'A", "'", "'B"}},
                 {"Lone\rCR\nLF", {"'Lone", "'CR", "'LF"}}};
    for (const auto& c : cases) {
        MacroDefinition d = named("M", 0);
        d.Header.Description = c.description;
        Lines expected = c.comments;
        expected.push_back("M MACRO ");
        expected.push_back("ENDM");
        EXPECT_EQ(MacroLines(d, 0), expected) << c.description;
    }
}

TEST(CodeGenerator, DescriptionChoiceForSingleDescriptionTypes) {
    MacroDefinition d = named("M", 0);
    d.Header.Target = 1;
    d.Params[0] = {"A", 22, "V", false, true};
    d.Params[1] = {"B", 5, "W", false, false}; // Float on a 14-bit target: no description at all
    const Lines lines = MacroLines(d, 2);
    EXPECT_EQ(lines[8], "\t\t\t#ERROR \"M - A(Param1) Should be a BYTE array pointer\"");
    EXPECT_EQ(lines[10], "\t\t#IF");
    EXPECT_EQ(lines[11], "\t\t\t#ERROR \"M - B(Param2) Should be Unrecognised Data Type\"");
}

TEST(CodeGenerator, MandatoryReturnWithAllOptionalParametersNeedsOneArgument) {
    // The return argument alone is the shortest call.
    MacroDefinition d = named("M", 2);
    d.Params[0] = {"A", 2, "V", true, false};
    d.Return.RetArg = {"", 2, "R", false, false};
    EXPECT_EQ(MacroLines(d, 1)[4], "\t#IF (PRM_COUNT < 1)");
}

// The count bounds: the full call (every parameter and the return argument) and the shortest
// (the last mandatory parameter and a mandatory return argument) pass; None and In-Line keep
// n and M exactly as before.
TEST(CodeGenerator, CountBounds) {
    const struct {
        int32_t method;
        const char* optional; // one letter per parameter: m mandatory, o optional
        bool returnOptional;
        const char* upper;
        const char* lower; // the second line of the count block, without its tab
    } cases[] = {
        {0, "mm", false, "#IF (PRM_COUNT > 2)", "#IF (PRM_COUNT < 2)"},
        {1, "mo", false, "#IF (PRM_COUNT > 2)", "#IF (PRM_COUNT < 1)"},
        {1, "oo", true, "#IF (PRM_COUNT > 2)", "#IF (PRM_COUNT == 0)"},
        {2, "mm", false, "#IF (PRM_COUNT > 3)", "#IF (PRM_COUNT < 3)"},
        {2, "mm", true, "#IF (PRM_COUNT > 3)", "#IF (PRM_COUNT < 2)"},
        {2, "mo", false, "#IF (PRM_COUNT > 3)", "#IF (PRM_COUNT < 2)"},
        {2, "oo", false, "#IF (PRM_COUNT > 3)", "#IF (PRM_COUNT < 1)"},
        {2, "oo", true, "#IF (PRM_COUNT > 3)", "#IF (PRM_COUNT == 0)"},
        {2, "omo", false, "#IF (PRM_COUNT > 4)", "#IF (PRM_COUNT < 3)"},
        {3, "mo", false, "#IF (PRM_COUNT > 2)", "#IF (PRM_COUNT < 1)"},
    };
    for (const auto& c : cases) {
        MacroDefinition d = named("M", c.method);
        const auto n = static_cast<int32_t>(std::string_view(c.optional).size());
        for (int32_t i = 0; i < n; ++i) {
            d.Params[static_cast<std::size_t>(i)] = {"A", 2, "V", c.optional[i] == 'o', false};
        }
        d.Return.RetArg = {"", 2, "R", c.returnOptional, false};
        const Lines lines = MacroLines(d, n);
        SCOPED_TRACE(std::to_string(c.method) + " " + c.optional);
        EXPECT_EQ(lines[1], c.upper);
        EXPECT_EQ(lines[4], std::string("\t") + c.lower);
    }
}

int32_t nesting(const Lines& lines) {
    int32_t depth = 0;
    for (const std::string& raw : lines) {
        const std::string line = raw.substr(raw.find_first_not_of('\t') == std::string::npos
                                                ? raw.size()
                                                : raw.find_first_not_of('\t'));
        if (line.starts_with("#IF")) {
            ++depth;
        } else if (line == "#ENDIF") {
            if (--depth < 0) {
                return -1;
            }
        }
    }
    return depth;
}

TEST(CodeGenerator, RandomDefinitionsBalanceAndRepeat) {
    std::mt19937 rng(1234);
    const int32_t codes[] = {0, 2, 3, 4, 5, 6, 7, 9, 22, 23, 40};
    for (int round = 0; round < 500; ++round) {
        MacroDefinition d;
        d.Header.MacroName = "M" + std::to_string(round);
        d.Header.ReturnMethod = static_cast<int32_t>(rng() % 4);
        d.Header.Target = static_cast<int32_t>(rng() % 3);
        d.Header.Skeleton = rng() % 4 == 0;
        const int32_t n = static_cast<int32_t>(rng() % 21);
        for (auto& a : d.Params) {
            a = {"A", codes[rng() % std::size(codes)], rng() % 2 ? "FSR0" : "X", rng() % 3 == 0,
                 rng() % 2 == 0};
        }
        d.Return.RetArg = {"", codes[rng() % std::size(codes)], "R", rng() % 2 == 0,
                           rng() % 2 == 0};
        const Lines first = MacroLines(d, n);
        ASSERT_EQ(nesting(first), 0) << JoinCrLf(first);
        EXPECT_EQ(first.back(), "ENDM");
        // The module form replaces its list: a second run keeps nothing of the first.
        ResetModule();
        Definition() = d;
        GenerateMacro(20);
        EXPECT_EQ(GenerateMacro(n), first);
    }
    ResetModule();
}

TEST(CodeGenerator, OutOfRangeCountsAreClamped) {
    const MacroDefinition d = examples::AddNums();
    EXPECT_EQ(MacroLines(d, -5), MacroLines(d, 0));
    EXPECT_EQ(MacroLines(d, 500), MacroLines(d, 20));
}

TEST(CodeGenerator, JoinEndsEveryLineWithCrLf) {
    EXPECT_EQ(JoinCrLf({"a", "", "b"}), "a\r\n\r\nb\r\n");
    EXPECT_EQ(JoinCrLf({}), "");
}

} // namespace
