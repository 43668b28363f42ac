// The name rule and the FSR register rule.
#include "MacroCodeGenerator.h"

#include <gtest/gtest.h>

using namespace vmg::codegen;

namespace {

TEST(NameRule, AcceptsOnlyALetterFollowedByLettersAndDigits) {
    const std::pair<std::string, bool> cases[] = {
        {"A", true},   {"a1", true},    {"Total7", true}, {"", false},
        {"1A", false}, {"_A", false},   {"A_B", false},   {"A B", false},
        {"[A", false}, {"\xC4", false}, {"A\xC4", false}, {"@A", false},
        {"A ", false}, {"zZ9", true},   {"{A", false},    {std::string("A\0B", 3), false}};
    for (const auto& [name, valid] : cases) {
        EXPECT_EQ(IsValidName(name), valid) << '"' << name << '"';
    }
}

TEST(NameRule, SkipFlagIgnoresTheVariable) {
    EXPECT_TRUE(AreValidNames("Arg", "Var", false));
    EXPECT_FALSE(AreValidNames("Arg", "", false));
    EXPECT_TRUE(AreValidNames("Arg", "", true));
    EXPECT_TRUE(AreValidNames("Arg", "a,b", true));
    EXPECT_FALSE(AreValidNames("1Arg", "Var", true));
}

struct FsrCase {
    int32_t target;
    std::vector<std::string> vars;
    int32_t count;
    bool ok;
};

void PrintTo(const FsrCase& c, std::ostream* os) {
    *os << "target " << c.target << ", count " << c.count << ":";
    for (const std::string& var : c.vars) {
        *os << ' ' << var;
    }
}

class RegisterRule : public ::testing::TestWithParam<FsrCase> {};

TEST_P(RegisterRule, RefusesARegisterUsedTwice) {
    const FsrCase& c = GetParam();
    MacroDefinition def;
    def.Header.Target = c.target;
    for (std::size_t i = 0; i < c.vars.size(); ++i) {
        def.Params[i].VarName = c.vars[i];
    }
    EXPECT_EQ(CheckFsrUse(def, c.count), c.ok);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, RegisterRule,
    ::testing::Values(FsrCase{2, {"FSR0", "FSR1"}, 2, true},
                      FsrCase{2, {"FSR0", "FSR0L"}, 2, false},
                      FsrCase{2, {"FSR", "FSR0"}, 2, false}, FsrCase{2, {"FSR1H", "FSR"}, 2, false},
                      FsrCase{2, {"FSR0", "FSR1", "FSR2"}, 3, true},
                      FsrCase{1, {"FSR", "MyFSR"}, 2, false},
                      FsrCase{0, {"FSR", "MyFSR"}, 2, false}, FsrCase{1, {"FSR"}, 1, true},
                      FsrCase{1, {"fsr", "FSR"}, 2, true},
                      FsrCase{1, {"FSR", "FSR"}, 1, true}, // only the first counted
                      FsrCase{1, {"A", "B"}, 0, true}, FsrCase{1, {"FSR", "FSR"}, -4, true},
                      // FSR3..FSR9 name no register the 16-bit cores have: ignored, never a fault.
                      FsrCase{2, {"FSR9", "FSR9", "FSR3"}, 3, true},
                      FsrCase{2, {"FSR", "FSR", "FSR"}, 99, false}));

TEST(RegisterRule, WholeTableCountedWithoutOverrun) {
    MacroDefinition def;
    def.Header.Target = 2;
    def.Params[19].VarName = "FSR2";
    EXPECT_TRUE(CheckFsrUse(def, 1000));
    def.Params[0].VarName = "XFSR2";
    EXPECT_FALSE(CheckFsrUse(def, 20));
}

} // namespace
