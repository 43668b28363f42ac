// vmacgen hint --into: the keyword block put into a USER.MCD file, and --dry-run's diff.
#include "MacSourceReadWrite.h"
#include "RunVmacgen.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sys/wait.h>
#include <unistd.h>

using namespace vmg;
namespace fs = std::filesystem;

namespace {

using vmg::testing::Outcome;
using vmg::testing::slurp;

class HintInto : public ::testing::Test {
protected:
    void SetUp() override {
        m_dir = fs::temp_directory_path() / ("vmg_into_" + std::to_string(::getpid()));
        fs::create_directories(m_dir);
        m_mcd = (m_dir / "USER.MCD").string();
        codegen::MacroDefinition def;
        const auto read = macsource::ReadMacroSource(m_mcs, def);
        m_block = codegen::JoinCrLf(codegen::KeyBlock(def, read.count));
    }
    void TearDown() override { fs::remove_all(m_dir); }

    Outcome run(const std::string& args) { return vmg::testing::RunVmacgen(m_dir, args); }

    const std::string m_mcs = std::string(EXAMPLES_DIR) + "/AddNums.mcs";
    fs::path m_dir;
    std::string m_mcd;
    std::string m_block;
};

TEST_F(HintInto, CreatesAddsThenFindsItUpToDate) {
    const Outcome created = run("hint " + m_mcs + " --into " + m_mcd);
    EXPECT_EQ(created.status, 0) << created.err;
    EXPECT_EQ(created.out, "Created " + m_mcd + " with AddNums.\n");
    EXPECT_EQ(slurp(m_mcd), m_block);
    EXPECT_FALSE(fs::exists(m_mcd + ".bak"));

    const Outcome again = run("hint --into " + m_mcd + " " + m_mcs);
    EXPECT_EQ(again.status, 0);
    EXPECT_EQ(again.out, "The entry for AddNums in " + m_mcd + " is already up to date.\n");
    EXPECT_EQ(slurp(m_mcd), m_block);

    const std::string old = "; mine\n";
    std::ofstream(m_mcd, std::ios::binary) << old;
    const Outcome added = run("hint " + m_mcs + " --into " + m_mcd);
    EXPECT_EQ(added.status, 0);
    EXPECT_EQ(added.out,
              "Added AddNums to " + m_mcd + " at line 3; the old file is " + m_mcd + ".bak.\n");
    EXPECT_EQ(slurp(m_mcd + ".bak"), old);
}

TEST_F(HintInto, DryRunShowsTheDiffAndWritesNothing) {
    const std::string old = "KEY (\"AddNums\")\r\n\tHint = \"old\r\nENDKEY\r\n";
    std::ofstream(m_mcd, std::ios::binary) << old;
    const Outcome r = run("hint " + m_mcs + " --into " + m_mcd + " --dry-run");
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_TRUE(r.out.starts_with("--- " + m_mcd + "\n+++ " + m_mcd + "\n@@ -1,3 +1,5 @@\n"))
        << r.out;
    EXPECT_NE(r.out.find("-\tHint = \"old\r\n"), std::string::npos);
    EXPECT_NE(r.out.find("+\tDeviceCore = [dc12, dc14]\r\n"), std::string::npos);
    EXPECT_EQ(slurp(m_mcd), old);
    EXPECT_FALSE(fs::exists(m_mcd + ".bak"));
}

TEST_F(HintInto, RefusalsAndUsage) {
    const std::string doubled = "KEY (\"AddNums\")\nENDKEY\nkey (\"ADDNUMS\")\nENDKEY\n";
    std::ofstream(m_mcd, std::ios::binary) << doubled;
    const std::string ro = (m_dir / "ro.mcd").string();
    std::ofstream(ro, std::ios::binary) << "; x\n";
    fs::permissions(ro, fs::perms::owner_read);
    const struct {
        std::string args;
        int status;
        std::string err;
    } cases[] = {
        {"hint " + m_mcs + " --into " + m_mcd, 1,
         "Cannot add the hint to \"" + m_mcd +
             "\". The file holds more than one entry for AddNums, at lines 1 and 3.\n"},
        {"hint " + m_mcs + " --into " + ro, 1,
         "Cannot create file \"" + ro + "\". Permission denied.\n"},
        {"hint " + m_mcs + " --into " + (m_dir / "no" / "USER.MCD").string(), 1,
         "Cannot create file \"" + (m_dir / "no" / "USER.MCD").string() + "\". "},
        {"hint " + (m_dir / "none.mcs").string() + " --into " + m_mcd, 1, "Cannot open file"},
        {"hint " + m_mcs + " --into", 2,
         "vmacgen hint: --into needs a PATH\n\nUsage: vmacgen hint"},
        {"hint " + m_mcs + " --dry-run", 2, "vmacgen hint: --dry-run goes with --into PATH\n"},
        {"hint " + m_mcs + " --into a --into b", 2, "vmacgen hint: --into given twice\n"},
        {"hint " + m_mcs + " x.mcs --into a", 2, "vmacgen hint: unexpected argument x.mcs\n"},
    };
    for (const auto& c : cases) {
        const Outcome r = run(c.args);
        EXPECT_EQ(r.status, c.status) << c.args;
        EXPECT_TRUE(r.err.starts_with(c.err)) << c.args << ": " << r.err;
        EXPECT_EQ(r.out, "") << c.args;
    }
    EXPECT_EQ(slurp(m_mcd), doubled);
    EXPECT_EQ(slurp(ro), "; x\n");
}

// Two runs at once on a file that holds another block, 50 times (different macros, then the
// same one): a run that says it succeeded has its block in the file, the other block is never
// lost, a run that could not get the file says why, and nothing of ours is left behind.
TEST_F(HintInto, TwoWritersAtOnceLoseNothing) {
    std::string sub = slurp(m_mcs);
    sub.replace(sub.find("AddNums"), 7, "SubNums");
    const std::string subMcs = (m_dir / "SubNums.mcs").string();
    std::ofstream(subMcs, std::ios::binary) << sub;
    const std::string other = "KEY (\"Other\")\r\n\tHint = \"x\"\r\nENDKEY\r\n";
    for (int pair = 0; pair < 50; ++pair) {
        const std::string second = pair < 25 ? subMcs : m_mcs;
        std::ofstream(m_mcd, std::ios::binary) << other;
        const fs::path d = m_dir;
        const std::string one = std::string(VMACGEN_PATH) + " hint " + m_mcs + " --into " + m_mcd;
        const std::string two = std::string(VMACGEN_PATH) + " hint " + second + " --into " + m_mcd;
        const std::string cmd = "cd " + d.string() + "; (" + one + " >o1 2>e1; echo $? >s1) & (" +
                                two + " >o2 2>e2; echo $? >s2) & wait";
        ASSERT_EQ(std::system(("sh -c '" + cmd + "'").c_str()), 0);
        const std::string final = slurp(m_mcd);
        ASSERT_TRUE(final.starts_with(other)) << pair << ": " << final;
        for (const auto& [n, name] : {std::pair{"1", "AddNums"},
                                      std::pair{"2", second == subMcs ? "SubNums" : "AddNums"}}) {
            const std::string status = slurp(d / (std::string("s") + n));
            if (status == "0\n") {
                EXPECT_NE(final.find("KEY (\"" + std::string(name) + "\")"), std::string::npos)
                    << pair << " run " << n;
            } else {
                EXPECT_EQ(status, "1\n") << pair;
                EXPECT_NE(slurp(d / (std::string("e") + n)).find("Another program"),
                          std::string::npos);
            }
        }
        EXPECT_EQ(final.find("KEY (\"AddNums\")"), final.rfind("KEY (\"AddNums\")")) << final;
    }
    for (const auto& entry : fs::directory_iterator(m_dir)) {
        EXPECT_FALSE(entry.path().filename().string().starts_with(".")) << entry.path();
    }
}

TEST_F(HintInto, EncodingsOfTheKeywordFile) {
    using namespace std::string_literals;
    const struct {
        std::string before;
        int status;
        std::string err;   // the start of standard error
        std::string after; // "" when unchanged
    } cases[] = {
        {"\xFF\xFE;\0 \0x\0\r\0\n\0"s, 1, "UTF-16 LE", ""},
        {"\xFE\xFF\0;\0 \0x\0\r\0\n"s, 1, "UTF-16 BE", ""},
        {"\xFF\xFE\0\0;\0\0\0"s, 1, "UTF-32 LE", ""},
        // A mark before the block on line 1: the block is replaced there, the mark kept.
        {"\xEF\xBB\xBFKEY (\"AddNums\")\r\n\tHint = \"old\"\r\nENDKEY\r\n", 0, "",
         "\xEF\xBB\xBF" + m_block},
        {"; plain\r\n", 0, "", "; plain\r\n\r\n" + m_block},
    };
    for (const auto& c : cases) {
        std::ofstream(m_mcd, std::ios::binary) << c.before;
        const Outcome r = run("hint " + m_mcs + " --into " + m_mcd);
        EXPECT_EQ(r.status, c.status) << r.err;
        if (c.status != 0) {
            EXPECT_EQ(r.err, "Cannot add the hint to \"" + m_mcd + "\". It is in " + c.err +
                                 "; only 8-bit text (code page 1252) can be edited.\n");
        }
        EXPECT_EQ(slurp(m_mcd), c.after.empty() ? c.before : c.after);
        // A second run finds the block and changes nothing.
        if (c.status == 0) {
            EXPECT_TRUE(run("hint " + m_mcs + " --into " + m_mcd).out.find("up to date") !=
                        std::string::npos);
        }
    }
}

} // namespace
