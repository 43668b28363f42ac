// The page cleaning and the label and variable scans, on text alone.
#include "IDE_Info.h"
#include "IdeTestSupport.h"

#include <gtest/gtest.h>

#include <climits>

using namespace vmg::ide;
using namespace std::string_literals;
using Lines = std::vector<std::string>;

namespace {

struct CleanCase {
    const char* what;
    std::string text;
    Lines expected;
};

void PrintTo(const CleanCase& c, std::ostream* out) {
    *out << c.what;
}

class CleanPageTextTest : public ::testing::TestWithParam<CleanCase> {};

TEST_P(CleanPageTextTest, GivesTheKeptLines) {
    EXPECT_EQ(CleanPageText(GetParam().text), GetParam().expected) << GetParam().what;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, CleanPageTextTest,
    ::testing::Values(
        CleanCase{"empty text", "", {}},
        CleanCase{"every line end", "A\r\nB\rC\nD", {"A", "B", "C", "D"}},
        CleanCase{"empty lines dropped", "\r\nA\r\n\r\n\nB\r\r\n\n\r", {"A", "B"}},
        CleanCase{"LF CR is two line ends", "A\n\rB", {"A", "B"}},
        CleanCase{"text ends at the first NUL", "A\nB\0C\nD"s, {"A", "B"}},
        CleanCase{"indented comments", "  ' note\n\t' tab\n \t; semi\n\x01'ctl\nX", {"X"}},
        CleanCase{"code before a comment stays whole", "X = 1 ' one", {"X = 1 ' one"}},
        CleanCase{"tabs become blanks", "\tIf A\tThen", {" If A Then"}},
        CleanCase{"blank lines stay as blanks", "   \n\t\t\nX", {"   ", "  ", "X"}},
        CleanCase{"comments only", "' a\r\n; b\r\n", {}},
        CleanCase{"quote after a letter is code", "A'\n;", {"A'"}}));

struct NameCase {
    const char* line;
    std::optional<std::string> expected;
};

void PrintTo(const NameCase& c, std::ostream* out) {
    *out << vmg::idetest::printable(c.line);
}

class LabelOfTest : public ::testing::TestWithParam<NameCase> {};

TEST_P(LabelOfTest, TakesTheNameBeforeTheFirstColon) {
    EXPECT_EQ(LabelOf(GetParam().line), GetParam().expected) << GetParam().line;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, LabelOfTest,
    ::testing::Values(NameCase{"Main:", "Main"}, NameCase{"Main: ' the start", "Main"},
                      NameCase{"Loop:GoTo Loop", "Loop"}, NameCase{"Lbl:A:B", "Lbl"},
                      NameCase{"  Main:", std::nullopt}, NameCase{"Main :", std::nullopt},
                      NameCase{"A_B:", std::nullopt}, NameCase{"1A:", std::nullopt},
                      NameCase{":", std::nullopt}, NameCase{"\xC4rger:", std::nullopt},
                      NameCase{"GoTo Main", std::nullopt}));

class DeclaredVariableOfTest : public ::testing::TestWithParam<NameCase> {};

TEST_P(DeclaredVariableOfTest, TakesTheDeclaredName) {
    EXPECT_EQ(DeclaredVariableOf(GetParam().line), GetParam().expected) << GetParam().line;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, DeclaredVariableOfTest,
    ::testing::Values(
        NameCase{"Dim Counter As Byte", "Counter"}, NameCase{"DIM Buffer[16] AS BYTE", "Buffer"},
        NameCase{"Dim Arr [10] As Byte", "Arr"}, NameCase{"Dim Arr[ 10 ] As Word", "Arr"},
        NameCase{"dim lower as word", "lower"},
        NameCase{"   Dim Indented As Word  \x01", "Indented"}, NameCase{"Dim X, Y As Word", "X"},
        NameCase{"Dim A,B As Byte", "A"}, NameCase{"Dim Odd\x02Tail As Byte", "Odd"},
        NameCase{"Dim\x01Ctl As Byte", ""},
        NameCase{"Dim  Wide As Byte", ""}, // the name ends at the second blank
        NameCase{"Dim Flag", std::nullopt}, NameCase{"Dim ", std::nullopt},
        NameCase{"Dimmer = 5", std::nullopt}, NameCase{"Diminish As Byte", std::nullopt},
        NameCase{"Counter = 0", std::nullopt}, NameCase{"' Dim Old As Byte", std::nullopt}));

TEST(PageScan, ScansKeepPageOrderAndDuplicates) {
    const Lines lines{"Main:",         "Dim B As Byte", "Dim A As Byte", "Loop: ' again",
                      "Dim B As Byte", "Main:",         "GoTo Loop"};
    EXPECT_EQ(ScanLabels(lines), (Lines{"Main", "Loop", "Main"}));
    EXPECT_EQ(ScanVariables(lines), (Lines{"B", "A", "B"}));
    EXPECT_TRUE(ScanLabels({}).empty());
    EXPECT_TRUE(ScanVariables({}).empty());
}

TEST(PageScan, BelievesOnlyTextSizesFromOneByteTo64MiB) {
    constexpr std::int32_t max = 64 * 1024 * 1024;
    EXPECT_EQ(PageTextBufferSize(1), 1u);
    EXPECT_EQ(PageTextBufferSize(max), static_cast<std::size_t>(max));
    for (const std::int32_t size : {0, -1, INT_MIN, max + 1, INT_MAX}) {
        EXPECT_EQ(PageTextBufferSize(size), std::nullopt) << size;
    }
}

} // namespace
