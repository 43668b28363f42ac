// vmacgen import as a user runs it: the macro source file, the summary, the exit codes.
#include "MacSourceReadWrite.h"
#include "RunVmacgen.h"
#include "WorkedExamples.h"

#include <gtest/gtest.h>

#include <filesystem>

using namespace vmg;
namespace fs = std::filesystem;
using vmg::testing::Outcome;

namespace {

class ImportCommand : public vmg::testing::CommandTest {
protected:
    ImportCommand() : CommandTest("vmg_import_") {}
};

// Optional before the last mandatory parameter, 14-bit: only the keyword block tells.
codegen::MacroDefinition second() {
    codegen::MacroDefinition d = codegen::examples::AddNums();
    d.Header.MacroName = "Second";
    d.Params[0].Optional = true;
    return d;
}

TEST_F(ImportCommand, ChoosesFillsFromTheHintAndWritesTheSourceFile) {
    const std::string code =
        codegen::JoinCrLf(codegen::MacroLines(codegen::examples::AddNums(), 2)) + "Main:\n" +
        codegen::JoinCrLf(codegen::MacroLines(second(), 2));
    const std::string bas = file("Blink.bas", code);
    const std::string hint = file("USER.MCD", codegen::JoinCrLf(codegen::KeyBlock(second(), 2)));

    Outcome o = run("import " + bas);
    EXPECT_EQ(o.status, 2);
    EXPECT_EQ(o.out, "");
    EXPECT_NE(o.err.find("holds 2 macros; choose one with --macro NAME:\n  AddNums (line 2)\n"
                         "  Second (line 56)\n"),
              std::string::npos)
        << o.err;

    // Without the block: mandatory and Both, each named as deduced.
    o = run("import " + bas + " --macro second");
    EXPECT_EQ(o.status, 0) << o.err;
    EXPECT_EQ(o.out.substr(0, o.out.find('\n')), "1,Second,1,,0,0,Adds two numbers\r");
    EXPECT_NE(o.err.find("target: Both (0), the wizard's default"), std::string::npos) << o.err;
    EXPECT_NE(o.err.find("Optional of parameter 1, before the last mandatory parameter 2: off"),
              std::string::npos);

    const std::string out = (m_dir / "out.mcs").string();
    o = run("import " + bas + " --macro Second --hint " + hint + " -o " + out);
    EXPECT_EQ(o.status, 0) << o.err;
    EXPECT_EQ(o.out, "");
    EXPECT_NE(o.err.find("from DeviceCore = [dc12, dc14] of the keyword block in " + hint),
              std::string::npos)
        << o.err;
    codegen::MacroDefinition back;
    const auto read = macsource::ReadMacroSource(out, back);
    ASSERT_TRUE(read.ok);
    EXPECT_EQ(back.Header.Target, 1);
    EXPECT_TRUE(back.Params[0].Optional);
    EXPECT_EQ(run("code " + out).out, codegen::JoinCrLf(codegen::MacroLines(second(), 2)));
}

TEST_F(ImportCommand, RefusalsAndUsage) {
    auto lines = codegen::MacroLines(codegen::examples::AddNums(), 2);
    lines.erase(lines.begin() + 13);
    const std::string edited = file("Edited.bas", codegen::JoinCrLf(lines));
    const struct {
        std::string args;
        int status;
        std::string err; // the start of standard error
    } cases[] = {
        {"import " + edited + " -o " + (m_dir / "out.mcs").string(), 1,
         edited + ": AddNums: line 14: expected #ENDIF, found #IF (PRM_1 == BYTE)\n"},
        {"import " + edited + " --macro Other", 1, edited + " holds no macro Other; it holds:\n"},
        {"import " + (m_dir / "none.bas").string(), 1, "Cannot open file \""},
        {"import " + file("Plain.txt", "x = 1\r\n"), 1, m_dir.string() + "/Plain.txt: no macro"},
        {"import", 2, "vmacgen import: no FILE given\n\nUsage: vmacgen import"},
        {"import a.bas --macro", 2, "vmacgen import: --macro needs a NAME\n"},
        {"import a.bas --frobnicate", 2, "vmacgen import: unknown option --frobnicate\n"},
    };
    for (const auto& c : cases) {
        const Outcome o = run(c.args);
        EXPECT_EQ(o.status, c.status) << c.args;
        EXPECT_TRUE(o.err.starts_with(c.err)) << c.args << "\n" << o.err;
        EXPECT_EQ(o.out, "") << c.args;
    }
    EXPECT_FALSE(fs::exists(m_dir / "out.mcs"));
    const Outcome help = run("import --help");
    EXPECT_EQ(help.status, 0);
    EXPECT_TRUE(help.out.starts_with("Usage: vmacgen import FILE [--macro NAME] [--hint FILE]"));
}

// -o never replaces an input, however it is spelt; another file is kept as .bak; a folder is
// not a regular file. The code file may carry a UTF-8 mark; a UTF-16 one is refused.
TEST_F(ImportCommand, OutputNeverReplacesAnInput) {
    const std::string code = codegen::JoinCrLf(codegen::MacroLines(second(), 2));
    const std::string bas = file("Prog.bas", "\xEF\xBB\xBF" + code);
    const std::string hint = file("USER.MCD", codegen::JoinCrLf(codegen::KeyBlock(second(), 2)));
    const std::string other = file("old.mcs", "old\r\n");
    fs::create_directory(m_dir / "folder");
    const std::string via = (m_dir / "folder" / "..").string() + "/";
    const struct {
        std::string out;
        int status;
        std::string err; // the start of standard error
    } cases[] = {
        {via + "Prog.bas", 1,
         "Cannot create file \"" + via + "Prog.bas\". It is the input file \"" + bas + "\""},
        {via + "USER.MCD", 1,
         "Cannot create file \"" + via + "USER.MCD\". It is the input file \"" + hint + "\""},
        {(m_dir / "folder").string(), 1,
         "Cannot create file \"" + (m_dir / "folder").string() + "\". It is not a regular file."},
        {other, 0, "Second: lines 1-"},
    };
    for (const auto& c : cases) {
        const Outcome o = run("import " + bas + " --hint " + hint + " -o " + c.out);
        EXPECT_EQ(o.status, c.status) << c.out << ": " << o.err;
        EXPECT_TRUE(o.err.starts_with(c.err)) << o.err;
    }
    EXPECT_EQ(vmg::testing::slurp(bas), "\xEF\xBB\xBF" + code);
    EXPECT_EQ(vmg::testing::slurp(other + ".bak"), "old\r\n");
    EXPECT_TRUE(vmg::testing::slurp(other).starts_with("1,Second,"));

    file("Wide.bas", std::string("\xFF\xFE;\0", 4));
    const Outcome wide = run("import " + (m_dir / "Wide.bas").string());
    EXPECT_EQ(wide.status, 1);
    EXPECT_NE(wide.err.find("It is in UTF-16 LE"), std::string::npos) << wide.err;
}

} // namespace
