// vmacgen upgrade and check --calls-in as a user runs them: reports, the diff, exit codes.
#include "RunVmacgen.h"
#include "WorkedExamples.h"

#include <gtest/gtest.h>

#include <filesystem>

using namespace vmg;
namespace fs = std::filesystem;
using vmg::testing::Outcome;
using vmg::testing::slurp;

namespace {

class UpgradeCommand : public vmg::testing::CommandTest {
protected:
    UpgradeCommand() : CommandTest("vmg_upgrade_") {}
};

// SetPtr as the earlier wizard wrote it (no call passes its count checks), a hand-edited
// AddNums, and calls of both, in LF line ends.
std::string page() {
    std::string old = codegen::JoinCrLf(codegen::MacroLines(codegen::examples::SetPtr(), 2));
    old.replace(old.find("#IF (PRM_COUNT > 3)"), 19, "#IF (PRM_COUNT > 1)");
    old.replace(old.find("#IF (PRM_COUNT < 1)"), 19, "#IF (PRM_COUNT < 2)");
    std::string hand = codegen::JoinCrLf(codegen::MacroLines(codegen::examples::AddNums(), 2));
    hand.replace(hand.find("GoSub AddSub"), 12, "GoSub AddSub\r\n\t\tNOP");
    std::string text = "Dim Buf As Word\r\nDim R As Byte\r\n" + old + hand +
                       "SetPtr Buf, 3, R\r\nTotal = AddNums 5, 6\r\n";
    return text;
}

TEST_F(UpgradeCommand, DryRunThenUpgradeThenNothingLeftToDo) {
    const std::string original = page();
    const std::string bas = file("Page.bas", original);

    Outcome o = run("upgrade " + bas + " --dry-run");
    EXPECT_EQ(o.status, 0) << o.err;
    EXPECT_NE(o.out.find("--- " + bas + "\n+++ " + bas + "\n"), std::string::npos) << o.out;
    EXPECT_NE(o.out.find("-#IF (PRM_COUNT > 1)\r\n+#IF (PRM_COUNT > 3)\r\n"), std::string::npos);
    EXPECT_NE(o.err.find("SetPtr (line 3): updated (old count bounds); calls in the file that "
                         "pass: 0 of 1 before, 1 after\n"),
              std::string::npos)
        << o.err;
    EXPECT_NE(
        o.err.find("AddNums (line 72): left as it is (line 110: expected #ENDIF, found NOP)\n"),
        std::string::npos)
        << o.err;
    EXPECT_EQ(slurp(bas), original);
    EXPECT_FALSE(fs::exists(bas + ".bak"));

    o = run("upgrade " + bas);
    EXPECT_EQ(o.status, 0) << o.err;
    EXPECT_NE(o.out.find(bas + ": 1 updated, 0 up to date, 1 left as it is\n"), std::string::npos)
        << o.out;
    EXPECT_EQ(slurp(bas + ".bak"), original);
    EXPECT_NE(slurp(bas).find("#IF (PRM_COUNT > 3)"), std::string::npos);

    o = run("upgrade " + bas + " --macro setptr");
    EXPECT_EQ(o.status, 0);
    EXPECT_EQ(o.out, "SetPtr (line 3): up to date\n" + bas +
                         ": 0 updated, 1 up to date, 0 left as it is\n");
    EXPECT_EQ(slurp(bas + ".bak"), original); // nothing written, no new backup
}

TEST_F(UpgradeCommand, RefusalsAndUsage) {
    const std::string locked = file("Locked.bas", page());
    fs::permissions(locked, fs::perms::owner_read);
    const struct {
        std::string args;
        int status;
        std::string err;
    } cases[] = {
        {"upgrade " + locked, 1, "Cannot write \"" + locked + "\". "},
        {"upgrade " + (m_dir / "missing.bas").string(), 1, "Cannot open file"},
        {"upgrade " + m_dir.string(), 1, "Cannot open file"},
        {"upgrade " + locked + " --macro Nope", 1, locked + ": holds no macro Nope\n"},
        {"upgrade", 2, "vmacgen upgrade: no FILE given\n"},
        {"upgrade " + locked + " --bogus", 2, "vmacgen upgrade: unknown option --bogus\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.args);
        const Outcome o = run(c.args);
        EXPECT_EQ(o.status, c.status);
        EXPECT_NE(o.err.find(c.err), std::string::npos) << o.err;
    }
    EXPECT_EQ(slurp(locked), page());
    EXPECT_FALSE(fs::exists(locked + ".bak"));
    fs::permissions(locked, fs::perms::owner_all);
}

// check --calls-in: one line a call; 3 when one fires, 4 when one cannot be decided, else 0.
TEST_F(UpgradeCommand, CheckCallsInAPage) {
    const std::string code = file(
        "AddNums.bas", codegen::JoinCrLf(codegen::MacroLines(codegen::examples::AddNums(), 2)));
    const std::string decl = "Dim Total As Word\r\n";
    const struct {
        std::string page;
        int status;
        std::string out;
    } cases[] = {
        {decl + "Total = AddNums 5, 6 ' a comment\r\n", 0,
         "line 2: Total = AddNums 5, 6: passes\n"},
        {decl + "Total = AddNums 5, Q\r\n  addnums 1, 2 : Total = AddNums 1, 2", 3,
         "line 2: Total = AddNums 5, Q: cannot be decided (PRM_2 has no value)\n"
         "line 3: addnums 1, 2: fires #ERROR \"AddNums - Mandatory return parameter misssing\"\n"
         "line 3: Total = AddNums 1, 2: passes\n"},
        {decl + "Total = AddNums 5, Q\n", 4, "line 2: Total = AddNums 5, Q: cannot be decided"},
        {decl, 0, "no call of AddNums in "},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.page);
        const std::string bas = file("Page.bas", c.page);
        const Outcome o = run("check --code " + code + " --calls-in " + bas);
        EXPECT_EQ(o.status, c.status) << o.err;
        EXPECT_NE(o.out.find(c.out), std::string::npos) << o.out;
    }
}

} // namespace

// Two upgrades at once of different macros of one file, 20 times: the lock makes the second
// plan on what the first wrote, so a run that says it succeeded has its macro mended in the
// final file, the other's work is never undone, and a run that could not get the file says why.
TEST_F(UpgradeCommand, TwoUpgradesAtOnceLoseNothing) {
    auto oldBounds = [](std::string name) {
        std::string text = codegen::JoinCrLf(codegen::MacroLines(codegen::examples::SetPtr(), 2));
        text.replace(text.find("#IF (PRM_COUNT > 3)"), 19, "#IF (PRM_COUNT > 1)");
        text.replace(text.find("#IF (PRM_COUNT < 1)"), 19, "#IF (PRM_COUNT < 2)");
        for (std::size_t at = text.find("SetPtr"); at != std::string::npos;
             at = text.find("SetPtr", at + name.size())) {
            text.replace(at, 6, name);
        }
        return text;
    };
    const std::string original = "Dim Buf As Word\r\n" + oldBounds("SetPtr") + oldBounds("GetPtr");
    const std::string bas = (m_dir / "Two.bas").string();
    for (int pair = 0; pair < 20; ++pair) {
        file("Two.bas", original);
        const std::string run1 = std::string(VMACGEN_PATH) + " upgrade " + bas + " --macro SetPtr";
        const std::string run2 = std::string(VMACGEN_PATH) + " upgrade " + bas + " --macro GetPtr";
        const std::string cmd = "cd " + m_dir.string() + "; (" + run1 +
                                " >o1 2>e1; echo $? >s1) & (" + run2 +
                                " >o2 2>e2; echo $? >s2) & wait";
        ASSERT_EQ(std::system(("sh -c '" + cmd + "'").c_str()), 0);
        const std::string final = slurp(bas);
        ASSERT_TRUE(final.starts_with("Dim Buf As Word\r\nSetPtr MACRO")) << pair;
        for (const auto& [n, name] : {std::pair{"1", "SetPtr"}, std::pair{"2", "GetPtr"}}) {
            const std::string status = slurp(m_dir / (std::string("s") + n));
            const std::size_t at = final.find(std::string(name) + " MACRO");
            ASSERT_NE(at, std::string::npos) << pair << final;
            const bool mended =
                final.compare(final.find("#IF (PRM_COUNT > ", at), 19, "#IF (PRM_COUNT > 3)") == 0;
            if (status == "0\n") {
                EXPECT_TRUE(mended) << pair << " " << name << slurp(m_dir / (std::string("e") + n));
            } else {
                EXPECT_EQ(status, "1\n") << pair;
                EXPECT_NE(slurp(m_dir / (std::string("e") + n)).find("Another program"),
                          std::string::npos);
            }
        }
    }
    for (const auto& entry : fs::directory_iterator(m_dir)) {
        EXPECT_FALSE(entry.path().filename().string().starts_with(".")) << entry.path();
    }
}
