// The order of the places the plug-in manager library is looked for.
#include "cPluginInterface.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

namespace {

using vmg::ide::PluginLibraryCandidates;
namespace fs = std::filesystem;

TEST(PluginSearch, BesideTheProgramThenItsPrivateFolderThenTheSystem) {
    const std::string name = "libqvPluginMgr.so";
    struct Case {
        std::string folder;
        std::string beside;
    };
    for (const Case& c : std::vector<Case>{{"/usr/bin", "/usr/bin/" + name},
                                           {"/home/u/.local/bin", "/home/u/.local/bin/" + name},
                                           {"/", "/" + name}}) {
        const auto found = PluginLibraryCandidates(c.folder);
        ASSERT_EQ(found.size(), 3U) << c.folder;
        EXPECT_EQ(found[0], c.beside);
        EXPECT_EQ(found[2], name) << "the bare name comes last, for the system's search";
        // The private folder is a different folder, reached from the program's own.
        const fs::path privateLib(found[1]);
        EXPECT_EQ(privateLib.filename(), name);
        EXPECT_EQ(found[1].rfind(c.folder, 0), 0U) << found[1];
        EXPECT_NE(privateLib.lexically_normal().parent_path(), fs::path(c.folder)) << found[1];
        EXPECT_EQ(found[1].find("//"), std::string::npos) << found[1];
    }
}

TEST(PluginSearch, WithoutAProgramFolderOnlyTheSystemIsSearched) {
    EXPECT_EQ(PluginLibraryCandidates(""), std::vector<std::string>{"libqvPluginMgr.so"});
}

} // namespace
