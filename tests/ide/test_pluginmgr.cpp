// The session file, the paste's file edit, and vmacgen attach/detach feeding the wizard's link.
#include "IDE_Info.h"
#include "IdeTestSupport.h"
#include "Session.h"
#include "cPluginInterface.h"

#include <sys/stat.h>
#include <sys/wait.h>

#include <vector>

using namespace vmg::pluginmgr;
namespace fs = std::filesystem;

namespace {

using Folder = vmg::idetest::TempIdeFolder;

TEST(Session, ParsesKeyValueLines) {
    const std::optional<Session> expected = Session{"/home/u/My Page.bas", 16, 12, 5};
    EXPECT_EQ(ParseSession("page=/home/u/My Page.bas\ncore=16\nline=12\ncolumn=5\n"), expected);
    EXPECT_EQ(ParseSession("# editor\r\n  column = 5 \r\nline=12\r\nextra=1\r\ncore=16\r\n"
                           "page = /home/u/My Page.bas\r\n"),
              expected);
    EXPECT_EQ(ParseSession(SessionText(*expected)), expected);
    // Unreadable numbers keep their defaults.
    EXPECT_EQ(ParseSession("page=/p\ncore=x\nline=2y\ncolumn=99999999999\n"),
              (Session{"/p", 0, 1, 1}));
    // Only an absolute page names a page.
    for (const char* text : {"", "core=14\n", "page=\n", "page=rel/page.bas\n"}) {
        EXPECT_EQ(ParseSession(text), std::nullopt) << text;
    }
}

// Sets or (with nothing) unsets a variable for the rest of the scope.
class ScopedEnv {
public:
    ScopedEnv(const char* name, std::optional<std::string> value) : m_name(name) {
        if (const char* old = std::getenv(name)) {
            m_old = old;
        }
        set(value);
    }
    ~ScopedEnv() { set(m_old); }
    ScopedEnv(const ScopedEnv&) = delete;
    ScopedEnv& operator=(const ScopedEnv&) = delete;

private:
    void set(const std::optional<std::string>& value) {
        value ? ::setenv(m_name, value->c_str(), 1) : ::unsetenv(m_name);
    }
    const char* m_name;
    std::optional<std::string> m_old;
};

// The page's name as the IDE's record holds it: code page 1252.
TEST(Session, FileNamesBecomeCodePage1252) {
    const std::pair<std::string, std::string> cases[] = {
        {"Blink.bas", "Blink.bas"},
        {"Z\xC3\xA4hler \xC3\x9F"
         "e.bas",
         "Z\xE4hler \xDF"
         "e.bas"},                                                // ä, ß
        {"\xE2\x82\xAC \xC5\x92 \xE2\x84\xA2", "\x80 \x8C \x99"}, // €, Œ, ™
        {"\xC2\x81", "\x81"},                                     // unassigned: kept
        {"\xE6\x97\xA5\xF0\x9F\x98\x80.bas", "??.bas"},           // not in the code page
        {"\xE4\xFF \xC3", "\xE4\xFF \xC3"},                       // not UTF-8: as it is
        {"\xE0\x80\xAF", "\xE0\x80\xAF"},                         // overlong: not UTF-8
    };
    for (const auto& [utf8, expected] : cases) {
        EXPECT_EQ(Utf8ToCp1252(utf8), expected) << utf8;
    }
}

TEST(Session, LivesInTheRuntimeFolderElseInHome) {
    ScopedEnv home("HOME", "/home/u");
    {
        ScopedEnv runtime("XDG_RUNTIME_DIR", "/run/u");
        EXPECT_EQ(SessionFilePath(), fs::path("/run/u/vorlan-ide.session"));
    }
    {
        ScopedEnv runtime("XDG_RUNTIME_DIR", "");
        EXPECT_EQ(SessionFilePath(), fs::path("/home/u/vorlan-ide.session"));
    }
    ScopedEnv noRuntime("XDG_RUNTIME_DIR", std::nullopt);
    ScopedEnv noHome("HOME", std::nullopt);
    EXPECT_EQ(SessionFilePath(), fs::path());
    std::string why;
    EXPECT_FALSE(WriteSession(Session{"/p"}, why));
    EXPECT_FALSE(why.empty());
}

struct InsertCase {
    const char* content;
    std::int32_t line;
    std::int32_t column;
    const char* text;
    const char* expected;
};

void PrintTo(const InsertCase& c, std::ostream* out) {
    *out << c.line << ',' << c.column << " in " << vmg::idetest::printable(c.content);
}

class InsertAtTest : public ::testing::TestWithParam<InsertCase> {};

TEST_P(InsertAtTest, InsertsInTheContentsOwnLineEnds) {
    const auto& c = GetParam();
    EXPECT_EQ(InsertAt(c.content, c.line, c.column, c.text), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, InsertAtTest,
    ::testing::Values(
        InsertCase{"", 1, 1, "X\r\n", "X\r\n"}, InsertCase{"ab\ncd\n", 2, 2, "Z", "ab\ncZd\n"},
        InsertCase{"ab\ncd\n", 1, 9, "Z", "abZ\ncd\n"},
        InsertCase{"ab\ncd\n", 3, 1, "Z\r\n", "ab\ncd\nZ\n"},
        InsertCase{"ab\ncd\n", INT32_MAX, INT32_MAX, "Z", "ab\ncd\nZ"},
        InsertCase{"ab\ncd", 9, 1, "Z\r\n", "ab\ncd\nZ\n"},
        InsertCase{"ab\ncd", 0, -5, "Z", "Zab\ncd"}, InsertCase{"ab\n\ncd", 2, 5, "Z", "ab\nZ\ncd"},
        InsertCase{"ab\r\ncd", 2, 1, "X\nY\rZ\r\n", "ab\r\nX\r\nY\r\nZ\r\ncd"},
        InsertCase{"ab\rcd", 2, 3, "X\r\n", "ab\rcdX\r"},
        InsertCase{"abc", 1, 2, "X\nY", "aX\nYbc"}, InsertCase{"abc", 2, 1, "Z", "abc\r\nZ"}));

class FileEditTest : public Folder {};

TEST_F(FileEditTest, ReplacesThroughALinkKeepingModeAndLeavingNoTemporaryFile) {
    const fs::path page = writePage("Page.bas", "old\r\n");
    ::chmod(page.c_str(), 0604);
    const fs::path link = m_dir / "Link.bas";
    fs::create_symlink(page, link);
    std::string why;
    ASSERT_TRUE(InsertIntoFile(link, 1, 1, "new\n", why)) << why;
    EXPECT_TRUE(fs::is_symlink(link));
    EXPECT_EQ(readFile(page), "new\r\nold\r\n");
    struct stat info {};
    ASSERT_EQ(::stat(page.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0604u);
    EXPECT_EQ(std::distance(fs::directory_iterator(m_dir), fs::directory_iterator()), 2);
    EXPECT_FALSE(InsertIntoFile(m_dir / "none" / "x.bas", 1, 1, "X", why));
    EXPECT_FALSE(why.empty());
}

// vmacgen run with the test's environment; its exit status.
int vmacgen(const std::vector<std::string>& args, const fs::path& cwd = fs::current_path()) {
    std::string command = "cd '" + cwd.string() + "' && '" VMACGEN_PATH "'";
    for (const auto& arg : args) {
        command += " '" + arg + "'";
    }
    command += " 2>/dev/null";
    const int status = std::system(command.c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

class AttachTest : public Folder {};

TEST_F(AttachTest, WritesTheSessionWithAnAbsolutePathAndDetachRemovesIt) {
    writePage("Demo.bas", "Main:\n");
    ASSERT_EQ(
        vmacgen({"attach", "--line", "4", "Demo.bas", "--core", "14", "--column", "2"}, m_dir), 0);
    const std::string abs = fs::canonical(m_dir / "Demo.bas").string();
    EXPECT_EQ(ReadSession(), (Session{abs, 14, 4, 2}));
    ASSERT_EQ(vmacgen({"attach", (m_dir / "Demo.bas").string()}), 0);
    EXPECT_EQ(ReadSession(), (Session{abs, 0, 1, 1}));
    EXPECT_EQ(vmacgen({"detach"}), 0);
    EXPECT_FALSE(fs::exists(sessionPath()));
    EXPECT_EQ(vmacgen({"detach"}), 0);
}

TEST_F(AttachTest, RefusesAnUnreadablePageAndWrongUsage) {
    const std::string page = writePage("Demo.bas", "").string();
    EXPECT_EQ(vmacgen({"attach", (m_dir / "missing.bas").string()}), 1);
    EXPECT_EQ(vmacgen({"attach", m_dir.string()}), 1); // a folder is no page
    const std::vector<std::vector<std::string>> wrong = {
        {"attach"},
        {"attach", page, "--core", "15"},
        {"attach", page, "--core", "0"},
        {"attach", page, "--line", "0"},
        {"attach", page, "--column", "3x"},
        {"attach", page, "--line"},
        {"attach", page, "--page"},
        {"attach", page, page},
        {"detach", page},
    };
    for (const auto& args : wrong) {
        EXPECT_EQ(vmacgen(args), 2) << testing::PrintToString(args);
    }
    EXPECT_FALSE(fs::exists(sessionPath()));
}

// The whole road: a user attaches a file, the wizard reads it, and Finish pastes into it.
TEST_F(AttachTest, TheWizardsLinkSeesTheAttachedPage) {
    const fs::path page = writePage("Demo.bas", "Dim A As Byte\r\nMain:\r\nGoTo Main\r\n");
    ASSERT_EQ(vmacgen({"attach", page.string(), "--core", "16", "--line", "3"}), 0);
    vmg::ide::SetPluginLibraryPath("");
    vmg::ide::ResetForTests();
    vmg::ide::Connect(0);
    ASSERT_TRUE(vmg::ide::LoadPageText());
    EXPECT_TRUE(vmg::ide::FindLabels());
    EXPECT_TRUE(vmg::ide::FindVariables());
    EXPECT_EQ(vmg::ide::CurrentPageCore(), 16);
    vmg::ide::PasteAt("MyMacro Macro\r\nEndm\r\n", vmg::ide::GetCursor());
    EXPECT_EQ(readFile(page), "Dim A As Byte\r\nMain:\r\nMyMacro Macro\r\nEndm\r\nGoTo Main\r\n");
    EXPECT_EQ(vmacgen({"detach"}), 0);
    EXPECT_FALSE(vmg::ide::IsConnected());
    vmg::ide::ResetForTests();
}

} // namespace
