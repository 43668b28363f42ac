// vmacgen page: what the wizard's link to the IDE sees, through the same IDE_Info calls, and
// why it sees nothing when it does.
#include "Files.h"
#include "IDE_Info.h"
#include "Session.h"
#include "cPluginInterface.h"

#include <cstdio>
#include <string>
#include <vector>

namespace {

void printList(const char* title, const std::vector<std::string>& names) {
    std::printf("%s (%zu):", title, names.size());
    for (std::size_t i = 0; i < names.size(); ++i) {
        std::printf("%s %s", i == 0 ? "" : ",", names[i].c_str());
    }
    std::printf("\n");
}

// The reason the link reports no connection, as far as this side can tell it.
std::string whyNotConnected() {
    namespace ide = vmg::ide;
    if (ide::PluginLibrary() == nullptr) {
        return "the plug-in manager library " + ide::PluginLibraryFileName() +
               " (with all seven functions) was found neither beside the program (" +
               ide::ProgramFolder() + ") nor on the system's search path";
    }
    const std::string problem = vmg::pluginmgr::SessionProblem();
    if (!problem.empty()) {
        return problem;
    }
    return "the library reports no connection: the IDE is not running, or, with our own "
           "library, no page is attached (vmacgen attach PAGE; the session file is " +
           vmg::platform::Utf8FromPath(vmg::pluginmgr::SessionFilePath()) + ")";
}

} // namespace

// Start-up's calls in start-up's order, then the page name and the cursor as Finish asks.
// Exit status 0 when the page was read, 1 when not connected or the page cannot be had.
int PageCommand() {
    namespace ide = vmg::ide;
    ide::Connect(0);
    if (!ide::IsConnected()) {
        std::printf("Connected: no\nWhy: %s\n", whyNotConnected().c_str());
        return 1;
    }
    std::printf("Connected: yes\n");
    if (!ide::LoadPageText()) {
        std::printf("Page: cannot be read (the library gives no page information or text)\n");
        return 1;
    }
    ide::FindLabels();
    ide::FindVariables();
    const std::int32_t core = ide::CurrentPageCore();
    std::printf("Page: %s\n", ide::CurrentPageName().c_str());
    std::printf("Core: %d%s\n", static_cast<int>(core),
                core == 14 || core == 16 ? "" : " (neither core family: the wizard targets both)");
    std::printf("Lines: %zu\n", ide::PageLines().size());
    printList("Labels", ide::PageLabels());
    printList("Variables", ide::PageVariables());
    const ide::CursorPos cursor = ide::GetCursor();
    std::printf("Cursor: %d, %d\n", static_cast<int>(cursor.First),
                static_cast<int>(cursor.Second));
    return 0;
}
