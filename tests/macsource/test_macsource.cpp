// The ".mcs" reader and writer: field splitting, record rules, failures and round trips.
#include "Files.h"
#include "MacSourceReadWrite.h"
#include "MacSourceTestSupport.h"
#include "RandomDefinitions.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <random>
#include <set>

using namespace vmg;
using codegen::ArgData;
using codegen::MacroDefinition;

namespace fs = std::filesystem;

namespace {

using namespace vmg::testing;

TEST(CommaField, SplitsAtEveryComma) {
    const struct {
        const char* line;
        int n;
        const char* field;
    } cases[] = {{"a,b,c", 1, "a"},   {"a,b,c", 2, "b"}, {"a,b,c", 3, "c"}, {"a,b,c", 4, ""},
                 {",,x", 3, "x"},     {",,x", 1, ""},    {"", 1, ""},       {"abc", 1, "abc"},
                 {"a, b ", 2, " b "}, {"a,b", 0, ""},    {"a,b", -1, ""}};
    for (const auto& c : cases) {
        EXPECT_EQ(macsource::CommaField(c.line, c.n), c.field) << c.line << " #" << c.n;
    }
}

TEST(MacroSourceReader, ReadsTheExampleWhateverTheLineEnds) {
    for (const char* end : {"\r\n", "\n", "\r"}) {
        std::string text = kReadPort;
        std::string converted;
        for (std::size_t i = 0; i < text.size(); ++i) {
            if (text.compare(i, 2, "\r\n") == 0) {
                converted += end;
                ++i;
            } else {
                converted += text[i];
            }
        }
        MacroDefinition d;
        const auto r = macsource::ReadMacroSourceText(converted, d);
        ASSERT_TRUE(r.ok) << r.message;
        EXPECT_EQ(r.count, 1);
        EXPECT_EQ(d, readPort());
    }
}

TEST(MacroSourceWriter, WritesTheExampleByteForByte) {
    TempDir dir;
    const std::string path = dir.file("ReadPort.mcs");
    const auto w = macsource::WriteMacroSource(path, readPort(), 1);
    ASSERT_TRUE(w.ok) << w.message;
    EXPECT_EQ(slurp(path), kReadPort);
    // Only the file itself is left: the temporary one was renamed over it.
    EXPECT_EQ(std::distance(fs::directory_iterator(dir.path()), fs::directory_iterator()), 1);
}

struct ReadCase {
    const char* name;
    std::string text;
    bool ok;
    int32_t count;
    std::string message;
    std::function<void(const MacroDefinition&)> check;
};

MacroDefinition seeded() {
    MacroDefinition d;
    d.Header = {"Old", 1, 1, true, "Old text", 7};
    for (auto& a : d.Params) {
        a = {"OldArg", 3, "OldVar", true, true};
    }
    d.Return = {"OldSub", false, true, {"", 4, "OldRet", true, true}};
    return d;
}

std::vector<ReadCase> readCases() {
    return {
        {"EmptyFileChangesNothing", "", true, 0, "",
         [](const MacroDefinition& d) { EXPECT_EQ(d, seeded()); }},
        {"HeaderOnlyKeepsParametersAndReturn", "1,New,0,,0,0,\r\n", true, 0, "",
         [](const MacroDefinition& d) {
             EXPECT_EQ(d.Header.MacroName, "New");
             EXPECT_EQ(d.Header.Description, "");
             EXPECT_EQ(d.Header.ArgCount, 7); // not stored in the file
             EXPECT_EQ(d.Params, seeded().Params);
             EXPECT_EQ(d.Return, seeded().Return);
         }},
        {"DescriptionKeepsItsCommas", "1,M,0,,0,0,One, two, three\r\n", true, 0, "",
         [](const MacroDefinition& d) { EXPECT_EQ(d.Header.Description, "One, two, three"); }},
        {"ContinuationRecordsAddDescriptionLines", "1,M,0,,0,0,First\r\n4,Second, too\r\n4,\r\n",
         true, 0, "",
         [](const MacroDefinition& d) {
             EXPECT_EQ(d.Header.Description, "First\r\nSecond, too\r\n");
         }},
        {"TextEndsAtNul",
         std::string("1,M,0,,0,0,D\r\n\0"
                     "2,X,Y,2,0,0\r\n",
                     27),
         true, 0, "", [](const MacroDefinition& d) { EXPECT_EQ(d.Header.MacroName, "M"); }},
        {"NonAsciiBytesKept", "1,M\xE9,0,,0,0,Gr\xFC\xDF\x65 \x80\r\n", true, 0, "",
         [](const MacroDefinition& d) {
             EXPECT_EQ(d.Header.MacroName, "M\xE9");
             EXPECT_EQ(d.Header.Description, "Gr\xFC\xDF\x65 \x80");
         }},
        {"SecondHeaderStopsAtMissingFlag", "1,First,2,,2,-1,Kept\r\n1,Second\r\n", false, 0,
         "'' is not a valid boolean value",
         [](const MacroDefinition& d) {
             EXPECT_EQ(d.Header.MacroName, "Second");
             EXPECT_EQ(d.Header.ReturnMethod, 0);
             EXPECT_EQ(d.Header.Target, 0);
             EXPECT_EQ(d.Header.Description, "Kept");
         }},
        {"LeadingSpaceReadSpaceBeforeCommaSkipped", " 2,A,V,2,0,0\r\n2 ,B,W,3,0,0\r\n", true, 1, "",
         [](const MacroDefinition& d) { EXPECT_EQ(d.Params[0].ArgName, "A"); }},
        {"BooleanWordsAnyCase", "2,A,V,2,True,false\r\n2,B,W,3,1,TRUE\r\n", true, 2, "",
         [](const MacroDefinition& d) {
             EXPECT_TRUE(d.Params[0].Optional);
             EXPECT_FALSE(d.Params[0].AllowAlt);
             EXPECT_TRUE(d.Params[1].Optional);
             EXPECT_TRUE(d.Params[1].AllowAlt);
         }},
        {"OtherWordStopsReading", "2,A,V,2,yes,0\r\n", false, 0,
         "'yes' is not a valid boolean value",
         [](const MacroDefinition& d) {
             EXPECT_EQ(d.Params[0].ArgName, "A");
             EXPECT_EQ(d.Params[0].DataType, 2);
         }},
        {"NinthReturnFieldIgnoredParametersAfterReturnRead",
         "3,S,0,-1,R,5,-1,0,extra\r\n2,A,V,2,0,0\r\n2,B,W,3,0,-1\r\n", true, 2, "",
         [](const MacroDefinition& d) {
             EXPECT_EQ(d.Return, (codegen::RetData{"S", false, true, {"", 5, "R", true, false}}));
             EXPECT_EQ(d.Params[1].ArgName, "B");
             EXPECT_EQ(d.Params[2], seeded().Params[2]);
         }},
        {"MalformedNumbersTakeLeadingDigits", "1,M,-2x,,  7z,0,\r\n2,A,V,,0,0\r\n", true, 1, "",
         [](const MacroDefinition& d) {
             EXPECT_EQ(d.Header.ReturnMethod, 2);
             EXPECT_EQ(d.Header.Target, 7);
             EXPECT_EQ(d.Params[0].DataType, 0);
         }},
        {"UnknownRecordTypesSkipped", "0,x\r\n5,y\r\nabc\r\n\r\n+2,A,V,2,0,0\r\n", true, 1, "",
         [](const MacroDefinition& d) { EXPECT_EQ(d.Params[0].ArgName, "A"); }},
    };
}

TEST(MacroSourceReader, Cases) {
    for (const ReadCase& c : readCases()) {
        SCOPED_TRACE(c.name);
        MacroDefinition d = seeded();
        const auto r = macsource::ReadMacroSourceText(c.text, d);
        EXPECT_EQ(r.ok, c.ok);
        EXPECT_EQ(r.message, c.message);
        if (c.ok) {
            EXPECT_EQ(r.count, c.count);
        }
        c.check(d);
    }
}

TEST(MacroSourceReader, RecordsPastTheTwentiethAreIgnored) {
    std::string text;
    for (int i = 1; i <= 25; ++i) {
        text += "2,A" + std::to_string(i) + ",V,2,0,0\r\n";
    }
    text += "3,Sub,-1,0,R,2,0,0\r\n";
    MacroDefinition d;
    const auto r = macsource::ReadMacroSourceText(text, d);
    ASSERT_TRUE(r.ok);
    EXPECT_EQ(r.count, 20);
    EXPECT_EQ(r.dropped, 5);
    EXPECT_EQ(d.Params[19].ArgName, "A20");
    EXPECT_EQ(d.Return.SubName, "Sub");
}

// A kind test without a condition: "#IF" alone on its line.
bool HasBareIf(const codegen::Lines& lines) {
    return std::ranges::any_of(lines, [](const std::string& l) {
        return l.ends_with("#IF") && l.find_first_not_of('\t') == l.size() - 3;
    });
}

TEST(MacroSourceTypes, EveryCodeForEveryTargetIsGeneratedOrRefusedByItsRecord) {
    const std::set<int32_t> both = {2, 3, 4, 6, 7, 22, 23};
    std::set<int32_t> wide = both;
    wide.insert({5, 9});
    const char* targetNames[] = {"both cores", "the 14-bit core", "the 16-bit core"};
    for (int32_t target = 0; target <= 2; ++target) {
        const std::set<int32_t>& has = target == 2 ? wide : both;
        for (int32_t code = -1; code <= 31; ++code == 31 ? code = 255 : 0) {
            for (const bool asReturn : {false, true}) {
                SCOPED_TRACE("target " + std::to_string(target) + ", code " + std::to_string(code) +
                             (asReturn ? ", return" : ", parameter"));
                const std::string c = std::to_string(code);
                const std::string text = "1,M," + std::string(asReturn ? "1" : "0") + ",," +
                                         std::to_string(target) + ",0,\r\n" +
                                         (asReturn ? "" : "2,A,V," + c + ",0,0\r\n") +
                                         "3,S,-1,0,R," + (asReturn ? c : "2") + ",0,0\r\n";
                MacroDefinition d;
                const auto r = macsource::ReadMacroSourceText(text, d);
                ASSERT_TRUE(r.ok);
                std::vector<std::string> expected;
                if (!has.contains(code)) {
                    expected.push_back("record 2: data type " + c + " " +
                                       (wide.contains(code) ? "is not available for " +
                                                                  std::string(targetNames[target])
                                                            : std::string("is not a data type")));
                }
                EXPECT_EQ(macsource::UnavailableTypes(r, d), expected);
                // Refused exactly where the generator would write a kind test without a
                // condition.
                EXPECT_EQ(HasBareIf(codegen::MacroLines(d, r.count)), !expected.empty());
            }
        }
    }
    // A return value that a macro without one never reads is no reason to refuse the file.
    MacroDefinition d;
    const auto r = macsource::ReadMacroSourceText("1,M,0,,1,0,\r\n3,S,-1,0,R,255,0,0\r\n", d);
    EXPECT_TRUE(macsource::UnavailableTypes(r, d).empty());
}

TEST(MacroSourceTypes, NoDefinitionAReaderAcceptsGivesAKindTestWithoutCondition) {
    std::mt19937 rng(28);
    int accepted = 0;
    int refused = 0;
    for (int round = 0; round < 2000 / codegen::examples::kPropertyShare; ++round) {
        MacroDefinition d =
            codegen::examples::RandomDefinition(rng, {codegen::kMaxParams, true, true});
        // Now and then a code no list offers, as a hand-edited file holds.
        if (rng() % 8 == 0) {
            d.Params[rng() % codegen::kMaxParams].DataType = static_cast<int32_t>(rng() % 40) - 5;
            d.Return.RetArg.DataType = static_cast<int32_t>(rng() % 40) - 5;
        }
        const auto text = macsource::MacroSourceText(d, d.Header.ArgCount);
        ASSERT_TRUE(text);
        MacroDefinition back;
        const auto r = macsource::ReadMacroSourceText(*text, back);
        ASSERT_TRUE(r.ok);
        ASSERT_FALSE(macsource::WhyNotMacroSource(r, back));
        if (!macsource::UnavailableTypes(r, back).empty()) {
            ++refused;
            continue;
        }
        ++accepted;
        ASSERT_FALSE(HasBareIf(codegen::MacroLines(back, r.count))) << *text;
    }
    EXPECT_GT(accepted, 0);
    EXPECT_GT(refused, 0);
}

TEST(MacroSourceReader, MissingFileChangesNothing) {
    TempDir dir;
    const std::string path = dir.file("nowhere.mcs");
    MacroDefinition d = seeded();
    const auto r = macsource::ReadMacroSource(path, d);
    EXPECT_FALSE(r.ok);
    // 2 is "no such file" both as errno and as a Windows error code.
    EXPECT_EQ(r.message, "Cannot open file \"" + path + "\". " + vmg::platform::SystemErrorText(2));
    EXPECT_EQ(d, seeded());
}

TEST(MacroSourceWriter, RefusesFieldsThatWouldNotReadBack) {
    const struct {
        const char* field;
        std::function<void(MacroDefinition&)> spoil;
    } cases[] = {
        {"macro name", [](MacroDefinition& d) { d.Header.MacroName = "A,B"; }},
        {"name of parameter 1", [](MacroDefinition& d) { d.Params[0].ArgName = "A\nB"; }},
        {"destination variable of parameter 1",
         [](MacroDefinition& d) { d.Params[0].VarName = "x,y"; }},
        {"subroutine name", [](MacroDefinition& d) { d.Return.SubName = "S\r"; }},
        {"return variable", [](MacroDefinition& d) { d.Return.RetArg.VarName = "r,1"; }},
    };
    TempDir dir;
    const std::string path = dir.file("M.mcs");
    spit(path, "previous");
    for (const auto& c : cases) {
        MacroDefinition d = readPort();
        c.spoil(d);
        const auto w = macsource::WriteMacroSource(path, d, 1);
        EXPECT_FALSE(w.ok) << c.field;
        EXPECT_NE(w.message.find(std::string("The ") + c.field + " \""), std::string::npos)
            << w.message;
        EXPECT_EQ(slurp(path), "previous");
    }
    // A parameter beyond the count is not written, so it is not checked either.
    MacroDefinition d = readPort();
    d.Params[1].VarName = "a,b";
    EXPECT_TRUE(macsource::WriteMacroSource(path, d, 1).ok);
}

TEST(MacroSourceWriter, FolderThatCannotBeWritten) {
    TempDir dir;
    const std::string path = dir.file("missing/M.mcs");
    const auto w = macsource::WriteMacroSource(path, readPort(), 1);
    EXPECT_FALSE(w.ok);
    // The system's own words: "no such file" (POSIX) or "path not found" (Windows).
    const std::string prefix = "Cannot create file \"" + path + "\". ";
    EXPECT_TRUE(w.message == prefix + vmg::platform::SystemErrorText(2) ||
                w.message == prefix + vmg::platform::SystemErrorText(3))
        << w.message;
}

TEST(MacroSourceWriter, MultiLineDescriptionWritesContinuationRecords) {
    MacroDefinition d = readPort();
    d.Header.Description = "Line one, with comma\r\n2,Looks,like,a,record,0,0\r\n";
    const auto text = macsource::MacroSourceText(d, 1);
    ASSERT_TRUE(text);
    EXPECT_EQ(text->substr(0, text->find("2,Pin")),
              "1,ReadPort,0,,2,0,Line one, with comma\r\n4,2,Looks,like,a,record,0,0\r\n4,\r\n");
}

TEST(MacroSource, RandomRoundTrips) {
    std::mt19937 rng(42);
    const auto word = [&](bool allowEmpty) {
        static const char letters[] = "AbcXyz09\xE9\xFC _.;\"'";
        std::string s;
        const std::size_t len = rng() % 8 + (allowEmpty ? 0 : 1);
        for (std::size_t i = 0; i < len; ++i) {
            s += letters[rng() % (sizeof(letters) - 1)];
        }
        return s;
    };
    const auto description = [&] {
        static const char* pieces[] = {"text", ", ", "\r\n", "2,a,b,2,0,0", "", "1,", "\xE4"};
        std::string s;
        for (std::size_t i = rng() % 6; i > 0; --i) {
            s += pieces[rng() % std::size(pieces)];
        }
        return s;
    };
    const auto num = [&] { return static_cast<int32_t>(rng() % 50) - 10; };
    TempDir dir;
    const std::string path = dir.file("round.mcs");
    for (int round = 0; round < 300; ++round) {
        MacroDefinition d;
        d.Header = {word(false), num(), num(), rng() % 2 == 0, description(), 0};
        const auto count = static_cast<int32_t>(rng() % 21);
        for (auto& a : d.Params) {
            a = {word(true), num(), word(true), rng() % 2 == 0, rng() % 2 == 0};
        }
        d.Return = {word(true),
                    rng() % 2 == 0,
                    rng() % 2 == 0,
                    {"", num(), word(true), rng() % 2 == 0, rng() % 2 == 0}};
        ASSERT_TRUE(macsource::WriteMacroSource(path, d, count).ok);
        MacroDefinition back = seeded();
        const auto r = macsource::ReadMacroSource(path, back);
        ASSERT_TRUE(r.ok) << r.message;
        ASSERT_EQ(r.count, count);
        back.Header.ArgCount = d.Header.ArgCount; // the count is the number of records
        EXPECT_EQ(back.Header, d.Header);
        EXPECT_EQ(back.Return, d.Return);
        for (int32_t i = 0; i < count; ++i) {
            EXPECT_EQ(back.Params[static_cast<std::size_t>(i)],
                      d.Params[static_cast<std::size_t>(i)]);
        }
    }
}

} // namespace
