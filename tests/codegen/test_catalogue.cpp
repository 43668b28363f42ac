// The data-type catalogue: variant choice, default rows and how its lists split.
#include "MacroCodeGenerator.h"

#include <gtest/gtest.h>

using namespace vmg::codegen;

namespace {

struct LookupCase {
    int32_t code;
    int32_t target;
    const char* kinds;
    const char* paramLabel;
    const char* returnLabel;
    std::vector<std::string> texts;
};

void PrintTo(const LookupCase& c, std::ostream* os) {
    *os << "code " << c.code << ", target " << c.target;
}

class CatalogueLookup : public ::testing::TestWithParam<LookupCase> {};

TEST_P(CatalogueLookup, GivesTheRowOfTheChosenVariant) {
    const LookupCase& c = GetParam();
    const DataTypeDesc d = GetTypeDesc(c.code, c.target);
    EXPECT_EQ(d.Kinds, c.kinds);
    EXPECT_EQ(ParamLabel(d), c.paramLabel);
    EXPECT_EQ(ReturnLabel(d), c.returnLabel);
    EXPECT_EQ(SplitTexts(d.Texts), c.texts);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, CatalogueLookup,
    ::testing::Values(
        // Float does not exist for 14-bit cores: the empty default row.
        LookupCase{5, 1, "", "N/A", "N/A", {}},
        LookupCase{0, 2, "", "N/A", "N/A", {"Unrecognised Data Type"}},
        // Any target above 2 uses the 16-bit variant, a negative one the 14-bit variant.
        LookupCase{9, 3, "STRING_ARRAY_PTR", "String", "N/A", {"a String Array Pointer"}},
        LookupCase{2,
                   -1,
                   "BYTE,NUM8,NUM16,NUM32,WORD,DWORD",
                   "Byte/Num",
                   "Byte",
                   {"a Byte variable or number", "a Byte, Word, DWord, variable or number"}},
        LookupCase{9, 0, "", "N/A", "N/A", {}},
        LookupCase{24, 2, "", "N/A", "N/A", {"Unrecognised Data Type"}},
        LookupCase{-3, 0, "", "N/A", "N/A", {}},
        LookupCase{5,
                   2,
                   "FLOAT,NUM32,NUM16,NUM8,BYTE,WORD,DWORD",
                   "Float/Num",
                   "Float",
                   {"a Float variable", "a Float, Byte, Word, DWord variable or number"}},
        LookupCase{
            6,
            2,
            "LABEL,NA,NA,NA,NUM16,NUM8,WORD",
            "Label",
            "N/A",
            {"a pointer to a LabelDesc", "Pointer to a LabelDesc,a Word variable or Number"}},
        LookupCase{23, 1, "WORD_ARRAY_PTR", "Word Array", "N/A", {"a WORD array pointer"}}));

TEST(Catalogue, LabelRowSplitsIntoSevenEntriesWithEmptyMoves) {
    const DataTypeDesc d = GetTypeDesc(6, 1);
    EXPECT_EQ(SplitEntries(d.Moves), (std::vector<std::string>{"NUM_WORD", "", "", "", "NUM_WORD",
                                                               "NUM_WORD", "WORD_WORD"}));
    EXPECT_EQ(SplitEntries(d.Kinds),
              (std::vector<std::string>{"LABEL", "NA", "NA", "NA", "NUM16", "NUM8", "WORD"}));
}

TEST(Catalogue, SplittingEdgeCases) {
    EXPECT_TRUE(SplitEntries("").empty());
    EXPECT_EQ(SplitEntries(","), (std::vector<std::string>{"", ""}));
    EXPECT_EQ(SplitTexts(R"("say ""hi""","b")"), (std::vector<std::string>{"say \"hi\"", "b"}));
    EXPECT_EQ(SplitTexts(R"("unterminated)"), (std::vector<std::string>{"unterminated"}));
}

TEST(Catalogue, OfferedListsFollowTheTarget) {
    // What the wizard's drop-down lists are built from: codes 0..30, skipping "N/A".
    const auto offered = [](int32_t target, bool params) {
        std::vector<std::string> out;
        for (int32_t code = 0; code <= 30; ++code) {
            const DataTypeDesc d = GetTypeDesc(code, target);
            const std::string label = params ? ParamLabel(d) : ReturnLabel(d);
            if (label != "N/A") {
                out.push_back(label);
            }
        }
        return out;
    };
    EXPECT_EQ(offered(0, true),
              (std::vector<std::string>{"Byte/Num", "Word/Num", "DWord/Num", "Label", "ASCII Char",
                                        "Byte Array", "Word Array"}));
    EXPECT_EQ(offered(2, true),
              (std::vector<std::string>{"Byte/Num", "Word/Num", "DWord/Num", "Float/Num", "Label",
                                        "ASCII Char", "String", "Byte Array", "Word Array"}));
    EXPECT_EQ(offered(1, false), (std::vector<std::string>{"Byte", "Word", "DWord"}));
    EXPECT_EQ(offered(2, false), (std::vector<std::string>{"Byte", "Word", "DWord", "Float"}));
}

TEST(Catalogue, TypeKeywordIsTheFirstKind) {
    const std::pair<int32_t, const char*> cases[] = {{2, "BYTE"},
                                                     {3, "WORD"},
                                                     {4, "DWORD"},
                                                     {5, "FLOAT"},
                                                     {6, "LABEL"},
                                                     {7, "CHAR"},
                                                     {9, "STRING_ARRAY_PTR"},
                                                     {22, "BYTE_ARRAY_PTR"},
                                                     {23, "WORD_ARRAY_PTR"},
                                                     {1, ""}};
    for (const auto& [code, keyword] : cases) {
        EXPECT_EQ(TypeKeyword(code, 2), keyword) << code;
    }
}

} // namespace
