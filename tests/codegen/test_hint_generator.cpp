// The USER.MCD keyword block, its hint line and the hint's rich-text preview.
#include "MacroCodeGenerator.h"
#include "WorkedExamples.h"

#include <gtest/gtest.h>

using namespace vmg::codegen;

namespace {

TEST(HintGenerator, FirstWorkedExample) {
    const Lines expected = {
        "KEY (\"AddNums\")",
        "\tDeviceCore = [dc12, dc14]",
        "\tHighlighter = KeywordUser",
        "\tHint = \"<b>Var</b> = <b>AddNums</b> <i><b>First</b> As BYTE <b>Second</b> As WORD "
        "</i></i>",
        "ENDKEY",
    };
    EXPECT_EQ(KeyBlock(examples::AddNums(), 2), expected);
    EXPECT_EQ(HintLineToRtf(expected[3]),
              "{\\rtf1\\ansi\\ansicpg1252\\deff0\\deflang2057{\\fonttbl{\\f0\\fnil\\fcharset0 "
              "Arial;}}\\fs16 \\b Var\\b0  = \\b AddNums\\b0  \\i \\b First\\b0  As BYTE \\b "
              "Second\\b0  As WORD \\i0 \\i0 ");
}

TEST(HintGenerator, SecondWorkedExample) {
    const Lines lines = KeyBlock(examples::SetPtr(), 2);
    EXPECT_EQ(lines[1], "\tDeviceCore = [dc16]");
    EXPECT_EQ(lines[3], "\tHint = \"<b>SetPtr</b> <i><b>Addr</b> As WORD  Optional <b>Cnt</b> As "
                        "BYTE </i> Optional  <b>ReturnVar</b> As BYTE<br><b>SetPtr</b> "
                        "<i><b>Addr</b> As WORD  Optional <b>Cnt</b> As BYTE </i></i>");
    const std::string rtf = HintLineToRtf(lines[3]);
    EXPECT_EQ(rtf.find("\\par "), rtf.rfind("\\par "));
    EXPECT_NE(rtf.find("\\par "), std::string::npos);
}

struct HintCase {
    const char* name;
    int32_t returnMethod;
    int32_t target;
    std::vector<ArgData> params;
    ArgData ret;
    Lines lines23; // DeviceCore and Hint lines
};

TEST(HintGenerator, Cases) {
    const HintCase cases[] = {
        {"NoParamsNoReturn",
         0,
         0,
         {},
         {},
         {"\tDeviceCore = [dc12, dc14, dc16]", "\tHint = \"<b>Name</b> <i></i></i>"}},
        {"NoParamsParameterReturn",
         2,
         2,
         {},
         {"", 5, "R", false, false},
         {"\tDeviceCore = [dc16]", "\tHint = \"<b>Name</b> <i></i> <b>ReturnVar</b> As FLOAT</i>"}},
        {"CharAndByteArray",
         0,
         3,
         {{"C", 7, "", false, false}, {"B", 22, "", false, false}},
         {},
         {"\tDeviceCore = ",
          "\tHint = \"<b>Name</b> <i><b>C</b> As CHAR <b>B</b> As BYTE_ARRAY_PTR </i></i>"}},
        {"MandatoryAfterOptionalDropsMarker",
         2,
         1,
         {{"A", 2, "", true, false}, {"B", 3, "", false, false}},
         {"", 4, "", false, false},
         {"\tDeviceCore = [dc12, dc14]",
          "\tHint = \"<b>Name</b> <i> Optional <b>A</b> As BYTE <b>B</b> As WORD </i> "
          "<b>ReturnVar</b> As DWORD</i>"}},
        {"OptionalInLine",
         1,
         1,
         {{"A", 2, "", false, false}},
         {"", 2, "", true, false},
         {"\tDeviceCore = [dc12, dc14]",
          "\tHint = \"<b>Var</b> = <b>Name</b> <i><b>A</b> As BYTE </i><br><b>Name</b> <i><b>A</b> "
          "As BYTE </i></i>"}},
        {"NegativeReturnMethodIsNone",
         -1,
         2,
         {},
         {"", 2, "", true, false},
         {"\tDeviceCore = [dc16]", "\tHint = \"<b>Name</b> <i></i></i>"}},
    };
    for (const HintCase& c : cases) {
        SCOPED_TRACE(c.name);
        MacroDefinition d;
        d.Header.MacroName = "Name";
        d.Header.ReturnMethod = c.returnMethod;
        d.Header.Target = c.target;
        for (std::size_t i = 0; i < c.params.size(); ++i) {
            d.Params[i] = c.params[i];
        }
        d.Return.RetArg = c.ret;
        const Lines lines = KeyBlock(d, static_cast<int32_t>(c.params.size()));
        ASSERT_EQ(lines.size(), 5u);
        EXPECT_EQ(lines[0], "KEY (\"Name\")");
        EXPECT_EQ(lines[1], c.lines23[0]);
        EXPECT_EQ(lines[2], "\tHighlighter = KeywordUser");
        EXPECT_EQ(lines[3], c.lines23[1]);
        EXPECT_EQ(lines[4], "ENDKEY");
        EXPECT_EQ(HintLineToRtf(lines[3]).find("\\par") != std::string::npos,
                  lines[3].find("<br>") != std::string::npos);
    }
}

TEST(HintGenerator, PreviewEscapesMarkupFromNames) {
    // Names from a file are not checked; they must not inject rich-text groups or words.
    EXPECT_EQ(HintLineToRtf("\tHint = \"<b>A{\\x}</b>"),
              "{\\rtf1\\ansi\\ansicpg1252\\deff0\\deflang2057{\\fonttbl{\\f0\\fnil\\fcharset0 "
              "Arial;}}\\fs16 \\b A\\{\\\\x\\}\\b0 ");
    EXPECT_EQ(HintLineToRtf(""), HintLineToRtf("\tHint = \""));
}

TEST(HintGenerator, ModuleFormsReplaceTheirLists) {
    ResetModule();
    Definition() = examples::AddNums();
    BuildKeyBlock(2);
    EXPECT_EQ(BuildKeyBlock(2).size(), 5u);
    EXPECT_EQ(HintToRtf(), HintLineToRtf(KeyBlockLines()[3]));
    ResetModule();
    EXPECT_TRUE(KeyBlockLines().empty());
    EXPECT_EQ(HintToRtf(), HintLineToRtf(""));
}

} // namespace
