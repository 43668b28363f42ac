// The keyword-file editor on file bytes: where the block goes, what stays, what is refused.
#include "KeyFile.h"

#include <gtest/gtest.h>

using namespace vmg::keyfile;

namespace {

const Lines kBlock = {"KEY (\"AddNums\")", "\tDeviceCore = [dc12, dc14]",
                      "\tHighlighter = KeywordUser", "\tHint = \"<b>AddNums</b> <i></i></i>",
                      "ENDKEY"};

std::string join(const Lines& lines, const std::string& eol) {
    std::string out;
    for (const auto& line : lines) {
        out += line + eol;
    }
    return out;
}

const std::string kNew = join(kBlock, "\r\n");
const std::string kOther = "KEY (\"Other\")\r\n\tHighlighter = KeywordUser\r\nENDKEY\r\n";
const std::string kThird = "KEY (\"Third\")\r\nENDKEY\r\n";
const std::string kOld = "KEY (\"AddNums\")\r\n\tHint = \"old</i></i>\r\nENDKEY\r\n";

struct Case {
    const char* name;
    std::string file;
    EditKind kind;
    int line;
    std::string expected;
};

class PutBlock : public ::testing::TestWithParam<Case> {};

TEST_P(PutBlock, GivesTheExpectedFile) {
    const Case& c = GetParam();
    const EditResult r = PutKeyBlock(c.file, kBlock);
    EXPECT_EQ(r.Kind, c.kind) << r.Message;
    EXPECT_EQ(r.Line, c.line);
    EXPECT_EQ(r.Name, "AddNums");
    EXPECT_EQ(r.Bytes, c.expected);
    // A second run finds its own block and leaves the file as it is.
    const EditResult again = PutKeyBlock(r.Bytes, kBlock);
    EXPECT_EQ(again.Kind, EditKind::Unchanged);
    EXPECT_EQ(again.Bytes, r.Bytes);
}

INSTANTIATE_TEST_SUITE_P(
    Files, PutBlock,
    ::testing::Values(
        Case{"Empty", "", EditKind::Inserted, 1, kNew},
        Case{"AfterOthers", kOther, EditKind::Inserted, 5, kOther + "\r\n" + kNew},
        Case{"NoFinalLineEnd", "KEY (\"Other\")\r\nENDKEY", EditKind::Inserted, 4,
             "KEY (\"Other\")\r\nENDKEY\r\n\r\n" + kNew},
        Case{"EndsInEmptyLine", kOther + "\r\n", EditKind::Inserted, 5, kOther + "\r\n" + kNew},
        Case{"LfFile", "a\nb\n", EditKind::Inserted, 4, "a\nb\n\n" + join(kBlock, "\n")},
        Case{"CrFile", "a\r", EditKind::Inserted, 3, "a\r\r" + join(kBlock, "\r")},
        Case{"LastLineEndWins", "a\r\nb\n", EditKind::Inserted, 4,
             "a\r\nb\n\n" + join(kBlock, "\n")},
        Case{"HighBytes", "; \xE9t\xE9 \x80\xFF\r\n", EditKind::Inserted, 3,
             "; \xE9t\xE9 \x80\xFF\r\n\r\n" + kNew},
        Case{"ReplaceFirst", kOld + kOther + kThird, EditKind::Replaced, 1, kNew + kOther + kThird},
        Case{"ReplaceMiddle", kOther + kOld + kThird, EditKind::Replaced, 4,
             kOther + kNew + kThird},
        Case{"ReplaceLast", kOther + kThird + kOld, EditKind::Replaced, 6, kOther + kThird + kNew},
        Case{"ReplaceLastWithoutLineEnd", kOther + "KEY (\"AddNums\")\r\nENDKEY",
             EditKind::Replaced, 4, kOther + kNew.substr(0, kNew.size() - 2)},
        Case{"OtherCaseAndIndentation",
             kOther + "  \tkey(\"ADDNUMS\") \r\n\tjunk\r\n   EndKey\t\r\n; after\r\n",
             EditKind::Replaced, 4, kOther + kNew + "; after\r\n"},
        Case{"ReplaceInLfFile", "x\nKEY (\"AddNums\")\nENDKEY\ny", EditKind::Replaced, 2,
             "x\n" + join(kBlock, "\n") + "y"},
        Case{"Identical", kOther + kNew + kThird, EditKind::Unchanged, 4, kOther + kNew + kThird},
        Case{"SimilarNamesAreOthers", "KEY (\"AddNumsX\")\r\nENDKEY\r\nKEYS (\"AddNums\")\r\n",
             EditKind::Inserted, 5,
             "KEY (\"AddNumsX\")\r\nENDKEY\r\nKEYS (\"AddNums\")\r\n\r\n" + kNew}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(PutKeyBlock, RefusesWhatItCannotEditSafely) {
    const struct {
        std::string file;
        Lines block;
        std::string message;
    } cases[] = {
        {kOther + "KEY (\"AddNums\")\r\n\tHint = \"x\r\n", kBlock,
         "The entry for AddNums at line 4 has no ENDKEY."},
        {"KEY (\"AddNums\")\r\n" + kOther, kBlock,
         "The entry for AddNums at line 1 has no ENDKEY before the next KEY at line 2."},
        {kOld + kOther + "key (\"addnums\")\r\nENDKEY\r\n", kBlock,
         "The file holds more than one entry for AddNums, at lines 1 and 7."},
        {kOld + kOld + kOld, kBlock,
         "The file holds more than one entry for AddNums, at lines 1, 4 and 7."},
        {kOther, {}, "The hint does not start with a KEY (\"Name\") line."},
        {kOther, {"\tHint = \"x", "ENDKEY"}, "The hint does not start with a KEY (\"Name\") line."},
        {kOther, {"KEY (\"A\")", "\tHint = \"x"}, "The hint does not end with an ENDKEY line."},
        {kOther,
         {"KEY (\"A\")", "ENDKEY", "KEY (\"B\")", "ENDKEY"},
         "The hint holds more than one KEY ... ENDKEY block (see its line 2)."},
        {kOther,
         {"KEY (\"A\")", "a\r\nb", "ENDKEY"},
         "The hint holds a line break inside one of its lines."},
    };
    for (const auto& c : cases) {
        const EditResult r = PutKeyBlock(c.file, c.block);
        EXPECT_EQ(r.Kind, EditKind::Refused) << c.message;
        EXPECT_EQ(r.Message, c.message);
        EXPECT_TRUE(r.Bytes.empty());
    }
}

TEST(PutKeyBlock, BlankLinesAroundTheHintAreDropped) {
    Lines block = kBlock;
    block.insert(block.begin(), "  ");
    block.push_back("");
    const EditResult r = PutKeyBlock(kOther, block);
    EXPECT_EQ(r.Bytes, kOther + "\r\n" + kNew);
}

TEST(PutKeyBlock, InsertThenReplaceLeavesOneBlock) {
    Lines edited = kBlock;
    edited[3] = "\tHint = \"<b>AddNums</b> <i><b>First</b> As BYTE </i></i>";
    const std::string start = kOther + kThird;
    const EditResult first = PutKeyBlock(start, kBlock);
    const EditResult second = PutKeyBlock(first.Bytes, edited);
    ASSERT_EQ(second.Kind, EditKind::Replaced);
    EXPECT_EQ(second.Line, first.Line);
    EXPECT_EQ(second.Bytes, PutKeyBlock(start, edited).Bytes);
}

TEST(KeyLines, RecogniseNamesAndEnds) {
    const struct {
        const char* line;
        const char* name;
    } keys[] = {
        {"KEY (\"A1\")", "A1"},  {"\t key   (\"b\")  ; note", "b"},
        {"Key(\"x y\")", "x y"}, {"KEYS (\"A\")", ""},
        {"KEY (A)", ""},         {"KEY (\"\")", ""},
        {"KEY ( \"A\")", ""},    {"KEY (\"A\"", ""},
        {"ENDKEY", ""},
    };
    for (const auto& k : keys) {
        EXPECT_EQ(KeyLineName(k.line), k.name) << k.line;
    }
    for (const char* yes : {"ENDKEY", "  endkey \t", "\tEndKey"}) {
        EXPECT_TRUE(IsEndKeyLine(yes)) << yes;
    }
    for (const char* no : {"ENDKEYS", "ENDKEY x", "END KEY", "; ENDKEY", ""}) {
        EXPECT_FALSE(IsEndKeyLine(no)) << no;
    }
}

TEST(UnifiedDiff, ShowsTheChangedLinesWithContext) {
    EXPECT_EQ(UnifiedDiff("a\n", "a\n", "x", "y"), "");
    EXPECT_EQ(UnifiedDiff("", "A\r\nB\r\n", "/dev/null", "U"),
              "--- /dev/null\n+++ U\n@@ -0,0 +1,2 @@\n+A\r\n+B\r\n");
    EXPECT_EQ(UnifiedDiff("1\n2\n3\n4\n5\n6\n7\n8\n9\n", "1\n2\n3\n4\nV\n6\n7\n8\n9\n", "U", "U"),
              "--- U\n+++ U\n@@ -2,7 +2,7 @@\n 2\n 3\n 4\n-5\n+V\n 6\n 7\n 8\n");
    // An unfinished last line that gets its line end.
    EXPECT_EQ(UnifiedDiff("a\nb", "a\nb\n\nK\n", "U", "U"),
              "--- U\n+++ U\n@@ -1,2 +1,4 @@\n a\n-b\n\\ No newline at end of file\n+b\n+\n+K\n");
    // Changes far apart make two hunks; close ones share one.
    std::string lines, changed;
    for (int i = 1; i <= 20; ++i) {
        lines += std::to_string(i) + "\n";
        changed += (i == 2 || i == 18 ? "x" : std::to_string(i)) + "\n";
    }
    const std::string twoHunks = UnifiedDiff(lines, changed, "U", "U");
    EXPECT_NE(twoHunks.find("@@ -1,5 +1,5 @@\n"), std::string::npos) << twoHunks;
    EXPECT_NE(twoHunks.find("@@ -15,6 +15,6 @@\n"), std::string::npos) << twoHunks;
}

} // namespace
