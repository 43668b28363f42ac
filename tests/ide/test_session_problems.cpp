// Sessions that exist but cannot be used say why; pages that are no regular file never block the
// link; a paste redoes its insertion over an edit saved meanwhile.
#include "IDE_Info.h"
#include "IdeTestSupport.h"
#include "Session.h"
#include "cPluginInterface.h"

#include <sys/stat.h>

using namespace vmg::pluginmgr;
namespace fs = std::filesystem;

namespace {

class SessionProblemTest : public vmg::idetest::TempIdeFolder {};

TEST_F(SessionProblemTest, AByteOrderMarkIsAccepted) {
    const fs::path page = writePage("Page.bas", "Main:\n");
    std::ofstream(sessionPath()) << "\xEF\xBB\xBFpage=" << page.string() << "\ncore=14\n";
    ASSERT_TRUE(ReadSession());
    EXPECT_EQ(ReadSession()->Page, page.string());
    EXPECT_EQ(SessionProblem(), "");
}

TEST_F(SessionProblemTest, SaysWhyASessionThatIsThereIsNotUsed) {
    const std::string where = "The session file " + sessionPath().string() + " is not used: ";
    const fs::path page = writePage("Page.bas", "Main:\n");
    const fs::path fifo = m_dir / "fifo.bas";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0644), 0);
    struct Case {
        const char* name;
        std::function<void()> make;
        std::string problem;
    };
    const auto session = [&](const std::string& text) {
        return [&, text] { std::ofstream(sessionPath(), std::ios::binary) << text; };
    };
    const Case cases[] = {
        {"none", [&] { fs::remove(sessionPath()); }, ""},
        {"usable", session("page=" + page.string() + "\n"), ""},
        {"too large", session("page=" + page.string() + "\n" + std::string(64 * 1024, '#')),
         where + "it is larger than the limit of 65536 bytes"},
        {"a folder",
         [&] {
             fs::remove(sessionPath());
             fs::create_directory(sessionPath());
         },
         where + "it is not a regular file"},
        {"no page", session("core=14\npage=relative.bas\n"),
         where + "it has no page= line naming a page by its absolute path"},
        {"missing page", session("page=" + (m_dir / "gone.bas").string() + "\n"),
         where + "its page " + (m_dir / "gone.bas").string() +
             " cannot be read (No such file or directory)"},
        {"FIFO page", session("page=" + fifo.string() + "\n"),
         where + "its page " + fifo.string() + " cannot be read (is not a regular file)"},
        {"device page", session("page=/dev/zero\n"),
         where + "its page /dev/zero cannot be read (is not a regular file)"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        fs::remove(sessionPath());
        c.make();
        EXPECT_EQ(SessionProblem(), c.problem);
        // A session that cannot be used is no IDE for the wizard's link, at once.
        vmg::ide::SetPluginLibraryPath("");
        vmg::ide::ResetForTests();
        EXPECT_EQ(vmg::ide::IsConnected(), c.problem.empty() && fs::exists(sessionPath()));
        EXPECT_EQ(vmg::ide::LoadPageText(), vmg::ide::IsConnected());
        fs::remove_all(sessionPath());
    }
    vmg::ide::ResetForTests();
}

TEST_F(SessionProblemTest, APasteRedoesItsInsertionOverAnEditSavedMeanwhile) {
    const fs::path page = writePage("Page.bas", "a\nb\n");
    int saves = 0;
    SetPasteHookForTests([&] {
        if (saves++ == 0) {
            std::ofstream(page, std::ios::binary) << "edited\na\nb\n"; // the editor's save
        }
    });
    std::string why;
    ASSERT_TRUE(InsertIntoFile(page, 3, 1, "X\n", why)) << why;
    EXPECT_EQ(readFile(page), "edited\na\nX\nb\n");
    EXPECT_EQ(saves, 2);

    // An editor that saves on every attempt: four tries, then the paste fails and its last
    // save stays.
    saves = 0;
    SetPasteHookForTests(
        [&] { std::ofstream(page, std::ios::binary) << "save " << ++saves << "\n"; });
    EXPECT_FALSE(InsertIntoFile(page, 1, 1, "X\n", why));
    EXPECT_EQ(why, page.string() + ": the page kept changing during the paste");
    EXPECT_EQ(saves, 4);
    EXPECT_EQ(readFile(page), "save 4\n");
    SetPasteHookForTests({});
}

} // namespace
