// vmacgen page: what it tells about the IDE link, through our own plug-in manager library.
#include "../ide/IdeTestSupport.h"

#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include <sys/wait.h>

namespace {

using vmg::idetest::TempIdeFolder;

struct PageRun {
    int Status = -1;
    std::string Out;
};

PageRun page() {
    PageRun run;
    FILE* pipe = ::popen("'" VMACGEN_PATH "' page 2>&1", "r");
    if (pipe == nullptr) {
        return run;
    }
    char buffer[4096];
    while (const std::size_t n = std::fread(buffer, 1, sizeof buffer, pipe)) {
        run.Out.append(buffer, n);
    }
    const int status = ::pclose(pipe);
    run.Status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return run;
}

class PageCommand : public TempIdeFolder {
public: // for the case table's set-up steps
    using TempIdeFolder::m_dir;
    using TempIdeFolder::sessionPath;
    using TempIdeFolder::writePage;
    using TempIdeFolder::writeSession;
};

TEST_F(PageCommand, TellsWhatTheLinkSeesOrWhyItSeesNothing) {
    const char kPage[] =
        "Start:\r\n\tDim Counter As Byte\r\n; Loop: a comment\r\nLoop: GoTo Loop\r\n"
        "Dim Buf[8] As Byte\r\n";
    struct {
        const char* Name;
        std::function<void(PageCommand&)> Prepare;
        int Status;
        std::vector<std::string> Lines; // each must appear in the output
    } const cases[] = {
        {"connected",
         [&](PageCommand& t) { t.writeSession(t.writePage("Blink.bas", kPage), 16, 2, 3); },
         0,
         {"Connected: yes\n", "Page: Blink.bas\n", "Core: 16\n", "Lines: 4\n",
          "Labels (2): Start, Loop\n", "Variables (2): Counter, Buf\n", "Cursor: 2, 3\n"}},
        {"core of neither family",
         [&](PageCommand& t) { t.writeSession(t.writePage("Any.bas", kPage)); },
         0,
         {"Core: 0 (neither core family: the wizard targets both)\n"}},
        {"no session",
         [](PageCommand&) {},
         1,
         {"Connected: no\n", "no page is attached (vmacgen attach PAGE"}},
        {"page that cannot be read",
         [](PageCommand& t) { t.writeSession(t.m_dir / "Gone.bas"); },
         1,
         {"Connected: no\n", "Gone.bas cannot be read ("}},
        {"session without a page",
         [](PageCommand& t) { std::ofstream(t.sessionPath()) << "core=16\n"; },
         1,
         {"has no page= line"}},
    };
    for (const auto& c : cases) {
        std::filesystem::remove(sessionPath());
        c.Prepare(*this);
        const PageRun run = page();
        EXPECT_EQ(run.Status, c.Status) << c.Name << "\n" << run.Out;
        for (const auto& line : c.Lines) {
            EXPECT_NE(run.Out.find(line), std::string::npos) << c.Name << ": " << line << "\n"
                                                             << run.Out;
        }
    }
}

} // namespace
