// vmacgen as a user runs it: its output bytes, exit codes and messages.
#include "MacSourceReadWrite.h"
#include "RunVmacgen.h"

#include <gtest/gtest.h>

#include <filesystem>

using namespace vmg;
namespace fs = std::filesystem;

namespace {

using vmg::testing::Outcome;
using vmg::testing::slurp;

class Vmacgen : public vmg::testing::CommandTest {
protected:
    Vmacgen() : CommandTest("vmg_cli_") {}
};

TEST_F(Vmacgen, PrintsWhatTheGeneratorsGive) {
    const std::string path = std::string(EXAMPLES_DIR) + "/AddNums.mcs";
    codegen::MacroDefinition def;
    const auto read = macsource::ReadMacroSource(path, def);
    ASSERT_TRUE(read.ok);

    const Outcome code = run("code " + path);
    EXPECT_EQ(code.status, 0);
    EXPECT_EQ(code.out, codegen::JoinCrLf(codegen::MacroLines(def, read.count)));
    EXPECT_TRUE(code.out.starts_with("'Adds two numbers\r\nAddNums MACRO  P1, P2\r\n"));

    const Outcome hint = run("hint " + path);
    EXPECT_EQ(hint.status, 0);
    EXPECT_EQ(hint.out, codegen::JoinCrLf(codegen::KeyBlock(def, read.count)));

    const Outcome rtf = run("hint-rtf " + path);
    EXPECT_EQ(rtf.status, 0);
    EXPECT_EQ(rtf.out, codegen::HintLineToRtf(codegen::KeyBlock(def, read.count)[3]));
    EXPECT_FALSE(rtf.out.ends_with("\n"));
}

TEST_F(Vmacgen, StartsFromTheProgramStartState) {
    // A file with a header only: parameters and return come from the zeroed definition.
    const std::string path = file("h.mcs", "1,Blink,0,,0,0,\xE9t\xE9\r\n");
    const Outcome code = run("code " + path);
    EXPECT_EQ(code.status, 0);
    EXPECT_EQ(code.out, "'\xE9t\xE9\r\nBlink MACRO \r\nENDM\r\n");
}

TEST_F(Vmacgen, FailuresAndUsage) {
    const struct {
        std::string args;
        int status;
        std::string errStarts;
    } cases[] = {
        {"code " + (m_dir / "none.mcs").string(), 1,
         "Cannot open file \"" + (m_dir / "none.mcs").string() + "\". No such file or directory\n"},
        {"hint " + file("bad.mcs", "2,A,V,2,maybe,0\r\n"), 1,
         "'maybe' is not a valid boolean value\n"},
    };
    for (const auto& c : cases) {
        const Outcome r = run(c.args);
        EXPECT_EQ(r.status, c.status) << c.args;
        EXPECT_TRUE(r.err.starts_with(c.errStarts)) << c.args << ": " << r.err;
        EXPECT_EQ(r.out, "") << c.args;
    }
    const Outcome help = run("--help");
    EXPECT_EQ(help.status, 0);
    EXPECT_TRUE(help.out.starts_with("Usage: vmacgen"));
}

// Wrong usage: first the one line that names what was wrong, then the usage of that command
// alone (the whole usage when no known command was named); status 2, nothing on standard output.
TEST_F(Vmacgen, WrongUsageSaysWhatWasWrong) {
    const std::string page = file("p.bas", "Dim A As Byte\r\n");
    const struct {
        std::string args;
        std::string line;
        std::string command; // whose usage follows; empty: the whole usage
    } cases[] = {
        {"", "vmacgen: no command given", ""},
        {"codee x.mcs", "vmacgen: unknown command codee; did you mean code?", ""},
        {"--bogus", "vmacgen: unknown option --bogus", ""},
        {"code", "vmacgen code: no FILE.mcs given", "code"},
        {"code x.mcs --bogus", "vmacgen code: unknown option --bogus", "code"},
        {"attach " + page + " --core 15", "vmacgen attach: --core must be 14 or 16, not 15",
         "attach"},
        {"attach " + page + " --line 0",
         "vmacgen attach: --line must be a whole number from 1, not 0", "attach"},
        {"attach " + page + " --column abc",
         "vmacgen attach: --column must be a whole number from 1, not abc", "attach"},
        {"attach", "vmacgen attach: no PAGE given", "attach"},
        {"detach now", "vmacgen detach: unexpected argument now", "detach"},
        {"check", "vmacgen check: no FILE.mcs and no --code FILE given", "check"},
        {"check x.mcs --set 9=1", "vmacgen check: --set takes SYMBOL=VALUE, not 9=1", "check"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.args);
        const Outcome r = run(c.args);
        EXPECT_EQ(r.status, 2);
        EXPECT_EQ(r.out, "");
        const std::string usage = c.command.empty() ? "Usage: vmacgen COMMAND ARGUMENTS\n"
                                                    : "Usage: vmacgen " + c.command + " ";
        EXPECT_TRUE(r.err.starts_with(c.line + "\n\n" + usage)) << r.err;
        EXPECT_EQ(r.err.find("\n  detach ") != std::string::npos,
                  c.command.empty() || c.command == "detach")
            << "only the command's own usage";
    }
    // A page that cannot be read is told with the system's reason, as other commands tell it.
    const std::string missing = (m_dir / "missing.bas").string();
    const Outcome gone = run("attach " + missing);
    EXPECT_EQ(gone.status, 1);
    EXPECT_EQ(gone.err, "Cannot open file \"" + missing + "\". No such file or directory\n");
}

// Every command prints its own part of the usage on standard output, wherever --help stands.
TEST_F(Vmacgen, EveryCommandTakesHelpAndTheProgramItsVersion) {
    for (const char* name : {"code", "hint", "hint-rtf", "attach", "detach", "check", "page"}) {
        const std::string command = name;
        for (const std::string& args : {command + " --help", command + " x.mcs -h"}) {
            const Outcome r = run(args);
            EXPECT_EQ(r.status, 0) << args;
            EXPECT_TRUE(r.out.starts_with("Usage: vmacgen " + command + " ")) << args << r.out;
            EXPECT_NE(r.out.find("\n  " + command + " "), std::string::npos) << args;
            EXPECT_NE(r.out.find("Exit status: 0"), std::string::npos) << args;
            EXPECT_EQ(r.err, "") << args;
        }
    }
    const Outcome unknown = run("paint --help");
    EXPECT_EQ(unknown.status, 2);
    EXPECT_TRUE(unknown.err.starts_with("vmacgen: unknown command paint"));
    const Outcome version = run("--version");
    EXPECT_EQ(version.status, 0);
    EXPECT_EQ(version.out, "vmacgen " VMG_VERSION "\n");
}

} // namespace

TEST_F(Vmacgen, CheckExitStatusTellsTheOutcome) {
    const std::string mcs = std::string(EXAMPLES_DIR) + "/AddNums.mcs";
    const std::string page = file("p.bas", "Dim Counter As Word\r\nDim Total As Word\r\n");
    const std::string broken =
        file("b.txt", "AddNums MACRO  P1\r\n#IF (PRM_COUNT > 1)\r\nENDM\r\n");
    struct Case {
        std::string args;
        int status;
        std::string shows;
    };
    const Case cases[] = {
        {"check " + mcs, 0, "argument counts that pass: 2\n"},
        {"check " + mcs + " --all-kinds", 0, "return WORD"},
        {"check " + mcs + " --page " + page + " --call 'Total = AddNums 5, Counter'", 0,
         "  48:   WORD_WORD Total, Total\n"},
        {"check " + mcs + " --call 'Total = AddNums 5'", 3,
         "line 7 fires #ERROR \"AddNums - Too few parameters\""},
        {"check " + mcs + " --call 'Total = AddNums 5, Counter'", 4, "PRM_2 has no value"},
        {"check " + mcs +
             " --call 'Total = AddNums 5, Counter' --set PRM_2=word --set "
             "RETURN_TYPE=WORD",
         0, "WORD_WORD Counter, ArgB"},
        {"check --code " + broken, 1, "line 2: error: #IF left open before ENDM"},
        {"check --code " + broken + " --all-kinds", 2, ""},
        {"check", 2, ""},
        {"check " + mcs + " --set 9=1", 2, ""},
        {"check " + (m_dir / "none.mcs").string(), 1, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.args);
        const Outcome o = run(c.args);
        EXPECT_EQ(o.status, c.status) << o.out << o.err;
        EXPECT_NE(o.out.find(c.shows), std::string::npos) << o.out;
    }
}

// Files that are no macro source file end vmacgen with its reader's message and status 1, at
// once: a folder, a FIFO nobody writes to, a device without end, a file over the limit.
TEST_F(Vmacgen, RefusesWhatIsNoMacroSourceFile) {
    const std::string fifo = (m_dir / "fifo.mcs").string();
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0644), 0);
    const std::string big = file("big.mcs", "1,Big,0,,0,0," + std::string(1024 * 1024, 'x'));
    struct Case {
        std::string path;
        std::string reason;
    };
    const Case cases[] = {
        {m_dir.string(), "It is not a regular file"},
        {fifo, "It is not a regular file"},
        {"/dev/zero", "It is not a regular file"},
        {big, "It is larger than the limit of 1048576 bytes (1 MiB) for a macro source file"},
        {(m_dir / "gone.mcs").string(), "No such file or directory"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.path);
        const Outcome o = run("code " + c.path);
        EXPECT_EQ(o.status, 1);
        EXPECT_EQ(o.err, "Cannot open file \"" + c.path + "\". " + c.reason + "\n");
        EXPECT_EQ(o.out, "");
    }
}

// A file the generators cannot make a sound macro of ends every command that generates from it
// with status 1 and nothing printed: no header or no valid name, or a type the target lacks.
TEST_F(Vmacgen, RefusesAFileWithoutAMacroOrWithATypeItsTargetLacks) {
    const std::string empty = file("empty.mcs", "");
    const std::string noName = file("noname.mcs", "1,,0,,0,0,\r\n2,A,V,2,0,0\r\n");
    const std::string badName = file("badname.mcs", "1,Good,0,,0,0,\r\n1,Read Port,0,,0,0,\r\n");
    const std::string stray =
        file("stray.mcs", "1,Meter,1,,0,0,\r\n2,Volts,V,5,0,0\r\n3,Sub,-1,0,R,255,0,0\r\n");
    const std::string noReturn = file("noret.mcs", "1,M,2,,1,0,\r\n4,more\r\n2,A,V,9,0,0\r\n");
    const std::string into = (m_dir / "USER.MCD").string();
    const struct {
        std::string path;
        std::string err;
    } files[] = {
        {empty, empty + " is not a macro source file: it has no header record (a line that "
                        "starts with \"1,\")\n"},
        {noName, noName + " is not a macro source file: its macro name is empty\n"},
        {badName, badName + " is not a macro source file: its macro name \"Read Port\" is not a "
                            "valid name\n"},
        {stray, "record 2: data type 5 is not available for both cores\n"
                "record 3: data type 255 is not a data type\n"},
        {noReturn, "record 3: data type 9 is not available for the 14-bit core\n"
                   "the return value has no data type: there is no return record\n"},
    };
    for (const auto& f : files) {
        for (const std::string& command :
             {"code " + f.path, "hint " + f.path, "hint-rtf " + f.path, "check " + f.path,
              "hint " + f.path + " --into " + into}) {
            SCOPED_TRACE(command);
            const Outcome o = run(command);
            EXPECT_EQ(o.status, 1);
            EXPECT_EQ(o.err, f.err);
            EXPECT_EQ(o.out, "");
        }
    }
    EXPECT_FALSE(fs::exists(into));

    // Parameter records past the 20th: the macro of the first 20, and a word about the rest.
    std::string text = "1,Many,0,,2,0,\r\n";
    for (int i = 1; i <= 21; ++i) {
        text += "2,A" + std::to_string(i) + ",V" + std::to_string(i) + ",3,0,0\r\n";
    }
    const std::string many = file("many.mcs", text + "3,Sub,-1,0,,2,0,0\r\n");
    codegen::MacroDefinition def;
    const auto read = macsource::ReadMacroSource(many, def);
    const Outcome o = run("code " + many);
    EXPECT_EQ(o.status, 0);
    EXPECT_EQ(o.out, codegen::JoinCrLf(codegen::MacroLines(def, read.count)));
    EXPECT_EQ(o.err, many + ": 1 parameter record after the 20th was left out: a macro has at "
                            "most 20 parameters\n");
}
