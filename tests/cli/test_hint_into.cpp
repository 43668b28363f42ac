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
         "Cannot create file \"" + ro + "\". Permission denied\n"},
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

} // namespace
